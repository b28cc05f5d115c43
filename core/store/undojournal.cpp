#include "core/store/undojournal.h"

#include "core/store/database.h"
#include "core/store/statement.h"

#include <sqlite3.h>

namespace {

QString quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool exec(sqlite3 *db, const QString &sql, QString *error)
{
    char *message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    return false;
}

QString imageTable(const QString &table)
{
    return QStringLiteral("undo_") + table;
}

} // namespace

QStringList UndoJournal::tables()
{
    // A food's household measures (etn) and a dish's label basis (hyj) go
    // with the food or dish their triggers delete them with.
    return {QStringLiteral("mnu"), QStringLiteral("kou"), QStringLiteral("eys"),
            QStringLiteral("sbn"), QStringLiteral("kon"), QStringLiteral("kom"),
            QStringLiteral("etn"), QStringLiteral("hyj")};
}

UndoJournal::UndoJournal(Database &store)
    : m_store(store)
{
}

UndoJournal::~UndoJournal()
{
    if (!m_installed)
        return;
    // Temporary objects end with the connection; dropping the triggers first
    // keeps writes made later on this connection from looking for them.
    QString sql;
    for (const Table &table : m_tables)
        for (const char *event : {"insert", "update", "delete"})
            sql += QStringLiteral("DROP TRIGGER IF EXISTS temp.%1_%2;")
                       .arg(imageTable(table.name), QLatin1String(event));
    exec(m_store.handle(), sql, nullptr);
}

bool UndoJournal::install(QString *error)
{
    sqlite3 *db = m_store.handle();
    QString sql = QStringLiteral(
        "PRAGMA temp_store=MEMORY;"
        "CREATE TEMP TABLE IF NOT EXISTS undo_log(seq INTEGER PRIMARY KEY, step INTEGER NOT NULL,"
        " tbl TEXT NOT NULL, op TEXT NOT NULL);"
        "CREATE INDEX IF NOT EXISTS temp.undo_log_step ON undo_log(step);"
        "CREATE TEMP TABLE IF NOT EXISTS undo_state(step INTEGER);"
        "DELETE FROM temp.undo_state; INSERT INTO temp.undo_state VALUES (0);");
    m_tables.clear();
    for (const QString &name : tables()) {
        Table table;
        table.name = name;
        Statement info;
        if (!info.prepare(db, QStringLiteral("SELECT name, pk FROM main.pragma_table_info(?1)"))) {
            if (error)
                *error = info.error();
            return false;
        }
        info.bind(1, name);
        int keyColumns = 0;
        while (info.next()) {
            const QString column = info.value(0).toString();
            table.columns << quoted(column);
            if (info.value(1).toInt() == 1)
                table.key = quoted(column);
            if (info.value(1).toInt() > 0)
                ++keyColumns;
        }
        // A key of several columns: the row is known by its rowid, which is
        // kept with it.
        if (keyColumns > 1) {
            table.key = quoted(QStringLiteral("rowid"));
            table.columns.prepend(table.key);
        }
        // Stores of earlier versions may lack the tables added later (their
        // start-up adds them); such a table has no changes to record.
        if (table.columns.isEmpty() &&
            (name == QLatin1String("etn") || name == QLatin1String("hyj")))
            continue;
        if (table.columns.isEmpty() || table.key.isEmpty()) {
            if (error)
                *error = QStringLiteral("表「%1」がないので、元に戻す記録を作れません。").arg(name);
            return false;
        }
        const QString image = imageTable(name);
        const QString columns = table.columns.join(QLatin1Char(','));
        auto prefixed = [&](const char *prefix) {
            QStringList values;
            for (const QString &column : std::as_const(table.columns))
                values << QLatin1String(prefix) + column;
            return values.join(QLatin1Char(','));
        };
        sql += QStringLiteral("CREATE TEMP TABLE IF NOT EXISTS %1(seq INTEGER PRIMARY KEY, %2);")
                   .arg(image, columns);
        // Within a trigger, last_insert_rowid() is the log row just written.
        auto trigger = [&](const char *event, const char *op, const char *row) {
            return QStringLiteral(
                       "CREATE TEMP TRIGGER IF NOT EXISTS %1_%2 AFTER %3 ON main.%4 BEGIN"
                       " INSERT INTO undo_log(step, tbl, op) VALUES"
                       " ((SELECT step FROM undo_state), '%4', '%5');"
                       " INSERT INTO %1(seq, %6) VALUES (last_insert_rowid(), %7);"
                       " END;")
                .arg(image, QString::fromLatin1(event).toLower(), QLatin1String(event), name,
                     QLatin1String(op), columns, prefixed(row));
        };
        // An insert is undone by deleting the row; an update and a delete by
        // putting back the row as it was.
        sql += trigger("INSERT", "I", "new.");
        sql += trigger("UPDATE", "U", "old.");
        sql += trigger("DELETE", "D", "old.");
        m_tables.push_back(table);
    }
    if (!exec(db, sql, error))
        return false;
    m_installed = true;
    return true;
}

void UndoJournal::beginStep()
{
    if (m_depth++ == 0)
        m_stepOpen = false;
}

void UndoJournal::endStep()
{
    if (m_depth > 0 && --m_depth == 0)
        m_stepOpen = false;
}

bool UndoJournal::setStep(qint64 step, QString *error)
{
    Statement stmt;
    if (!stmt.prepare(m_store.handle(), QStringLiteral("UPDATE temp.undo_state SET step = ?1"))) {
        if (error)
            *error = stmt.error();
        return false;
    }
    stmt.bind(1, step);
    if (!stmt.exec()) {
        if (error)
            *error = stmt.error();
        return false;
    }
    return true;
}

bool UndoJournal::writeStarting(QString *error)
{
    if (!m_installed || m_replaying)
        return true;
    if (m_depth == 0 || !m_stepOpen) {
        m_current = ++m_lastStep;
        m_stepOpen = m_depth > 0;
    }
    return setStep(m_current, error);
}

bool UndoJournal::hasRows(qint64 step) const
{
    return scalarOf(m_store.handle(),
                    QStringLiteral("SELECT EXISTS(SELECT 1 FROM temp.undo_log WHERE step = ?1)"),
                    {step})
               .toInt() == 1;
}

void UndoJournal::dropSteps(const std::vector<qint64> &steps)
{
    sqlite3 *db = m_store.handle();
    for (qint64 step : steps) {
        for (const Table &table : m_tables)
            exec(db,
                 QStringLiteral("DELETE FROM temp.%1 WHERE seq IN (SELECT seq FROM temp.undo_log "
                                "WHERE step = %2)")
                     .arg(imageTable(table.name))
                     .arg(step),
                 nullptr);
        exec(db, QStringLiteral("DELETE FROM temp.undo_log WHERE step = %1").arg(step), nullptr);
    }
}

void UndoJournal::writeCommitted()
{
    if (!m_installed || m_replaying)
        return;
    if (!m_undo.empty() && m_undo.back() == m_current)
        return; // a later write of the same step
    if (!hasRows(m_current))
        return; // nothing that the journal keeps was changed
    m_undo.push_back(m_current);
    // A new change ends what could be redone.
    dropSteps(m_redo);
    m_redo.clear();
}

bool UndoJournal::replay(qint64 step, qint64 recordAs, QString *error)
{
    sqlite3 *db = m_store.handle();
    struct Entry
    {
        qint64 seq;
        QString table;
        QString op;
    };
    std::vector<Entry> entries;
    {
        Statement log;
        if (!log.prepare(db, QStringLiteral("SELECT seq, tbl, op FROM temp.undo_log WHERE step = "
                                            "?1 ORDER BY seq DESC"))) {
            *error = log.error();
            return false;
        }
        log.bind(1, step);
        while (log.next())
            entries.push_back(
                {log.value(0).toLongLong(), log.value(1).toString(), log.value(2).toString()});
        if (log.failed()) {
            *error = log.error();
            return false;
        }
    }
    if (!setStep(recordAs, error))
        return false;
    m_touchedDishes.clear();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        const QString column = it->table == QLatin1String("mnu") ? QStringLiteral("\"ID\"")
                               : it->table == QLatin1String("kou")
                                   ? QStringLiteral("\"アイテムCD\"")
                                   : QString();
        if (column.isEmpty())
            continue;
        const QVariant dish = scalarOf(db,
                                       QStringLiteral("SELECT %1 FROM temp.%2 WHERE seq = ?1")
                                           .arg(column, imageTable(it->table)),
                                       {it->seq});
        if (!dish.isNull() && !m_touchedDishes.contains(dish.toLongLong()))
            m_touchedDishes << dish.toLongLong();
    }
    for (const Entry &entry : entries) {
        const auto table = std::find_if(m_tables.begin(), m_tables.end(),
                                        [&](const Table &t) { return t.name == entry.table; });
        if (table == m_tables.end()) {
            *error = QStringLiteral("表「%1」の変更は戻せません。").arg(entry.table);
            return false;
        }
        const QString image = QStringLiteral("temp.") + imageTable(table->name);
        const QString columns = table->columns.join(QLatin1Char(','));
        const QString keyOfImage =
            QStringLiteral("(SELECT %1 FROM %2 WHERE seq = ?1)").arg(table->key, image);
        QString sql;
        if (entry.op == QLatin1String("I"))
            sql = QStringLiteral("DELETE FROM main.%1 WHERE %2 = %3")
                      .arg(table->name, table->key, keyOfImage);
        else if (entry.op == QLatin1String("D"))
            sql = QStringLiteral("INSERT INTO main.%1(%2) SELECT %2 FROM %3 WHERE seq = ?1")
                      .arg(table->name, columns, image);
        else
            sql = QStringLiteral("UPDATE main.%1 SET (%2) = (SELECT %2 FROM %3 WHERE seq = ?1) "
                                 "WHERE %4 = %5")
                      .arg(table->name, columns, image, table->key, keyOfImage);
        Statement stmt;
        if (!stmt.prepare(db, sql)) {
            *error = stmt.error();
            return false;
        }
        stmt.bind(1, entry.seq);
        if (!stmt.exec()) {
            *error = stmt.error();
            return false;
        }
    }
    for (const Table &table : m_tables)
        if (!exec(db,
                  QStringLiteral("DELETE FROM temp.%1 WHERE seq IN (SELECT seq FROM "
                                 "temp.undo_log WHERE step = %2)")
                      .arg(imageTable(table.name))
                      .arg(step),
                  error))
            return false;
    return exec(db, QStringLiteral("DELETE FROM temp.undo_log WHERE step = %1").arg(step), error);
}

bool UndoJournal::undo(QString *error)
{
    QString failure;
    if (m_undo.empty()) {
        if (error)
            *error = QStringLiteral("元に戻す操作はありません。");
        return false;
    }
    const qint64 step = m_undo.back();
    const qint64 redoStep = ++m_lastStep;
    m_replaying = true;
    const bool ok = m_store.write([&](QString *e) { return replay(step, redoStep, e); }, &failure);
    m_replaying = false;
    if (!ok) {
        if (error)
            *error = QStringLiteral("元に戻せませんでした: %1").arg(failure);
        return false;
    }
    m_undo.pop_back();
    m_redo.push_back(redoStep);
    return true;
}

bool UndoJournal::redo(QString *error)
{
    QString failure;
    if (m_redo.empty()) {
        if (error)
            *error = QStringLiteral("やり直す操作はありません。");
        return false;
    }
    const qint64 step = m_redo.back();
    const qint64 undoStep = ++m_lastStep;
    m_replaying = true;
    const bool ok = m_store.write([&](QString *e) { return replay(step, undoStep, e); }, &failure);
    m_replaying = false;
    if (!ok) {
        if (error)
            *error = QStringLiteral("やり直せませんでした: %1").arg(failure);
        return false;
    }
    m_redo.pop_back();
    m_undo.push_back(undoStep);
    return true;
}

void UndoJournal::clear()
{
    if (!m_installed)
        return;
    QString sql = QStringLiteral("DELETE FROM temp.undo_log;");
    for (const Table &table : m_tables)
        sql += QStringLiteral("DELETE FROM temp.%1;").arg(imageTable(table.name));
    exec(m_store.handle(), sql, nullptr);
    m_undo.clear();
    m_redo.clear();
}

void UndoJournal::connectionClosing()
{
    m_undo.clear();
    m_redo.clear();
    m_touchedDishes.clear();
    m_depth = 0;
    m_stepOpen = false;
    m_current = 0;
    m_installed = false;
}
