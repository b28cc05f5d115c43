#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>

class QTableView;
class QWidget;

// Lets a window laid out at its design size be enlarged: the controls given
// here grow or move with the extra width and height, the rest stay where the
// layout put them. The design size is the smallest size, so at the default
// size every control stands exactly where the layout says.
class Growth : public QObject
{
    Q_OBJECT

public:
    enum Edge {
        Wider = 1,        // takes the extra width
        Taller = 2,       // takes the extra height
        FollowRight = 4,  // moves right by the extra width
        FollowBottom = 8, // moves down by the extra height
    };

    // client: the widget the controls lie on; design: its size in the layout
    // (by default its size now).
    explicit Growth(QWidget *client, QSize design = QSize());

    // Records the control's design geometry; call after it is placed. The
    // control takes (or moves by) verticalShare of the extra height: controls
    // stacked one above the other share it, the lower ones moving down by
    // what the upper ones took.
    void add(QWidget *control, int edges, double verticalShare = 1.0);

    // The column of table (which takes the extra width) takes it all: the
    // other columns keep their widths. Call once its width is set.
    void growColumn(QTableView *table, int column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        QWidget *control;
        QRect design;
        int edges;
        double verticalShare;
    };
    struct Column
    {
        QTableView *table;
        int column;
        int width;
    };
    void follow();

    QWidget *m_client;
    QSize m_design;
    QList<Entry> m_entries;
    QList<Column> m_columns;
};
