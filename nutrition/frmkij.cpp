#include "nutrition/frmkij.h"

#include "app/bindings.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/twips.h"
#include "app/widgets.h"
#include "core/nutrition/chartscale.h"
#include "core/nutrition/dishcomponents.h"
#include "core/nutrition/nutrients.h"
#include "core/nutrition/unknownvalues.h"
#include "core/store/datasource.h"
#include "core/store/numbertext.h"
#include "nutrition/chartsurface.h"
#include "paper/chartpaint.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPoint>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace {

// Where the axis captions (Label1 11 to 19, in axis order) lie in the chart.
const QPoint axisCaptionAt[RadarChart::axisCount] = {
    {2400, 240},  {4080, 720}, {4800, 1920}, {4560, 3480}, {3360, 4320},
    {1440, 4200}, {480, 3480}, {240, 1920},  {840, 600},
};

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
    , m_session(program.DbConnectionString)
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
        Label1[row] = label(this, elementName("Label1", row), Comparison::caption(row), 120,
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
        // The standards are for display only.
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
    Line2 =
        new LineShape(Picture1, QStringLiteral("Line2"),
                      ChartPaint::colourOf(RadarChart::standardColour), 2, 4440, 4200, 4800, 4200);
    Label4 = chartLabel(Picture1, QStringLiteral("Label4"), QStringLiteral("基準値"), 4920, 4080);
    Line1 = new LineShape(Picture1, QStringLiteral("Line1"),
                          ChartPaint::colourOf(RadarChart::calculatedColour), 2, 4440, 4560, 4800,
                          4560);
    Label5 = chartLabel(Picture1, QStringLiteral("Label5"), QStringLiteral("計算値"), 4920, 4440);

    Command1 = button(this, QStringLiteral("Command1"), QStringLiteral("OK"), 7200, 5040, 975, 375);
    Command2 = button(this, QStringLiteral("Command2"), QStringLiteral("栄養成分一覧"), 5520, 5040,
                      1560, 375);

    AdoKij = m_session.standardsSource();
    AdoKij->setObjectName(QStringLiteral("AdoKij"));
    AdoKij->setParent(this); // found among the window's objects; the session deletes it first
    AdoSumCA = m_session.sumsSource();
    AdoSumCA->setObjectName(QStringLiteral("AdoSumCA"));
    AdoSumCA->setParent(this); // found among the window's objects; the session deletes it first

    Picture1->setValueSource([this] { return chartValues(); });
}

void FrmKij::load()
{
    for (int age = 1; age <= 80; ++age)
        Combo1->addItem(QString::number(age));
    Combo1->setCurrentIndex(Combo1->findText(QStringLiteral("20")));
    BindStandards();
    QList<Intakes::Row> intakes;
    QString error;
    if (DishComponents::loadIntakes(program().DbConnectionString, &intakes, &error))
        m_intakes = Intakes::Table(intakes);
    // The scales: 1.3 times the standards of the person the window opens on.
    m_scales = ChartScale::fromStandards(
        ChartScale::referenceStandards(program().DbConnectionString), RadarChart::fixedScales());
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
    connect(Command2, &QPushButton::clicked, this, [this] { program().showAll(); });
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
    m_session.loadStandards();
}

void FrmKij::CalcComparisonTotals()
{
    // Without a current dish, or when the sums cannot be read, the calculated
    // column stays empty and the window opens all the same.
    const Fmain *main = program().fmain();
    if (!main)
        return;
    const qint64 dish = main->currentDish();
    const QString title = QStringLiteral("基準値との比較");
    if (dish == 0) {
        setWindowTitle(title);
        return;
    }
    setWindowTitle(title + QStringLiteral("：") + main->currentDishName());
    if (!m_session.loadSums(dish))
        return;

    // The holders keep the raw sums (vitamin B2 with four decimals); the
    // column shows them rounded half up to two decimals. A null sum leaves
    // both empty (the chart reads it as 0).
    const Comparison::Values calculated = m_session.calculated();
    for (int i = Comparison::firstSumRow; i < Comparison::rowCount; ++i) {
        Udata[i]->setText(Comparison::holderText(i, m_session.sums()[i]));
        Data[i]->setText(calculated[i] ? NumberText::general(*calculated[i]) : QString());
    }

    // A sum that passes over foods whose value is unknown says so.
    QStringList fields;
    for (const Nutrients::Nutrient *n : Nutrients::charted())
        fields << QString(n->field);
    const UnknownValues::ByField unknown =
        UnknownValues::ofDish(program().DbConnectionString, dish, fields);
    for (int axis = 0; axis < RadarChart::axisCount; ++axis)
        Widgets::markUnknown(Data[RadarChart::ChartAxis[axis].element],
                             unknown.value(fields[axis]));
}

void FrmKij::followDish()
{
    for (int i = Comparison::firstSumRow; i < Comparison::rowCount; ++i) {
        Udata[i]->clear();
        Data[i]->clear();
        Widgets::markUnknown(Data[i], {});
    }
    CalcComparisonTotals();
    DrawChartGrid();
}

void FrmKij::FindStandard()
{
    const int age = Comparison::ageOf(Combo1->currentText());
    const int sex = OpMan->isChecked() ? Comparison::male : Comparison::female;
    m_session.findStandard(age, sex);
    // Without a matching row the column is empty.
    const Comparison::Values standard = m_session.standard();
    const Intakes::Person person{age, sex};
    for (int i = 0; i < Comparison::rowCount; ++i) {
        Kdata[i]->setText(Comparison::standardText(standard[i]));
        // A standard the current edition does not give is the previous
        // edition's, and says so.
        const auto [nutrient, indicator] =
            Intakes::comparisonIntake(QLatin1StringView(Comparison::rows[i].standardColumn));
        const bool previous = standard[i] && !nutrient.isEmpty() &&
                              m_intakes.fromPreviousEdition(nutrient, indicator, person);
        Kdata[i]->setToolTip(previous ? Intakes::previousEditionNote() : QString());
    }
    emit standardLookedUp(age, sex);
}

RadarChart::Values FrmKij::chartValues() const
{
    RadarChart::Values values;
    values.scales = m_scales;
    const Comparison::Values calculated = m_session.calculated();
    const Comparison::Values standard = m_session.standard();
    for (int i = 0; i < RadarChart::axisCount; ++i) {
        const int element = RadarChart::ChartAxis[i].element;
        values.calculated[i] = calculated[element];
        values.standard[i] = Comparison::standardShown(standard[element]);
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
