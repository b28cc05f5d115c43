#pragma once

#include "core/settings/settingsfile.h"
#include "core/store/backup.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class Database;
class OfficialTable;
class Fmain;
class FrmAbout;
class FrmAll;
class FrmConfig;
class FrmKij;
class FrmKon;
class FrmSchF;
class FrmSchM;
class FrmSplash;
class HelpWindow;
class Prompts;
class Seibn;
class StoreLock;
class Database;

// The program's module: the start-up routine, the module-wide variables and
// the windows. Secondary windows are created when they are opened and
// destroyed ("unloaded") when they close; the food editor and the settings
// window live as the start-up leaves them.
class Program : public QObject
{
    Q_OBJECT

public:
    explicit Program(Prompts &prompts, QObject *parent = nullptr);
    ~Program() override;

    // The start-up routine: builds the connection text, reads the settings,
    // shows the cover, loads the main window and the food editor, binds the
    // lists, makes the last dish current and shows the main window. False
    // when the user chose to quit (the store is held by another program).
    bool start();
    // Does now what start() leaves until just after the first paint (the
    // food editor, the day's copy of the store), for callers that do not
    // run the event loop.
    void finishStartUp();
    // Returns once the check of the store and the day's copy are done.
    void waitForStoreCheck();
    // Starts the check of the store's pages and indexes beside the window,
    // and after it the day's copy when one is due; returns at once. Done
    // once; start() does it just after the first paint.
    void checkStoreBeside();
    bool isCheckingStore() const { return m_startCheck.isRunning(); }
    // Closes every window; the program ends.
    void end();
    bool hasEnded() const { return m_ended; }

    Prompts &prompts() const { return m_prompts; }

    // Module-wide variables.
    QString DbConnectionString;
    static QString connectionText();

    // Windows. fmain() exists once start() has loaded it; seibn() loads the
    // food editor hidden and bound when it is first asked for after that;
    // config() loads the settings window hidden when it is not loaded; the
    // one start-up loads is built when first asked for, from the reading of
    // the file start-up made.
    Fmain *fmain() const;
    Seibn *seibn();
    FrmConfig *config();
    bool isConfigLoaded() const;
    void unloadConfig();
    FrmSplash *splash() const;
    FrmKij *comparison() const;
    FrmSchF *foodSearch() const;
    FrmSchM *dishList() const;
    FrmAbout *about() const;
    HelpWindow *help() const;

    // Menu and button commands that open windows, all modeless.
    void showConfig();
    void showDishList();
    void showFoodSearch();
    void showComparison();
    void showMenus(); // 表示 > 献立
    void showAll();   // 表示 > 栄養成分一覧, and from the comparison window
    FrmAll *allComponents() const;
    void showAbout();
    void showHelp();
    // The main window's current dish or its lines changed: an open
    // comparison window follows it.
    void followCurrentDish();
    // Moves a window opened for the first time beside the main window (see
    // Placement::beside); a window already placed stays where it is.
    void placeBesideMain(QWidget *window) const;

    // The reason the store could not be opened at start-up, if it could not,
    // or why its edits are off.
    QString storeError() const { return m_storeError; }

    // The store, held for the whole run so that its undo journal lives as
    // long; null when it could not be opened.
    std::shared_ptr<Database> store() const { return m_store; }

    // ---- The official food table as installed with the program
    // Whether an official food's values differ from the installed table's;
    // nothing for the user's own foods, or without an installed table.
    // Answers are kept until forgetOfficialChanges().
    std::optional<bool> differsFromOfficial(qint64 food) const;
    // Puts the installed values of the food back (one undo step).
    bool restoreOfficial(qint64 food, QString *error);
    // Foods were changed (stored, undone, restored): ask again.
    void forgetOfficialChanges() const { m_officialDiffers.clear(); }
    // Whether the edit commands are on: the store opened writable and whole.
    bool isEditable() const { return m_editable; }

    // Store commands of the main window's menus.
    void backupStore();  // ﾌｧｲﾙ > バックアップ
    void restoreStore(); // ﾌｧｲﾙ > 復元
    void undo();         // ﾃﾞｰﾀ > 元に戻す, Ctrl+Z
    void redo();         // ﾃﾞｰﾀ > やり直し, Ctrl+Y
    // After the store changed under the windows: every list, the recipe and
    // the totals again. The current dish stays, or becomes preferredDish
    // when that still exists, or the last dish.
    void reloadAll(qint64 preferredDish = 0);

private:
    // False when the user chose to quit rather than share the store.
    bool checkStore();
    void checkOpenStore();
    // What the check beside the window found: a damaged store turns edits
    // off and offers the newest whole copy; a day's copy that could not be
    // made is told.
    void storeChecked(const Backup::CheckReport &report, int serial);
    // Replaces the store by the copy source and shows the result.
    void restoreFrom(const QString &source);
    void setEditable(bool editable);

    Prompts &m_prompts;
    bool m_editable = false;
    bool m_ended = false;
    QString m_storeError;
    std::unique_ptr<StoreLock> m_lock; // released after the store closes
    bool m_lockedOut = false;          // opened read-only: another program holds it
    bool m_checkDue = false;
    int m_checkSerial = 0; // a report of an earlier store's check is dropped
    bool m_restoring = false;
    bool m_dailyCopyDue = false;
    Backup::StartCheck m_startCheck;
    std::shared_ptr<Database> m_store;
    std::unique_ptr<OfficialTable> m_official;
    mutable QHash<qint64, std::optional<bool>> m_officialDiffers;
    QPointer<Fmain> m_fmain;
    QPointer<Seibn> m_seibn;
    QPointer<FrmConfig> m_config;
    std::optional<SettingsFile::Reading> m_configReading; // loaded, not yet built
    QString m_columnWidths; // the column widths as the settings file holds them
    // Writes the column widths the user changed into the settings file.
    void saveColumnWidths();
    QPointer<FrmSplash> m_splash;
    QPointer<FrmKij> m_kij;
    QPointer<FrmKon> m_kon;
    QPointer<FrmAll> m_all;
    QPointer<FrmSchF> m_schF;
    QPointer<FrmSchM> m_schM;
    QPointer<FrmAbout> m_about;
    QPointer<HelpWindow> m_help;
};
