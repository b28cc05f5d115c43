#include "app/program.h"

#include "about/frmabout.h"
#include "app/fmain.h"
#include "app/frmsplash.h"
#include "app/helpwindow.h"
#include "app/prompts.h"
#include "core/store/database.h"
#include "core/store/datasource.h"
#include "foods/seibn.h"
#include "nutrition/frmkij.h"
#include "search/frmschf.h"
#include "search/frmschm.h"
#include "settings/frmconfig.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTimer>

Program::Program(Prompts &prompts, QObject *parent)
    : QObject(parent)
    , m_prompts(prompts)
{
}

Program::~Program()
{
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
    return m_config != nullptr;
}

FrmConfig *Program::config()
{
    if (!m_config)
        m_config = new FrmConfig(*this); // loading reads the settings file
    return m_config;
}

void Program::unloadConfig()
{
    delete m_config;
}

void Program::start()
{
    // 1. The connection text. A store that cannot be opened is reported once
    // the main window is up; everything else proceeds with empty lists.
    DbConnectionString = connectionText();
    {
        QString error;
        if (!Database::open(DbConnectionString, &error))
            m_storeError = error;
    }

    // 2-3. Read the settings through the settings window; show the cover.
    const bool cover = config()->Check1->checkState() == Qt::Checked;
    m_splash = new FrmSplash();
    if (cover)
        m_splash->show();
    // 4. Let the cover paint.
    QApplication::processEvents();
    // 5. The settings window is unloaded ...
    unloadConfig();
    // 6-7. The main window, hidden; the food editor comes with seibn().
    m_fmain = new Fmain(*this);
    // 8-9. ... and loaded again, hidden, by reading its colour name.
    const QString colour = config()->Combo1->currentText();
    if (colour == QStringLiteral("背景色１"))
        m_fmain->ApplyBackColor1();
    else if (colour == QStringLiteral("背景色２"))
        m_fmain->ApplyBackColor2();
    else if (colour == QStringLiteral("背景色３"))
        m_fmain->ApplyBackColor3();
    // 10-14. Lists, the last dish, its recipe and totals.
    m_fmain->LoadDishList();
    m_fmain->AdoMnu->moveLast();
    m_fmain->LoadCategoryList();
    m_fmain->LoadUnitList();
    m_fmain->LoadDishComposition();
    m_fmain->CalcDishWeight();
    m_fmain->CalcDishNutrients();
    // 16-17. Show the main window, remove the cover.
    m_fmain->show();
    delete m_splash;
    // The food editor is built once the main window has been painted and the
    // user has had a moment, so that its first opening costs no more than
    // the next.
    constexpr int editorDelayMs = 300;
    QTimer::singleShot(editorDelayMs, this, [this] { seibn(); });

    if (!m_storeError.isEmpty())
        m_prompts.message(m_storeError + QStringLiteral("\n料理と食品の一覧は空のまま起動します。"),
                          Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

void Program::end()
{
    if (m_ended)
        return;
    m_ended = true;
    // Every other window closes with the main window; nothing more runs.
    delete m_kij;
    delete m_schF;
    delete m_schM;
    delete m_about;
    delete m_help;
    delete m_config;
    delete m_splash;
    delete m_seibn;
    if (m_fmain)
        m_fmain->deleteLater();
    if (QCoreApplication::instance() && parent() == nullptr)
        QCoreApplication::quit();
}

static void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// A secondary window is loaded when it is opened and unloaded when it closes;
// opening it while it is open only brings it to the front.
template <typename Window, typename... Args>
static Window *open(QPointer<Window> &window, Args &...args)
{
    if (!window) {
        window = new Window(args...);
        window->setAttribute(Qt::WA_DeleteOnClose);
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
    open(m_schM, *this);
}

void Program::showFoodSearch()
{
    open(m_schF, *this);
}

void Program::showComparison()
{
    open(m_kij, *this);
}

void Program::showAbout()
{
    open(m_about, *this);
}

void Program::showHelp()
{
    open(m_help)->openFile(QStringLiteral("zento.hlp"));
}
