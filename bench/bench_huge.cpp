// Ten million lines through the real window, one command after the other, each next to its
// goal: how long it takes, the longest stretch in which the window could not repaint (the
// event loop did not turn), the peak memory, and the time spent in the kernel (on a virtual
// machine the first touch of fresh memory costs from one run to the next up to five times
// as much, and makes most of the runs' differences); GNU sort on the same file, file to file,
// in the same run; and what a line costs in the lists beyond its text.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_huge [lines]
#include "bench_support.h"
#include "core/platform/host_paths.h"
#include "core/threads/background_release.h"
#include "gui/window/main_window.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <future>

#include <sys/resource.h>

using namespace Qt::StringLiterals;
using velmora::MainWindow;
using namespace velmora::bench;

namespace {

// The goals the window is held to, whatever the number of lines.
constexpr double kLongestGapGoalMs = 50;
constexpr double kSaveGoalSeconds = 1.5;
constexpr double kCopyGoalSeconds = 1.0;
constexpr double kPeakGoalMiB = 1200 / 1.048576; // 1.2 GB

struct Figures
{
    double seconds = 0;
    double longestGapMs = 0;
    double peakMiB = 0;
    double kernelSeconds = 0; // mostly the first touch of fresh memory
};

// The time this process has spent in the kernel, on all its threads.
double kernelSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_stime.tv_sec) + usage.ru_stime.tv_usec / 1e6;
}

// GNU sort from the file to a file, as a user would run it; its time and its peak memory.
Figures gnuSortFileToFile(const QString& input, const QString& output)
{
    Figures figures;
    figures.seconds = runGnuSort(input, output);
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    figures.peakMiB = static_cast<double>(children.ru_maxrss) / 1024.0;
    return figures;
}

void printRow(const char* what, const Figures& figures, double goalSeconds)
{
    std::printf("  %-30s %7.2f s", what, figures.seconds);
    if (goalSeconds > 0)
        std::printf(" (goal %4.1f s)", goalSeconds);
    else
        std::printf("              ");
    std::printf("   longest gap %8.1f ms (goal %.0f)   peak %6.0f MiB   in the kernel %5.2f s\n",
                figures.longestGapMs, kLongestGapGoalMs, figures.peakMiB, figures.kernelSeconds);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10'000'000;
    std::printf("command: QT_QPA_PLATFORM=%s %s %d\n", qgetenv("QT_QPA_PLATFORM").constData(),
                argv[0], count);

    QTemporaryDir scratch(QDir::tempPath() + u"/bench-huge-XXXXXX"_s);
    const QString input = scratch.filePath(u"lines.txt"_s);
    const QString output = scratch.filePath(u"results.txt"_s);
    qint64 textUnits = 0;
    {
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the benchmark file");
        std::mt19937 random(6);
        for (int i = 0; i < count; ++i) {
            const QString key = randomKey(random);
            textUnits += key.size();
            file.write(key.toLatin1() + "\r\n");
        }
    }
    const double textBytesPerLine = 2.0 * static_cast<double>(textUnits) / count;
    std::printf("%d random lines of 8-20 characters (%.0f MB file)\n", count,
                QFileInfo(input).size() / 1e6);

    const Figures gnu = gnuSortFileToFile(input, scratch.filePath(u"gnu.txt"_s));
    std::printf("  %-30s %7.2f s   peak %6.0f MiB\n", "GNU sort -s, file to file", gnu.seconds,
                gnu.peakMiB);

    ScriptedPlatform platform(velmora::toWindowsPath(input), velmora::toWindowsPath(output));
    velmora::ScopedPlatform scope(platform);
    MainWindow form;
    form.startUp();
    form.show();
    QCoreApplication::processEvents();
    const double baseMiB = residentMiB();
    const int boxesBefore = platform.boxes;

    // A command runs from its handler's call until both views have taken in what it did.
    GapMeter gaps;
    auto run = [&](auto&& command) {
        resetPeak();
        gaps.start();
        QElapsedTimer timer;
        timer.start();
        const double kernelBefore = kernelSeconds();
        command();
        settleView(form.inputList);
        settleView(form.resultList);
        Figures figures;
        figures.seconds = seconds(timer);
        figures.kernelSeconds = kernelSeconds() - kernelBefore;
        gaps.stop();
        figures.longestGapMs = gaps.longestMs();
        figures.peakMiB = peakMemoryMiB();
        return figures;
    };
    double peakMiB = 0;
    double loadSortSave = 0;
    auto step = [&](const char* what, auto&& command, double goalSeconds, bool timed) {
        const Figures figures = run(command);
        printRow(what, figures, goalSeconds);
        peakMiB = std::max(peakMiB, figures.peakMiB);
        if (timed)
            loadSortSave += figures.seconds;
    };

    // What the lists hold once what a command dropped has been freed.
    const auto listsMiB = [&] {
        std::promise<void> freed;
        velmora::releaseInBackground([&] { freed.set_value(); }); // after all handed before
        freed.get_future().wait();
        return residentMiB() - baseMiB;
    };
    step(
        "Load Text From File", [&] { form.loadTextFromFile(); }, 0, true);
    const double inputMiB = listsMiB();
    step(
        "Start Sorting", [&] { form.startSorting(); }, 0, true);
    const double bothMiB = listsMiB();
    step(
        "Save Results As Text File", [&] { form.saveResults(); }, kSaveGoalSeconds, true);
    step(
        "Copy Results To Clipboard", [&] { form.copyResults(); }, kCopyGoalSeconds, false);
    step(
        "Delete a result row",
        [&] {
            form.resultList->setCurrentIndex(form.resultList->model()->index(count / 2, 0));
            form.deleteSelectedRow(form.resultList, 46);
        },
        0, false);
    step(
        "Clear Results", [&] { form.clearResults(); }, 0, false);
    step(
        "Clear Text", [&] { form.clearText(); }, 0, false);

    std::printf("  %-30s %7.2f s (goal: GNU sort's %.2f s, %.2fx)\n", "Load + Start Sorting + Save",
                loadSortSave, gnu.seconds, loadSortSave / gnu.seconds);
    std::printf("  %-30s %7.0f MiB (goal %.0f MiB; GNU sort %.0f MiB)\n", "peak memory", peakMiB,
                kPeakGoalMiB, gnu.peakMiB);
    const double mib = 1024.0 * 1024.0;
    std::printf("  a line costs beyond its text (%.1f bytes): %.1f bytes in the input list, "
                "%.1f bytes in both lists\n",
                textBytesPerLine, inputMiB * mib / count - textBytesPerLine,
                bothMiB * mib / count - textBytesPerLine);
    if (platform.boxes - boxesBefore != 1)
        std::printf("  %d message boxes (expected the copy's one)\n", platform.boxes - boxesBefore);
    return 0;
}
