#pragma once

#include <QWidget>

class Program;

class FrmSchF : public QWidget
{
    Q_OBJECT

public:
    explicit FrmSchF(Program &program, QWidget *parent = nullptr);

private:
    Program &m_program;
};
