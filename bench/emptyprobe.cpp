// zento-emptyprobe: the yardstick for the start-up: an empty Qt Widgets
// window with one label, which reports when it has been painted and ends at
// once, as zento-startprobe does for the program.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *window)
        : m_window(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_window) {
            m_seen = true;
            QTimer::singleShot(0, [] {
                // The processor time so far, of every thread.
                std::printf("painted peak_rss_kib=%ld cpu_ms=%.2f\n", peakResidentKiB(),
                            1000.0 * double(std::clock()) / CLOCKS_PER_SEC);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    QWidget *m_window;
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("空のウィンドウ")));
    window.resize(640, 480);
    PaintWatch watch(&window);
    app.installEventFilter(&watch);
    window.show();
    return app.exec();
}
