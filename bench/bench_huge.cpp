// Ten million lines through the real window, one command after the other, each next to its
// goal, twice: a file of ASCII lines, then a UTF-8 one where one line in ten has letters
// beyond ASCII (under a UTF-8 locale, whose code page the program then reads and writes),
// whose load and save are held to within 15 % of the ASCII file's in the same run. For
// each: how long it takes, the longest stretch in which the window could not repaint (the
// event loop did not turn), the peak memory, and the time spent in the kernel (on a virtual
// machine the first touch of fresh memory costs from one run to the next up to five times
// as much, and makes most of the runs' differences); GNU sort on the same file, file to file,
// in the same run; and what a line costs in the lists beyond its text.
//
//   LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen build/bench/bench_huge [lines]
#include "bench_support.h"
#include "core/platform/ansi_code_page.h"
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
constexpr double kUtf8SlowerGoal = 0.15;         // load and save, against the ASCII file's

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

// Letters beyond ASCII of two and three bytes in UTF-8: Latin with accents, Greek,
// Cyrillic, Japanese.
QString withLettersBeyondAscii(QString key, std::mt19937& random)
{
    static const char16_t letters[] = u"\u00e9\u00fc\u00f6\u00df\u00e7\u00f1\u00e5\u00f8\u0153"
                                      u"\u03b1\u03b2\u03a9\u0436\u0449\u042f\u65e5\u672c\u8a9e";
    const int count = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < count; ++i)
        key[static_cast<qsizetype>(random() % key.size())] =
            QChar(letters[random() % (sizeof(letters) / sizeof(char16_t) - 1)]);
    return key;
}

struct Session
{
    Figures load;
    Figures save;
};

// The file's commands through a new window, each row printed.
Session runSession(const QString& input, const QString& output, int count, qint64 textUnits)
{
    const double textBytesPerLine = 2.0 * static_cast<double>(textUnits) / count;
    const Figures gnu = gnuSortFileToFile(input, output + u".gnu"_s);
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
        return figures;
    };

    // What the lists hold once what a command dropped has been freed.
    const auto listsMiB = [&] {
        std::promise<void> freed;
        velmora::releaseInBackground([&] { freed.set_value(); }); // after all handed before
        freed.get_future().wait();
        return residentMiB() - baseMiB;
    };
    Session session;
    session.load = step(
        "Load Text From File", [&] { form.loadTextFromFile(); }, 0, true);
    const double inputMiB = listsMiB();
    step(
        "Start Sorting", [&] { form.startSorting(); }, 0, true);
    const double bothMiB = listsMiB();
    session.save = step(
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
    return session;
}

void printSlower(const char* what, double utf8Seconds, double asciiSeconds)
{
    const double slower = utf8Seconds / asciiSeconds - 1;
    std::printf("  %-30s %+6.1f %% (%.2f s against %.2f s; goal at most %+.0f %%)\n", what,
                100 * slower, utf8Seconds, asciiSeconds, 100 * kUtf8SlowerGoal);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10'000'000;
    std::printf("command: LANG=%s QT_QPA_PLATFORM=%s %s %d\n", qgetenv("LANG").constData(),
                qgetenv("QT_QPA_PLATFORM").constData(), argv[0], count);
    const bool utf8 = velmora::decodeAnsiCodePage("\xc3\xa9") == u"\u00e9"_s;
    if (!utf8)
        std::printf("the locale's code page is not UTF-8: the UTF-8 file reads as Windows-1252 "
                    "(run under LANG=C.UTF-8)\n");

    QTemporaryDir scratch(QDir::tempPath() + u"/bench-huge-XXXXXX"_s);
    const QString output = scratch.filePath(u"results.txt"_s);
    Session sessions[2];
    for (const bool beyondAscii : {false, true}) {
        const QString input = scratch.filePath(beyondAscii ? u"utf8.txt"_s : u"ascii.txt"_s);
        qint64 textUnits = 0;
        {
            QFile file(input);
            if (!file.open(QIODevice::WriteOnly))
                qFatal("cannot write the benchmark file");
            std::mt19937 random(6);
            for (int i = 0; i < count; ++i) {
                QString key = randomKey(random);
                if (beyondAscii && i % 10 == 0)
                    key = withLettersBeyondAscii(key, random);
                textUnits += key.size();
                file.write(key.toUtf8() + "\r\n");
            }
        }
        std::printf("%d random lines of 8-20 characters%s (%.0f MB file)\n", count,
                    beyondAscii ? ", one in ten with letters beyond ASCII, in UTF-8" : ", ASCII",
                    QFileInfo(input).size() / 1e6);
        sessions[beyondAscii ? 1 : 0] = runSession(input, output, count, textUnits);
        QFile::remove(input);
        QFile::remove(output);
    }
    std::printf("the UTF-8 file against the ASCII one:\n");
    printSlower("Load Text From File", sessions[1].load.seconds, sessions[0].load.seconds);
    printSlower("Save Results As Text File", sessions[1].save.seconds, sessions[0].save.seconds);
    return 0;
}
