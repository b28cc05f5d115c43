#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

// The program's own help viewer: shows the help file (HTML) at its contents
// page, follows its links, and goes back or to the contents on request.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Opens fileName (relative to the working folder) at its contents page;
    // a missing file is reported in the viewer itself.
    void openFile(const QString &fileName);
    QTextBrowser *browser() const { return m_browser; }
    QPushButton *contentsButton() const { return m_contents; }
    QPushButton *backButton() const { return m_back; }

private:
    void showProblem(const QString &html);

    QTextBrowser *m_browser;
    QPushButton *m_contents;
    QPushButton *m_back;
};
