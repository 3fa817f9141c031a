// What the host files of a POSIX system do: the web-site command line goes to the desktop's
// browser only with an address in it, the program folder is the running executable's, the
// code page is the locale's, and the open dialog's "all files" entry takes names without a
// dot.
#include "core/errors/runtime_failure.h"
#include "core/platform/ansi_code_page.h"
#include "core/platform/host_paths.h"
#include "gui/platform/qt_platform.h"
#include "gui/window/file_dialogs.h"
#include "tests/test_helpers.h"

#include <QFileInfo>
#include <QTest>

#include <string>

using namespace Qt::StringLiterals;

class HostPosixTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandLineWithoutAddressIsFileNotFound();
    void programFolderHoldsTheRunningExecutable();
    void codePageIsTheLocales_data();
    void codePageIsTheLocales();
    void codePageIsTheEnvironmentsOnceStarted();
    void openDialogTakesNamesWithoutADot();
};

// Such a line must fail before anything is handed to the desktop to open.
void HostPosixTest::commandLineWithoutAddressIsFileNotFound()
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
void HostPosixTest::programFolderHoldsTheRunningExecutable()
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

void HostPosixTest::codePageIsTheLocales_data()
{
    QTest::addColumn<QByteArray>("codeset"); // as the C library names it for a locale
    QTest::addColumn<velmora::CodePage>("codePage");
    using velmora::CodePage;
    QTest::newRow("C.UTF-8, en_US.UTF-8") << "UTF-8"_ba << CodePage::Utf8;
    QTest::newRow("spelled utf8") << "utf8"_ba << CodePage::Utf8;
    QTest::newRow("C, POSIX: ASCII") << "ANSI_X3.4-1968"_ba << CodePage::Windows1252;
    QTest::newRow("de_DE.ISO-8859-1: Latin-1") << "ISO-8859-1"_ba << CodePage::Windows1252;
    QTest::newRow("ru_RU.KOI8-R") << "KOI8-R"_ba << CodePage::Windows1252;
}

void HostPosixTest::codePageIsTheLocales()
{
    QFETCH(QByteArray, codeset);
    QFETCH(velmora::CodePage, codePage);
    QCOMPARE(velmora::codePageOfCodeset(codeset.toStdString()), codePage);
}

// The host's code page is the locale's that the environment names, whatever Qt's start made
// of the process's: CTest runs this under LANG=C.UTF-8, under LANG=C and under LC_CTYPE=POSIX
// beside LANG=C.UTF-8.
void HostPosixTest::codePageIsTheEnvironmentsOnceStarted()
{
    const QByteArray expected = qgetenv("VELMORA_EXPECT_CODE_PAGE");
    if (expected.isEmpty())
        QSKIP("VELMORA_EXPECT_CODE_PAGE names the code page the environment's locale has");
    QCOMPARE(velmora::decodeAnsiCodePage("Zo\xc3\xab"),
             expected == "UTF-8" ? u"Zo\u00eb"_s : u"Zo\u00c3\u00ab"_s);
}

// Qt's dialog matches "*.*" only in names with a dot; "All Files" shows "*", which takes all.
void HostPosixTest::openDialogTakesNamesWithoutADot()
{
    QCOMPARE(velmora::test::shownOpenFilters(velmora::kListFileFilter.toString()),
             (QStringList{u"Text Files (*.txt)"_s, u"All Files (*)"_s}));
}

QTEST_MAIN(HostPosixTest)
#include "test_host_posix.moc"
