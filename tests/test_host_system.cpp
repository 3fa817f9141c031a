// The parts of the host-specific services that are the same on every host: what the shell
// command opens and the window styles it accepts. What each host does with them is in
// tests/posix/ and tests/win/.
#include "app/errors/runtime_failure.h"
#include "app/platform/host_paths.h"
#include "app/platform/qt/qt_platform.h"
#include "app/platform/shell_command.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

class HostSystemTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void quotedAddress_data();
    void quotedAddress();
    void showWindowCommand_data();
    void showWindowCommand();
};

void HostSystemTest::quotedAddress_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("address");
    QTest::newRow("explorer and a quoted address")
        << u"explorer \"https://www.velmora.example/\""_s << u"https://www.velmora.example/"_s;
    QTest::newRow("quotes inside the address are kept") << u"explorer \"a\"b\""_s << u"a\"b"_s;
    QTest::newRow("no quotes") << u"explorer https://www.velmora.example/"_s << QString();
    QTest::newRow("one quote only") << u"explorer \"https://x"_s << QString();
    QTest::newRow("empty quotes") << u"explorer \"\""_s << QString();
    QTest::newRow("empty line") << QString() << QString();
}

void HostSystemTest::quotedAddress()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, address);
    QCOMPARE(velmora::quotedAddress(commandLine), address);
}

void HostSystemTest::showWindowCommand_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("command");
    QTest::newRow("hidden") << 0 << 0;
    QTest::newRow("normal with focus") << 1 << 1;
    QTest::newRow("minimised with focus, the start-up's") << 2 << 2;
    QTest::newRow("maximised") << 3 << 3;
    QTest::newRow("normal without focus") << 4 << 4;
    QTest::newRow("5 is no style") << 5 << -1;
    QTest::newRow("minimised without focus is 7 for Windows") << 6 << 7;
    QTest::newRow("above the styles") << 7 << -1;
    QTest::newRow("negative") << -1 << -1;
}

void HostSystemTest::showWindowCommand()
{
    QFETCH(int, style);
    QFETCH(int, command);
    QCOMPARE(velmora::showWindowCommand(style), command);
}

QTEST_MAIN(HostSystemTest)
#include "test_host_system.moc"
