// zento-startprobe: the program's own start-up, exactly as main() runs it,
// that reports when the main window has been painted and then ends.
// tools/measure-startup.py times it from outside the process. Nothing is
// asked: a start that would show a message (no store beside it, say) goes on
// as if the user had answered OK, so that the window alone can be timed too.
#include "app/appsetup.h"
#include "app/fmain.h"
#include "app/program.h"
#include "app/prompts.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {

// Peak resident memory so far, in KiB, from the kernel's own count.
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

class NoPrompts : public Prompts
{
public:
    Answer message(const QString &, Buttons, Icon, const QString &) override { return Answer::Ok; }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
};

class PaintWatch : public QObject
{
public:
    explicit PaintWatch(Program &program)
        : m_program(program)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && m_program.fmain() &&
            watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == m_program.fmain()) {
            m_seen = true;
            // Report once this paint has been flushed to the screen.
            QTimer::singleShot(0, [this] {
                // ZENTO_PROBE_SMAPS=FILE keeps the memory map of this moment,
                // to tell which mappings the peak is made of.
                const QByteArray smaps = qgetenv("ZENTO_PROBE_SMAPS");
                if (!smaps.isEmpty()) {
                    QFile from(QStringLiteral("/proc/self/smaps"));
                    QFile to(QString::fromLocal8Bit(smaps));
                    if (from.open(QIODevice::ReadOnly) && to.open(QIODevice::WriteOnly))
                        to.write(from.readAll());
                }
                // ZENTO_PROBE_SHOT=FILE keeps a picture of the window, to
                // compare one way of starting with another pixel by pixel.
                const QByteArray shot = qgetenv("ZENTO_PROBE_SHOT");
                if (!shot.isEmpty())
                    m_program.fmain()->grab().save(QString::fromLocal8Bit(shot));
                // The processor time so far, of every thread.
                std::printf("painted peak_rss_kib=%ld cpu_ms=%.2f\n", peakResidentKiB(),
                            1000.0 * double(std::clock()) / CLOCKS_PER_SEC);
                std::fflush(stdout);
                // The program then ends as it does when the user closes it:
                // the store is closed and its lock removed, so that the next
                // launch starts as a user's next start does, not as one after
                // a crash (which takes over the lock and recovers the log).
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    Program &m_program;
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    NoPrompts prompts;
    Program program(prompts);
    PaintWatch watch(program);
    app.installEventFilter(&watch);
    program.start();
    return app.exec();
}
