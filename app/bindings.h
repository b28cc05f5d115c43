#pragma once

#include "core/store/datasource.h"

#include <QComboBox>
#include <QHash>
#include <QIdentityProxyModel>
#include <QListView>
#include <QPointer>
#include <QTableView>
#include <functional>

class QLineEdit;

using ValueFormat = std::function<QString(const QVariant &)>;
// What a view shows of a row beyond its text (a tooltip, a background), by
// item role; an invalid value leaves the role to the view's default.
using RowDecoration = std::function<QVariant(int row, int column, int role)>;

// A text box bound to a field of a data source's current record: it shows the
// field, and what is typed or set into the box is assigned to the field (the
// data source writes it to the store when its pointer leaves the record).
class FieldBinding : public QObject
{
    Q_OBJECT

public:
    // Binds box to field of source, replacing an earlier binding of the box.
    // Opens the data source when nothing has run its query yet.
    static FieldBinding *bind(QLineEdit *box, DataSource *source, const QString &field,
                              ValueFormat format = {});
    static FieldBinding *of(QLineEdit *box);
    static void unbind(QLineEdit *box);

    DataSource *source() const { return m_source; }
    QString field() const { return m_field; }
    // Shows the current record's field again.
    void show();

private:
    FieldBinding(QLineEdit *box, DataSource *source, const QString &field, ValueFormat format);
    void write(const QString &text);

    QLineEdit *m_box;
    QPointer<DataSource> m_source;
    QString m_field;
    ValueFormat m_format;
    bool m_showing = false;
};

// A list that shows one field of every row of its row source and carries
// another, the bound column; the selected row's bound value is its bound text.
class DataList : public QListView
{
    Q_OBJECT

public:
    explicit DataList(QWidget *parent = nullptr);

    void setRowSource(DataSource *source, const QString &listField, const QString &boundColumn);
    DataSource *rowSource() const { return m_source; }

    QString text() const;
    void setText(const QString &text);
    QString boundText() const;
    void setBoundText(const QString &value);
    int selectedRow() const;
    void selectRow(int row);
    // What a click of the user on a row does: selects it and raises clicked.
    void clickRow(int row);
    // Tooltips (Qt::ToolTipRole) of the rows; a long text is elided in the
    // middle, so its end stays visible.
    void setDecoration(RowDecoration decoration) { m_decoration = std::move(decoration); }

signals:
    void itemClicked();

protected:
    bool viewportEvent(QEvent *event) override;
    // A row reached by the keyboard (arrows, page keys, type-ahead) is chosen
    // as a click chooses it; Enter chooses the current row again.
    void keyPressEvent(QKeyEvent *event) override;

private:
    RowDecoration m_decoration;
    int findRow(int column, const QString &text) const;

    QPointer<DataSource> m_source;
    QString m_listField;
    QString m_boundColumn;
};

// A combo box over a row source: it shows the list field, its bound text is
// the bound column of the row whose list field is the combo's text. It can
// also be bound to a field of another data source, which it selects from and
// writes into.
class DataCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit DataCombo(QWidget *parent = nullptr);

    void setRowSource(DataSource *source, const QString &listField, const QString &boundColumn);
    void bindField(DataSource *source, const QString &field);

    QString text() const;
    void setText(const QString &text);
    QString boundText() const;
    void setBoundText(const QString &value);

signals:
    // The text changed, by typing, by choosing from the list or by setText.
    void changed();

private:
    int findRow(const QString &column, const QString &text) const;
    void noteTextChange();
    void showBoundField();

    QPointer<DataSource> m_source;
    QString m_listField;
    QString m_boundColumn;
    QPointer<DataSource> m_dataSource;
    QString m_dataField;
    QString m_lastText;
    bool m_showing = false;
    bool m_binding = false;
};

// A read-only grid over a data source's rows. Its current row is the data
// source's record pointer. Binding it again rebuilds the columns from the
// result; widths, captions, alignment and display patterns are then set per
// column.
class DataGrid : public QTableView
{
    Q_OBJECT

public:
    explicit DataGrid(QWidget *parent = nullptr);

    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }

    // A width of 0 hides the column.
    void setColumnWidthTwips(int column, int twips);
    void setColumnCaption(int column, const QString &caption);
    QString columnCaption(int column) const;
    void setColumnAlignment(int column, Qt::Alignment alignment);
    Qt::Alignment columnAlignment(int column) const;
    void setColumnFormat(int column, ValueFormat format);
    // Tooltips and backgrounds of cells, kept when the grid is bound again.
    void setDecoration(RowDecoration decoration);

    int currentRecord() const;
    // The text of a column of the current row, as shown.
    QString cellText(int column) const;
    // What a click of the user on a row does: makes it current, raises clicked.
    void clickRow(int row);

    // The widths the user gave columns by dragging their headings, in twips,
    // by window, grid and column ("frmSchF.DataGrid1.1"). They hold for every
    // grid of that name for the rest of the session, over whatever width the
    // window lays the column out at, and are kept in the settings as text
    // (widthsText: "frmSchF.DataGrid1.1:2600,..."; widths read from a text
    // that is not of that form are left out).
    static QHash<QString, int> &userWidths();
    // The column (the name) that takes the room the grid gains when its
    // window is enlarged, unless the user gave it a width; -1: none.
    void setGrowingColumn(int column);
    static QString widthsText();
    static void readWidths(const QString &text);

signals:
    void rowClicked();
    // The user made another row current (a click, the keyboard).
    void rowChosen();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QString widthKey(int column) const;
    void setWidth(int column, int pixels);
    void fitGrowingColumn();
    bool m_sizing = false;
    int m_growing = -1;
    int m_growingBase = 0; // its width as laid out
    int m_designWidth = 0; // the grid's width as laid out
    class Proxy;
    void followPointer();
    void onCurrentChanged(const QModelIndex &current);

    QPointer<DataSource> m_source;
    Proxy *m_proxy;
    bool m_following = false;
};
