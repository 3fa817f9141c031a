// Work that keeps the window answering: the real platform's yields that may be skipped,
// its wait for work off the user-interface thread, and the ranking's answer to a stop.
#include "app/errors/runtime_failure.h"
#include "app/platform/qt/qt_platform.h"
#include "sorting/key_ranking.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
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
    void endingProgramStopsTheWork();
    void rankingStopsWithTheKeysUntouched();
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

void BackgroundWorkTest::rankingStopsWithTheKeysUntouched()
{
    for (const int count : {3, 100'000}) { // one thread, and two
        QStringList keys;
        for (int i = count; i > 0; --i)
            keys.append(QString::number(i));
        const QStringList before = keys;
        std::stop_source stop;
        stop.request_stop();
        QVERIFY_THROWS_EXCEPTION(velmora::sorting::RankingStopped,
                                 velmora::sorting::KeyRanking(keys, stop.get_token()));
        QCOMPARE(keys, before);
    }
}

QTEST_MAIN(BackgroundWorkTest)
#include "test_background_work.moc"
