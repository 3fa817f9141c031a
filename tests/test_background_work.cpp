// Work that keeps the window answering: the real platform's yields that may be skipped,
// its wait for work off the user-interface thread, and the ranking's answer to a stop.
#include "core/errors/runtime_failure.h"
#include "core/sorting/key_ranking.h"
#include "gui/platform/qt_platform.h"
#include "text_lists.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>
#include <random>
#include <thread>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

class BackgroundWorkTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void skippableYieldsStillProcessEvents();
    void eventsRunWhileTheWorkRuns();
    void failuresOfTheWorkReachTheCaller();
    void onlyPaintsArriveDuringWorkThatMustNotYield();
    void endingProgramStopsTheWork();
    void exitingTheEventLoopLetsTheWorkFinish();
    void rankingStopsWithTheKeysUntouched();
    void rankingStoppedWhileTwoThreadsSort();
};

// A save yields between cells with yields that may be skipped; a stream of them alone,
// however fast, must still let a click through within a few milliseconds.
void BackgroundWorkTest::skippableYieldsStillProcessEvents()
{
    velmora::QtPlatform platform;
    const velmora::ScopedPlatform installed(platform);
    platform.yieldToEventLoop(); // a real pump just now: the next ones may all be skipped
    bool timerFired = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    QElapsedTimer waited;
    waited.start();
    long long yields = 0;
    while (!timerFired && waited.elapsed() < 5000) {
        platform.yieldToEventLoop(velmora::Pump::MaySkip);
        ++yields;
    }
    QVERIFY(timerFired);
    QVERIFY2(waited.elapsed() < 500, qPrintable(QString::number(waited.elapsed())));
    QVERIFY(yields > 16); // the first ones were skipped
}

void BackgroundWorkTest::eventsRunWhileTheWorkRuns()
{
    velmora::QtPlatform platform;
    std::atomic<bool> timerFired = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    bool sawTimer = false;
    platform.runWhilePumping([&](std::stop_token) {
        for (int wait = 0; wait < 500 && !timerFired; ++wait)
            std::this_thread::sleep_for(10ms);
        sawTimer = timerFired;
    });
    QVERIFY(sawTimer);
}

void BackgroundWorkTest::failuresOfTheWorkReachTheCaller()
{
    velmora::QtPlatform platform;
    QVERIFY_THROWS_EXCEPTION(velmora::RuntimeFailure, platform.runWhilePumping([](std::stop_token) {
        throw velmora::Failure::outOfMemory();
    }));
    QVERIFY_THROWS_EXCEPTION(velmora::RuntimeFailure, platform.runWhileRepainting([] {
        throw velmora::Failure::outOfMemory();
    }));
}

namespace {

// A window that counts its paints and the closings that reach it.
class CountingWindow : public QWidget
{
public:
    std::atomic<int> paints = 0;
    std::atomic<int> closings = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
    void closeEvent(QCloseEvent* event) override
    {
        ++closings;
        event->accept();
    }
};

} // namespace

// Work that must not let a handler run beside it: the window repaints meanwhile, and what
// was queued before it (calls, a close, a deletion, a timer due at once) comes after it,
// in its order. The work is slow on purpose, so all of it would arrive inside on any machine.
void BackgroundWorkTest::onlyPaintsArriveDuringWorkThatMustNotYield()
{
    velmora::QtPlatform platform;
    CountingWindow window;
    window.resize(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QStringList arrived; // on this thread only
    std::atomic<int> arrivals = 0;
    const auto arrive = [&](const QString& what) {
        arrived.append(what);
        ++arrivals;
    };
    QMetaObject::invokeMethod(
        &window, [&] { arrive(u"first call"_s); }, Qt::QueuedConnection);
    QTimer::singleShot(1, &window, [&] { arrive(u"timer"_s); });
    auto* doomed = new QObject;
    QObject::connect(doomed, &QObject::destroyed, [&] { arrive(u"deletion"_s); });
    doomed->deleteLater();
    QCoreApplication::postEvent(&window, new QCloseEvent);
    QMetaObject::invokeMethod(
        &window, [&] { arrive(u"second call"_s); }, Qt::QueuedConnection);
    window.update(); // its paint request is queued behind them all
    const int paintsBefore = window.paints;
    int paintsDuringWork = 0;
    int arrivalsDuringWork = -1;
    int closingsDuringWork = -1;
    platform.runWhileRepainting([&] {
        std::this_thread::sleep_for(400ms);
        paintsDuringWork = window.paints;
        arrivalsDuringWork = arrivals;
        closingsDuringWork = window.closings;
    });
    QVERIFY(paintsDuringWork > paintsBefore);
    QCOMPARE(arrivalsDuringWork, 0);
    QCOMPARE(closingsDuringWork, 0);
    QCOMPARE(arrivals.load(), 0); // not even as the work ends: the caller goes on first
    QTRY_COMPARE(arrivals.load(), 4);
    // Timers and deletions have their own turns among posted events; calls keep their order.
    QCOMPARE(arrived.filter(u"call"_s), (QStringList{u"first call"_s, u"second call"_s}));
    QCOMPARE(window.closings.load(), 1);
}

void BackgroundWorkTest::endingProgramStopsTheWork()
{
    // The window closes while the work runs: the work is asked to stop and the caller
    // unwinds, without waiting for work that nobody will see.
    velmora::QtPlatform platform;
    QTimer::singleShot(10, [&] { platform.requestProgramEnd(); });
    bool stopped = false;
    QVERIFY_THROWS_EXCEPTION(velmora::ProgramEnding,
                             platform.runWhilePumping([&](std::stop_token stop) {
                                 for (int wait = 0; wait < 1000 && !stop.stop_requested(); ++wait)
                                     std::this_thread::sleep_for(10ms);
                                 stopped = stop.stop_requested();
                             }));
    QVERIFY(stopped);
}

void BackgroundWorkTest::exitingTheEventLoopLetsTheWorkFinish()
{
    // A handler calls QCoreApplication::exit() while keys are ranked: that ends every event
    // loop of this thread, the wait's too, but only the program's end may stop the work.
    velmora::QtPlatform platform;
    QStringList keys;
    for (int i = 200'000; i > 0; --i)
        keys.append(u"%1"_s.arg(i, 6, 10, QChar(u'0')));
    QStringList sorted = keys;
    std::reverse(sorted.begin(), sorted.end());
    std::atomic<bool> exited = false;
    std::optional<velmora::sorting::KeyRanking> ranking;
    bool escaped = false;
    QTimer::singleShot(0, [&] { // a command, run by the application's own loop
        QTimer::singleShot(0, [&] {
            QCoreApplication::exit(0);
            exited = true;
        });
        try {
            platform.runWhilePumping([&](std::stop_token stop) {
                for (int wait = 0; wait < 1000 && !exited; ++wait)
                    std::this_thread::sleep_for(10ms);
                ranking.emplace(velmora::test::columnOf(keys), stop);
            });
        } catch (...) {
            escaped = true;
        }
    });
    QCoreApplication::exec();
    QVERIFY(exited);
    QVERIFY(!escaped);
    QVERIFY(ranking);
    QCOMPARE(ranking->passCount(), 200'000);
    QCOMPARE(velmora::test::textsOf(ranking->takeSorted()), sorted);
}

void BackgroundWorkTest::rankingStopsWithTheKeysUntouched()
{
    for (const int count : {3, 100'000}) { // one thread, and two
        QStringList keys;
        for (int i = count; i > 0; --i)
            keys.append(QString::number(i));
        const QStringList before = keys;
        std::stop_source stop;
        stop.request_stop();
        QVERIFY_THROWS_EXCEPTION(
            velmora::sorting::RankingStopped,
            velmora::sorting::KeyRanking(velmora::test::columnOf(keys), stop.get_token()));
        QCOMPARE(keys, before);
    }
}

void BackgroundWorkTest::rankingStoppedWhileTwoThreadsSort()
{
    // Stops come from another thread at delays spread over a whole ranking of a list that
    // two threads sort, so they land before it, during the passes over the packed units,
    // while keys alike in them are compared, and after. Wherever one lands, the ranking either
    // stops with the keys exactly as they were, or is the ranking of an unstopped run.
    std::mt19937 random(9);
    QStringList input;
    for (int i = 0; i < 200'000; ++i) // shared beginnings: the texts' tails decide too
        input.append(u"key %1"_s.arg(random() % 100'000));
    QStringList keys = input;
    QElapsedTimer clock;
    clock.start();
    velmora::sorting::KeyRanking unstopped{velmora::test::columnOf(keys)};
    const auto wholeRanking = std::chrono::nanoseconds(clock.nsecsElapsed());
    const std::int64_t passes = unstopped.passCount();
    const QStringList sorted = velmora::test::textsOf(unstopped.takeSorted());

    constexpr int kSteps = 40;
    for (int step = 0; step <= kSteps + 4; ++step) {
        const velmora::TextColumn column =
            velmora::test::columnOf(input); // made before the clock runs
        std::stop_source stop;
        const std::jthread stopper([&, delay = wholeRanking * step / kSteps] {
            std::this_thread::sleep_for(delay);
            stop.request_stop();
        });
        try {
            velmora::sorting::KeyRanking ranking(column, stop.get_token());
            QCOMPARE(ranking.passCount(), passes);
            QCOMPARE(velmora::test::textsOf(ranking.takeSorted()), sorted);
        } catch (const velmora::sorting::RankingStopped&) {
            QCOMPARE(velmora::test::textsOf(column), input);
        }
    }
}

QTEST_MAIN(BackgroundWorkTest)
#include "test_background_work.moc"
