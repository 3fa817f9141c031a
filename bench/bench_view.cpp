// What a shown list costs the window's thread as it grows: filling it in one block, the
// view taking the rows on the next turn of the event loop, deleting a row in the middle
// and clearing it, at one and at ten million rows. Each figure is also given per million
// rows: the view's part should stay flat (it keeps nothing per row), the rest linear.
//
//   QT_QPA_PLATFORM=offscreen build-test/bench/bench_view [rows ...]   (default 1000000 10000000)
#include "bench_support.h"
#include "gui/controls/list_view.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;
using velmora::ListView;

namespace {

double millisecondsOf(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return velmora::bench::seconds(clock) * 1000;
}

void measure(int rows)
{
    ListView list;
    list.columns().add(u"Results"_s);
    list.resize(520, 140);
    list.show();
    QCoreApplication::processEvents();

    // Distinct texts would only measure the heap: the rows share a few.
    const QStringList few = {u"Avoid business plans."_s, u"Guard your time."_s, u"Hire early."_s};
    velmora::TextColumn texts;
    texts.reserve(rows);
    for (int row = 0; row < rows; ++row)
        texts.append(few[row % few.size()]);

    const double fill = millisecondsOf([&] { list.items().addAll(texts); });
    const double take = millisecondsOf([] { QCoreApplication::processEvents(); });
    const double paint = millisecondsOf([&] { list.repaint(); });
    const double remove = millisecondsOf([&] {
        list.items().remove(rows / 2);
        QCoreApplication::processEvents();
    });
    const double clear = millisecondsOf([&] {
        list.items().clear();
        QCoreApplication::processEvents();
    });
    const double millions = rows / 1e6;
    std::printf("%9d rows: fill %7.1f ms, view takes them %6.1f ms, paint %5.1f ms, "
                "delete a row %6.1f ms, clear %6.1f ms\n",
                rows, fill, take, paint, remove, clear);
    std::printf("%9s per million rows: fill %5.1f, take %5.1f, delete %5.1f, clear %5.1f ms\n", "",
                fill / millions, take / millions, remove / millions, clear / millions);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("command: QT_QPA_PLATFORM=offscreen build-test/bench/bench_view");
    QList<int> sizes;
    for (int i = 1; i < argc; ++i) {
        sizes.append(QByteArray(argv[i]).toInt());
        std::printf(" %s", argv[i]);
    }
    std::printf("\n");
    if (sizes.isEmpty())
        sizes = {1'000'000, 10'000'000};
    for (const int rows : sizes)
        measure(rows);
    return 0;
}
