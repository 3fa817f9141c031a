// What the host files of a POSIX system do: the web-site command line goes to the desktop's
// browser only with an address in it, the program folder is the running executable's, and
// the open dialog's "all files" entry takes names without a dot.
#include "core/errors/runtime_failure.h"
#include "core/platform/host_paths.h"
#include "gui/platform/qt_platform.h"
#include "gui/window/file_dialogs.h"
#include "tests/test_helpers.h"

#include <QFileInfo>
#include <QTest>

using namespace Qt::StringLiterals;

class HostPosixTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void commandLineWithoutAddressIsFileNotFound();
    void programFolderHoldsTheRunningExecutable();
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

// Qt's dialog matches "*.*" only in names with a dot; "All Files" shows "*", which takes all.
void HostPosixTest::openDialogTakesNamesWithoutADot()
{
    QCOMPARE(velmora::test::shownOpenFilters(velmora::kListFileFilter.toString()),
             (QStringList{u"Text Files (*.txt)"_s, u"All Files (*)"_s}));
}

QTEST_MAIN(HostPosixTest)
#include "test_host_posix.moc"
