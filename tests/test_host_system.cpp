// The parts of the host-specific services that are the same on every host: what the shell
// command opens, the window styles it accepts, and where the program folder is.
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
    void commandLineWithoutAddressIsFileNotFound();
    void programFolderHoldsTheRunningExecutable();
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

// Such a line must fail before anything is handed to the desktop to open.
void HostSystemTest::commandLineWithoutAddressIsFileNotFound()
{
    velmora::QtPlatform real;
    try {
        real.shellRun(u"explorer"_s, 2);
        QFAIL("no failure");
    } catch (const velmora::RuntimeFailure& failure) {
        QCOMPARE(failure.description(), velmora::Failure::fileNotFound().description());
    }
}

// The optional skin and pointer files are looked for beside the executable, wherever the
// program is installed and whatever folder it is started from.
void HostSystemTest::programFolderHoldsTheRunningExecutable()
{
    const QFileInfo self(u"/proc/self/exe"_s);
    if (!self.exists())
        QSKIP("this host does not name the running executable in /proc");
    const QString folder = velmora::QtPlatform().programFolder();
    QCOMPARE(folder, velmora::toWindowsPath(QFileInfo(self.symLinkTarget()).path()));
    QVERIFY(!folder.endsWith(u'\\'));
    QCOMPARE(velmora::toHostPath(folder + u"\\x\\o.cjs"_s),
             QFileInfo(self.symLinkTarget()).path() + u"/x/o.cjs"_s);
}

QTEST_MAIN(HostSystemTest)
#include "test_host_system.moc"
