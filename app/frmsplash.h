#pragma once

#include <QWidget>

class QLabel;

// The cover window shown while the program starts: a picture with the
// program's name (Label1) over its top-left corner.
class FrmSplash : public QWidget
{
    Q_OBJECT

public:
    explicit FrmSplash(QWidget *parent = nullptr);

    // The cover picture, 320 x 267 pixels, drawn by the program itself.
    static QImage picture();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_title;
};
