#pragma once

#include <QWidget>

class Program;
class QLabel;
class QPushButton;

// The version window "ゼントのﾊﾞｰｼﾞｮﾝ情報": the program's icon, title,
// version, what it does and where its food data comes from. Every opening
// builds its texts anew; "OK" and the close box close it.
class FrmAbout : public QWidget
{
    Q_OBJECT

public:
    explicit FrmAbout(Program &program, QWidget *parent = nullptr);

private:
    // The controls; other code and the tests reach them by objectName.
    QLabel *picIcon;
    QLabel *lblTitle;
    QLabel *lblVersion;
    QLabel *lblDescription;
    QLabel *Label1; // the source of the food data, on light green
    QPushButton *cmdOK;

public:
    // The program icon, 32 x 32 pixels, drawn by the program itself.
    static QPixmap programIcon();

private:
    void load();

    Program &m_program;
};
