#include "foods/recordnavigator.h"

#include "core/store/datasource.h"

#include <QLabel>
#include <QPushButton>

RecordNavigator::RecordNavigator(QWidget *parent)
    : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    auto button = [this](const char *name, const QString &glyph, const QString &tip) {
        auto *b = new QPushButton(glyph, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_first = button("MoveFirst", QStringLiteral("|◀"), QStringLiteral("最初のレコード"));
    m_previous = button("MovePrevious", QStringLiteral("◀"), QStringLiteral("前のレコード"));
    m_next = button("MoveNext", QStringLiteral("▶"), QStringLiteral("次のレコード"));
    m_last = button("MoveLast", QStringLiteral("▶|"), QStringLiteral("最後のレコード"));
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("Caption"));
    m_caption->setAlignment(Qt::AlignCenter);
    connect(m_first, &QPushButton::clicked, this, &RecordNavigator::moveFirst);
    connect(m_previous, &QPushButton::clicked, this, &RecordNavigator::movePrevious);
    connect(m_next, &QPushButton::clicked, this, &RecordNavigator::moveNext);
    connect(m_last, &QPushButton::clicked, this, &RecordNavigator::moveLast);
}

void RecordNavigator::setCaption(const QString &caption)
{
    m_caption->setText(caption);
}

QString RecordNavigator::caption() const
{
    return m_caption->text();
}

void RecordNavigator::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    // Two square buttons at each end, the caption between them.
    const QRect area = contentsRect();
    const int side = area.height();
    m_first->setGeometry(area.left(), area.top(), side, side);
    m_previous->setGeometry(area.left() + side, area.top(), side, side);
    m_last->setGeometry(area.right() + 1 - side, area.top(), side, side);
    m_next->setGeometry(area.right() + 1 - 2 * side, area.top(), side, side);
    m_caption->setGeometry(area.left() + 2 * side, area.top(), std::max(0, area.width() - 4 * side),
                           side);
}

bool RecordNavigator::hasRow(int row) const
{
    if (!m_source || row < 0)
        return false;
    // Rows are read as they are needed; read as far as the row asked for.
    while (row >= m_source->rowCount() && m_source->canFetchMore(QModelIndex()))
        m_source->fetchMore(QModelIndex());
    return row < m_source->rowCount();
}

void RecordNavigator::go(int row)
{
    if (!m_source || !hasRow(row) || row == m_source->position())
        return;
    if (m_leaveCheck && !m_leaveCheck())
        return;
    m_source->moveTo(row);
}

void RecordNavigator::moveFirst()
{
    go(0);
}

void RecordNavigator::movePrevious()
{
    if (m_source)
        go(std::max(0, m_source->position() - 1));
}

void RecordNavigator::moveNext()
{
    if (m_source)
        go(m_source->position() + 1);
}

void RecordNavigator::moveLast()
{
    if (!m_source)
        return;
    m_source->fetchAll();
    go(m_source->rowCount() - 1);
}
