#include "app/helpwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// A help browser that reads what the help names (its pages and images) only
// from regular files of a sane size in the help's own folder: a FIFO or a
// device named as an image would never end, a file elsewhere is none of the
// help's business.
class HelpBrowser : public QTextBrowser
{
public:
    using QTextBrowser::QTextBrowser;
    static constexpr qint64 maxResourceBytes = 4 * 1024 * 1024;
    QString folder; // the help's own, absolute

    QVariant loadResource(int type, const QUrl &name) override
    {
        // Refused, it is an empty resource (an image, a blank pixel):
        // nothing at all would send the document to read the file itself.
        QImage blank(1, 1, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        const QVariant none =
            type == QTextDocument::ImageResource ? QVariant(blank) : QVariant(QByteArray());
        const QUrl url = name.isRelative() ? source().resolved(name) : name;
        if (!url.isLocalFile())
            return none;
        const QFileInfo info(url.toLocalFile());
        if (!info.isFile() || info.isSymLink() || info.size() > maxResourceBytes ||
            info.absolutePath() != folder)
            return none;
        return QTextBrowser::loadResource(type, name);
    }
};

} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new HelpBrowser(this))
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
    // A FIFO or a device would never end; a help far larger than ours (some
    // 60 KB) is no help, and would hold up the window while it is laid out.
    constexpr qint64 maxHelpBytes = 1024 * 1024;
    if (!info.isFile() || info.size() > maxHelpBytes) {
        showProblem(
            QStringLiteral("<h2>ヘルプを表示できません</h2>"
                           "<p>「%1」は通常のファイルでないか、大きすぎます（1 MiB まで）。</p>")
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
    static_cast<HelpBrowser *>(m_browser)->folder = info.absolutePath();
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
