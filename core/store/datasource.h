#pragma once

#include "core/store/rowstore.h"
#include "core/store/statement.h"
#include "core/store/tailreader.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QSet>
#include <QVariant>
#include <memory>
#include <vector>

class Database;
struct sqlite3;
struct sqlite3_stmt;

// A record set: a named query holder on a window, with its connection text,
// its record source, the rows the query found, a record pointer and the
// controls bound to it. It is also the table model that grids and lists show.
//
// Rows are read from the store as they are needed, in order; the rows of the
// last dish of a hundred thousand, or of a row far ahead, are read alone by
// its tail reader (see TailReader) and join the rest when the reading in
// order reaches them. The model shows the rows read in order.
//
// A change made to the current record (setValue, a new record from addNew) is
// pending until its owner submits it: submitPending() writes it to the base
// table in one durable transaction, and nothing else writes. Moving the
// pointer, refreshing, adding a record or destroying the record set forgets a
// pending change, as cancelUpdate() does, so that reading never stores what
// a box happened to hold. For a joined query the written table is the one the
// assigned fields come from, found from the column origins.
class DataSource : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit DataSource(QObject *parent = nullptr);
    ~DataSource() override;

    void setConnectionString(const QString &text) { m_connectionString = text; }
    QString connectionString() const { return m_connectionString; }
    void setRecordSource(const QString &sql)
    {
        if (sql != m_recordSource)
            m_tail.setTailSource(QString());
        m_recordSource = sql;
    }
    QString recordSource() const { return m_recordSource; }
    // For a record source whose rows come in key order, the query giving
    // its last rows from the last backwards, ?1 of them: moveLast() then
    // reads those rows alone. Empty (the default): the last rows are read by
    // their count and offset. A new record source drops it.
    void setTailSource(const QString &sql) { m_tail.setTailSource(sql); }

    // Runs the record source, forgetting a pending change. The pointer
    // stands on the first row, or at end of file when there is none. On
    // failure the record set is empty and errorString() says why.
    bool refresh();
    // Runs the query once when nothing has run it yet (binding opens it).
    bool ensureOpen();
    bool requery() { return refresh(); }
    bool isOpen() const { return m_open; }

    // Record pointer. position() is -1 before the first record and
    // recordCount() at end of file. A move forgets a pending change.
    bool moveFirst();
    bool moveLast();
    bool moveNext();
    bool movePrevious();
    bool moveTo(int row);
    bool bof() const;
    bool eof();
    int position() const;
    // Reads every remaining row, then counts.
    int recordCount();

    // Fields of the current record by name (case-insensitive).
    int fieldCount() const { return int(m_columns.size()); }
    int fieldIndex(const QString &name) const;
    QString fieldName(int column) const;
    QVariant value(const QString &field) const;
    QVariant value(int row, int column) const;
    // The field as the boxes show it: empty for null, general decimal form
    // for numbers.
    QString text(const QString &field) const;
    QString text(int row, int column) const;
    bool setValue(const QString &field, const QVariant &value);

    // Starts a new record after the last one; a pending change is forgotten.
    // While rows are still unread the new record stands after the last row
    // without reading them, and joins the model when the reading in order
    // reaches it.
    bool addNew();
    bool deleteCurrent();
    // Writes the pending change of the current record; false, with the
    // reason in errorString(), when the store refuses it (the change stays
    // pending). The model's own submit(), which item views call when their
    // current row changes, writes nothing: as with a manual-submit model,
    // only the owner stores.
    bool submitPending();
    // Forgets the pending change; a new record is dropped.
    void cancelUpdate();
    bool hasPendingChange() const { return m_newRow || !m_dirty.isEmpty(); }
    bool isNewRecord() const { return m_newRow; }

    // For a query over several tables, the table that deleteCurrent() deletes
    // from (the store's "unique table"). Empty: the only table of the query.
    void setUniqueTable(const QString &table) { m_uniqueTable = table; }

    QString errorString() const { return m_error; }

    static QString textOf(const QVariant &value);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    // Reads every remaining row of the open query and closes it.
    void fetchAll();

signals:
    // The pointer moved, or the current record's content was replaced.
    void currentChanged();
    // A field of the current record was assigned.
    void fieldChanged(int column);
    // Fires after each refresh, before currentChanged.
    void refreshed();

private:
    struct Column
    {
        QString name;
        QString table;  // origin table, empty for an expression
        QString origin; // origin column
        bool numeric = false;
        bool integer = false;
    };

    bool commitPending();
    void forgetPending();
    bool fetchRows(int upTo); // reads rows until upTo rows are held (or the end)
    bool readInOrder(int upTo);
    // Rows held by the tail reader that the reading in order has not reached.
    bool isAhead(int row) const { return m_tail.holds(row) && row >= m_rows.size(); }
    bool readAhead(int row, int count);
    bool readLastBackwards();
    // Puts the last rows read backwards at their place, once counted.
    void settleAhead();
    // Stands on a row held ahead, reading it (and the rows just before it)
    // when it is not held.
    bool standAhead(int row);
    bool held(int row) const { return (row >= 0 && row < m_rows.size()) || isAhead(row); }
    std::vector<QVariant> rowAt(int row) const;
    void setRowAt(int row, std::vector<QVariant> values);
    void closeCursor();
    void setError(const QString &message);
    bool movePointer(int row);
    QString primaryKeyOf(const QString &table) const;
    int resultColumnOf(const QString &table, const QString &column) const;
    bool convertForStore(const Column &column, QVariant &value, QString *error) const;

    QString m_connectionString;
    QString m_recordSource;
    QString m_uniqueTable;
    QString m_error;
    std::shared_ptr<Database> m_db;
    sqlite3 *m_reader = nullptr; // the connection m_cursor reads through
    Statement m_cursor;
    bool m_open = false;
    bool m_resetting = false;
    std::vector<Column> m_columns;
    QHash<QString, int> m_columnByName; // lower-cased name -> first column
    RowStore m_rows;
    TailReader m_tail;
    int m_modelRows = 0; // rows the model has announced to its views
    int m_pos = -1;
    bool m_newRow = false;
    int m_posBeforeNew = -1;          // the pointer when addNew() started the new row
    QSet<int> m_dirty;                // columns assigned on the current record
    std::vector<QVariant> m_original; // the current record before assignment
};
