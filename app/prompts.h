#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QPagedPaintDevice;

// Every message box and input box of the program goes through this interface:
// the real one shows modal Qt dialogs, the scripted one of the tests answers
// from a queue and records what was asked.
class Prompts
{
public:
    enum class Buttons { Ok, OkCancel };
    enum class Icon { None, Exclamation, Information, Critical, Question };
    enum class Answer { Ok, Cancel };

    virtual ~Prompts() = default;

    // A message box; an empty title shows the program title "ゼント".
    virtual Answer message(const QString &prompt, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None, const QString &title = QString()) = 0;
    // An input box; nothing when the user cancels.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText = QString()) = 0;

    // One of several options (a drop-down list); nothing when the user
    // cancels. The scripted prompts answer the first option unless told.
    virtual std::optional<int> choose(const QString &prompt, const QString &title,
                                      const QStringList &options, int initial = 0);
    // The name of a file to write; nothing when the user cancels.
    virtual std::optional<QString> saveFileName(const QString &title, const QString &suggested,
                                                const QString &filter);
    // Pages shown in a print preview, from which the user may print them;
    // `paint` paints them on the device it is given.
    virtual void printPreview(const QString &title,
                              const std::function<void(QPagedPaintDevice *)> &paint);
    enum class FileMode { Save, Open };
    // A file picker starting at suggested (a name or a path); nothing when
    // the user cancels. Saving asks before an existing file is replaced.
    virtual std::optional<QString> chooseFile(FileMode mode, const QString &title,
                                              const QString &suggested)
    {
        Q_UNUSED(mode);
        Q_UNUSED(title);
        Q_UNUSED(suggested);
        return std::nullopt;
    }

    // 「<what>を書き込めませんでした。」 with the reason, as a critical message.
    void tellWriteFailure(const QString &what, const QString &reason)
    {
        message(what + QStringLiteral("を書き込めませんでした。\n") + reason, Buttons::Ok,
                Icon::Critical);
    }

    static QString programTitle() { return QStringLiteral("ゼント"); }
};

// The dialogs the user sees.
class DialogPrompts : public Prompts
{
public:
    Answer message(const QString &prompt, Buttons buttons, Icon icon,
                   const QString &title) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    std::optional<int> choose(const QString &prompt, const QString &title,
                              const QStringList &options, int initial) override;
    std::optional<QString> saveFileName(const QString &title, const QString &suggested,
                                        const QString &filter) override;
    void printPreview(const QString &title,
                      const std::function<void(QPagedPaintDevice *)> &paint) override;
    std::optional<QString> chooseFile(FileMode mode, const QString &title,
                                      const QString &suggested) override;
};
