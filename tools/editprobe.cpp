// zento-editprobe: makes edits through the store layer the way the windows
// do (record sets, a list left open while writing) and says which edits the
// store acknowledged, so that a script can stop it at any moment and check
// that nothing acknowledged is lost.
//   zento-editprobe [--edits N] [--tag TEXT] [--journal MODE] [--measure] FILE
// Each edit adds a dish named "TEXT-i" with one line; after its commit the
// line "ack TEXT-i" is written to standard output. --measure prints the
// largest journal or log seen during a commit, the time per edit, and whether
// a copy of FILE alone, taken 2 s after the last edit, holds every edit.
// --journal delete (or truncate, persist) puts the store in that journal
// mode instead of the write-ahead log it keeps, to compare.
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/statement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>

namespace {

qint64 largestSide = 0;
QString sideFiles[2];

int measureSides(void *)
{
    for (const QString &side : sideFiles)
        largestSide = std::max(largestSide, QFileInfo(side).size());
    return 0; // let the commit go on
}

int fail(const QString &what)
{
    std::fprintf(stderr, "zento-editprobe: %s\n", qPrintable(what));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    int edits = 100;
    QString tag = QStringLiteral("edit");
    QString journal;
    bool measure = false;
    QString file;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--edits") && i + 1 < args.size())
            edits = args[++i].toInt();
        else if (args[i] == QLatin1String("--tag") && i + 1 < args.size())
            tag = args[++i];
        else if (args[i] == QLatin1String("--journal") && i + 1 < args.size())
            journal = args[++i];
        else if (args[i] == QLatin1String("--measure"))
            measure = true;
        else
            file = args[i];
    }
    if (file.isEmpty())
        return fail(QStringLiteral(
            "usage: zento-editprobe [--edits N] [--tag TEXT] [--journal MODE] [--measure] FILE"));
    const QString connection = QStringLiteral("Data Source=%1;").arg(file);
    QString error;
    auto store = Database::open(connection, &error);
    if (!store)
        return fail(error);
    if (!journal.isEmpty())
        sqlite3_exec(store->handle(), ("PRAGMA journal_mode=" + journal.toLatin1()).constData(),
                     nullptr, nullptr, nullptr);
    const QString mode = store->journalMode();
    sideFiles[0] = QFileInfo(file).absoluteFilePath() + QStringLiteral("-journal");
    sideFiles[1] = QFileInfo(file).absoluteFilePath() + QStringLiteral("-wal");
    if (measure)
        sqlite3_commit_hook(store->handle(), measureSides, nullptr);

    // A long list left open while writing, as the food search leaves it.
    DataSource foods;
    foods.setConnectionString(connection);
    foods.setRecordSource(QStringLiteral("SELECT eys.* FROM eys"));
    foods.refresh();
    const QVariant food = foods.value(QStringLiteral("SID"));

    DataSource dishes;
    dishes.setConnectionString(connection);
    dishes.setRecordSource(QStringLiteral("SELECT mnu.* FROM mnu"));
    dishes.refresh();
    DataSource lines;
    lines.setConnectionString(connection);
    lines.setRecordSource(QStringLiteral("SELECT kou.* FROM kou WHERE ID = 0"));
    lines.refresh();

    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < edits; ++i) {
        const QString name = QStringLiteral("%1-%2").arg(tag).arg(i);
        if (!dishes.addNew() || !dishes.setValue(QStringLiteral("アイテム名"), name) ||
            !dishes.submitPending())
            return fail(dishes.errorString());
        const QVariant dish = dishes.value(QStringLiteral("ID"));
        if (!lines.addNew() || !lines.setValue(QStringLiteral("アイテムCD"), dish) ||
            !lines.setValue(QStringLiteral("食品コード"), food) ||
            !lines.setValue(QStringLiteral("数量"), 100.0 + i) ||
            !lines.setValue(QStringLiteral("単位"), QStringLiteral("ｇ")) ||
            !lines.setValue(QStringLiteral("数量2"), (100.0 + i) / 100) || !lines.submitPending())
            return fail(lines.errorString());
        std::printf("ack %s\n", qPrintable(name));
        std::fflush(stdout);
    }
    const double perEdit = edits ? double(clock.nsecsElapsed()) / 1e6 / edits : 0;

    if (measure) {
        // The program's own pause: its event loop runs while nothing is edited.
        QEventLoop pause;
        QTimer::singleShot(2000, &pause, &QEventLoop::quit);
        pause.exec();
        const QString copy = QFileInfo(file).absoluteFilePath() + QStringLiteral(".copy");
        QFile::remove(copy);
        QFile::copy(file, copy);
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(copy).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        const qint64 held = scalarOf(db,
                                     QStringLiteral("SELECT count(*) FROM mnu WHERE "
                                                    "アイテム名 LIKE ?1"),
                                     {tag + QStringLiteral("-%")})
                                .toLongLong();
        sqlite3_close(db);
        QFile::remove(copy);
        std::printf("journal %s: %d edits, %.2f ms per edit (dish and line, two commits), "
                    "largest journal or log %lld bytes, copy of the file alone after 2 s holds "
                    "%lld of %d\n",
                    qPrintable(mode), edits, perEdit, largestSide, held, edits);
    }
    return 0;
}
