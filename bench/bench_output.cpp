// Figures for taking the results out: saving a million results as an aligned text file
// and copying them to the clipboard, each with the longest wait between two event-loop
// turns while it runs (a 1 ms timer stands in for repaints and clicks). With "scattered",
// the rows' texts lie in memory in another order than the rows, as after a sort.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_output [rows] [folder] [scattered]
#include "bench_support.h"
#include "core/model/text_column.h"
#include "core/output/aligned_export.h"
#include "core/output/clipboard_copy.h"
#include "core/platform/host_paths.h"
#include "gui/window/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <numeric>

using namespace Qt::StringLiterals;
using velmora::MainWindow;
using namespace velmora::bench;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QString command = QString::fromLocal8Bit(argv[0]);
    for (int i = 1; i < argc; ++i)
        command += u' ' + QString::fromLocal8Bit(argv[i]);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const bool scattered = argc > 3 && std::strcmp(argv[3], "scattered") == 0;
    QTemporaryDir scratch(argc > 2 ? QString::fromLocal8Bit(argv[2]) + u"/bench-output-XXXXXX"_s
                                   : QDir::tempPath() + u"/bench-output-XXXXXX"_s);
    std::printf("command: QT_QPA_PLATFORM=%s %s\n", qgetenv("QT_QPA_PLATFORM").constData(),
                qPrintable(command));

    MainWindow form;
    form.startUp();
    form.show();
    // The rows' texts lie in memory in row order, as rows added one by one leave them, or
    // scattered: in some other order, as a sort of texts in load order leaves them.
    std::mt19937 random(5);
    velmora::TextColumn texts;
    for (int i = 0; i < rows; ++i)
        texts.append(randomKey(random));
    if (scattered) {
        std::vector<std::uint32_t> order(static_cast<std::size_t>(rows));
        std::iota(order.begin(), order.end(), 0u);
        std::shuffle(order.begin(), order.end(), random);
        texts = texts.gathered(order);
    }
    form.resultList->items().addAll(texts);
    QCoreApplication::processEvents(); // the view takes in the rows before timing starts

    GapMeter gap;
    const QString path = scratch.filePath(u"results.txt"_s);
    QElapsedTimer timer;
    gap.start();
    timer.start();
    double cpu = threadCpuSeconds();
    form.setMousePointer(velmora::MousePointer::Hourglass);
    velmora::output::saveAlignedText(form.resultList->items(), form.resultList->columns(),
                                     velmora::toWindowsPath(path), form.progressBar);
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
    velmora::output::copyToClipboard(form.resultList->items(), form.resultList->columns());
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
