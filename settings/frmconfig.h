#pragma once

#include <QWidget>

class Program;
class QCheckBox;
class QComboBox;

// The settings window; loading it reads the settings file into its controls.
class FrmConfig : public QWidget
{
    Q_OBJECT

public:
    explicit FrmConfig(Program &program, QWidget *parent = nullptr);

    QCheckBox *Check1;
    QComboBox *Combo1;

private:
    Program &m_program;
};
