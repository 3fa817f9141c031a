#include "app/runtime_failure.h"
#include "fake_platform.h"
#include "input/file_helpers.h"
#include "test_helpers.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using velmora::RuntimeFailure;
using velmora::test::FakePlatformScope;
using velmora::test::windowsPathIn;
namespace Failure = velmora::Failure;
namespace Main = velmora::Main;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return windowsPathIn(dir, name);
}

// The description of the failure the action raised; empty when it raised none.
template <class Action> QString failureOf(Action&& action)
{
    try {
        action();
    } catch (const RuntimeFailure& failure) {
        return failure.description();
    }
    return {};
}

} // namespace

class FileHelpersTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void collapseBackslashes_data();
    void collapseBackslashes();
    void fileNameFromPath_data();
    void fileNameFromPath();
    void fileExists_data();
    void fileExists();
    void readFileTextDecodes_data();
    void readFileTextDecodes();
    void readFileTextMissingFile();
    void unreadablePathsRaise_data();
    void unreadablePathsRaise();
    void lowLevelReadRefusesNonFiles_data();
    void lowLevelReadRefusesNonFiles();
};

void FileHelpersTest::collapseBackslashes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("collapsed");
    QTest::newRow("drive root joined with a name") << uR"(C:\\a.txt)"_s << uR"(C:\a.txt)"_s;
    QTest::newRow("network path, doubled inside")
        << uR"(\\srv\share\\x.txt)"_s << uR"(\\srv\share\x.txt)"_s;
    QTest::newRow("three leading become two") << uR"(\\\srv\a)"_s << uR"(\\srv\a)"_s;
    QTest::newRow("one leading becomes two") << uR"(\dir\a.txt)"_s << uR"(\\dir\a.txt)"_s;
    QTest::newRow("single pass: run of three gives two") << uR"(C:\a\\\b)"_s << uR"(C:\a\\b)"_s;
    QTest::newRow("single pass: run of four gives two") << uR"(C:\a\\\\b)"_s << uR"(C:\a\\b)"_s;
    QTest::newRow("single pass: run of five gives three") << uR"(C:\a\\\\\b)"_s << uR"(C:\a\\\b)"_s;
    QTest::newRow("leading run and inner run handled apart")
        << uR"(\\\\srv\\\\a)"_s << uR"(\\srv\\a)"_s;
    QTest::newRow("trailing pair") << uR"(C:\dir\\)"_s << uR"(C:\dir\)"_s;
    QTest::newRow("nothing to collapse") << uR"(C:\dir\a.txt)"_s << uR"(C:\dir\a.txt)"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one backslash only") << uR"(\)"_s << uR"(\\)"_s;
    QTest::newRow("two backslashes only") << uR"(\\)"_s << uR"(\\)"_s;
    QTest::newRow("five backslashes only") << uR"(\\\\\)"_s << uR"(\\)"_s;
}

void FileHelpersTest::collapseBackslashes()
{
    QFETCH(QString, path);
    QFETCH(QString, collapsed);
    const QString before = path;
    QCOMPARE(Main::CollapseBackslashes(path), collapsed);
    QCOMPARE(path, before);
}

void FileHelpersTest::fileNameFromPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("full path") << uR"(C:\dir\list.txt)"_s << u"list.txt"_s;
    QTest::newRow("no backslash") << u"list.txt"_s << u"list.txt"_s;
    QTest::newRow("trailing backslash") << uR"(C:\dir\)"_s << QString();
    QTest::newRow("network share") << uR"(\\srv\share)"_s << u"share"_s;
    QTest::newRow("slash is not a separator") << uR"(C:\a/b.txt)"_s << u"a/b.txt"_s;
    QTest::newRow("empty") << QString() << QString();
}

void FileHelpersTest::fileNameFromPath()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(Main::FileNameFromPath(path), name);
}

void FileHelpersTest::fileExists_data()
{
    QTest::addColumn<QString>("relative"); // inside a folder holding "a.txt" and "sub"
    QTest::addColumn<bool>("exists");
    QTest::newRow("file") << u"a.txt"_s << true;
    QTest::newRow("folder") << u"sub"_s << true;
    QTest::newRow("folder with trailing backslash") << uR"(sub\)"_s << true;
    QTest::newRow("missing file") << u"b.txt"_s << false;
    QTest::newRow("missing folder on the way") << uR"(nowhere\a.txt)"_s << false;
    QTest::newRow("a file used as a folder") << uR"(a.txt\x)"_s << false;
    QTest::newRow("NUL inside the path") << u"a.txt\0x"_s << false;
}

void FileHelpersTest::fileExists()
{
    FakePlatformScope scope;
    QFETCH(QString, relative);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    writeFile(dir, u"a.txt"_s, "x");
    QVERIFY(QDir(dir.path()).mkdir(u"sub"_s));
    const QString path = velmora::toWindowsPath(dir.path()) + u'\\' + relative;
    QCOMPARE(Main::FileExists(path), exists);
    QVERIFY(!Main::FileExists(QString()));
}

void FileHelpersTest::readFileTextDecodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("FF FE: little-endian, mark kept")
        << QByteArray::fromHex("fffe41000d000a004200") << u"\uFEFFA\r\nB"_s;
    QTest::newRow("FE FF: big-endian, mark kept")
        << QByteArray::fromHex("feff0041000d000a0042") << u"\uFEFFA\r\nB"_s;
    QTest::newRow("surrogate pair, little-endian")
        << QByteArray::fromHex("fffe3dd800de") << u"\uFEFF\U0001F600"_s;
    QTest::newRow("surrogate pair, big-endian")
        << QByteArray::fromHex("feffd83dde00") << u"\uFEFF\U0001F600"_s;
    QTest::newRow("mark only") << QByteArray::fromHex("fffe") << u"\uFEFF"_s;
    QTest::newRow("odd final byte, little-endian")
        << QByteArray::fromHex("fffe410042") << u"\uFEFFA\uFFFD"_s;
    QTest::newRow("odd final byte, big-endian")
        << QByteArray::fromHex("feff004142") << u"\uFEFFA\uFFFD"_s;
    QTest::newRow("FE then ANSI stays ANSI") << QByteArray("\xfe"
                                                           "ABC")
                                             << u"\u00FEABC"_s;
    QTest::newRow("FF then ANSI stays ANSI") << QByteArray("\xff"
                                                           "ab")
                                             << u"\u00FFab"_s;
    QTest::newRow("lone FF byte") << QByteArray("\xff") << u"\u00FF"_s;
    QTest::newRow("UTF-8 mark read byte by byte")
        << QByteArray::fromHex("efbbbf68c3a9") << u"\u00EF\u00BB\u00BFh\u00C3\u00A9"_s;
    QTest::newRow("Windows-1252, undefined bytes stay controls")
        << QByteArray::fromHex("80818d8f909d9fa0")
        << u"\u20AC\u0081\u008D\u008F\u0090\u009D\u0178\u00A0"_s;
    QTest::newRow("NUL and line breaks kept")
        << QByteArray("a\0\r\nb\r", 6) << QString::fromUtf16(u"a\0\r\nb\r", 6);
    QTest::newRow("zero length") << QByteArray() << u"empty file"_s;
}

void FileHelpersTest::readFileTextDecodes()
{
    FakePlatformScope scope;
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString path = writeFile(dir, u"f.txt"_s, bytes);
    QCOMPARE(Main::ReadFileText(path), text);
}

void FileHelpersTest::readFileTextMissingFile()
{
    FakePlatformScope scope;
    QTemporaryDir dir;
    QCOMPARE(Main::ReadFileText(windowsPathIn(dir, u"missing.txt"_s)), QString());
    QCOMPARE(Main::ReadFileText(QString()), QString());
}

enum class Trouble
{
    Folder,
    Pipe,
    Device,
    Vanished,
    Unreadable,
    Huge
};

void FileHelpersTest::unreadablePathsRaise_data()
{
    QTest::addColumn<Trouble>("trouble");
    QTest::addColumn<QString>("failure");
    QTest::newRow("folder: exists, but not a file nor empty")
        << Trouble::Folder << Failure::pathFileAccessError().description();
    QTest::newRow("named pipe: refused without blocking")
        << Trouble::Pipe << Failure::pathFileAccessError().description();
    QTest::newRow("device") << Trouble::Device << Failure::pathFileAccessError().description();
    QTest::newRow("vanished after the existence test")
        << Trouble::Vanished << Failure::fileNotFound().description();
    QTest::newRow("permission denied")
        << Trouble::Unreadable << Failure::permissionDenied().description();
    QTest::newRow("over 2 GiB") << Trouble::Huge << Failure::fileTooLarge().description();
}

void FileHelpersTest::unreadablePathsRaise()
{
    FakePlatformScope scope;
    QFETCH(Trouble, trouble);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    QString path = windowsPathIn(dir, u"f.txt"_s);
    switch (trouble) {
    case Trouble::Folder:
        QVERIFY(QDir(dir.path()).mkdir(u"f.txt"_s));
        break;
    case Trouble::Pipe:
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"f.txt"_s)).constData(), 0600), 0);
        break;
    case Trouble::Device:
        path = velmora::toWindowsPath(u"/dev/zero"_s);
        break;
    case Trouble::Vanished:
        scope.fake.modificationTimeReadableHook = [](const QString&) { return true; };
        break;
    case Trouble::Unreadable: {
        writeFile(dir, u"f.txt"_s, "secret");
        QFile::setPermissions(dir.filePath(u"f.txt"_s), {});
        if (::geteuid() == 0) {
            // Permissions do not stop the superuser; inject the refusal instead.
            scope.fake.readWholeFileHook = [](const QString&) -> QByteArray {
                throw Failure::permissionDenied();
            };
        }
        break;
    }
    case Trouble::Huge: {
        QFile file(dir.filePath(u"f.txt"_s));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(3LL << 30))
            QSKIP("this file system cannot hold a sparse 3 GiB file");
        break;
    }
    }
    QCOMPARE(failureOf([&] { Main::ReadFileText(path); }), failure);
    QVERIFY(scope.fake.boxes.empty());
}

void FileHelpersTest::lowLevelReadRefusesNonFiles_data()
{
    QTest::addColumn<Trouble>("trouble");
    QTest::addColumn<QString>("failure");
    const QString notAFile = Failure::pathFileAccessError().description();
    QTest::newRow("folder") << Trouble::Folder << notAFile;
    QTest::newRow("named pipe") << Trouble::Pipe << notAFile;
    QTest::newRow("endless device") << Trouble::Device << notAFile;
    QTest::newRow("over 2 GiB, nothing allocated")
        << Trouble::Huge << Failure::fileTooLarge().description();
}

// ReadFileText stops at the length already; the read itself must hold on its own when a
// path is swapped for something else after that.
void FileHelpersTest::lowLevelReadRefusesNonFiles()
{
    QFETCH(Trouble, trouble);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    QString path = windowsPathIn(dir, u"f"_s);
    if (trouble == Trouble::Folder) {
        QVERIFY(QDir(dir.path()).mkdir(u"f"_s));
    } else if (trouble == Trouble::Pipe) {
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"f"_s)).constData(), 0600), 0);
    } else if (trouble == Trouble::Huge) {
        QFile file(dir.filePath(u"f"_s));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(3LL << 30))
            QSKIP("this file system cannot hold a sparse 3 GiB file");
    } else {
        path = velmora::toWindowsPath(u"/dev/zero"_s);
    }
    velmora::QtPlatform real;
    QCOMPARE(failureOf([&] { real.readWholeFile(path); }), failure);
}

QTEST_GUILESS_MAIN(FileHelpersTest)
#include "test_file_helpers.moc"
