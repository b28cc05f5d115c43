#pragma once

#include <QWidget>

class QTextBrowser;

// The program's own help viewer: shows the help file (HTML) at its contents.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget *parent = nullptr);
    // Opens fileName (relative to the working folder) at its contents page;
    // a missing file is reported in the viewer itself.
    void openFile(const QString &fileName);
    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
};
