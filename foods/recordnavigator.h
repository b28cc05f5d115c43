#pragma once

#include <QFrame>
#include <QPointer>
#include <functional>

class DataSource;
class QLabel;
class QPushButton;

// The record navigation bar of a window that shows its data source: buttons
// for the first, previous, next and last record around a caption. Like the
// bar the user knows, it never runs off either end: "previous" on the first
// record and "next" on the last one stay where they are.
//
// Before the pointer leaves a record the window's leave check runs; it stores
// (or refuses to store) the change made to that record. When it refuses, the
// pointer stays.
class RecordNavigator : public QFrame
{
    Q_OBJECT

public:
    explicit RecordNavigator(QWidget *parent = nullptr);

    void setDataSource(DataSource *source) { m_source = source; }
    DataSource *dataSource() const { return m_source; }
    void setCaption(const QString &caption);
    QString caption() const;
    void setLeaveCheck(std::function<bool()> check) { m_leaveCheck = std::move(check); }

    // What the four buttons do.
    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void go(int row);
    bool hasRow(int row) const;

    QPointer<DataSource> m_source;
    std::function<bool()> m_leaveCheck;
    QPushButton *m_first;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_last;
    QLabel *m_caption;
};
