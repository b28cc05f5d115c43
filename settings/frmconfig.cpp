#include "settings/frmconfig.h"

#include "app/bindings.h"
#include "app/program.h"
#include "app/prompts.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/settings/settingsfile.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <limits>

namespace {

// A check box that a click turns on or off; the greyed state comes only from
// the settings file and is left by the first click.
class TwoWayCheckBox : public QCheckBox
{
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

} // namespace

FrmConfig::FrmConfig(Program &program, QWidget *parent)
    : FrmConfig(program, SettingsFile::readOnce(SettingsFile::fileName()), parent)
{
}

FrmConfig::FrmConfig(Program &program, const SettingsFile::Reading &reading, QWidget *parent)
    : QWidget(parent, Widgets::fixedDialog)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("栄養価計算の設定"));
    setAttribute(Qt::WA_DeleteOnClose); // closing unloads the window
    Twips::resizeClient(this, 4755, 3315);
    setFixedSize(size());

    Frame1 = new QGroupBox(QStringLiteral("起動時の設定"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::place(Frame1, 120, 360, 2415, 1575);

    // The frame's controls, placed in window positions less the frame's own.
    Check1 = new TwoWayCheckBox(QStringLiteral("表紙の表示"), Frame1);
    Check1->setObjectName(QStringLiteral("Check1"));
    Twips::place(Check1, 480 - 120, 840 - 360, 1455, 255);

    Combo1 = new QComboBox(Frame1);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    // Editable through a line edit of its own: the same as setEditable, but
    // without building the drop-down's container before it is first opened,
    // which would double the window's load time at every start.
    Combo1->setLineEdit(new QLineEdit(Combo1));
    // Typed text is kept as typed: no completion from the list, and Enter
    // does not add it to the list.
    Combo1->setCompleter(nullptr);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText(QStringLiteral("Combo1"));
    Twips::place(Combo1, 480 - 120, 1320 - 360, 1215, 300);

    Command1 = Widgets::button(this, QStringLiteral("Command1"), QStringLiteral("OK"), 720, 2880,
                               975, 375);
    Command4 = Widgets::button(this, QStringLiteral("Command4"), QStringLiteral("ｷｬﾝｾﾙ"), 1800,
                               2880, 975, 375);

    // A one-line box keeps the text as it is, CR LF included; it is never
    // shown, and it takes a hand-grown file whole.
    Text1 = Widgets::hiddenBox(this, QStringLiteral("Text1"), QString());
    Text1->setMaxLength(std::numeric_limits<int>::max());
    Text4 = Widgets::hiddenBox(this, QStringLiteral("Text4"), QString());
    Text3 = Widgets::hiddenBox(this, QStringLiteral("Text3"), QString());

    connect(Command1, &QPushButton::clicked, this, &FrmConfig::okClicked);
    connect(Command4, &QPushButton::clicked, this, &QWidget::close);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    load(reading);
}

void FrmConfig::load(const SettingsFile::Reading &reading)
{
    // The three names; adding them must not replace the text shown.
    const QString shown = Combo1->currentText();
    for (const QString &name : SettingsFile::colourNames())
        Combo1->addItem(SettingsFile::colourCaption(name));
    Combo1->setCurrentIndex(-1);
    Combo1->setEditText(shown);

    // A file that can neither be read nor created leaves every control as
    // it stands: no cover, the combo's initial text.
    m_lastError = reading.error;
    if (!reading.text)
        return;
    setSettingsText(*reading.text);
    const QString text = Text1->text();
    Text4->setText(GetSettingValue(text, SettingsFile::speedKey()));
    Text3->setText(GetSettingValue(text, SettingsFile::flmKey()));
    setComboText(GetSettingValue(text, SettingsFile::backKey()));
    if (const std::optional<int> pic =
            SettingsFile::checkValue(GetSettingValue(text, SettingsFile::picKey())))
        setCheckValue(*pic);
}

bool FrmConfig::ReadSettingsFile()
{
    const std::optional<QString> text = SettingsFile::read(SettingsFile::fileName(), &m_lastError);
    if (!text)
        return false;
    setSettingsText(*text);
    return true;
}

bool FrmConfig::WriteSettingsFile()
{
    return SettingsFile::write(SettingsFile::fileName(), Text1->text(), &m_lastError);
}

void FrmConfig::ComposeSettingsText()
{
    setSettingsText(SettingsFile::compose(Text4->text(), Text3->text(),
                                          SettingsFile::colourNameOf(Combo1->currentText()),
                                          checkValue(), DataGrid::widthsText()));
}

QString FrmConfig::GetSettingValue(const QString &text, const QString &key)
{
    return SettingsFile::GetSettingValue(text, key);
}

int FrmConfig::checkValue() const
{
    switch (Check1->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

void FrmConfig::setCheckValue(int value)
{
    switch (value) {
    case 0:
        Check1->setCheckState(Qt::Unchecked);
        break;
    case 1:
        Check1->setCheckState(Qt::Checked);
        break;
    case 2:
        Check1->setCheckState(Qt::PartiallyChecked);
        break;
    default:
        break;
    }
}

QString FrmConfig::settingsText() const
{
    return Text1->text();
}

void FrmConfig::setSettingsText(const QString &text)
{
    Text1->setText(text);
}

void FrmConfig::setComboText(const QString &text)
{
    const QString shown = SettingsFile::colourCaption(text);
    Combo1->setCurrentIndex(Combo1->findText(shown));
    Combo1->setEditText(shown);
}

void FrmConfig::okClicked()
{
    ComposeSettingsText();
    if (!WriteSettingsFile()) {
        // The old file is untouched; the window stays open so that nothing
        // chosen is lost and the user can try again or cancel.
        m_program.prompts().message(
            QStringLiteral("設定を保存できませんでした。\n%1\n"
                           "設定ファイルは前のままです。書き込めるようにしてから、"
                           "もう一度「OK」を押してください。")
                .arg(m_lastError),
            Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    close();
}

void FrmConfig::closeEvent(QCloseEvent *event)
{
    // OK, ｷｬﾝｾﾙ and the close box all unload the window.
    event->accept();
}
