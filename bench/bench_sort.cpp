// Figures for "Start Sorting", each next to `LC_ALL=C sort -s` on the same lines (run here,
// from a file in the page cache, best of three like ours):
//   ranking  - the key ranking with packed code units against a stable sort that compares
//              the texts, on one thread: random keys, random keys after a shared beginning,
//              and many short keys with one very long one;
//   lines    - the command end to end through the window on random lines, the longest
//              gap between two turns of the window during the sort (inside work that
//              must not yield, a round of repainting), the result-list fill,
//              already-sorted lines, and already-sorted lines numbered (the fill with
//              counters);
//   words    - word mode over a text of a million lines;
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_sort [--quick] [ranking] [lines] [words]
//
// Ten million lines, command after command, are bench_huge's.
#include "bench_support.h"
#include "core/platform/host_paths.h"
#include "core/sorting/key_ranking.h"
#include "core/sorting/text_order.h"
#include "gui/window/main_window.h"
#include "tests/text_lists.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <algorithm>

using namespace Qt::StringLiterals;
using velmora::MainWindow;
using namespace velmora::bench;

namespace {

QStringList randomKeys(int count, unsigned seed)
{
    std::mt19937 random(seed);
    QStringList keys;
    keys.reserve(count);
    for (int i = 0; i < count; ++i)
        keys.append(randomKey(random));
    return keys;
}

// About four words a line, from a vocabulary of 50,000 words of 2 to 9 small letters
// drawn with a long tail, as words of a real text are.
QStringList randomText(int lines, unsigned seed)
{
    std::mt19937 random(seed);
    QStringList vocabulary;
    for (int w = 0; w < 50'000; ++w) {
        QString word;
        for (int c = 2 + static_cast<int>(random() % 8); c > 0; --c)
            word.append(QChar(u'a' + static_cast<char16_t>(random() % 26)));
        vocabulary.append(word);
    }
    std::geometric_distribution<int> rank(0.0005);
    QStringList text;
    text.reserve(lines);
    for (int i = 0; i < lines; ++i) {
        QStringList words;
        for (int w = 1 + static_cast<int>(random() % 7); w > 0; --w)
            words.append(vocabulary[rank(random) % vocabulary.size()]);
        text.append(words.join(u' '));
    }
    return text;
}

QString scratchFile(const QTemporaryDir& scratch, const QString& name, const QStringList& lines)
{
    const QString path = scratch.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the benchmark file");
    for (const QString& line : lines)
        file.write(line.toUtf8() + '\n');
    return path;
}

// GNU sort on a file of the same lines, best of three runs, in seconds; 0 on Windows, which
// has no GNU sort (its own sort.exe takes other options): run bench_sort on Linux beside it.
double gnuSort(const QString& path)
{
    if (QSysInfo::productType() == u"windows"_s)
        return 0;
    double best = 1e9;
    for (int run = 0; run < 3; ++run)
        best = std::min(best, runGnuSort(path, u"/dev/null"_s));
    return best;
}

struct SortRun
{
    double seconds = 1e9;   // the click, from press to return
    double sortGapMs = 0;   // the longest event-loop gap before the result list fills
    double fillMs = 0;      // from the last turn of the loop to the click's return
    double viewTakesMs = 0; // the result list's view takes in and lays out the new rows
};

// Start Sorting on the lines, best of `runs`; the input list is filled once.
SortRun startSorting(ScriptedPlatform& platform, MainWindow& form, const QStringList& lines,
                     qsizetype results, int runs)
{
    form.inputList->items().clear();
    form.resultList->items().clear();
    for (const QString& line : lines)
        form.inputList->items().add(line);
    settleView(form.inputList);
    SortRun best;
    // Inside work that must not yield, a round of repainting is the window's turn.
    GapMeter gaps(&form);
    platform.watchRepaintOnlySteps([&](bool started) { gaps.repaintOnlyStep(started); });
    for (int run = 0; run < runs; ++run) {
        gaps.start();
        QElapsedTimer timer;
        timer.start();
        form.startSorting();
        SortRun now;
        now.seconds = seconds(timer);
        now.fillMs = gaps.sinceLastTurnMs();
        now.sortGapMs = gaps.longestMs();
        QElapsedTimer view;
        view.start();
        settleView(form.resultList);
        now.viewTakesMs = view.nsecsElapsed() / 1e6;
        gaps.stop();
        if (form.resultList->items().count() != results)
            qFatal("the result list lost lines: %d of %lld", form.resultList->items().count(),
                   static_cast<long long>(results));
        if (now.seconds < best.seconds)
            best = now;
    }
    platform.watchRepaintOnlySteps({});
    return best;
}

void printAgainstGnuSort(const char* what, const SortRun& ours, double gnu)
{
    if (gnu > 0)
        std::printf("  %-40s %7.3f s  (GNU sort %.3f s: %.2fx)\n", what, ours.seconds, gnu,
                    ours.seconds / gnu);
    else
        std::printf("  %-40s %7.3f s  (no GNU sort here)\n", what, ours.seconds);
    std::printf("  %-40s longest gap during the sort %.1f ms, result-list fill %.1f ms, "
                "views take the rows %.1f ms\n",
                "", ours.sortGapMs, ours.fillMs, ours.viewTakesMs);
}

// The program's text order, comparing the texts outright: the peer the packed ranking is
// measured against.
bool codeUnitLess(const QString& a, const QString& b)
{
    return velmora::sorting::textLess(a, b);
}

void ranking(const char* what, const QStringList& keys)
{
    const velmora::TextColumn column = velmora::test::columnOf(keys);
    double start = processCpuSeconds();
    const velmora::sorting::KeyRanking ranked(column);
    const double packed = processCpuSeconds() - start;

    std::vector<std::uint32_t> order(static_cast<std::size_t>(keys.size()));
    std::iota(order.begin(), order.end(), 0u);
    start = processCpuSeconds();
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return codeUnitLess(keys[a], keys[b]);
    });
    const double plain = processCpuSeconds() - start;
    std::printf("  %-44s packed %.3f s; comparing the texts %.3f s (%.1fx)\n", what, packed, plain,
                plain / packed);
}

void ranking(int count)
{
    std::printf("ranking %d keys, CPU time of all threads: the ranking (packed code units) "
                "against a stable sort comparing the texts\n",
                count);
    ranking("random keys", randomKeys(count, 1));
    // Keys that share their first units (paths, addresses) are packed again further on.
    QStringList shared = randomKeys(count, 3);
    for (QString& key : shared)
        key.prepend(u"https://example.org/"_s);
    ranking("random keys after a shared beginning", shared);
    // Many keys that end early among ones that go on: a file of empty lines and one long one.
    QStringList ending = randomKeys(4096, 4);
    while (ending.size() < count - 1)
        ending.append(u"x"_s);
    ending.append(u"x"_s + QString(100'000, QChar(u'\0')));
    ranking("short keys and one of 100,000 units", ending);
    // Too few to be sorted a byte at a time, and alike for long: compared as texts.
    QStringList alike = randomKeys(1023, 5);
    for (QString& key : alike)
        key.prepend(QString(1000, u'k'));
    ranking("1,023 keys alike in their first 1,000 units", alike);
}

void lines(ScriptedPlatform& platform, MainWindow& form, const QTemporaryDir& scratch, bool quick)
{
    std::printf("Start Sorting end to end through the window, lines (best of 3):\n");
    for (int count : {10'000, 100'000, quick ? 200'000 : 1'000'000}) {
        const QStringList keys = randomKeys(count, 2);
        const SortRun ours = startSorting(platform, form, keys, keys.size(), 3);
        const double gnu = gnuSort(scratchFile(scratch, u"lines.txt"_s, keys));
        printAgainstGnuSort(qPrintable(u"%L1 random lines (8-20 chars)"_s.arg(count)), ours, gnu);
    }
    QStringList sorted = randomKeys(quick ? 200'000 : 1'000'000, 3);
    std::sort(sorted.begin(), sorted.end(), codeUnitLess);
    const SortRun ours = startSorting(platform, form, sorted, sorted.size(), 3);
    printAgainstGnuSort(qPrintable(u"%L1 already-sorted lines"_s.arg(sorted.size())), ours,
                        gnuSort(scratchFile(scratch, u"sorted.txt"_s, sorted)));

    // With counters every result is a new text: its fill is held to 50 ms per million rows.
    form.counterCheck->setChecked(true);
    const SortRun numbered = startSorting(platform, form, sorted, sorted.size(), 3);
    form.counterCheck->setChecked(false);
    printAgainstGnuSort(qPrintable(u"%L1 sorted lines, numbered"_s.arg(sorted.size())), numbered,
                        0);
    std::printf("  %-40s result-list fill %.1f ms per million rows (goal 50)\n", "",
                numbered.fillMs * 1e6 / static_cast<double>(sorted.size()));
    std::printf("  peak memory so far: %.0f MiB\n", peakMemoryMiB());
}

void words(ScriptedPlatform& platform, MainWindow& form, const QTemporaryDir& scratch, bool quick)
{
    const QStringList text = randomText(quick ? 200'000 : 1'000'000, 4);
    QStringList oneWordALine;
    for (const QString& line : text)
        oneWordALine += line.split(u' ');
    form.sortWordsOption->setChecked(true);
    const SortRun ours = startSorting(platform, form, text, oneWordALine.size(), 3);
    form.sortLinesOption->setChecked(true);
    std::printf("Start Sorting, word mode (best of 3):\n");
    printAgainstGnuSort(
        qPrintable(u"%L1 lines, %L2 words"_s.arg(text.size()).arg(oneWordALine.size())), ours,
        gnuSort(scratchFile(scratch, u"words.txt"_s, oneWordALine)));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QStringList sections;
    bool quick = false;
    QString command = QString::fromLocal8Bit(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        command += u' ' + arg;
        if (arg == "--quick"_L1)
            quick = true;
        else
            sections.append(arg);
    }
    auto wanted = [&](QLatin1StringView section) {
        return sections.isEmpty() || sections.contains(section);
    };
    std::printf("command: QT_QPA_PLATFORM=%s %s\n", qgetenv("QT_QPA_PLATFORM").constData(),
                qPrintable(command));
    QTemporaryDir scratch(QDir::tempPath() + u"/bench-sort-XXXXXX"_s);

    if (wanted("ranking"_L1))
        ranking(quick ? 200'000 : 1'000'000);
    {
        ScriptedPlatform platform({}, {}); // no dialog is opened
        const velmora::ScopedPlatform platformInUse(platform);
        MainWindow form;
        form.startUp();
        form.show();
        if (wanted("lines"_L1))
            lines(platform, form, scratch, quick);
        if (wanted("words"_L1))
            words(platform, form, scratch, quick);
    }
    return 0;
}
