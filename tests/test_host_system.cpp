// The part of the host-specific services that is the same on every host: the address a
// shell command line opens. What each host does with the line is in tests/posix/ and
// tests/win/.
#include "core/platform/shell_command.h"

#include <QTest>

using namespace Qt::StringLiterals;

class HostSystemTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void quotedAddress_data();
    void quotedAddress();
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

QTEST_MAIN(HostSystemTest)
#include "test_host_system.moc"
