#include "app/helpwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("ゼント ヘルプ"));
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(720, 560);
}

void HelpWindow::openFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        m_browser->setHtml(QStringLiteral("<h2>ヘルプを表示できません</h2>"
                                          "<p>ヘルプファイル「%1」が見つかりません（%2）。</p>")
                               .arg(fileName.toHtmlEscaped(),
                                    info.absoluteFilePath().toHtmlEscaped()));
        return;
    }
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        m_browser->setHtml(QStringLiteral("<h2>ヘルプを表示できません</h2><p>%1: %2</p>")
                               .arg(fileName.toHtmlEscaped(), file.errorString().toHtmlEscaped()));
        return;
    }
    m_browser->setSearchPaths({info.absolutePath()});
    m_browser->setHtml(QString::fromUtf8(file.readAll()));
    m_browser->moveCursor(QTextCursor::Start); // the contents page
}
