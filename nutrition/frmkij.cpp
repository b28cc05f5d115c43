#include "nutrition/frmkij.h"

#include "app/fmain.h"
#include "app/program.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "app/bindings.h"
#include "core/store/datasource.h"
#include "core/store/numberreader.h"
#include "core/store/numbertext.h"
#include "nutrition/chartsurface.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace {

const char16_t *const rowCaptions[11] = {u"基準身長", u"基準体重", u"ｴﾈﾙｷﾞｰ", u"ﾀﾝﾊﾟｸ質",
                                         u"ｶﾙｼｳﾑ",    u"鉄",       u"ﾋﾞﾀﾐﾝA", u"ﾋﾞﾀﾐﾝB1",
                                         u"ﾋﾞﾀﾐﾝB2",  u"ﾅｲｱｼﾝ",    u"ﾋﾞﾀﾐﾝC"};

// Columns of kij shown by Kdata 0 to 10.
const char *const standardColumns[11] = {"TAL", "WEI", "CAL", "TAN", "CA", "FE",
                                         "VA",  "VB1", "VB2", "NAI", "VC"};

// Result columns of the sums query held by Udata 2 to 10.
const char *const sumColumns[11] = {nullptr, nullptr, "SENC", "STAN", "SCA", "SFE",
                                    "SVAK",  "SVB1",  "SVB2", "SNAI", "SVC"};

// Where the axis captions (Label1 11 to 19, in axis order) lie in the chart.
const QPoint axisCaptionAt[RadarChart::axisCount] = {
    {2400, 240},  {4080, 720}, {4800, 1920}, {4560, 3480}, {3360, 4320},
    {1440, 4200}, {480, 3480}, {240, 1920},  {840, 600},
};

QString u16(const char16_t *text)
{
    return QString::fromUtf16(text);
}

QString elementName(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

int rowTop(int row)
{
    return 1080 + 360 * row;
}

void paintLikeWindow(QWidget *widget)
{
    // The system's "window" colour, the background of text areas.
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A label inside the chart: transparent, its own width, 255 twips high.
QLabel *chartLabel(QWidget *chart, const QString &name, const QString &caption, int left, int top)
{
    QLabel *label = Widgets::label(chart, name, caption, left, top);
    label->resize(label->width(), Twips::toPixels(255));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

FrmKij::FrmKij(Program &program, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_program(program)
{
    setObjectName(QStringLiteral("frmKij"));
    setWindowTitle(QStringLiteral("基準値との比較"));
    buildLayout();
    Twips::resizeClient(this, 8490, 5475);
    setFixedSize(size());
    load();
    connectHandlers();
}

FrmKij::~FrmKij() = default;

void FrmKij::buildLayout()
{
    using namespace Widgets;

    Label2 = label(this, QStringLiteral("Label2"), QStringLiteral("年齢"), 240, 240, 735, 255);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setCompleter(nullptr); // typed digits stay as typed
    Twips::place(Combo1, 240, 480, 855, 300);
    OpMan = new QRadioButton(QStringLiteral("男性"), this);
    OpMan->setObjectName(QStringLiteral("OpMan"));
    Twips::place(OpMan, 1200, 480, 735, 255);
    OpMan->setChecked(true);
    OpWom = new QRadioButton(QStringLiteral("女性"), this);
    OpWom->setObjectName(QStringLiteral("OpWom"));
    Twips::place(OpWom, 2040, 480, 855, 255);
    Label3 = label(this, QStringLiteral("Label3"), QStringLiteral("基準値"), 1920, 840, 615, 255);

    for (int row = 0; row < 11; ++row) {
        Label1[row] = label(this, elementName("Label1", row), u16(rowCaptions[row]), 120,
                            rowTop(row), row >= 8 ? 615 : 735, 255);
        // A caption wider than its label in this font may run on up to the
        // value column rather than be cut.
        const int room = Twips::toPixels(1080 - 120);
        if (Label1[row]->sizeHint().width() > Label1[row]->width())
            Label1[row]->resize(std::min(Label1[row]->sizeHint().width(), room),
                                Label1[row]->height());

        QLabel *data =
            label(this, elementName("Data", row), QString(), 1080, rowTop(row), 735, 255);
        data->setFrameStyle(QFrame::Box | QFrame::Plain);
        data->setLineWidth(1);
        data->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        paintLikeWindow(data);
        data->setVisible(row >= 2);
        Data[row] = data;

        QLineEdit *standard =
            textBox(this, elementName("Kdata", row), QString(), 1920, rowTop(row), 735, 270);
        standard->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // The standards are for display only: a typed text would otherwise be
        // written back into kij when the lookup moves to another row.
        standard->setReadOnly(true);
        Kdata[row] = standard;

        Udata[row] = hiddenBox(this, elementName("Udata", row), QString());
    }

    Picture1 = new ChartSurface(this);
    Picture1->setObjectName(QStringLiteral("Picture1")); // clears itself in the window colour
    Twips::place(Picture1, 2760, 120, 5655, 4815);
    for (int i = 0; i < RadarChart::axisCount; ++i)
        Label1[11 + i] = chartLabel(Picture1, elementName("Label1", 11 + i),
                                    RadarChart::ChartAxis[i].caption.toString(),
                                    axisCaptionAt[i].x(), axisCaptionAt[i].y());
    Line2 = new LineShape(Picture1, QStringLiteral("Line2"), RadarChart::standardColour, 2, 4440,
                          4200, 4800, 4200);
    Label4 = chartLabel(Picture1, QStringLiteral("Label4"), QStringLiteral("基準値"), 4920, 4080);
    Line1 = new LineShape(Picture1, QStringLiteral("Line1"), RadarChart::calculatedColour, 2, 4440,
                          4560, 4800, 4560);
    Label5 = chartLabel(Picture1, QStringLiteral("Label5"), QStringLiteral("計算値"), 4920, 4440);

    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("OK"), 7200, 5040, 975, 375);

    AdoKij = new DataSource(this);
    AdoKij->setObjectName(QStringLiteral("AdoKij"));
    AdoSumCA = new DataSource(this);
    AdoSumCA->setObjectName(QStringLiteral("AdoSumCA"));

    Picture1->setValueSource([this] { return chartValues(); });
}

void FrmKij::load()
{
    for (int age = 1; age <= 80; ++age)
        Combo1->addItem(QString::number(age));
    Combo1->setCurrentIndex(Combo1->findText(QStringLiteral("20")));
    BindStandards();
    CalcComparisonTotals();
    FindStandard();
    // Nothing is drawn here: activation draws the chart.
}

void FrmKij::connectHandlers()
{
    // Every change of the age text, typed or picked from the list, looks the
    // standards up again; a pick that leaves the text as it was changes nothing.
    connect(Combo1, &QComboBox::editTextChanged, this, &FrmKij::ageChanged);
    connect(OpMan, &QRadioButton::clicked, this, &FrmKij::sexClicked);
    connect(OpWom, &QRadioButton::clicked, this, &FrmKij::sexClicked);
    connect(Command1, &QPushButton::clicked, this, &QWidget::close);
}

bool FrmKij::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::WindowActivate)
        DrawChartGrid();
    return handled;
}

void FrmKij::ageChanged()
{
    FindStandard();
    DrawChartGrid();
}

void FrmKij::sexClicked()
{
    // The clicked button is already the selected one (the two are exclusive).
    FindStandard();
    DrawChartGrid();
}

void FrmKij::BindStandards()
{
    AdoKij->setConnectionString(program().DbConnectionString);
    AdoKij->setRecordSource(QStringLiteral("SELECT kij.* FROM kij"));
    for (int i = 0; i < 11; ++i)
        FieldBinding::bind(Kdata[i], AdoKij, QLatin1String(standardColumns[i]));
}

void FrmKij::CalcComparisonTotals()
{
    // A failing step ends the routine; the calculated column then stays empty
    // where it has no value, and the window opens all the same.

    // 1. The dish ID from the main window.
    const Fmain *main = program().fmain();
    if (!main)
        return;
    bool isKey = false;
    const qint64 id = main->TexID->text().trimmed().toLongLong(&isKey);
    if (!isKey)
        return; // no current dish
    program().CurrentId = id;

    // 2. The sums of the current dish.
    AdoSumCA->setConnectionString(program().DbConnectionString);
    AdoSumCA->setRecordSource(
        QStringLiteral("SELECT ") + QStringLiteral("Sum((kou.数量2) * (eys.ENC)) as SENC,") +
        QStringLiteral("Sum((kou.数量2) * (eys.TAN)) as STAN,") +
        QStringLiteral("Sum((kou.数量2) * (eys.CA)) as SCA,") +
        QStringLiteral("Sum((kou.数量2) * (eys.FE)) as SFE,") +
        QStringLiteral("Sum((kou.数量2) * (eys.VAK)) as SVAK, ") +
        QStringLiteral("Sum((kou.数量2) * (eys.VB1)) as SVB1, ") +
        QStringLiteral("Sum((kou.数量2) * (eys.VB2)) as SVB2, ") +
        QStringLiteral("Sum((kou.数量2) * (eys.NAI)) as SNAI, ") +
        QStringLiteral("Sum((kou.数量2) * (eys.VC)) as SVC ") + QStringLiteral("FROM kou,eys ") +
        QStringLiteral("WHERE((kou.食品コード=eys.SID) AND (kou.アイテムCD=") +
        QString::number(program().CurrentId) + QStringLiteral("))"));
    if (!AdoSumCA->refresh())
        return;

    // 3. The holders; vitamin B2 is shown with four decimals.
    for (int i = 2; i <= 10; ++i) {
        ValueFormat format;
        if (i == 8)
            format = [](const QVariant &value) { return NumberText::fixed(value.toDouble(), 4); };
        FieldBinding::bind(Udata[i], AdoSumCA, QLatin1String(sumColumns[i]), format);
    }

    // 4. The calculated column, each holder rounded half up to two decimals.
    // A null sum leaves its holder empty, which is no number: its value stays
    // empty and the next element goes on (the chart reads it as 0).
    for (int i = 2; i <= 10; ++i) {
        const std::optional<double> sum = NumberReader::number(Udata[i]->text());
        Data[i]->setText(sum ? NumberText::general(NumberText::roundHalfUp(*sum, 2)) : QString());
    }
}

void FrmKij::FindStandard()
{
    // Continue-on-error: a step that fails is skipped and the next one runs.

    // 1. The age: the combo text as a whole number, halves to the even one;
    // a text that is no number (or no int) is age 0.
    int age = 0;
    if (const std::optional<double> number = NumberReader::number(Combo1->currentText())) {
        const double whole = std::nearbyint(*number); // the default rounding: to even
        if (whole >= -2147483648.0 && whole <= 2147483647.0)
            age = int(whole);
    }
    // 2. The sex code.
    const int sex = OpMan->isChecked() ? 1 : 0;

    // 3. The first row of that age and sex, in table order. The rows are read
    // where they lie and the pointer moves once, to the match; without one
    // it comes to rest past the last row, never beyond.
    const int ageColumn = AdoKij->fieldIndex(QStringLiteral("AGE"));
    const int sexColumn = AdoKij->fieldIndex(QStringLiteral("SEX"));
    const int rows = AdoKij->recordCount();
    auto matches = [](const QVariant &value, int wanted) {
        if (value.isNull())
            return false; // a null never matches
        bool isNumber = false;
        const double number = value.toDouble(&isNumber);
        return isNumber && number == wanted;
    };
    int found = -1;
    for (int row = 0; row < rows && found < 0; ++row) {
        if (matches(AdoKij->value(row, ageColumn), age) &&
            matches(AdoKij->value(row, sexColumn), sex))
            found = row;
    }
    if (found >= 0) {
        AdoKij->moveTo(found);
    } else if (!AdoKij->eof() && AdoKij->moveLast()) {
        AdoKij->moveNext();
    }
    emit standardLookedUp(age, sex);
}

RadarChart::Values FrmKij::chartValues() const
{
    RadarChart::Values values;
    for (int i = 0; i < RadarChart::axisCount; ++i) {
        const int element = RadarChart::ChartAxis[i].element;
        values.calculated[i] = Data[element]->text();
        values.standard[i] = Kdata[element]->text();
    }
    return values;
}

void FrmKij::DrawChartGrid()
{
    // The surface keeps no image: each paint clears it, draws the rings and
    // spokes and then the polygons, so a redraw of the grid is a redraw of all.
    DrawChartPolygons();
}

void FrmKij::DrawChartPolygons()
{
    // The polygons come from the table as it reads at paint time.
    Picture1->update();
    emit chartRedrawn();
}
