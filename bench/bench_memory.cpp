// Memory over repeated use: a 1,000,000-line file loaded into the input list, sorted into
// the result list (with counters), saved, copied, and both lists cleared, several rounds in
// a row, each through the window's own command handlers. For every step it prints the
// resident memory (VmRSS) at its end and the step's own peak (VmHWM, reset before each
// step); after the clearing, the resident memory, how long the clearing took, and the heap:
// in use, freed but kept by malloc, and in mmapped blocks (big buffers such as the
// clipboard's text and the list views' row tables). Clear Text and Clear Results hand the
// freed heap back to the system, so "cleared" is what the program really keeps.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_memory [lines] [rounds]
//
// A long session is `bench_memory 100000 1000`: it prints the first ten rounds and every
// hundredth, then the memory kept after the last round against the tenth (goal: within
// 5 %). The lines are in order but for every 1000th pair, so the figures stay comparable
// with earlier runs; bench_huge sorts ten million random lines.
#include "bench_support.h"
#include "core/platform/host_paths.h"
#include "core/threads/background_release.h"
#include "gui/platform/qt_platform.h"
#include "gui/window/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <malloc.h>

#include <algorithm>
#include <atomic>

#include <cstring>

using namespace Qt::StringLiterals;
using namespace velmora::bench;

namespace {

double heapInUseMiB()
{
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}
double heapMappedMiB()
{
    return static_cast<double>(mallinfo2().hblkhd) / (1024.0 * 1024.0);
}
double heapFreeMiB()
{
    return static_cast<double>(mallinfo2().fordblks) / (1024.0 * 1024.0);
}

// Lines in code-unit order ("0000001 ...", "0000002 ..."), except that every 1000th line
// changes place with the next; written straight to the file, so making it costs no memory.
qint64 writeNearlySortedLines(const QString& hostPath, int lines)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the benchmark file");
    std::mt19937 random(11);
    auto line = [&](int i) {
        return (u"%1 "_s.arg(i, 7, 10, QChar(u'0')) + randomKey(random)).toLatin1() + "\r\n";
    };
    for (int i = 1; i <= lines; ++i) {
        if (i % 1000 == 0 && i < lines) {
            file.write(line(i + 1));
            file.write(line(i));
            ++i;
        } else {
            file.write(line(i));
        }
    }
    return file.size();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    int lines = 1'000'000;
    int rounds = 5;
    QString command = QString::fromLocal8Bit(argv[0]);
    for (int i = 1; i < argc; ++i) {
        command += u' ' + QString::fromLocal8Bit(argv[i]);
        (i == 1 ? lines : rounds) = std::atoi(argv[i]);
    }
    std::printf("command: QT_QPA_PLATFORM=%s %s\n", qgetenv("QT_QPA_PLATFORM").constData(),
                qPrintable(command));

    QTemporaryDir scratch(QDir::tempPath() + u"/bench-memory-XXXXXX"_s);
    const QString input = scratch.filePath(u"lines.txt"_s);
    const QString output = scratch.filePath(u"results.txt"_s);
    const qint64 inputBytes = writeNearlySortedLines(input, lines);
    ScriptedPlatform platform(velmora::toWindowsPath(input), velmora::toWindowsPath(output));
    velmora::ScopedPlatform scope(platform);

    velmora::MainWindow form;
    form.startUp();
    form.sortLinesOption->setChecked(true);
    form.counterCheck->setChecked(true);
    form.show();
    QCoreApplication::processEvents();
    std::printf("%d lines, %.1f MB file; window shown: %.0f MiB resident\n\n", lines,
                inputBytes / 1e6, residentMiB());
    std::printf("resident at the end of each step (the step's own peak):\n");
    std::printf("round       loaded        sorted         saved        copied |  peak | cleared "
                "(in ms) | heap in use  free  mmapped\n");

    QElapsedTimer timer;
    timer.start();
    double clearedAtTen = 0;
    double clearedAtEnd = 0;
    for (int round = 1; round <= rounds; ++round) {
        double peak = 0;
        // Each step ends with a turn of the event loop, as it would between two clicks.
        auto step = [&](void (velmora::MainWindow::*handler)()) {
            resetPeak();
            (form.*handler)();
            QCoreApplication::processEvents();
            peak = std::max(peak, statusMiB("VmHWM:"));
            return std::pair{residentMiB(), statusMiB("VmHWM:")};
        };
        const auto [loaded, loadPeak] = step(&velmora::MainWindow::loadTextFromFile);
        const auto [sorted, sortPeak] = step(&velmora::MainWindow::startSorting);
        const auto [saved, savePeak] = step(&velmora::MainWindow::saveResults);
        const auto [copied, copyPeak] = step(&velmora::MainWindow::copyResults);
        if (form.inputList->items().count() != lines || form.resultList->items().count() != lines ||
            QFileInfo(output).size() == 0)
            qFatal("a command did not do its work");
        QElapsedTimer clearing;
        clearing.start();
        form.clearText();
        form.clearResults();
        QCoreApplication::processEvents();
        const double clearMs = clearing.nsecsElapsed() / 1e6;
        // Big lists are freed, and the heap trimmed, off the window's thread, in the order
        // handed over: what the program keeps is read once that is done.
        std::atomic<bool> released = false;
        velmora::releaseInBackground([&released] { released = true; });
        while (!released)
            QThread::msleep(1);
        const double cleared = residentMiB();
        if (round == std::min(10, rounds))
            clearedAtTen = cleared;
        clearedAtEnd = cleared;
        if (round > 10 && round % 100 != 0 && round != rounds)
            continue;
        std::printf("%5d %5.0f (%5.0f) %5.0f (%5.0f) %5.0f (%5.0f) %5.0f (%5.0f) | %5.0f | %7.0f "
                    "(%5.1f) | %11.0f %5.0f %8.0f\n",
                    round, loaded, loadPeak, sorted, sortPeak, saved, savePeak, copied, copyPeak,
                    peak, cleared, clearMs, heapInUseMiB(), heapFreeMiB(), heapMappedMiB());
        std::fflush(stdout);
    }
    if (rounds > 10)
        std::printf("\nkept after clearing: round 10 %.1f MiB, round %d %.1f MiB (%+.1f %%; goal "
                    "within 5 %%)\n",
                    clearedAtTen, rounds, clearedAtEnd, 100.0 * (clearedAtEnd / clearedAtTen - 1));
    std::printf("\nMiB throughout; %.1f s for %d rounds; %d confirmation boxes. The clipboard "
                "still holds the last copy (%lld characters) after the clearing.\n",
                seconds(timer), rounds, platform.boxes,
                static_cast<long long>(QGuiApplication::clipboard()->text().size()));
    return 0;
}
