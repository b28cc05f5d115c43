#pragma once

#include <QWidget>

class Program;

// The version window.
class FrmAbout : public QWidget
{
    Q_OBJECT

public:
    explicit FrmAbout(Program &program, QWidget *parent = nullptr);

private:
    Program &m_program;
};
