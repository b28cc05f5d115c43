#include "tests/support/testsupport.h"

#include "app/appsetup.h"
#include "app/program.h"
#include "core/store/database.h"
#include "core/store/schema.h"
#include "core/store/schemacheck.h"
#include "core/store/statement.h"
#include "tools/storebuilder.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QPdfWriter>
#include <sqlite3.h>

Prompts::Answer ScriptedPrompts::message(const QString &prompt, Buttons buttons, Icon icon,
                                         const QString &title)
{
    asked.append({AskedPrompt::Message, prompt, title, buttons, icon});
    return answers.isEmpty() ? Answer::Ok : answers.takeFirst();
}

std::optional<QString> ScriptedPrompts::input(const QString &prompt, const QString &title,
                                              const QString &)
{
    asked.append({AskedPrompt::Input, prompt, title});
    return inputs.isEmpty() ? std::nullopt : inputs.takeFirst();
}

std::optional<int> ScriptedPrompts::choose(const QString &prompt, const QString &title,
                                           const QStringList &, int)
{
    asked.append({AskedPrompt::Choice, prompt, title});
    return choices.isEmpty() ? std::optional<int>(0) : choices.takeFirst();
}

std::optional<QString> ScriptedPrompts::saveFileName(const QString &title, const QString &,
                                                     const QString &)
{
    asked.append({AskedPrompt::SaveFile, QString(), title});
    return saveNames.isEmpty() ? std::nullopt : saveNames.takeFirst();
}

void ScriptedPrompts::printPreview(const QString &title,
                                   const std::function<void(QPagedPaintDevice *)> &paint)
{
    asked.append({AskedPrompt::Preview, QString(), title});
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    paint(&writer);
    ++previews;
}

std::optional<QString> ScriptedPrompts::chooseFile(FileMode mode, const QString &title,
                                                   const QString &suggested)
{
    asked.append({AskedPrompt::File, suggested, title});
    asked.last().fileMode = mode;
    return files.isEmpty() ? std::nullopt : files.takeFirst();
}

TestFolder::TestFolder()
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(m_dir.path());
}

TestFolder::~TestFolder()
{
    QDir::setCurrent(m_previous);
    Database::closeUnused();
}

bool TestFolder::makeStore(const QString &sql)
{
    QString error;
    const bool ok = StoreBuilder::build(
        filePath(QStringLiteral("zento.dll")),
        [&](sqlite3 *db, QString *err) {
            return sql.isEmpty() || StoreBuilder::exec(db, sql.toUtf8().constData(), err);
        },
        &error);
    if (!ok)
        qWarning("makeStore: %s", qPrintable(error));
    return ok;
}

bool TestFolder::makeDemoStore()
{
    QString error;
    const bool ok =
        StoreBuilder::build(filePath(QStringLiteral("zento.dll")), StoreBuilder::fillDemo, &error);
    if (!ok)
        qWarning("makeDemoStore: %s", qPrintable(error));
    return ok;
}

bool TestFolder::exec(const QString &sql)
{
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(filePath(QStringLiteral("zento.dll")));
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 2000);
    SchemaCheck::trustIfOwn(db);
    QString error;
    const bool ok = StoreBuilder::exec(db, sql.toUtf8().constData(), &error);
    if (!ok)
        qWarning("exec: %s", qPrintable(error));
    sqlite3_close(db);
    return ok;
}

QVariant TestFolder::scalar(const QString &sql)
{
    sqlite3 *db = nullptr;
    const QByteArray name = QFile::encodeName(filePath(QStringLiteral("zento.dll")));
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return QVariant();
    }
    QVariant result;
    sqlite3_stmt *stmt = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        result = columnValue(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

QString minimalReferenceSql()
{
    QString sql = QStringLiteral("INSERT INTO bun VALUES (20, '登録食品');"
                                 "INSERT INTO tni VALUES ('ｇ', 1);");
    for (int age = 1; age <= 80; ++age)
        for (int sex : {1, 0})
            sql += QStringLiteral("INSERT INTO kij(AGE,SEX,TAL,WEI,CAL,TAN,CA,FE,VA,VB1,VB2,NAI,VC)"
                                  " VALUES (%1,%2,160,55,2000,50,650,7,2000,1.1,1.2,12,100);")
                       .arg(age)
                       .arg(sex);
    return sql;
}

StartedProgram::StartedProgram()
    : program(std::make_unique<Program>(prompts))
{
}

StartedProgram::~StartedProgram()
{
    program.reset();
}

void StartedProgram::start()
{
    program->start();
}

QString dishesWithLines(int count)
{
    QString sql;
    for (int i = 1; i <= count; ++i)
        sql += QStringLiteral("INSERT INTO mnu(アイテム名) VALUES ('料理%1');"
                              "INSERT INTO kou(アイテムCD, 食品コード, 数量, 単位, 数量2) "
                              "VALUES (%1, 1, 100, 'ｇ', 1);")
                   .arg(i);
    return sql;
}

bool flipIndexPage(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    const qint64 page =
        scalarOf(db, QStringLiteral("SELECT rootpage FROM sqlite_schema WHERE name='kou_dish'"))
            .toLongLong();
    const qint64 size = scalarOf(db, QStringLiteral("PRAGMA page_size")).toLongLong();
    sqlite3_close(db);
    QFile file(path);
    if (page < 2 || !file.open(QIODevice::ReadWrite) || !file.seek(page * size - 3))
        return false;
    return file.write("\x7f\x7f\x7f", 3) == 3;
}

bool putForeignLog(const QString &path)
{
    const QString other = path + QStringLiteral(".other");
    if (!QFile::copy(path, other))
        return false;
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(other).constData(), &db);
    SchemaCheck::trustIfOwn(db);
    const bool written = sqlite3_exec(db,
                                      "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
                                      "INSERT INTO mnu(アイテム名) VALUES ('外来');",
                                      nullptr, nullptr, nullptr) == SQLITE_OK;
    // Copied while the other database is open, before its log is folded.
    const bool copied =
        written && QFile::copy(other + QStringLiteral("-wal"), path + QStringLiteral("-wal"));
    sqlite3_close(db);
    QFile::remove(other);
    QFile::remove(other + QStringLiteral("-wal"));
    QFile::remove(other + QStringLiteral("-shm"));
    return copied;
}

void setUpTestApplication()
{
    setUpApplication(*qApp);
}
