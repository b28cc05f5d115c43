#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

// The program's own help viewer: shows the help file (HTML) at its contents
// page (helpBrowser), follows its links, and goes back (helpBack) or to the
// contents (helpContents) on request.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Opens fileName (relative to the working folder) at its contents page;
    // a missing file is reported in the viewer itself.
    void openFile(const QString &fileName);

private:
    void showProblem(const QString &html);

    QTextBrowser *m_browser;
    QPushButton *m_contents;
    QPushButton *m_back;
};
