#include "app/growth.h"

#include <QEvent>
#include <QPointer>
#include <QTableView>
#include <QWidget>

Growth::Growth(QWidget *client, QSize design)
    : QObject(client)
    , m_client(client)
    , m_design(design.isValid() ? design : client->size())
{
    client->setMinimumSize(m_design);
    client->installEventFilter(this);
}

void Growth::add(QWidget *control, int edges, double verticalShare)
{
    m_entries.append({control, control->geometry(), edges, verticalShare});
}

void Growth::growColumn(QTableView *table, int column)
{
    m_columns.append({table, column, table->columnWidth(column)});
}

bool Growth::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        follow();
    return QObject::eventFilter(watched, event);
}

void Growth::follow()
{
    const int dx = std::max(0, m_client->width() - m_design.width());
    const int dy = std::max(0, m_client->height() - m_design.height());
    for (const Entry &e : std::as_const(m_entries)) {
        QRect r = e.design;
        const int down = int(dy * e.verticalShare);
        if (e.edges & Wider)
            r.setWidth(r.width() + dx);
        if (e.edges & Taller)
            r.setHeight(r.height() + down);
        if (e.edges & FollowRight)
            r.moveLeft(r.left() + dx);
        if (e.edges & FollowBottom)
            r.moveTop(r.top() + down);
        e.control->setGeometry(r);
    }
    for (const Column &c : std::as_const(m_columns))
        c.table->setColumnWidth(c.column, c.width + dx);
}
