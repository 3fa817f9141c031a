// Figures for taking the results out: saving a million results as an aligned text file
// and copying them to the clipboard, each with the longest wait between two event-loop
// turns while it runs (a 1 ms timer stands in for repaints and clicks).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_output [rows] [folder]
#include "app/platform/host_paths.h"
#include "app/window/form1.h"
#include "bench_support.h"
#include "output/aligned_export.h"
#include "output/clipboard_copy.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;
using velmora::Form1;
using namespace velmora::bench;

namespace {

// Records the longest time between two ticks of a timer that wants to run every ms, and how
// much of that time this thread was on the CPU: a long gap with little CPU time was spent
// waiting, for the disk or for a CPU on a machine shared with other work.
class GapMeter
{
public:
    GapMeter()
    {
        m_tick.setInterval(1);
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            const double cpu = threadCpuSeconds();
            if (m_last >= 0) {
                if (now - m_last > m_longest) {
                    m_longest = now - m_last;
                    m_longestCpu = cpu - m_lastCpu;
                }
                m_mostCpu = std::max(m_mostCpu, cpu - m_lastCpu);
            }
            m_last = now;
            m_lastCpu = cpu;
            ++m_ticks;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = -1;
        m_longest = 0;
        m_longestCpu = 0;
        m_mostCpu = 0;
        m_ticks = 0;
        m_tick.start();
        QCoreApplication::processEvents(); // the first tick sets the baseline
    }
    void stop()
    {
        // The last stretch counts too: the turn right after the operation.
        QCoreApplication::processEvents();
        m_tick.stop();
    }
    void print() const
    {
        std::printf("  longest event-loop gap %.2f ms (%.2f ms of it on this thread's CPU); "
                    "most CPU time between two turns %.2f ms; %ld turns\n",
                    m_longest / 1e6, m_longestCpu * 1e3, m_mostCpu * 1e3, m_ticks);
    }

private:
    QTimer m_tick;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    double m_lastCpu = 0;
    qint64 m_longest = 0;
    double m_longestCpu = 0;
    double m_mostCpu = 0;
    long m_ticks = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QString command = QString::fromLocal8Bit(argv[0]);
    for (int i = 1; i < argc; ++i)
        command += u' ' + QString::fromLocal8Bit(argv[i]);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    QTemporaryDir scratch(argc > 2 ? QString::fromLocal8Bit(argv[2]) + u"/bench-output-XXXXXX"_s
                                   : QDir::tempPath() + u"/bench-output-XXXXXX"_s);
    std::printf("command: QT_QPA_PLATFORM=%s %s\n", qgetenv("QT_QPA_PLATFORM").constData(),
                qPrintable(command));

    Form1 form;
    form.Form_Load();
    form.show();
    std::mt19937 random(5);
    for (int i = 0; i < rows; ++i)
        form.ListView2->ListItems().Add(randomKey(random));
    QCoreApplication::processEvents(); // the view takes in the rows before timing starts

    GapMeter gap;
    const QString path = scratch.filePath(u"results.txt"_s);
    QElapsedTimer timer;
    gap.start();
    timer.start();
    double cpu = threadCpuSeconds();
    form.setMousePointer(velmora::MousePointer::Hourglass);
    velmora::SortArray::SaveListviewProperlySpaced(form.ListView2->ListItems(),
                                                   form.ListView2->ColumnHeaders(),
                                                   velmora::toWindowsPath(path), form.ProgressBar1);
    form.setMousePointer(velmora::MousePointer::Default);
    const double saveSeconds = seconds(timer);
    cpu = threadCpuSeconds() - cpu;
    gap.stop();
    std::printf("save %d results to %s (%.1f MB): %.3f s wall, %.3f s CPU\n", rows,
                qPrintable(QFileInfo(path).absolutePath()), QFileInfo(path).size() / 1e6,
                saveSeconds, cpu);
    gap.print();

    gap.start();
    timer.start();
    cpu = threadCpuSeconds();
    velmora::Main::CopyListviewToClipboard(form.ListView2->ListItems(),
                                           form.ListView2->ColumnHeaders());
    const double copySeconds = seconds(timer);
    cpu = threadCpuSeconds() - cpu;
    gap.stop();
    std::printf("copy %d results to the clipboard (%lld characters): %.3f s wall, %.3f s CPU\n",
                rows, static_cast<long long>(QGuiApplication::clipboard()->text().size()),
                copySeconds, cpu);
    gap.print();
    std::printf("peak memory: %.0f MiB\n", peakMemoryMiB());
    return 0;
}
