#include "core/errors/guarded_procedure.h"
#include "core/errors/runtime_failure.h"
#include "fake_platform.h"
#include "gui/window/handler_locations.h"
#include "test_helpers.h"

#include <QTest>

using namespace Qt::StringLiterals;
using velmora::GuardedProcedure;
using velmora::test::FakePlatformScope;
using velmora::test::reportedLines;
namespace Failure = velmora::Failure;
namespace Location = velmora::Location;

class ErrorReportTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void messageLayout();
    void failureInTheFirstStepReportsLine100();
    void everyFailureGetsItsOwnBoxAndTheProcedureGoesOn();
    void failedTestEntersTheBranch();
    void failedLoopHeaderRunsTheBodyOnce();
    void failureInsideALoopReportsEachTime();
    void outOfMemoryIsReported();
    void programEndingPassesEveryHandler();
};

void ErrorReportTest::messageLayout()
{
    const QString message =
        velmora::errorMessage(u"Subscript out of range"_s, Location::startSorting, 140);
    QCOMPARE(message, u"Subscript out of range\r\nin Pevrant2021/08/31.Form1.PushButton17_Click "
                      u"at line 140\r\rPlease email screenshot of this message to "
                      u"support@velmora.example"_s);
    QCOMPARE(message.count(u'\n'), 1);
    QCOMPARE(message.count(u'\r'), 3);
}

void ErrorReportTest::failureInTheFirstStepReportsLine100()
{
    FakePlatformScope scope;
    GuardedProcedure proc(Location::loadSampleText);
    proc.step(100, [] { throw Failure::indexOutOfBounds(); });
    QCOMPARE(scope.fake.boxes.size(), 1u);
    QVERIFY(scope.fake.boxes[0].text.startsWith(
        u"Index out of bounds\r\nin Pevrant2021/08/31.Form1.PushButton8_Click at line 100\r\r"_s));
    QCOMPARE(scope.fake.boxes[0].title, u"Application Error"_s);
}

void ErrorReportTest::everyFailureGetsItsOwnBoxAndTheProcedureGoesOn()
{
    FakePlatformScope scope;
    QStringList ran;
    {
        GuardedProcedure proc(Location::saveResults);
        proc.step(100, [&] { ran << u"100"_s; });
        proc.step(102, [&] {
            ran << u"102"_s;
            throw Failure::divisionByZero();
            ran << u"never"_s;
        });
        proc.step(104, [&] { throw Failure::pathNotFound(); });
        proc.step(106, [&] { ran << u"106"_s; });
    }
    QCOMPARE(ran, (QStringList{u"100"_s, u"102"_s, u"106"_s}));
    QCOMPARE(scope.fake.boxes.size(), 2u);
    QVERIFY(scope.fake.boxes[0].text.contains(u"Division by zero\r\n"_s));
    QVERIFY(scope.fake.boxes[0].text.contains(u"at line 102\r"_s));
    QVERIFY(scope.fake.boxes[1].text.contains(u"Path not found\r\n"_s));
    QVERIFY(scope.fake.boxes[1].text.contains(u"at line 104\r"_s));
}

void ErrorReportTest::failedTestEntersTheBranch()
{
    FakePlatformScope scope;
    GuardedProcedure proc(Location::startSorting);
    bool branch = false;
    if (proc.test(106, []() -> bool { throw Failure::overflow(); }))
        branch = true;
    QVERIFY(branch);
    QVERIFY(!proc.test(108, [] { return false; }));
    QCOMPARE(reportedLines(scope.fake.boxes, Location::startSorting), QList<int>{106});
}

void ErrorReportTest::failedLoopHeaderRunsTheBodyOnce()
{
    FakePlatformScope scope;
    GuardedProcedure proc(Location::startSorting);
    QList<int> bodies;
    proc.forLoop(
        108, 114, 1, []() -> int { throw Failure::overflow(); }, [&](int i) { bodies << i; });
    QCOMPARE(bodies, QList<int>{1});
    QCOMPARE(scope.fake.boxes.size(), 1u);
    QVERIFY(scope.fake.boxes[0].text.contains(u"at line 108\r"_s));
}

void ErrorReportTest::failureInsideALoopReportsEachTime()
{
    FakePlatformScope scope;
    GuardedProcedure proc(Location::startSorting);
    QList<int> done;
    proc.forLoop(
        144, 152, 0, [] { return 3; },
        [&](int i) {
            proc.step(150, [&] {
                if (i % 2)
                    throw Failure::indexOutOfBounds();
                done << i;
            });
        });
    QCOMPARE(done, (QList<int>{0, 2}));
    QCOMPARE(reportedLines(scope.fake.boxes, Location::startSorting), (QList<int>{150, 150}));
}

void ErrorReportTest::outOfMemoryIsReported()
{
    FakePlatformScope scope;
    GuardedProcedure proc(Location::loadTextFromFile);
    proc.step(112, [] { throw std::bad_alloc(); });
    QCOMPARE(scope.fake.boxes.size(), 1u);
    QVERIFY(scope.fake.boxes[0].text.startsWith(u"Out of memory\r\n"_s));
}

void ErrorReportTest::programEndingPassesEveryHandler()
{
    FakePlatformScope scope;
    bool after = false;
    auto command = [&] {
        GuardedProcedure proc(Location::startSorting);
        proc.step(140, [] { throw velmora::ProgramEnding{}; });
        after = true;
    };
    QVERIFY_THROWS_EXCEPTION(velmora::ProgramEnding, command());
    QVERIFY(!after);
    QVERIFY(scope.fake.boxes.empty());
    // At the edge where Qt calls in, it stops quietly.
    velmora::runEventHandler(Location::windowEvents, command);
    QVERIFY(scope.fake.boxes.empty());
}

QTEST_MAIN(ErrorReportTest)
#include "test_error_report.moc"
