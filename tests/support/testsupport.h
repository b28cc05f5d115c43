#pragma once

#include "app/prompts.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>
#include <optional>

class Program;
struct sqlite3;

// A message box or input box that the program asked for.
struct AskedPrompt
{
    enum Kind { Message, Input, File, Choice, SaveFile, Preview } kind;
    QString prompt; // for a file picker: the name or path suggested
    QString title;  // as given; empty means the program title
    Prompts::Buttons buttons = Prompts::Buttons::Ok;
    Prompts::Icon icon = Prompts::Icon::None;
    Prompts::FileMode fileMode = Prompts::FileMode::Open;
};

// Answers prompts from a queue (OK when the queue is empty) and records them.
class ScriptedPrompts : public Prompts
{
public:
    QList<AskedPrompt> asked;
    QList<Answer> answers;
    QList<std::optional<QString>> inputs;
    QList<std::optional<int>> choices;       // choose(): the first option when empty
    QList<std::optional<QString>> saveNames; // saveFileName(): cancelled when empty
    int previews = 0;                        // pages painted by printPreview()
    QList<std::optional<QString>> files;     // answers of the file picker

    Answer message(const QString &prompt, Buttons buttons, Icon icon,
                   const QString &title) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    std::optional<int> choose(const QString &prompt, const QString &title,
                              const QStringList &options, int initial) override;
    std::optional<QString> saveFileName(const QString &title, const QString &suggested,
                                        const QString &filter) override;
    // Paints the pages into a PDF in memory and counts them.
    void printPreview(const QString &title,
                      const std::function<void(QPagedPaintDevice *)> &paint) override;
    std::optional<QString> chooseFile(FileMode mode, const QString &title,
                                      const QString &suggested) override;
    void clear()
    {
        asked.clear();
        answers.clear();
        inputs.clear();
        choices.clear();
        saveNames.clear();
        previews = 0;
        files.clear();
    }
};

// A temporary working folder that is the process's working directory while
// the fixture lives, with a store "zento.dll" built in it.
class TestFolder
{
public:
    TestFolder();
    ~TestFolder();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Builds zento.dll: the schema, then the SQL given (empty: no rows at all).
    bool makeStore(const QString &sql = QString());
    // Builds zento.dll with the demonstration data set.
    bool makeDemoStore();

    // Runs SQL on zento.dll through a connection of its own.
    bool exec(const QString &sql);
    // The first column of the first row of a query, null when there is none.
    QVariant scalar(const QString &sql);
    qint64 count(const QString &table)
    {
        return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
    }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// count dishes "料理1" … of one line each (100 g of food 1), as SQL.
QString dishesWithLines(int count);
// Flips the last bytes of the lines' dish index in the store file path,
// whose entries then no longer match the lines: the file opens and its
// tables read; only a full check finds it (needs a few hundred lines).
bool flipIndexPage(const QString &path);
// Puts beside the store file path a log of another database (a copy of the
// store with a dish "外来" added), as a store that keeps no log never has.
bool putForeignLog(const QString &path);

// The minimal reference rows every store needs: category 20, the unit "ｇ"
// with KAK 1 and a standards row for every age 1-80 and sex.
QString minimalReferenceSql();

// Starts a program (StartProgram) with scripted prompts in the current folder.
struct StartedProgram
{
    ScriptedPrompts prompts;
    std::unique_ptr<Program> program;
    StartedProgram();
    ~StartedProgram();
    void start();
};

// Sets up the application as main() does; for use in initTestCase().
void setUpTestApplication();
