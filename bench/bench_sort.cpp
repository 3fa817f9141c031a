// Figures for the sort: cost per comparison, "Start Sorting" end to end, the longest wait
// between two event-loop turns, and peak memory with a million items in each list.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_sort [--quick] [comparisons] [end-to-end] [gap]
#include "app/window/form1.h"
#include "bench_support.h"
#include "sorting/bubble_sort.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <cmath>

using velmora::Form1;
using velmora::VendorProgressBar;
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

// The plain way: compare the strings themselves, divide for every bar value.
long long textbookBubbleSort(QStringList& keys, VendorProgressBar& bar)
{
    const int n = static_cast<int>(keys.size()) - 2;
    long long comparisons = 0;
    bool swapped = true;
    while (swapped) {
        QCoreApplication::processEvents();
        swapped = false;
        for (int i = 0; i <= n; ++i) {
            bar.setValue(i == 0 ? 0.0 : std::floor(static_cast<double>(i) / n * 100.0));
            ++comparisons;
            if (keys[i] > keys[i + 1]) {
                keys.swapItemsAt(i, i + 1);
                swapped = true;
            }
        }
    }
    bar.setValue(0);
    return comparisons;
}

void comparisonCost(int count)
{
    VendorProgressBar bar;
    bar.show();
    QStringList keys = randomKeys(count, 1);
    QStringList plain = keys;

    long long comparisons = 0;
    bar.setWriteObserver(nullptr);
    // CPU time of this thread: the figure holds on a machine busy with other work too.
    double start = threadCpuSeconds();
    velmora::SortArray::BubbleSortWithProgress(keys, bar);
    const double ours = threadCpuSeconds() - start;

    start = threadCpuSeconds();
    comparisons = textbookBubbleSort(plain, bar);
    const double textbook = threadCpuSeconds() - start;
    if (plain != keys)
        std::printf("!! results differ\n");

    std::printf("BubbleSortWithProgress, %d random keys (8-20 chars), bar writes included:\n",
                count);
    std::printf("  %lld comparisons: %.3f s CPU, %.2f ns per comparison\n", comparisons, ours,
                ours * 1e9 / comparisons);
    std::printf(
        "  textbook QStringList bubble sort: %.3f s, %.2f ns per comparison (%.1fx slower)\n",
        textbook, textbook * 1e9 / comparisons, textbook / ours);
}

double startSorting(Form1& form, const QStringList& lines)
{
    form.ListView1->ListItems().Clear();
    form.ListView2->ListItems().Clear();
    for (const QString& line : lines)
        form.ListView1->ListItems().Add(line);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    form.PushButton17_Click();
    QCoreApplication::processEvents(); // the result list's view takes in the new rows
    return seconds(timer);
}

void endToEnd(Form1& form)
{
    std::printf("Start Sorting end to end, through the window:\n");
    std::printf("  10,000 random lines: %.3f s\n", startSorting(form, randomKeys(10'000, 2)));
    QStringList sorted = randomKeys(1'000'000, 3);
    std::sort(sorted.begin(), sorted.end());
    std::printf("  1,000,000 already-sorted lines: %.3f s (results in the list)\n",
                startSorting(form, sorted));
    std::printf("  peak memory with 1,000,000 items in each list: %.0f MiB\n", peakMemoryMiB());
}

void longestGap(Form1& form, int count)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, longest = 0;
    QTimer tick;
    tick.setInterval(0);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last)
            longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    const double total = startSorting(form, randomKeys(count, 4));
    std::printf("%d random lines: sorted in %.1f s; longest gap between event-loop turns "
                "%.2f ms\n",
                count, total, longest / 1e6);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // Sections to run: any of "comparisons", "end-to-end", "gap"; all when none is named.
    // "--quick" runs every section on smaller inputs.
    QStringList sections;
    bool quick = false;
    QString command = QString::fromLocal8Bit(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        command += QLatin1Char(' ') + arg;
        if (arg == QLatin1String("--quick"))
            quick = true;
        else
            sections.append(arg);
    }
    auto wanted = [&](const char* section) {
        return sections.isEmpty() || sections.contains(QLatin1String(section));
    };
    std::printf("command: QT_QPA_PLATFORM=%s %s\n", qgetenv("QT_QPA_PLATFORM").constData(),
                qPrintable(command));
    if (wanted("comparisons"))
        comparisonCost(quick ? 5'000 : 20'000);
    Form1 form;
    form.Form_Load();
    form.show();
    if (wanted("end-to-end"))
        endToEnd(form);
    if (wanted("gap"))
        longestGap(form, quick ? 20'000 : 100'000);
    return 0;
}
