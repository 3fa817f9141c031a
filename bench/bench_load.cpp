// Figures for "Load Text From File": a generated 1,000,000-line file (about 30 MB, CR LF
// line ends) loaded into inputList, next to `wc -l` on the same file for scale.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_load [lines]
#include "bench_support.h"
#include "core/input/load_list.h"
#include "core/platform/host_paths.h"
#include "gui/platform/qt_platform.h"
#include "gui/window/main_window.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <ctime>

using namespace Qt::StringLiterals;
using namespace velmora::bench;

namespace {

// Lines of 16 to 40 printable characters; every 50th is blank or spaces only, so the
// skipping is measured too.
qint64 writeLines(const QString& hostPath, int lines)
{
    std::mt19937 random(3);
    QByteArray bytes;
    bytes.reserve(qsizetype(lines) * 32);
    for (int i = 0; i < lines; ++i) {
        if (i % 50 == 49)
            bytes.append(i % 100 == 99 ? "   " : "");
        else
            bytes.append((randomKey(random) + randomKey(random)).toLatin1());
        bytes.append("\r\n");
    }
    QFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the benchmark file");
    return bytes.size();
}

// Lets the view catch up: the queued row announcement, the item layout the view defers
// to later, and one paint.
} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1'000'000;

    QTemporaryDir dir;
    const QString hostPath = dir.filePath(u"lines.txt"_s);
    const qint64 size = writeLines(hostPath, lines);
    const QString path = velmora::toWindowsPath(hostPath);
    std::printf("file: %d lines, %.1f MB, %s\n", lines, size / 1e6, qPrintable(hostPath));

    ScriptedPlatform scripted(path, {});
    velmora::ScopedPlatform scope(scripted);
    velmora::MainWindow form;
    form.inputList->columns().add(u"Input"_s);
    form.show();
    settleView(form.inputList);

    std::printf("\n%-44s %10s %10s %10s\n", "", "wall s", "CPU s", "items");
    for (int run = 1; run <= 3; ++run) {
        // The procedure alone, into an empty list.
        form.inputList->items().clear();
        settleView(form.inputList);
        QElapsedTimer wall;
        wall.start();
        double cpu = threadCpuSeconds();
        velmora::input::loadListFromFile(form.inputList->items(), path);
        std::printf("run %d  LoadListFromFile                       %10.3f %10.3f %10d\n", run,
                    seconds(wall), threadCpuSeconds() - cpu, form.inputList->items().count());

        // The view taking the new rows, on the next turn of the event loop.
        wall.restart();
        cpu = threadCpuSeconds();
        settleView(form.inputList);
        std::printf("       view lays out and paints the rows     %10.3f %10.3f\n", seconds(wall),
                    threadCpuSeconds() - cpu);

        // The whole command over a full list: clear, load, pointer, view update.
        wall.restart();
        cpu = threadCpuSeconds();
        form.loadTextFromFile();
        settleView(form.inputList);
        std::printf("       Load Text From File, full list        %10.3f %10.3f %10d\n",
                    seconds(wall), threadCpuSeconds() - cpu, form.inputList->items().count());
    }

    QProcess wc;
    QElapsedTimer wall;
    wall.start();
    wc.start(u"wc"_s, {u"-l"_s, hostPath});
    wc.waitForFinished(-1);
    std::printf("\nwc -l %s: %.3f s wall (%s)\n", qPrintable(hostPath), seconds(wall),
                wc.readAllStandardOutput().trimmed().split(' ').front().constData());
    std::printf("peak memory: %.0f MiB\n", peakMemoryMiB());
    return 0;
}
