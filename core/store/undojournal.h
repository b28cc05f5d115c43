#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

class Database;

// Undo and redo of the user's changes to dishes, lines, foods and menus, for as long
// as the store is open. Temporary triggers on mnu, kou, eys, kon and kom copy the row
// as it was before each change into temporary tables of this connection (the
// file never holds them); the changes made by one write, or by the writes of
// one command between beginStep() and endStep(), form one step. Undoing a
// step puts its rows back in one transaction, newest change first; that
// transaction is itself recorded, and becomes the step that redo replays.
class UndoJournal
{
public:
    explicit UndoJournal(Database &store);
    ~UndoJournal();
    UndoJournal(const UndoJournal &) = delete;
    UndoJournal &operator=(const UndoJournal &) = delete;

    // Creates the temporary tables and triggers. False with *error when the
    // store lacks a table or refuses them.
    bool install(QString *error);
    bool isInstalled() const { return m_installed; }

    // The writes between the two calls form one step. Calls nest.
    void beginStep();
    void endStep();

    // One step for as long as it lives: the writes of one command that
    // stores in several (a food, its measures, its components) are undone
    // as one. Does nothing without a journal.
    class Step
    {
    public:
        explicit Step(UndoJournal *journal)
            : m_journal(journal)
        {
            if (m_journal)
                m_journal->beginStep();
        }
        ~Step()
        {
            if (m_journal)
                m_journal->endStep();
        }
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;

    private:
        UndoJournal *m_journal;
    };

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    int undoCount() const { return int(m_undo.size()); }
    int redoCount() const { return int(m_redo.size()); }

    // One step back or forward, in one transaction. False with *error when
    // there is none or the store refuses it; the store is then as before.
    bool undo(QString *error);
    bool redo(QString *error);

    // The dishes whose rows or lines the last undo or redo put back or
    // removed, in the order the step had changed them.
    QList<qint64> touchedDishes() const { return m_touchedDishes; }

    // Forgets every step (the store was replaced).
    void clear();
    // The store's connection is about to be closed, its temporary tables
    // with it: every step is forgotten and the journal is installed again
    // on the new connection before its first write.
    void connectionClosing();

    // For Database::write: after BEGIN, and after a successful COMMIT.
    bool writeStarting(QString *error);
    void writeCommitted();

    // The tables whose changes are recorded.
    static QStringList tables();

private:
    bool setStep(qint64 step, QString *error);
    bool replay(qint64 step, qint64 recordAs, QString *error);
    bool hasRows(qint64 step) const;
    void dropSteps(const std::vector<qint64> &steps);

    struct Table
    {
        QString name;
        QString key;
        QStringList columns; // quoted
    };

    Database &m_store;
    std::vector<Table> m_tables;
    bool m_installed = false;
    bool m_replaying = false;
    int m_depth = 0;         // nesting of beginStep
    bool m_stepOpen = false; // a step id is assigned for the current group
    qint64 m_lastStep = 0;
    qint64 m_current = 0;
    std::vector<qint64> m_undo;
    std::vector<qint64> m_redo;
    QList<qint64> m_touchedDishes;
};
