#include "app/program.h"

#include "about/frmabout.h"
#include "app/bindings.h"
#include "app/fmain.h"
#include "app/frmsplash.h"
#include "app/helpwindow.h"
#include "app/prompts.h"
#include "core/app/datafolder.h"
#include "core/app/leftovers.h"
#include "core/app/placement.h"
#include "core/dish/dishsession.h"
#include "core/settings/settingsfile.h"
#include "core/store/backup.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "core/store/officialtable.h"
#include "core/store/schema.h"
#include "core/store/storecheck.h"
#include "core/store/storelock.h"
#include "core/store/undojournal.h"
#include "export/exportcommands.h"
#include "foods/seibn.h"
#include "menu/frmkon.h"
#include "nutrition/frmall.h"
#include "nutrition/frmkij.h"
#include "search/frmschf.h"
#include "search/frmschm.h"
#include "settings/frmconfig.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>

Program::Program(Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_prompts(prompts)
{
}

Program::~Program()
{
    if (m_store)
        m_store->setBeforeFirstWrite(nullptr);
    end();
    // The main window's deletion may still be pending when the event loop has
    // ended: delete it now, so that every data source lets go of the store and
    // the store closes cleanly, its log folded back into the one file.
    delete m_fmain;
}

QString Program::connectionText()
{
    return QStringLiteral("Provider=Zento.SQLite.1;Data Source=zento.dll;") +
           QStringLiteral("Persist Security Info=False");
}

Fmain *Program::fmain() const
{
    return m_fmain;
}

Seibn *Program::seibn()
{
    // The food editor is loaded hidden at start-up and bound to the foods. It
    // is built and bound when first asked for instead, which no one can tell
    // apart: hidden, it shows nothing, and every command that opens it first
    // points it at its food. The first paint then waits for the main window
    // alone.
    if (!m_seibn && m_fmain && !m_ended) {
        m_seibn = new Seibn(*this);
        m_seibn->BindFoodEditor();
        m_seibn->setEditable(m_editable);
    }
    return m_seibn;
}

FrmSplash *Program::splash() const
{
    return m_splash;
}

FrmKij *Program::comparison() const
{
    return m_kij;
}

FrmSchF *Program::foodSearch() const
{
    return m_schF;
}

FrmSchM *Program::dishList() const
{
    return m_schM;
}

FrmAbout *Program::about() const
{
    return m_about;
}

HelpWindow *Program::help() const
{
    return m_help;
}

bool Program::isConfigLoaded() const
{
    return m_config != nullptr || m_configReading.has_value();
}

FrmConfig *Program::config()
{
    if (!m_config) {
        // Loading reads the settings file, unless start-up read it already.
        if (m_configReading)
            m_config = new FrmConfig(*this, *m_configReading);
        else
            m_config = new FrmConfig(*this);
        m_configReading.reset();
    }
    return m_config;
}

void Program::unloadConfig()
{
    m_configReading.reset();
    delete m_config;
}

bool Program::start()
{
    // 1. The connection text. A store that cannot be opened is reported once
    // the main window is up; everything else proceeds with empty lists.
    DbConnectionString = connectionText();
    if (!checkStore()) {
        m_ended = true;
        return false;
    }

    // 2-3. Read the settings as the settings window loads them; show the
    // cover. The window itself is built only when it is first shown: what it
    // would hold is known from this one reading, and building it hidden would
    // hold up the first paint.
    const SettingsFile::Reading settings = SettingsFile::readOnce(SettingsFile::fileName());
    const bool cover = settings.text && SettingsFile::showsCover(*settings.text);
    // A settings file that cannot be read leaves the defaults; the reason is
    // told once, with the main window up.
    // Only a file too large to be a settings file is told; one that cannot
    // be read or made at all leaves the defaults without a word.
    const QFileInfo settingsInfo(SettingsFile::fileName());
    const QString settingsError =
        settingsInfo.isFile() && settingsInfo.size() > SettingsFile::maxBytes ? settings.error
                                                                              : QString();
    // The cover is made only to be shown: made and left hidden, it was work
    // the first paint waited for.
    if (cover) {
        m_splash = new FrmSplash();
        m_splash->show();
    }
    // 4. Let the cover paint.
    QApplication::processEvents();
    // 5-7. The main window, hidden; the food editor comes with seibn().
    m_fmain = new Fmain(*this);
    new ExportCommands(*m_fmain);
    // 8-9. The settings window stays loaded, hidden, with that reading; the
    // colour is the name its box would show (its initial text when the file
    // could not be read, which names no colour).
    m_configReading = settings;
    // The column widths the user gave grids in earlier sessions.
    if (settings.text)
        DataGrid::readWidths(
            SettingsFile::GetSettingValue(*settings.text, SettingsFile::columnsKey()));
    m_columnWidths = DataGrid::widthsText();
    const QString colour =
        settings.text ? SettingsFile::GetSettingValue(*settings.text, SettingsFile::backKey())
                      : QString();
    if (colour == QStringLiteral("背景色１"))
        m_fmain->ApplyBackColor1();
    else if (colour == QStringLiteral("背景色２"))
        m_fmain->ApplyBackColor2();
    else if (colour == QStringLiteral("背景色３"))
        m_fmain->ApplyBackColor3();
    // 10-14. Lists, the last dish, its recipe and totals.
    m_fmain->loadLists();
    // 16-17. Show the main window, remove the cover.
    setEditable(m_editable);
    m_fmain->show();
    delete m_splash;
    // The food editor is built once the main window has been painted and the
    // user has had a moment, so that its first opening costs no more than
    // the next.
    constexpr int editorDelayMs = 300;
    QTimer::singleShot(editorDelayMs, this, [this] { seibn(); });
    // The check of the store's pages and the day's copy wait until then
    // too: on a large store they would hold up the first paint.
    constexpr int storeCheckDelayMs = 500;
    QTimer::singleShot(storeCheckDelayMs, this, [this] { checkStoreBeside(); });

    if (!settingsError.isEmpty())
        m_prompts.message(settingsError, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    if (!m_storeError.isEmpty()) {
        if (!m_store)
            m_prompts.message(m_storeError +
                                  QStringLiteral("\n料理と食品の一覧は空のまま起動します。"),
                              Prompts::Buttons::Ok, Prompts::Icon::Critical);
        else
            m_prompts.message(m_storeError, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    }
    return true;
}

bool Program::checkStore()
{
    // One program changes a store at a time: a second one opens it
    // read-only, or not at all, as the user chooses.
    const QString path = Database::dataSourceOf(DbConnectionString);
    m_lock = std::make_unique<StoreLock>(path);
    if (QFileInfo(path).isFile() && m_lock->acquire() == StoreLock::Outcome::Elsewhere) {
        if (m_prompts.message(StoreLock::heldQuestion(QFileInfo(path).fileName(), m_lock->holder()),
                              Prompts::Buttons::OkCancel,
                              Prompts::Icon::Exclamation) != Prompts::Answer::Ok)
            return false;
        DbConnectionString += QStringLiteral(";Mode=Read");
        m_lockedOut = true;
    }
    // What a killed copy or settings write left beside the store goes.
    Leftovers::removeBesideStore(path);
    // One message at most: the store cannot be opened, lacks parts, or
    // cannot be written; in each case the edit commands are off.
    QString error;
    m_store = Database::open(DbConnectionString, &error);
    m_editable = false;
    if (!m_store) {
        m_storeError = error;
        return true;
    }
    m_checkDue = true;
    checkOpenStore();
    // How the store was opened (a log moved aside) is told with the rest.
    if (!m_store->notice().isEmpty())
        m_storeError = m_storeError.isEmpty()
                           ? m_store->notice()
                           : m_store->notice() + QLatin1Char('\n') + m_storeError;
    return true;
}

void Program::checkOpenStore()
{
    QString error;
    const QString name = QFileInfo(m_store->fileName()).fileName();
    // The installed table, to tell changed official foods by (none when the
    // store is the installed one itself).
    {
        QString ready = QDir(DataFolder::readyFolder(QCoreApplication::applicationDirPath()))
                            .filePath(DataFolder::storeName());
        if (QFileInfo(ready).canonicalFilePath() ==
            QFileInfo(m_store->fileName()).canonicalFilePath())
            ready.clear();
        m_official = std::make_unique<OfficialTable>(ready);
        m_officialDiffers.clear();
    }
    QStringList missing = StoreCheck::missingParts(m_store->handle());
    // The dishes' kept figures (mns) only spare counting: a store that
    // cannot be written counts them each time instead.
    if (m_store->isReadOnly())
        missing.removeAll(QStringLiteral("表「mns」"));
    // A store made by an earlier version lacks only what later versions
    // added (full names, household measures, the reading index, the
    // components): it is brought up to date in one transaction, its data
    // untouched; the official foods' components come from the store
    // installed with the program.
    if (!missing.isEmpty() && !m_store->isReadOnly()) {
        sqlite3 *db = m_store->handle();
        QString installed = QDir(DataFolder::readyFolder(QCoreApplication::applicationDirPath()))
                                .filePath(DataFolder::storeName());
        if (QFileInfo(installed).canonicalFilePath() ==
            QFileInfo(m_store->fileName()).canonicalFilePath())
            installed.clear();
        // Only a store that is then whole keeps the change: one that still
        // lacks parts is left as it was, never written.
        QStringList remaining = missing;
        if (m_store->write(
                [db, installed, &remaining](QString *e) {
                    if (!Schema::bringUpToDate(db, e, installed))
                        return false;
                    remaining = StoreCheck::missingParts(db);
                    return remaining.isEmpty();
                },
                &error))
            missing.clear();
        else
            missing = remaining;
    }
    if (!missing.isEmpty() && m_store->isReadOnly()) {
        // Most likely a store of an earlier version that cannot be brought
        // up to date: it is told as what it is, read-only.
        m_storeError = StoreCheck::readOnlyMessage(name) +
                       QStringLiteral("\n書き込めないため、%1を加えられませんでした。")
                           .arg(missing.join(QStringLiteral("、")));
        return;
    }
    if (!missing.isEmpty()) {
        m_storeError = StoreCheck::missingMessage(name, missing);
        m_store->refuseEdits(QStringLiteral("データベース「%1」に%2がないので、変更できません。")
                                 .arg(name, missing.join(QStringLiteral("、"))));
        return;
    }
    if (m_store->isReadOnly()) {
        if (!m_lockedOut)
            m_storeError = StoreCheck::readOnlyMessage(name);
        return;
    }
    m_store->refuseEdits(QString());
    m_store->useWriteAheadLog();
    m_editable = true;
    // The journal's triggers are made by the first change, not before the
    // first paint.
    if (!m_store->undoJournal())
        m_store->setUndoJournal(std::make_unique<UndoJournal>(*m_store));
    // The first start of a day keeps a copy of the store as it was: made
    // once the main window is up, and in any case before the first change,
    // once the store passed its check.
    m_dailyCopyDue = true;
    m_store->setBeforeFirstWrite([this] { checkStoreBeside(); });
}

void Program::finishStartUp()
{
    seibn();
    checkStoreBeside();
    waitForStoreCheck();
}

void Program::checkStoreBeside()
{
    if (!m_checkDue || !m_store)
        return;
    m_checkDue = false;
    m_store->setBeforeFirstWrite(nullptr);
    const bool copyDue = std::exchange(m_dailyCopyDue, false);
    const QDate today = QDate::currentDate();
    // With a write-ahead log (or no writes at all) the check runs beside the
    // window, on the store as it is now; the log is not folded back
    // meanwhile, since that would wait for it.
    if (m_store->hasWriteAheadLog() || m_store->isReadOnly()) {
        m_store->holdLog(true);
        // Told on the checking thread; the program stops it before it ends.
        auto checked = [this, serial = m_checkSerial](const Backup::CheckReport &report) {
            QMetaObject::invokeMethod(
                this, [this, report, serial] { storeChecked(report, serial); },
                Qt::QueuedConnection);
        };
        QString error;
        if (m_startCheck.start(m_store->fileName(), today, copyDue, checked, &error))
            return;
        m_store->holdLog(false);
    }
    // Otherwise a reader beside would hold up every change: it runs here.
    storeChecked(Backup::checkThenCopy(m_store->handle(), m_store->fileName(), today, copyDue),
                 m_checkSerial);
}

void Program::storeChecked(const Backup::CheckReport &report, int serial)
{
    if (m_store)
        m_store->holdLog(false);
    if (report.stopped || m_ended || !m_store || m_restoring || serial != m_checkSerial)
        return;
    if (!report.error.isEmpty())
        m_prompts.message(QStringLiteral("毎日のバックアップを作れませんでした。\n") + report.error,
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    if (report.damage.isEmpty())
        return;
    const QString name = QFileInfo(m_store->fileName()).fileName();
    m_store->refuseEdits(
        QStringLiteral("データベース「%1」が壊れているので、変更できません。").arg(name));
    setEditable(false);
    QString text = report.damage + QStringLiteral("\n編集の機能を止めました。");
    if (report.goodCopy.isEmpty() || m_store->isReadOnly()) {
        if (report.goodCopy.isEmpty())
            text +=
                QStringLiteral("\nbackups フォルダーに、壊れていないバックアップがありません。");
        m_prompts.message(text, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    const QFileInfo copy(report.goodCopy);
    text += QStringLiteral("\n壊れていないいちばん新しいバックアップ「%1」（%2）に戻しますか?"
                           "\n今のデータは「%3.bak」に残します。")
                .arg(QDir::toNativeSeparators(copy.filePath()),
                     copy.lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm")), name);
    if (m_prompts.message(text, Prompts::Buttons::OkCancel, Prompts::Icon::Critical) ==
        Prompts::Answer::Ok)
        restoreFrom(report.goodCopy);
}

void Program::waitForStoreCheck()
{
    m_startCheck.wait();
    if (m_store)
        m_store->holdLog(false);
}

void Program::setEditable(bool editable)
{
    m_editable = editable;
    if (m_fmain)
        m_fmain->setEditable(editable);
    if (m_seibn)
        m_seibn->setEditable(editable);
}

void Program::backupStore()
{
    if (!m_store) {
        m_prompts.message(m_storeError, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    const QString suggested = QFileInfo(m_store->fileName())
                                  .absoluteDir()
                                  .filePath(Backup::defaultName(QDateTime::currentDateTime()));
    const std::optional<QString> target =
        m_prompts.chooseFile(Prompts::FileMode::Save, QStringLiteral("バックアップ"), suggested);
    if (!target)
        return;
    QString error;
    if (!Backup::copy(m_store->handle(), *target, &error)) {
        m_prompts.message(error, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    m_prompts.message(QStringLiteral("バックアップを「%1」に作りました。").arg(*target),
                      Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void Program::restoreStore()
{
    if (!m_store) {
        m_prompts.message(m_storeError, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    const std::optional<QString> source = m_prompts.chooseFile(
        Prompts::FileMode::Open, QStringLiteral("復元"),
        QFileInfo(m_store->fileName()).absoluteDir().filePath(QStringLiteral("backups")));
    if (!source)
        return;
    // The copy kept from an earlier restore gives way to the data of now.
    const QString bak = QFileInfo(m_store->fileName()).fileName() + QStringLiteral(".bak");
    const QString earlier =
        QFileInfo::exists(m_store->fileName() + QStringLiteral(".bak"))
            ? QStringLiteral("\nいまある「%1」は、今のデータで置き換わります。\n").arg(bak)
            : QString();
    if (m_prompts.message(QStringLiteral("今のデータを「%1」の内容に置き換えます。\n"
                                         "今のデータは「%2」に残します。%3よろしいですか?")
                              .arg(*source, bak, earlier),
                          Prompts::Buttons::OkCancel,
                          Prompts::Icon::Question) != Prompts::Answer::Ok)
        return;
    restoreFrom(*source);
}

void Program::restoreFrom(const QString &source)
{
    // The day's copy keeps the store as it was before the restore; what the
    // check finds in the store being replaced is no longer told.
    m_restoring = true;
    checkStoreBeside();
    waitForStoreCheck();
    m_restoring = false;
    ++m_checkSerial;
    // A name box with a change the user has not left yet would be written
    // into the restored store: it is dropped with the rest of the old state.
    QString error;
    if (!Backup::restore(*m_store, source, &error)) {
        m_prompts.message(error, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    // The restore went through the log: it is folded back and emptied now.
    m_store->foldLog();
    // The restored store is checked as at start-up: it is whole, so edits
    // are on again unless the file cannot be written.
    m_storeError.clear();
    m_store->refuseEdits(QString());
    setEditable(!m_store->isReadOnly());
    if (m_editable && !m_store->undoJournal())
        m_store->setUndoJournal(std::make_unique<UndoJournal>(*m_store));
    reloadAll();
    m_prompts.message(QStringLiteral("「%1」から復元しました。").arg(source), Prompts::Buttons::Ok,
                      Prompts::Icon::Information);
}

void Program::undo()
{
    UndoJournal *journal = m_store ? m_store->undoJournal() : nullptr;
    if (!m_editable || !journal)
        return;
    QString error;
    if (!journal->undo(&error)) {
        m_prompts.message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    const QList<qint64> dishes = journal->touchedDishes();
    reloadAll(dishes.isEmpty() ? 0 : dishes.first());
}

void Program::redo()
{
    UndoJournal *journal = m_store ? m_store->undoJournal() : nullptr;
    if (!m_editable || !journal)
        return;
    QString error;
    if (!journal->redo(&error)) {
        m_prompts.message(error, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    const QList<qint64> dishes = journal->touchedDishes();
    reloadAll(dishes.isEmpty() ? 0 : dishes.first());
}

void Program::reloadAll(qint64 preferredDish)
{
    forgetOfficialChanges();
    if (!m_fmain)
        return;
    m_fmain->reloadFromStore(preferredDish);
    if (m_seibn)
        m_seibn->BindFoodEditor();
    if (m_schM)
        m_schM->LoadDishOverview();
    if (m_schF)
        m_schF->reloadResults();
    if (m_kon)
        m_kon->reload();
}

void Program::end()
{
    if (m_ended)
        return;
    m_ended = true;
    saveColumnWidths();
    // Every other window closes with the main window; nothing more runs.
    delete m_kij;
    delete m_kon;
    delete m_all;
    delete m_schF;
    delete m_schM;
    delete m_about;
    delete m_help;
    delete m_config;
    delete m_splash;
    delete m_seibn;
    if (m_fmain)
        m_fmain->deleteLater();
    // A check still running ends at once; the next start checks again.
    m_startCheck.stop();
    m_store.reset(); // closes once the main window's sources let go of it
    if (QCoreApplication::instance() && parent() == nullptr)
        QCoreApplication::quit();
}

std::optional<bool> Program::differsFromOfficial(qint64 food) const
{
    if (!m_official || !m_store || food >= Schema::firstUserFoodId)
        return std::nullopt;
    const auto known = m_officialDiffers.constFind(food);
    if (known != m_officialDiffers.constEnd())
        return *known;
    const std::optional<bool> differs = m_official->differs(m_store->handle(), food);
    m_officialDiffers.insert(food, differs);
    return differs;
}

bool Program::restoreOfficial(qint64 food, QString *error)
{
    if (!m_official || !m_store) {
        if (error)
            *error = QStringLiteral("インストールされた食品成分表が見つかりません。");
        return false;
    }
    const bool restored = m_official->restore(*m_store, food, error);
    forgetOfficialChanges();
    return restored;
}

void Program::saveColumnWidths()
{
    const QString widths = DataGrid::widthsText();
    if (widths == m_columnWidths)
        return;
    m_columnWidths = widths;
    // A file that cannot be read is left as it is, as at start-up.
    const SettingsFile::Reading now = SettingsFile::readOnce(SettingsFile::fileName());
    if (!now.text)
        return;
    QString error;
    if (!SettingsFile::write(SettingsFile::fileName(), SettingsFile::withColumns(*now.text, widths),
                             &error))
        prompts().message(QStringLiteral("列の幅を設定ファイルに記録できませんでした。\n") + error,
                          Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

static void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

void Program::placeBesideMain(QWidget *window) const
{
    if (!m_fmain || !m_fmain->isVisible() || window->property("placed").toBool())
        return;
    window->setProperty("placed", true);
    int others = 0;
    for (QWidget *open : QApplication::topLevelWidgets())
        others += open != m_fmain && open != window && open->isVisible() ? 1 : 0;
    window->move(Placement::beside(m_fmain->frameGeometry(), window->frameGeometry().size(),
                                   m_fmain->screen()->availableGeometry(), others));
}

// A secondary window is loaded when it is opened and unloaded when it closes;
// opening it while it is open only brings it to the front. It opens beside
// the main window.
template <typename Window, typename... Args>
static Window *open(const Program &program, QPointer<Window> &window, Args &...args)
{
    if (!window) {
        window = new Window(args...);
        window->setAttribute(Qt::WA_DeleteOnClose);
        program.placeBesideMain(window);
    }
    bringUp(window);
    return window;
}

void Program::showConfig()
{
    bringUp(config());
}

void Program::showDishList()
{
    open(*this, m_schM, *this);
}

void Program::showFoodSearch()
{
    open(*this, m_schF, *this);
}

void Program::showComparison()
{
    open(*this, m_kij, *this);
}

void Program::showMenus()
{
    open(*this, m_kon, *this);
}

void Program::showAll()
{
    open(*this, m_all, *this);
}

FrmAll *Program::allComponents() const
{
    return m_all;
}

void Program::showAbout()
{
    open(*this, m_about, *this);
}

void Program::followCurrentDish()
{
    if (m_kij)
        m_kij->followDish();
}

void Program::showHelp()
{
    open(*this, m_help)->openFile(QStringLiteral("zento.hlp"));
}
