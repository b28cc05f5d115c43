#include "core/app/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace DataFolder {

QString storeName()
{
    return QStringLiteral("zento.dll");
}

QString helpName()
{
    return QStringLiteral("zento.hlp");
}

namespace {

QString usage()
{
    return QStringLiteral("使い方: zento [--data-dir フォルダー]");
}

// The folder named by --data-dir, empty when the option is absent; an error
// for anything else on the command line.
QString dataDirArgument(const QStringList &arguments, QString *error)
{
    const QString option = QStringLiteral("--data-dir");
    QString folder;
    bool given = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        QString value;
        if (argument == option) {
            if (i + 1 >= arguments.size()) {
                *error =
                    QStringLiteral("--data-dir のあとにフォルダーを指定してください。\n") + usage();
                return {};
            }
            value = arguments[++i];
        } else if (argument.startsWith(option + QLatin1Char('='))) {
            value = argument.mid(option.size() + 1);
        } else {
            *error = QStringLiteral("「%1」は使えない引数です。\n").arg(argument) + usage();
            return {};
        }
        if (value.isEmpty()) {
            *error = QStringLiteral("--data-dir のフォルダー名が空です。\n") + usage();
            return {};
        }
        if (given) {
            *error = QStringLiteral("--data-dir は一度だけ指定してください。\n") + usage();
            return {};
        }
        given = true;
        folder = value;
    }
    return folder;
}

QString absoluteClean(const QString &base, const QString &path)
{
    return QDir::cleanPath(QDir(base).absoluteFilePath(path));
}

bool sameContents(const QString &a, const QString &b)
{
    QFile one(a), other(b);
    if (!one.open(QIODevice::ReadOnly) || !other.open(QIODevice::ReadOnly))
        return false;
    if (one.size() != other.size())
        return false;
    while (!one.atEnd()) {
        if (one.read(1 << 16) != other.read(1 << 16))
            return false;
    }
    return true;
}

bool copyInto(const QString &source, const QString &target, QString *error)
{
    QFile in(source);
    QSaveFile out(target);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("「%1」を読めません: %2")
                     .arg(QDir::toNativeSeparators(source), in.errorString());
        return false;
    }
    if (!out.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("「%1」を作れません: %2")
                     .arg(QDir::toNativeSeparators(target), out.errorString());
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 16);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError)
            break;
        if (out.write(chunk) != chunk.size())
            break;
    }
    if (in.error() != QFileDevice::NoError || out.error() != QFileDevice::NoError ||
        !out.commit()) {
        const QString reason =
            in.error() != QFileDevice::NoError ? in.errorString() : out.errorString();
        out.cancelWriting();
        *error =
            QStringLiteral("「%1」を「%2」へコピーできません: %3")
                .arg(QDir::toNativeSeparators(source), QDir::toNativeSeparators(target), reason);
        return false;
    }
    return true;
}

} // namespace

Situation Situation::current(const QStringList &arguments)
{
    Situation situation;
    situation.arguments = arguments;
    situation.workingFolder = QDir::currentPath();
    situation.workingFolderHoldsStore = QFileInfo(storeName()).isFile();
    situation.xdgDataHome = qEnvironmentVariable("XDG_DATA_HOME");
    situation.home = qEnvironmentVariable("HOME");
    return situation;
}

Choice choose(const Situation &situation)
{
    Choice choice;
    const QString dataDir = dataDirArgument(situation.arguments, &choice.error);
    if (!choice.error.isEmpty())
        return choice;
    if (!dataDir.isEmpty()) {
        choice.folder = absoluteClean(situation.workingFolder, dataDir);
        choice.fill = true;
        return choice;
    }
    if (situation.workingFolderHoldsStore) {
        choice.folder = QDir::cleanPath(situation.workingFolder);
        return choice;
    }
    // A relative $XDG_DATA_HOME is not meant to be used: it is ignored.
    QString dataHome = situation.xdgDataHome;
    if (!QDir::isAbsolutePath(dataHome)) {
        if (!QDir::isAbsolutePath(situation.home)) {
            choice.error = QStringLiteral("ホームフォルダーがわからないため、データフォルダーを"
                                          "決められません（HOME が設定されていません）。\n"
                                          "--data-dir でフォルダーを指定してください。\n") +
                           usage();
            return choice;
        }
        dataHome = situation.home + QStringLiteral("/.local/share");
    }
    choice.folder = QDir::cleanPath(dataHome + QStringLiteral("/zento"));
    choice.fill = true;
    return choice;
}

QString readyFolder(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/zento"));
}

bool fill(const QString &folder, const QString &readyFolder, QString *error)
{
    const QFileInfo info(folder);
    if (info.exists() && !info.isDir()) {
        *error = QStringLiteral("データフォルダー「%1」はフォルダーではありません。")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("データフォルダー「%1」を作れません。")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QDir here(folder), ready(readyFolder);
    const QString store = here.filePath(storeName());
    const QString readyStore = ready.filePath(storeName());
    if (!QFileInfo::exists(store) && QFileInfo(readyStore).isFile() &&
        !copyInto(readyStore, store, error))
        return false;
    const QString help = here.filePath(helpName());
    const QString readyHelp = ready.filePath(helpName());
    if (QFileInfo(readyHelp).isFile() && !sameContents(readyHelp, help) &&
        !copyInto(readyHelp, help, error))
        return false;
    return true;
}

bool enter(const Choice &choice, const QString &readyFolder, QString *error)
{
    if (!choice.error.isEmpty()) {
        *error = choice.error;
        return false;
    }
    if (choice.fill && !fill(choice.folder, readyFolder, error))
        return false;
    if (!QDir::setCurrent(choice.folder)) {
        *error = QStringLiteral("データフォルダー「%1」に移れません。")
                     .arg(QDir::toNativeSeparators(choice.folder));
        return false;
    }
    return true;
}

} // namespace DataFolder
