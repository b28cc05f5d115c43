#pragma once

#include <QWidget>

class Program;

// Comparison of the current dish with the recommended intakes.
class FrmKij : public QWidget
{
    Q_OBJECT

public:
    explicit FrmKij(Program &program, QWidget *parent = nullptr);

private:
    Program &m_program;
};
