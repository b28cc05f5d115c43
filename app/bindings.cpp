#include "app/bindings.h"

#include "app/twips.h"
#include "core/foods/foodnames.h"

#include <QApplication>
#include <QBrush>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyleOptionHeader>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

// Paints a name too long for its cell shortened as FoodNames::elided does,
// so its end stays; where it was shortened and the row has no tooltip of its
// own, the whole text is the tooltip. Text of ASCII alone (numbers) is left
// to the view.
class NameDelegate : public QStyledItemDelegate
{
public:
    // decoration: where the view's rows take their ground from (a list's),
    // besides the model.
    explicit NameDelegate(QObject *parent, const RowDecoration *decoration = nullptr)
        : QStyledItemDelegate(parent)
        , m_decoration(decoration)
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item(option);
        initStyleOption(&item, index);
        if (m_decoration && *m_decoration) {
            const QVariant ground =
                (*m_decoration)(index.row(), index.column(), Qt::BackgroundRole);
            if (ground.canConvert<QBrush>())
                item.backgroundBrush = ground.value<QBrush>();
        }
        item.text = shown(item);
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() == QEvent::ToolTip && index.isValid() &&
            index.data(Qt::ToolTipRole).toString().isEmpty()) {
            QStyleOptionViewItem item(option);
            initStyleOption(&item, index);
            if (shown(item) != item.text) {
                QToolTip::showText(event->globalPos(), item.text, view);
                return true;
            }
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

private:
    const RowDecoration *m_decoration;

    static QString shown(const QStyleOptionViewItem &item)
    {
        const QString &text = item.text;
        if (!(item.features & QStyleOptionViewItem::HasDisplay) ||
            std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }))
            return text;
        const QWidget *widget = item.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const int room =
            style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).width() - 2 * margin;
        const QFontMetrics metrics(item.font);
        return FoodNames::elided(
            text, [&](const QString &s) { return metrics.horizontalAdvance(s) <= room; });
    }
};

} // namespace

// --- FieldBinding ---------------------------------------------------------

FieldBinding::FieldBinding(QLineEdit *box, DataSource *source, const QString &field,
                           ValueFormat format)
    : QObject(box)
    , m_box(box)
    , m_source(source)
    , m_field(field)
    , m_format(std::move(format))
{
    setObjectName(QStringLiteral("binding"));
    connect(source, &DataSource::currentChanged, this, &FieldBinding::show);
    connect(source, &DataSource::fieldChanged, this, [this](int column) {
        if (m_source && m_source->fieldIndex(m_field) == column)
            show();
    });
    connect(box, &QLineEdit::textChanged, this, &FieldBinding::write);
}

FieldBinding *FieldBinding::of(QLineEdit *box)
{
    return box->findChild<FieldBinding *>(QString(), Qt::FindDirectChildrenOnly);
}

void FieldBinding::unbind(QLineEdit *box)
{
    delete of(box);
}

FieldBinding *FieldBinding::bind(QLineEdit *box, DataSource *source, const QString &field,
                                 ValueFormat format)
{
    unbind(box);
    source->ensureOpen();
    auto *binding = new FieldBinding(box, source, field, std::move(format));
    binding->show();
    return binding;
}

void FieldBinding::show()
{
    if (!m_source)
        return;
    const QVariant value = m_source->value(m_field);
    const QString text = m_format && !value.isNull() ? m_format(value) : DataSource::textOf(value);
    if (m_box->text() == text)
        return;
    m_showing = true;
    m_box->setText(text);
    m_box->setCursorPosition(0); // a long value shows its beginning
    m_showing = false;
}

void FieldBinding::write(const QString &text)
{
    if (m_showing || !m_source)
        return;
    if (m_source->bof() || m_source->eof())
        return; // no current record to hold the text
    m_source->setValue(m_field, text);
}

// --- DataList -------------------------------------------------------------

DataList::DataList(QWidget *parent)
    : QListView(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new NameDelegate(this, &m_decoration));
    connect(this, &QListView::clicked, this, [this](const QModelIndex &) { emit itemClicked(); });
}

void DataList::setRowSource(DataSource *source, const QString &listField,
                            const QString &boundColumn)
{
    m_source = source;
    m_listField = listField;
    m_boundColumn = boundColumn;
    source->ensureOpen();
    if (model() != source)
        setModel(source);
    setModelColumn(std::max(0, source->fieldIndex(listField)));
}

int DataList::findRow(int column, const QString &text) const
{
    if (!m_source || column < 0)
        return -1;
    m_source->fetchAll();
    for (int row = 0; row < m_source->rowCount(); ++row)
        if (m_source->text(row, column) == text)
            return row;
    return -1;
}

bool DataList::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::ToolTip && m_decoration) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString tip =
            index.isValid() ? m_decoration(index.row(), index.column(), Qt::ToolTipRole).toString()
                            : QString();
        if (!tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), tip, viewport());
            return true;
        }
    }
    return QListView::viewportEvent(event);
}

void DataList::keyPressEvent(QKeyEvent *event)
{
    const int before = currentIndex().row();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QListView::keyPressEvent(event);
    const int now = currentIndex().row();
    // Type-ahead chooses what it lands on, even the row already highlighted
    // (the food of the current line chosen again begins a new line).
    const bool typed = !event->text().isEmpty() && event->text().at(0).isPrint();
    if (now < 0 || (now == before && !enter && !typed))
        return;
    if (selectedRow() != now)
        selectRow(now);
    emit itemClicked();
    if (enter)
        event->accept();
}

int DataList::selectedRow() const
{
    const QModelIndexList rows =
        selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void DataList::selectRow(int row)
{
    if (!m_source || !selectionModel())
        return;
    if (row < 0) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_source->index(row, modelColumn());
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

void DataList::clickRow(int row)
{
    selectRow(row);
    emit itemClicked();
}

QString DataList::text() const
{
    const int row = selectedRow();
    return row < 0 || !m_source ? QString()
                                : m_source->text(row, m_source->fieldIndex(m_listField));
}

void DataList::setText(const QString &text)
{
    selectRow(text.isEmpty() || !m_source ? -1 : findRow(m_source->fieldIndex(m_listField), text));
}

QString DataList::boundText() const
{
    const int row = selectedRow();
    return row < 0 || !m_source ? QString()
                                : m_source->text(row, m_source->fieldIndex(m_boundColumn));
}

void DataList::setBoundText(const QString &value)
{
    selectRow(value.isEmpty() || !m_source ? -1
                                           : findRow(m_source->fieldIndex(m_boundColumn), value));
}

// --- DataCombo ------------------------------------------------------------

DataCombo::DataCombo(QWidget *parent)
    : QComboBox(parent)
{
    // Editable through a line edit of its own: unlike setEditable, this does
    // not build the drop-down before it is first opened. No completer: a
    // typed unit stays as typed, and its weight follows only a whole name.
    setLineEdit(new QLineEdit(this));
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentTextChanged, this, &DataCombo::noteTextChange);
    connect(this, &QComboBox::editTextChanged, this, &DataCombo::noteTextChange);
    connect(this, &QComboBox::activated, this, [this](int) {
        if (m_dataSource && !m_showing)
            m_dataSource->setValue(m_dataField, boundText());
    });
}

void DataCombo::noteTextChange()
{
    if (m_binding)
        return;
    const QString now = text();
    if (now == m_lastText)
        return;
    m_lastText = now;
    emit changed();
}

void DataCombo::setRowSource(DataSource *source, const QString &listField,
                             const QString &boundColumn)
{
    // Rebinding keeps the text; the change signal fires only if the text
    // ends up different.
    const QString keep = text();
    m_source = source;
    m_listField = listField;
    m_boundColumn = boundColumn;
    source->ensureOpen();
    source->fetchAll();
    m_binding = true;
    m_showing = true;
    if (model() != source)
        setModel(source);
    setModelColumn(std::max(0, source->fieldIndex(listField)));
    m_showing = false;
    if (isEditable())
        setText(keep);
    m_binding = false;
    if (m_dataSource)
        showBoundField();
    noteTextChange();
}

void DataCombo::bindField(DataSource *source, const QString &field)
{
    m_dataSource = source;
    m_dataField = field;
    source->ensureOpen();
    connect(source, &DataSource::currentChanged, this, &DataCombo::showBoundField,
            Qt::UniqueConnection);
    showBoundField();
}

void DataCombo::showBoundField()
{
    if (!m_dataSource)
        return;
    m_showing = true;
    setBoundText(m_dataSource->text(m_dataField));
    m_showing = false;
}

int DataCombo::findRow(const QString &column, const QString &text) const
{
    if (!m_source)
        return -1;
    const int c = m_source->fieldIndex(column);
    if (c < 0)
        return -1;
    for (int row = 0; row < m_source->rowCount(); ++row)
        if (m_source->text(row, c) == text)
            return row;
    return -1;
}

QString DataCombo::text() const
{
    return isEditable() ? currentText() : (currentIndex() < 0 ? QString() : currentText());
}

void DataCombo::setText(const QString &text)
{
    const bool outer = !m_binding;
    m_binding = true;
    const int row = findRow(m_listField, text);
    setCurrentIndex(row);
    if (isEditable())
        setEditText(text);
    if (outer) {
        m_binding = false;
        noteTextChange();
    }
}

QString DataCombo::boundText() const
{
    const int row = findRow(m_listField, text());
    return row < 0 ? QString() : m_source->text(row, m_source->fieldIndex(m_boundColumn));
}

void DataCombo::setBoundText(const QString &value)
{
    const bool outer = !m_binding;
    m_binding = true;
    const int row = value.isEmpty() ? -1 : findRow(m_boundColumn, value);
    setCurrentIndex(row);
    if (row < 0 && isEditable())
        setEditText(QString());
    if (outer) {
        m_binding = false;
        noteTextChange();
    }
    if (m_dataSource && !m_showing && row >= 0)
        m_dataSource->setValue(m_dataField, value);
}

// --- DataGrid -------------------------------------------------------------

class DataGrid::Proxy : public QIdentityProxyModel
{
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QHash<int, QString> captions;
    QHash<int, Qt::Alignment> alignments;
    QHash<int, ValueFormat> formats;
    RowDecoration decoration;

    void clearLayout()
    {
        captions.clear();
        alignments.clear();
        formats.clear();
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (decoration && (role == Qt::ToolTipRole || role == Qt::BackgroundRole)) {
            const QVariant decorated = decoration(index.row(), index.column(), role);
            if (decorated.isValid())
                return decorated;
        }
        if (role == Qt::TextAlignmentRole) {
            const auto it = alignments.find(index.column());
            return it == alignments.end() ? QVariant() : QVariant(int(*it | Qt::AlignVCenter));
        }
        if (role == Qt::DisplayRole) {
            const auto it = formats.find(index.column());
            if (it != formats.end()) {
                const QVariant value = QIdentityProxyModel::data(index, Qt::EditRole);
                return value.isNull() ? QString() : (*it)(value);
            }
        }
        return QIdentityProxyModel::data(index, role);
    }

    int currentRow = -1;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        // The row header is a record selector: it marks the current row and
        // shows no numbers.
        if (orientation == Qt::Vertical)
            return role == Qt::DisplayRole && section == currentRow ? QVariant(QStringLiteral("▶"))
                                                                    : QVariant();
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            const auto it = captions.find(section);
            if (it != captions.end())
                return *it;
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

namespace {

// A grid header one line of caption high, whatever its captions: its size is
// measured once, from one caption, instead of from every section in the
// bold face a highlighted section would have.
class GridHeader : public QHeaderView
{
public:
    using QHeaderView::QHeaderView;

    QSize sizeHint() const override
    {
        if (!m_line.isValid()) {
            QStyleOptionHeader option;
            initStyleOption(&option);
            option.text = QStringLiteral("食品名");
            m_line = style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
        }
        if (orientation() == Qt::Horizontal)
            return QSize(length(), m_line.height());
        return QSize(std::max(minimumWidth(), m_line.width()), length());
    }

protected:
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
            m_line = QSize();
        QHeaderView::changeEvent(event);
    }

private:
    mutable QSize m_line;
};

} // namespace

DataGrid::DataGrid(QWidget *parent)
    : QTableView(parent)
    , m_proxy(new Proxy(this))
{
    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        auto *header = new GridHeader(orientation, this);
        header->setSectionsClickable(true);
        header->setHighlightSections(true);
        if (orientation == Qt::Horizontal)
            setHorizontalHeader(header);
        else
            setVerticalHeader(header);
    }
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(Twips::toPixels(255));
    verticalHeader()->setFixedWidth(Twips::toPixels(240));
    horizontalHeader()->setHighlightSections(false);
    // The user may widen a column; a long name loses its middle, not its end.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setTextElideMode(Qt::ElideMiddle);
    setItemDelegate(new NameDelegate(this));
    setWordWrap(false);
    connect(this, &QTableView::clicked, this, [this](const QModelIndex &) { emit rowClicked(); });
    // A width the user drags a column to is kept (see userWidths).
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (!m_sizing && size > 0)
                    userWidths().insert(widthKey(column),
                                        int(std::lround(size * 1440.0 / logicalDpiX())));
            });
}

QHash<QString, int> &DataGrid::userWidths()
{
    static QHash<QString, int> widths;
    return widths;
}

QString DataGrid::widthsText()
{
    QStringList keys = userWidths().keys();
    keys.sort();
    QStringList parts;
    for (const QString &key : keys)
        parts << key + QLatin1Char(':') + QString::number(userWidths().value(key));
    return parts.join(QLatin1Char(','));
}

void DataGrid::readWidths(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^[A-Za-z0-9_]+\\.[A-Za-z0-9_]+\\.[0-9]{1,3}$"));
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype colon = part.lastIndexOf(QLatin1Char(':'));
        bool number = false;
        const int twips = part.mid(colon + 1).toInt(&number);
        const QString key = part.left(colon);
        if (colon > 0 && number && twips > 0 && twips <= 30000 && form.match(key).hasMatch())
            userWidths().insert(key, twips);
    }
}

QString DataGrid::widthKey(int column) const
{
    return window()->objectName() + QLatin1Char('.') + objectName() + QLatin1Char('.') +
           QString::number(column);
}

void DataGrid::setWidth(int column, int pixels)
{
    const auto user = userWidths().constFind(widthKey(column));
    if (column == m_growing)
        m_growingBase = pixels;
    m_sizing = true;
    setColumnWidth(column, user != userWidths().constEnd() ? Twips::toPixels(*user) : pixels);
    m_sizing = false;
    fitGrowingColumn();
}

void DataGrid::setGrowingColumn(int column)
{
    m_growing = column;
    m_growingBase = column >= 0 ? columnWidth(column) : 0;
    if (m_designWidth == 0)
        m_designWidth = width();
    fitGrowingColumn();
}

void DataGrid::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    fitGrowingColumn();
}

void DataGrid::fitGrowingColumn()
{
    if (m_growing < 0 || !model() || m_growing >= model()->columnCount() ||
        isColumnHidden(m_growing) || userWidths().contains(widthKey(m_growing)))
        return;
    // The room gained over the grid's width as laid out.
    const int width = m_growingBase + std::max(0, this->width() - m_designWidth);
    if (width == columnWidth(m_growing))
        return;
    m_sizing = true;
    setColumnWidth(m_growing, width);
    m_sizing = false;
}

void DataGrid::setDataSource(DataSource *source)
{
    m_proxy->clearLayout();
    if (m_source != source) {
        if (m_source)
            disconnect(m_source, nullptr, this, nullptr);
        m_source = source;
        m_proxy->setSourceModel(source);
        if (model() != m_proxy) {
            setModel(m_proxy);
        }
        connect(source, &DataSource::currentChanged, this, &DataGrid::followPointer);
        connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &DataGrid::onCurrentChanged, Qt::UniqueConnection);
    }
    source->ensureOpen();
    // Rebuild the columns: every column shown at the default width again.
    for (int column = 0; column < m_proxy->columnCount(); ++column) {
        m_sizing = true;
        setColumnHidden(column, false);
        m_sizing = false;
        setWidth(column, horizontalHeader()->defaultSectionSize());
    }
    emit m_proxy->headerDataChanged(Qt::Horizontal, 0, std::max(0, m_proxy->columnCount() - 1));
    followPointer();
}

void DataGrid::setDecoration(RowDecoration decoration)
{
    m_proxy->decoration = std::move(decoration);
    viewport()->update();
}

void DataGrid::setColumnWidthTwips(int column, int twips)
{
    m_sizing = true;
    setColumnHidden(column, twips <= 0);
    m_sizing = false;
    if (twips > 0)
        setWidth(column, Twips::toPixels(twips));
}

void DataGrid::setColumnCaption(int column, const QString &caption)
{
    m_proxy->captions.insert(column, caption);
    emit m_proxy->headerDataChanged(Qt::Horizontal, column, column);
}

QString DataGrid::columnCaption(int column) const
{
    return m_proxy->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void DataGrid::setColumnAlignment(int column, Qt::Alignment alignment)
{
    m_proxy->alignments.insert(column, alignment);
    viewport()->update();
}

Qt::Alignment DataGrid::columnAlignment(int column) const
{
    return m_proxy->alignments.value(column, Qt::AlignLeft);
}

void DataGrid::setColumnFormat(int column, ValueFormat format)
{
    m_proxy->formats.insert(column, std::move(format));
    viewport()->update();
}

int DataGrid::currentRecord() const
{
    if (!m_source || m_source->bof())
        return -1;
    const int pos = m_source->position();
    return pos < m_source->rowCount() ? pos : -1;
}

QString DataGrid::cellText(int column) const
{
    const int row = currentRecord();
    if (row < 0)
        return QString();
    return m_proxy->data(m_proxy->index(row, column), Qt::DisplayRole).toString();
}

void DataGrid::clickRow(int row)
{
    if (!m_source || row < 0 || row >= m_source->rowCount())
        return;
    setCurrentIndex(m_proxy->index(row, 0));
    emit rowClicked();
}

void DataGrid::followPointer()
{
    if (!m_source || m_following)
        return;
    m_following = true;
    const int row = currentRecord();
    if (m_proxy->currentRow != row) {
        const int before = m_proxy->currentRow;
        m_proxy->currentRow = row;
        if (before >= 0 && before < m_proxy->rowCount())
            emit m_proxy->headerDataChanged(Qt::Vertical, before, before);
        if (row >= 0)
            emit m_proxy->headerDataChanged(Qt::Vertical, row, row);
    }
    if (row < 0) {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    } else {
        int column = 0;
        while (column < m_proxy->columnCount() - 1 && isColumnHidden(column))
            ++column;
        selectionModel()->setCurrentIndex(m_proxy->index(row, column),
                                          QItemSelectionModel::ClearAndSelect |
                                              QItemSelectionModel::Rows);
    }
    m_following = false;
}

void DataGrid::onCurrentChanged(const QModelIndex &current)
{
    if (m_following || !m_source || !current.isValid())
        return;
    if (current.row() == m_source->position())
        return;
    m_following = true;
    m_source->moveTo(current.row());
    m_following = false;
    // Show where the pointer is: the clicked row, or the record that could
    // not be left.
    followPointer();
    if (currentRecord() == current.row())
        emit rowChosen();
}
