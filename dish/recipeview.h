#pragma once

#include <QObject>

class DataGrid;
class DataSource;
class DishSession;
class Growth;
class Program;
class QLineEdit;
class QWidget;

// The recipe of the current dish on the main window: the grid of its lines
// (DataGrid1, food, quantity and unit shown, then each line's grams, tinted
// where the weight of its unit is an estimate) and the selected line's key
// (TexKouID). Its controls lie on the main window's client area.
class RecipeView : public QObject
{
    Q_OBJECT

public:
    RecipeView(QWidget *client, Program &program, DishSession &dish);

    // The extra room of an enlarged window goes to the grid.
    void grow(Growth &growth);

    // The grid laid out on the lines the session holds; TexKouID follows the
    // selected line.
    void showRecipe();
    void repaint();
    // The line under the grid's current row becomes the selected line.
    // Stops at the first failure (no current row, an ID that is not a
    // number); the selection then keeps the line it held.
    void BindSelectedLine();
    // The grid's current row; -1 when the grid is empty.
    int currentRow() const;
    // The text shown in the current row for a field of kou (or 素材).
    QString currentText(const QString &field) const;

signals:
    // A row of the grid was clicked, or reached by the keyboard.
    void lineClicked();
    // The grid was laid out again (after the lines changed or another dish).
    void recipeShown();

private:
    void showSelectedLine();

    Program &m_program;
    DishSession &m_dish;
    DataSource *m_lines;
    DataSource *m_selection;
    DataGrid *m_grid;
    QLineEdit *m_lineKey; // TexKouID
};
