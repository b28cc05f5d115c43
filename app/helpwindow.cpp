#include "app/helpwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
    , m_contents(new QPushButton(QStringLiteral("目次"), this))
    , m_back(new QPushButton(QStringLiteral("戻る"), this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("ゼント ヘルプ"));
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_back->setObjectName(QStringLiteral("helpBack"));
    m_back->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 6, 6, 0);
    buttons->addWidget(m_contents);
    buttons->addWidget(m_back);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);
    resize(760, 600);

    connect(m_contents, &QPushButton::clicked, m_browser, &QTextBrowser::home);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
}

void HelpWindow::showProblem(const QString &html)
{
    m_browser->clearHistory();
    m_browser->setHtml(html);
    m_contents->setEnabled(false);
}

void HelpWindow::openFile(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        showProblem(QStringLiteral("<h2>ヘルプを表示できません</h2>"
                                   "<p>ヘルプファイル「%1」が見つかりません（%2）。</p>")
                        .arg(fileName.toHtmlEscaped(), info.absoluteFilePath().toHtmlEscaped()));
        return;
    }
    // A FIFO or a device would never end; a help far larger than ours is no help.
    constexpr qint64 maxHelpBytes = 4 * 1024 * 1024;
    if (!info.isFile() || info.size() > maxHelpBytes) {
        showProblem(
            QStringLiteral("<h2>ヘルプを表示できません</h2>"
                           "<p>「%1」は通常のファイルでないか、大きすぎます（4 MiB まで）。</p>")
                .arg(info.absoluteFilePath().toHtmlEscaped()));
        return;
    }
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        showProblem(QStringLiteral("<h2>ヘルプを表示できません</h2><p>%1: %2</p>")
                        .arg(fileName.toHtmlEscaped(), file.errorString().toHtmlEscaped()));
        return;
    }
    file.close();
    // Shown as a document of its own, so that the contents links, "戻る" and
    // "目次" work; each opening starts again at the contents.
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    m_browser->clearHistory();
    if (m_browser->source() == url)
        m_browser->reload();
    else
        m_browser->setSource(url, QTextDocument::HtmlResource);
    m_browser->clearHistory();
    m_contents->setEnabled(true);
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->verticalScrollBar()->setValue(0);
    if (!m_browser->documentTitle().isEmpty())
        setWindowTitle(m_browser->documentTitle());
}
