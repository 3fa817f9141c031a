#include "core/errors/runtime_failure.h"
#include "core/input/file_helpers.h"
#include "core/platform/ansi_code_page.h"
#include "core/platform/windows1252.h"
#include "core/platform/windows_paths.h"
#include "fake_platform.h"
#include "reference_utf8.h"
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

    // Each row: the host's code page, the file, its text, and whether saving that text in
    // the code page gives the file's bytes again.
    void readFileTextDecodes_data()
    {
        QTest::addColumn<CodePage>("codePage");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("sameBytesBack");
        const auto row = [](const char* tag, CodePage codePage, const char* hex,
                            const QString& text, bool sameBytesBack) {
            QTest::newRow(tag) << codePage << QByteArray::fromHex(hex) << text << sameBytesBack;
        };
        const CodePage ansi = CodePage::Windows1252;
        const CodePage utf8 = CodePage::Utf8;
        row("FF FE: little-endian, mark kept", ansi, "fffe41000d000a004200", u"\uFEFFA\r\nB"_s,
            false);
        row("FE FF: big-endian, mark kept", ansi, "feff0041000d000a0042", u"\uFEFFA\r\nB"_s, false);
        row("odd final byte, big-endian", ansi, "feff004142", u"\uFEFFA\uFFFD"_s, false);
        row("FE then ANSI stays ANSI", ansi, "fe41", u"\u00FEA"_s, true);
        row("FF then ANSI stays ANSI", ansi, "ff61", u"\u00FFa"_s, true);
        row("lone FF byte", ansi, "ff", u"\u00FF"_s, true);
        row("UTF-8 mark read byte by byte", ansi, "efbbbf68c3a9",
            u"\u00EF\u00BB\u00BFh\u00C3\u00A9"_s, true);
        row("Windows-1252, undefined bytes stay controls", ansi, "80818d8f909d9fa0",
            u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00A0"_s, true);
        row("UTF-8: valid, mark kept as U+FEFF", utf8, "efbbbf5a6fc3ab0d0ae697a5f09f9880",
            u"\uFEFFZo\u00EB\r\n\u65E5\U0001F600"_s, true);
        row("UTF-8: valid, no mark", utf8, "c39c626572", u"\u00DCber"_s, true);
        row("UTF-8: pure ASCII", utf8, "610d0a62", u"a\r\nb"_s, true);
        row("UTF-8: UTF-16 still by its mark", utf8, "fffee900", u"\uFEFF\u00E9"_s, false);
        row("UTF-8: a lone E9 reads the whole file in Windows-1252", utf8, "c3a90d0a636166e9",
            u"\u00C3\u00A9\r\ncaf\u00E9"_s, false);
        row("UTF-8: a sequence cut at the end", utf8, "61e697", u"a\u00E6\u2014"_s, false);
        row("UTF-8: overlong slash", utf8, "c0af", u"\u00C0\u00AF"_s, false);
        row("UTF-8: overlong three-byte form", utf8, "e080af", u"\u00E0\u20AC\u00AF"_s, false);
        row("UTF-8: a surrogate encoded", utf8, "eda080", u"\u00ED\u00A0\u20AC"_s, false);
        row("UTF-8: beyond U+10FFFF", utf8, "f4908080", u"\u00F4\u0090\u20AC\u20AC"_s, false);
        row("UTF-8: overlong four-byte form", utf8, "f08080af", u"\u00F0\u20AC\u20AC\u00AF"_s,
            false);
        row("UTF-8: C1 and F5 never start a sequence", utf8, "c1bff5808080",
            u"\u00C1\u00BF\u00F5\u20AC\u20AC\u20AC"_s, false);
    }
    void readFileTextDecodes()
    {
        QFETCH(CodePage, codePage);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, sameBytesBack);
        FakePlatformScope scope;
        scope.fake.codePage = codePage;
        QTemporaryDir dir;
        QCOMPARE(input::readFileText(writeFile(dir, u"f.txt"_s, bytes)), text);
        QByteArray back;
        if (sameBytesBack) {
            QVERIFY(appendCodePage(codePage, text, back));
            QCOMPARE(back, bytes);
        }
    }

    // A big file is decoded in two parts that meet after the first line feed from its
    // middle on. Each row puts bytes around that line feed (or elsewhere) in a long ASCII
    // text: the decoding must be UTF-8 read plainly, or the whole file in Windows-1252.
    void utf8DecodedInPartsAsWhole_data()
    {
        QTest::addColumn<QByteArray>("before"); // just before the meeting line feed
        QTest::addColumn<QByteArray>("after");  // just after it
        QTest::addColumn<QByteArray>("front");  // at the file's start
        QTest::addColumn<QByteArray>("back");   // at the file's end
        QTest::addColumn<bool>("feed");         // whether the meeting line feed is there
        const auto row = [](const char* tag, const char* before, const char* after,
                            const char* front, const char* back, bool feed = true) {
            QTest::newRow(tag) << QByteArray::fromHex(before) << QByteArray::fromHex(after)
                               << QByteArray::fromHex(front) << QByteArray::fromHex(back) << feed;
        };
        row("ASCII only", "", "", "", "");
        row("a sequence on either side", "c3a9", "e697a5", "", "");
        row("front shorter as text than as bytes", "", "", QByteArray("e697a5").repeated(9000),
            "f09f9880");
        row("a sequence cut by the line feed", "e697", "", "", "");
        row("a continuation byte after it", "", "a5", "", "");
        row("the mark after it stays U+FEFF", "", "efbbbf", "efbbbf", "");
        row("a lone E9 in the back part only", "", "", "", "e9");
        row("a lone E9 in the front part only", "", "", "e9", "");
        row("no line feed from the middle on", "c3a9", "", "", "", false);
    }
    void utf8DecodedInPartsAsWhole()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, front);
        QFETCH(QByteArray, back);
        QFETCH(bool, feed);
        // The line feed a little behind the middle: the first from there on.
        QByteArray bytes = front + QByteArray(100'000 - front.size(), 'a') + before;
        const QByteArray rest = (feed ? "\n"_ba : "b"_ba) + after + QByteArray(99'000, 'a') + back;
        bytes += feed ? rest : QByteArray(rest).replace('\n', 'b');
        const QString expected = fromStrictUtf8(bytes).value_or(decodeWindows1252(bytes));
        QCOMPARE(decodeCodePage(CodePage::Utf8, bytes), expected);
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
