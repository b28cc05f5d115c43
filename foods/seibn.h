#pragma once

#include <QWidget>

class DataSource;
class Program;

// The food editor: one food's name, reading, category and values per 100 g.
class Seibn : public QWidget
{
    Q_OBJECT

public:
    explicit Seibn(Program &program, QWidget *parent = nullptr);

    void BindFoodEditor();
    void LoadFoodRecord();
    void BeginNewFood();

    DataSource *Adodc1;
    DataSource *Adodc2;

private:
    Program &m_program;
};
