#pragma once

#include <QString>
#include <QStringList>

// The folder the program works in: the one that holds the user's zento.dll,
// zento.ini and zento.hlp, all opened by relative name once the program has
// made it its working folder.
//
//   1. zento --data-dir DIR      DIR (made and filled when new)
//   2. started in a folder that already holds zento.dll: that folder, as it is
//   3. otherwise the user's data folder, $XDG_DATA_HOME/zento, by default
//      ~/.local/share/zento (made and filled when new)
//
// Filling copies the ready store and the help installed with the program
// (<prefix>/share/zento beside <prefix>/bin). The user's store is never
// replaced once it is there; the help is brought up to the installed one,
// since it belongs to the program, not to the user.
namespace DataFolder {

QString storeName(); // "zento.dll"
QString helpName();  // "zento.hlp"

// Everything the choice depends on, gathered by the caller.
struct Situation
{
    QStringList arguments; // the program's own arguments, its name first
    QString workingFolder; // where it was started (absolute)
    bool workingFolderHoldsStore = false;
    QString xdgDataHome; // $XDG_DATA_HOME, empty when unset
    QString home;        // $HOME

    // The running program's situation: its environment and working folder.
    static Situation current(const QStringList &arguments);
};

struct Choice
{
    QString folder;    // absolute and clean; empty when error is set
    bool fill = false; // make the folder and put the ready files in it
    QString error;     // what was wrong with the arguments or the environment
};

Choice choose(const Situation &situation);

// <programFolder>/../share/zento, clean.
QString readyFolder(const QString &programFolder);

// Makes folder (and its parents) when missing, then copies into it the ready
// store when it has none and the ready help when its own is missing or
// differs. A ready file that does not exist is skipped. Every copy is written
// beside its target and renamed into place, so a failed copy leaves nothing
// half-written. False with a message when something could not be done.
bool fill(const QString &folder, const QString &readyFolder, QString *error);

// Fills the chosen folder when the choice asks for it, then makes it the
// working folder. False with a message for the user when that fails.
bool enter(const Choice &choice, const QString &readyFolder, QString *error);

} // namespace DataFolder
