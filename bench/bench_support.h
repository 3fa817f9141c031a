#pragma once

#include "gui/controls/list_view.h"
#include "gui/platform/qt_platform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>

namespace velmora::bench {

// The real platform, but nothing a benchmark does waits for a person or starts another
// program: a message box is counted rather than shown (a shown one would wait for a click
// that never comes), and the web site the start-up opens now and then is not opened.
class BenchPlatform : public QtPlatform
{
public:
    void messageBox(const QString&, MsgBoxIcon, const QString&) override { ++boxes; }
    using Platform::messageBox;
    void shellRun(const QString&, int) override {}
    int boxes = 0;
};

// Benchmarks run on that platform, as the program does on the real one: installed here
// before a benchmark's main() starts, as main() installs it in the program. A benchmark
// that scripts the dialogs installs its own on top for as long as it needs it.
inline BenchPlatform realPlatform;
inline const ScopedPlatform realPlatformInUse(realPlatform);

// Random printable keys of 8 to 20 characters, the same for every run.
inline QString randomKey(std::mt19937& random)
{
    static const char16_t alphabet[] =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    const int length = 8 + static_cast<int>(random() % 13);
    QString key(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        key[i] = QChar(alphabet[random() % (sizeof(alphabet) / sizeof(char16_t) - 1)]);
    return key;
}

// A field of /proc/self/status in MiB ("VmRSS:", "VmHWM:").
inline double statusMiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0)
            return std::stod(line.substr(length)) / 1024.0;
    }
    return 0.0;
}

inline double residentMiB()
{
    return statusMiB("VmRSS:");
}

// Peak resident memory of this process so far, or since resetPeak(), in MiB (VmHWM).
inline double peakMemoryMiB()
{
    return statusMiB("VmHWM:");
}

// Starts a new peak: from here VmHWM reports the highest VmRSS since this call.
inline void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

inline double seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

// CPU time used by the calling thread, in seconds: holds on a machine busy with other work.
inline double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The benchmarks' platform, with dialogs that answer at once.
class ScriptedPlatform : public BenchPlatform
{
public:
    ScriptedPlatform(QString openAnswer, QString saveAnswer)
        : m_open(std::move(openAnswer)), m_save(std::move(saveAnswer))
    {}
    QString showOpenDialog(const FileDialogRequest&) override { return m_open; }
    QString showSaveDialog(const FileDialogRequest&) override { return m_save; }

    // Told when work that must not yield starts (true) and ends (false).
    void watchRepaintOnlySteps(std::function<void(bool)> watcher)
    {
        m_watcher = std::move(watcher);
    }
    void runWhileRepainting(const std::function<void()>& work) override
    {
        if (m_watcher)
            m_watcher(true);
        try {
            QtPlatform::runWhileRepainting(work);
        } catch (...) {
            if (m_watcher)
                m_watcher(false);
            throw;
        }
        if (m_watcher)
            m_watcher(false);
    }

private:
    std::function<void(bool)> m_watcher;
    QString m_open;
    QString m_save;
};

// A spot of one pixel in a window that notes each time it is painted: in work that must not
// yield, the window's thread only paints, and these paints are its turns.
class Heartbeat : public QWidget
{
public:
    Heartbeat(QWidget* window, std::function<void()> painted)
        : QWidget(window), m_painted(std::move(painted))
    {
        setGeometry(0, 0, 1, 1);
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override { m_painted(); }

private:
    std::function<void()> m_painted;
};

// Records the longest time between two turns of the window's thread, and how much of that
// time it was on the CPU: a long gap with little CPU time was spent waiting, for the disk or
// for a CPU on a machine shared with other work. A turn is a tick of a timer that wants to
// run every ms or, given a window, a paint of a spot in it, which asks to be painted again
// while work that must not yield runs (repaintOnlyStep()).
class GapMeter
{
public:
    explicit GapMeter(QWidget* window = nullptr)
    {
        m_tick.setInterval(1);
        m_tick.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_tick, &QTimer::timeout, [this] { turn(); });
        if (window) {
            m_heartbeat = std::make_unique<Heartbeat>(window, [this] {
                turn();
                if (m_inRepaintOnlyStep)
                    m_heartbeat->update(); // painted on the step's next round of paints
            });
        }
    }
    void repaintOnlyStep(bool started)
    {
        m_inRepaintOnlyStep = started;
        if (started && m_heartbeat)
            m_heartbeat->update();
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
        // The first tick sets the baseline: without it, a command that never turns the
        // loop would be measured from the first turn after it.
        while (m_ticks == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    // Milliseconds since the last turn of the event loop.
    double sinceLastTurnMs() const { return (m_clock.nsecsElapsed() - m_last) / 1e6; }
    double longestMs() const { return m_longest / 1e6; }
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
    void turn()
    {
        if (!m_tick.isActive())
            return;
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
    }

    QTimer m_tick;
    std::unique_ptr<Heartbeat> m_heartbeat;
    QElapsedTimer m_clock;
    qint64 m_last = -1;
    bool m_inRepaintOnlyStep = false;
    double m_lastCpu = 0;
    qint64 m_longest = 0;
    double m_longestCpu = 0;
    double m_mostCpu = 0;
    long m_ticks = 0;
};

// Lets a list's view take in its rows and lay them out, as the next turns of the event
// loop and the next paint would.
inline void settleView(ListView* list)
{
    QCoreApplication::processEvents();
    const int rows = list->model()->rowCount();
    if (rows > 0)
        (void)list->visualRect(list->model()->index(rows - 1, 0));
    list->viewport()->repaint();
}

// `LC_ALL=C sort -s` from one file to another, waited for; its wall time in seconds.
inline double runGnuSort(const QString& input, const QString& output)
{
    QProcess sort;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    sort.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    sort.start(QStringLiteral("sort"), {QStringLiteral("-s"), QStringLiteral("-o"), output, input});
    if (!sort.waitForFinished(-1) || sort.exitCode() != 0)
        qFatal("GNU sort did not run");
    return seconds(timer);
}

// CPU time used by all threads of this process, in seconds.
inline double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace velmora::bench
