#include "core/errors/runtime_failure.h"
#include "core/input/file_helpers.h"
#include "core/platform/windows_paths.h"
#include "fake_platform.h"
#include "test_helpers.h"
#include "tests/host/host_faults.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    writeTestFile(dir.filePath(name), bytes);
    return windowsPathIn(dir, name);
}

// What the action returns, or "raises" and the description of the failure it raised.
template <class Action> QString outcome(Action&& action)
{
    try {
        return action();
    } catch (const RuntimeFailure& failure) {
        return u"raises "_s + failure.description();
    }
}

} // namespace

class FileHelpersTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pathHelpers_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("collapsed"); // doubled backslashes collapsed
        QTest::addColumn<QString>("name");      // the file name in it
        QTest::newRow("full path, nothing to collapse")
            << uR"(C:\dir\a.txt)"_s << uR"(C:\dir\a.txt)"_s << u"a.txt"_s;
        QTest::newRow("no backslash: all of it is the name")
            << u"a.txt"_s << u"a.txt"_s << u"a.txt"_s;
        QTest::newRow("slash is not a separator")
            << uR"(C:\a/b.txt)"_s << uR"(C:\a/b.txt)"_s << u"a/b.txt"_s;
        QTest::newRow("trailing pair: no name") << uR"(C:\dir\\)"_s << uR"(C:\dir\)"_s << QString();
        QTest::newRow("one leading becomes two") << uR"(\d\a)"_s << uR"(\\d\a)"_s << u"a"_s;
        QTest::newRow("three leading become two") << uR"(\\\s\a)"_s << uR"(\\s\a)"_s << u"a"_s;
        QTest::newRow("leading and inner runs handled apart")
            << uR"(\\\\s\\\\a)"_s << uR"(\\s\\a)"_s << u"a"_s;
        QTest::newRow("single pass: run of three gives two")
            << uR"(C:\a\\\b)"_s << uR"(C:\a\\b)"_s << u"b"_s;
        QTest::newRow("single pass: run of five gives three")
            << uR"(C:\\\\\b)"_s << uR"(C:\\\b)"_s << u"b"_s;
        QTest::newRow("one backslash only") << uR"(\)"_s << uR"(\\)"_s << QString();
        QTest::newRow("five backslashes only") << uR"(\\\\\)"_s << uR"(\\)"_s << QString();
        QTest::newRow("empty") << QString() << QString() << QString();
    }
    void pathHelpers()
    {
        QFETCH(QString, path);
        QFETCH(QString, collapsed);
        QFETCH(QString, name);
        QCOMPARE(collapseBackslashes(path), collapsed);
        QCOMPARE(fileNameFromPath(path), name);
    }

    void readFileTextDecodes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("FF FE: little-endian, mark kept")
            << QByteArray::fromHex("fffe41000d000a004200") << u"\uFEFFA\r\nB"_s;
        QTest::newRow("FE FF: big-endian, mark kept")
            << QByteArray::fromHex("feff0041000d000a0042") << u"\uFEFFA\r\nB"_s;
        QTest::newRow("odd final byte, big-endian")
            << QByteArray::fromHex("feff004142") << u"\uFEFFA\uFFFD"_s;
        QTest::newRow("FE then ANSI stays ANSI") << QByteArray::fromHex("fe41") << u"\u00FEA"_s;
        QTest::newRow("FF then ANSI stays ANSI") << QByteArray::fromHex("ff61") << u"\u00FFa"_s;
        QTest::newRow("lone FF byte") << QByteArray::fromHex("ff") << u"\u00FF"_s;
        QTest::newRow("UTF-8 mark read byte by byte")
            << QByteArray::fromHex("efbbbf68c3a9") << u"\u00EF\u00BB\u00BFh\u00C3\u00A9"_s;
        QTest::newRow("Windows-1252, undefined bytes stay controls")
            << QByteArray::fromHex("80818d8f909d9fa0")
            << u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00A0"_s;
    }
    void readFileTextDecodes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        FakePlatformScope scope;
        QTemporaryDir dir;
        QCOMPARE(input::readFileText(writeFile(dir, u"f.txt"_s, bytes)), text);
    }

    // In a folder holding a.txt ("x") and the folder sub; "pipe", "locked" (no permissions)
    // and "huge" (3 GiB) are made when asked for. A path from the root is the host's own.
    void pathsAsFound_data()
    {
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("read"); // the text, or the failure raised
        const QString notAFile = u"raises "_s + Failure::pathFileAccessError().description();
        QTest::newRow("file") << u"a.txt"_s << true << u"x"_s;
        QTest::newRow("missing file") << u"b.txt"_s << false << QString();
        QTest::newRow("a file used as a folder") << uR"(a.txt\x)"_s << false << QString();
        QTest::newRow("NUL inside the path") << u"a.txt\0x"_s << false << QString();
        QTest::newRow("empty path") << QString() << false << QString();
        QTest::newRow("folder: exists, but not a file nor empty") << u"sub"_s << true << notAFile;
        QTest::newRow("folder with trailing backslash") << uR"(sub\)"_s << true << notAFile;
        QTest::newRow("named pipe: refused without blocking") << u"pipe"_s << true << notAFile;
        QTest::newRow("endless device") << u"/dev/zero"_s << true << notAFile;
        QTest::newRow("permission denied")
            << u"locked"_s << true << u"raises "_s + Failure::permissionDenied().description();
        QTest::newRow("over 2 GiB, nothing allocated")
            << u"huge"_s << true << u"raises "_s + Failure::fileTooLarge().description();
    }
    // The read is tried through readFileText, and through the platform's read alone, which
    // must hold on its own when the path is swapped after readFileText has looked at it.
    void pathsAsFound()
    {
        QFETCH(QString, relative);
        QFETCH(bool, exists);
        QFETCH(QString, read);
        FakePlatformScope scope;
        QTemporaryDir dir;
        writeFile(dir, u"a.txt"_s, "x");
        QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
        const QString host = dir.filePath(relative);
        QFile file(host);
        if (relative == u"/dev/zero"_s && host::endlessDevice() != relative)
            QSKIP("this host keeps no devices in its folders");
        if (relative == u"pipe"_s && !host::makePipe(host))
            QSKIP("this host has no named pipes in its file system");
        if (relative == u"huge"_s && (!file.open(QIODevice::WriteOnly) || !file.resize(3LL << 30)))
            QSKIP("this file system cannot hold a sparse 3 GiB file");
        std::optional<host::ReadLock> lock;
        if (relative == u"locked"_s) {
            writeFile(dir, relative, "secret");
            lock.emplace(host);
        }
        // Where the host cannot lock this user out (root on Linux), the refusal is injected.
        const bool injected = lock && !lock->applied();
        if (injected)
            scope.fake.readWholeFileHook = [](const QString&) -> QByteArray {
                throw Failure::permissionDenied();
            };
        QString path = relative.startsWith(u'/') ? toWindowsPath(relative)
                                                 : toWindowsPath(dir.path()) + u'\\' + relative;
        if (relative.isNull())
            path.clear();
        QCOMPARE(input::fileExists(path), exists);
        QCOMPARE(outcome([&] { return input::readFileText(path); }), read);
        QVERIFY(scope.fake.boxes.empty());
        const auto rawRead = [&] {
            return QString::fromLatin1(scope.fake.real().readWholeFile(path));
        };
        if (read.startsWith(u"raises "_s) && !injected)
            QCOMPARE(outcome(rawRead), read);
    }
};

QTEST_GUILESS_MAIN(FileHelpersTest)
#include "test_file_helpers.moc"
