#pragma once

#include <QWidget>

class Program;

class FrmSchM : public QWidget
{
    Q_OBJECT

public:
    explicit FrmSchM(Program &program, QWidget *parent = nullptr);

private:
    Program &m_program;
};
