// What the Windows host files do, on Windows itself (or Wine): paths pass unchanged, text
// files are read and written in the system's ANSI code page, a save the file system refuses
// leaves the old file whole, the web-site command line is run by the system, freed memory
// goes back, and the executable says who it is. The window's commands are driven on the
// platform double, whose file and code-page services are the real ones.
//
// Run with VELMORA_EXPECT_ACP set to the code page the locale must give (CTest runs it
// three times: 1252 under an English locale, 932 under a Japanese one, 65001 under Hindi,
// which has no ANSI code page).
#include "core/errors/runtime_failure.h"
#include "core/output/aligned_export.h"
#include "core/platform/host_paths.h"
#include "core/platform/memory_give_back.h"
#include "gui/platform/qt_platform.h"
#include "gui/window/file_dialogs.h"
#include "gui/window/main_window.h"
#include "tests/fake_platform.h"
#include "tests/host/host_faults.h"
#include "tests/test_helpers.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

namespace {

const QByteArray kOldFile("the previous results\r\n");

// The code page's own bytes for a line, what the list shows for them, and what saving that
// text writes back.
struct CodePageCase
{
    const char* tag;
    QByteArray bytes;
    QString text;
    QByteArray saved;
};

std::vector<CodePageCase> codePageCases(UINT codePage)
{
    if (codePage == CP_UTF8)
        return {
            {"UTF-8 of every length", "Zo\xc3\xab \xe6\x97\xa5 \xf0\x9f\x98\x80",
             u"Zo\u00eb \u65e5 \U0001F600"_s, "Zo\xc3\xab \xe6\x97\xa5 \xf0\x9f\x98\x80"},
            {"not UTF-8: Windows-1252, byte by byte", "caf\xe9", u"caf\u00e9"_s, "caf\xc3\xa9"},
        };
    if (codePage == 932)
        return {
            {"kanji, two bytes each", "\x93\xfa\x96\x7b\x8c\xea", u"\u65e5\u672c\u8a9e"_s,
             "\x93\xfa\x96\x7b\x8c\xea"},
            {"half-width katakana, one byte each", "\xb1\xb2\xb3", u"\uff71\uff72\uff73"_s,
             "\xb1\xb2\xb3"},
            {"ASCII between them", "a\x82\xa0z", u"a\u3042z"_s, "a\x82\xa0z"},
        };
    return {
        {"Western letters", "caf\xe9 na\xefve", u"caf\u00e9 na\u00efve"_s, "caf\xe9 na\xefve"},
        {"the euro sign and quotes from 0x80-0x9F", "\x80 \x93x\x94", u"\u20ac \u201cx\u201d"_s,
         "\x80 \x93x\x94"},
    };
}

// Texts with a character the code page cannot hold: the file is saved in UTF-16 instead.
struct UnmappableCase
{
    const char* tag;
    QString text;
};

std::vector<UnmappableCase> unmappableCases(UINT codePage)
{
    if (codePage == CP_UTF8)
        return {{"a lone surrogate", u"a"_s + QChar(0xD800) + u"b"_s}};
    std::vector<UnmappableCase> cases = {
        {"a character outside the basic plane", u"a\U0001F600b"_s},
        {"Hangul, in neither code page", u"\ud55c"_s},
    };
    if (codePage == 932)
        cases.push_back({"e acute has no place in Shift-JIS", u"caf\u00e9"_s});
    else
        cases.push_back({"kanji have no place in Windows-1252", u"\u65e5"_s});
    return cases;
}

UINT expectedCodePage()
{
    return static_cast<UINT>(qEnvironmentVariableIntValue("VELMORA_EXPECT_ACP"));
}

// Pages of memory this process has committed.
qint64 committedBytes()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return -1;
    return static_cast<qint64>(counters.PagefileUsage);
}

// The platform double with the real code page: the double's own is Windows-1252 on every
// host, and here the system's is what is tested.
class CodePagePlatform : public FakePlatform
{
public:
    CodePagePlatform() { codePage = std::nullopt; }
};

struct CodePagePlatformScope
{
    CodePagePlatform fake;
    ScopedPlatform installed{fake};
};

// The main window after start-up, on the platform double, with a folder for its files.
struct Fixture
{
    CodePagePlatformScope scope;
    MainWindow form;
    QTemporaryDir dir;

    Fixture()
    {
        form.startUp();
        scope.fake.boxes.clear();
    }
    QString host(const QString& name) const { return dir.filePath(name); }
    void save(const QString& name)
    {
        scope.fake.saveAnswers.append(windowsPathIn(dir, name));
        form.saveResults();
    }
    QStringList shownFirstLines() const
    {
        QStringList lines;
        for (const FakePlatform::Box& box : scope.fake.boxes)
            lines.append(box.text.section(u"\r\n"_s, 0, 0));
        return lines;
    }
};

// The second process of heldOpenByAnotherProgram: this executable again, started as
// "--hold <path>". It opens the file the way an editor may, sharing reading and writing but
// not deletion, says so on stdout and keeps it open until its stdin closes.
int holdFileOpen(const char* path)
{
    const std::wstring name = QString::fromLocal8Bit(path).toStdWString();
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    char rest[64];
    while (std::fgets(rest, sizeof(rest), stdin)) {
    }
    CloseHandle(file);
    return 0;
}

} // namespace

class HostWinTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pathsPassUnchanged_data();
    void pathsPassUnchanged();
    void networkNameWithNoServerIsPathNotFound();
    void codePageIsTheLocales();
    void filesLoadInTheCodePage();
    void resultsSaveInTheCodePage();
    void unmappableCharactersSaveTheFileInUnicode();
    void readOnlyTargetKeepsTheOldFile();
    void heldOpenByAnotherProgramKeepsTheOldFile();
    void leftTemporaryFilesGoWithTheNextSave();
    void lockedFileIsPermissionDenied();
    void diskFullKeepsTheOldFile();
    void shellRunsTheCommandLine();
    void shellRefusesWhatItCannotStart();
    void shellTakesItsWindowStyles_data();
    void shellTakesItsWindowStyles();
    void freedMemoryGoesBack();
    void programFolderHoldsTheRunningExecutable();
    void executableNamesItsProductAndVersion();
    void openDialogShowsTheFilters();
    void failingSaveDialogIsReported();
};

void HostWinTest::pathsPassUnchanged_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("drive letter") << uR"(C:\dir\list.txt)"_s;
    QTest::newRow("another drive, small letter") << uR"(d:\Lists\a b.txt)"_s;
    QTest::newRow("drive-relative") << uR"(E:list.txt)"_s;
    QTest::newRow("rooted on the current drive") << uR"(\dir\list.txt)"_s;
    QTest::newRow("network share") << uR"(\\server\share\list.txt)"_s;
    QTest::newRow("relative") << uR"(sub\list.txt)"_s;
}

// The program's paths are Windows paths already: the host neither maps nor refuses any.
void HostWinTest::pathsPassUnchanged()
{
    QFETCH(QString, path);
    QCOMPARE(toHostPath(path), path);
    QCOMPARE(toWindowsPath(QDir::fromNativeSeparators(path)), path);
}

// A share that no server answers for is a path that is not there, for reading and saving.
void HostWinTest::networkNameWithNoServerIsPathNotFound()
{
    QtPlatform real;
    const QString path = uR"(\\velmora-no-such-server\share\list.txt)"_s;
    QVERIFY(!real.modificationTimeReadable(path));
    try {
        real.readWholeFile(path);
        QFAIL("read a file from a server that is not there");
    } catch (const RuntimeFailure& failure) {
        QCOMPARE(failure.description(), Failure::pathNotFound().description());
    }
}

void HostWinTest::codePageIsTheLocales()
{
    if (expectedCodePage() == 0)
        QSKIP("VELMORA_EXPECT_ACP names no code page for this run");
    QCOMPARE(GetACP(), expectedCodePage());
}

// Load Text From File reads the bytes in the system's code page.
void HostWinTest::filesLoadInTheCodePage()
{
    for (const CodePageCase& c : codePageCases(GetACP())) {
        Fixture f;
        writeTestFile(f.host(u"in.txt"_s), c.bytes + "\r\nnext\r\n");
        f.scope.fake.openAnswers.append(windowsPathIn(f.dir, u"in.txt"_s));
        f.form.loadTextFromFile();
        QVERIFY2(f.scope.fake.boxes.empty(), c.tag);
        QCOMPARE(itemTexts(f.form.inputList), (QStringList{c.text, u"next"_s}));
    }
}

// Save Results As Text File writes the code page's bytes.
void HostWinTest::resultsSaveInTheCodePage()
{
    for (const CodePageCase& c : codePageCases(GetACP())) {
        Fixture f;
        fillList(f.form.resultList, {c.text});
        f.save(u"out.txt"_s);
        QVERIFY2(f.scope.fake.boxes.empty(), c.tag);
        const QByteArray file = fileContents(f.host(u"out.txt"_s));
        QVERIFY2(file.contains("\r\n" + c.saved), c.tag);
    }
}

// The whole file is then UTF-16 with its mark, never a '?' or a look-alike letter, and it
// loads back as the same texts.
void HostWinTest::unmappableCharactersSaveTheFileInUnicode()
{
    for (const UnmappableCase& c : unmappableCases(GetACP())) {
        Fixture f;
        fillList(f.form.resultList, {u"x"_s, c.text});
        f.save(u"out.txt"_s);
        QVERIFY2(f.scope.fake.boxes.empty(), c.tag);
        const qsizetype width = std::max<qsizetype>(7, c.text.size());
        const QString text = u"Results"_s + QString(width - 7, u' ') + u"\t\r\nx"_s +
                             QString(width - 1, u' ') + u"\t\r\n"_s + c.text +
                             QString(width - c.text.size(), u' ') + u"\t\r\n"_s;
        QVERIFY2(fileContents(f.host(u"out.txt"_s)) == utf16File(text), c.tag);
        f.scope.fake.openAnswers.append(windowsPathIn(f.dir, u"out.txt"_s));
        f.form.loadTextFromFile();
        QCOMPARE(itemTexts(f.form.inputList),
                 (QStringList{u"\uFEFFResults"_s + QString(width - 7, u' ') + u'\t',
                              u"x"_s + QString(width - 1, u' ') + u'\t',
                              c.text + QString(width - c.text.size(), u' ') + u'\t'}));
    }
}

// A read-only file is not replaced: the creation is refused with "Permission denied", the
// lines and the closing then have no file to go to, and the old file stays.
void HostWinTest::readOnlyTargetKeepsTheOldFile()
{
    Fixture f;
    writeTestFile(f.host(u"out.txt"_s), kOldFile);
    fillList(f.form.resultList, {u"a"_s, u"b"_s});
    {
        const host::WriteProtection readOnly(f.host(u"out.txt"_s));
        QVERIFY(readOnly.applied());
        f.save(u"out.txt"_s);
    }
    QCOMPARE(f.shownFirstLines(), QStringList{Failure::permissionDenied().description()} +
                                      QStringList(4, Failure::objectRequired().description()));
    QCOMPARE(fileContents(f.host(u"out.txt"_s)), kOldFile);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
}

// Another program holds the file open without letting it be deleted, as some editors do:
// it cannot be replaced, so the save is refused at its start, the same way.
void HostWinTest::heldOpenByAnotherProgramKeepsTheOldFile()
{
    Fixture f;
    writeTestFile(f.host(u"out.txt"_s), kOldFile);
    fillList(f.form.resultList, {u"a"_s, u"b"_s});
    QProcess holder;
    holder.start(QCoreApplication::applicationFilePath(),
                 {u"--hold"_s, QDir::toNativeSeparators(f.host(u"out.txt"_s))});
    QVERIFY(holder.waitForStarted(30000));
    QVERIFY(holder.waitForReadyRead(30000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));

    f.save(u"out.txt"_s);

    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(f.shownFirstLines(), QStringList{Failure::permissionDenied().description()} +
                                      QStringList(4, Failure::objectRequired().description()));
    QCOMPARE(fileContents(f.host(u"out.txt"_s)), kOldFile);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});

    // Once it lets go, the save goes through.
    f.scope.fake.boxes.clear();
    f.save(u"out.txt"_s);
    QVERIFY(f.scope.fake.boxes.empty());
    QCOMPARE(fileContents(f.host(u"out.txt"_s)),
             QByteArray("Results\t\r\na      \t\r\nb      \t\r\n"));
}

// A save's temporary file that a killed program left beside the target goes with the next
// save of it; one that a save still under way holds open stays, and the save takes another.
void HostWinTest::leftTemporaryFilesGoWithTheNextSave()
{
    Fixture f;
    writeTestFile(f.host(u"out.txt"_s), kOldFile);
    writeTestFile(f.host(u"out.txt.velmora-save1"_s), "held by a save under way");
    writeTestFile(f.host(u"out.txt.velmora-save7"_s), "left by a killed save");
    writeTestFile(f.host(u"other.txt.velmora-save1"_s), "another file's");
    fillList(f.form.resultList, {u"a"_s});
    {
        const host::ReadLock underWay(f.host(u"out.txt.velmora-save1"_s));
        QVERIFY(underWay.applied());
        f.save(u"out.txt"_s);
    }
    QVERIFY(f.scope.fake.boxes.empty());
    QCOMPARE(fileContents(f.host(u"out.txt"_s)), QByteArray("Results\t\r\na      \t\r\n"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{u"other.txt.velmora-save1"_s, u"out.txt"_s, u"out.txt.velmora-save1"_s}));
}

// A file another handle holds without sharing reading cannot be loaded: "Permission
// denied", as for a file the user may not read.
void HostWinTest::lockedFileIsPermissionDenied()
{
    QTemporaryDir dir;
    writeTestFile(dir.filePath(u"locked.txt"_s), "secret\r\n");
    const host::ReadLock lock(dir.filePath(u"locked.txt"_s));
    QVERIFY(lock.applied());
    QtPlatform real;
    try {
        real.readWholeFile(windowsPathIn(dir, u"locked.txt"_s));
        QFAIL("read a file held without sharing");
    } catch (const RuntimeFailure& failure) {
        QCOMPARE(failure.description(), Failure::permissionDenied().description());
    }
}

// The disk fills up part of the way through the save: every line from there on gets a
// "Disk full" box, then the closing; the old file stays and the half-written one goes.
void HostWinTest::diskFullKeepsTheOldFile()
{
    Fixture f;
    const host::SmallDisk disk(f.dir.path(), 64);
    if (!disk.available())
        QSKIP("no small drive for this run (VELMORA_TEST_SMALL_DISK)");
    const QString target = disk.folder() + u"/out.txt"_s;
    writeTestFile(target, kOldFile);
    constexpr int kRows = 4000; // 4000 lines of 40 bytes: more than the drive holds
    for (int r = 1; r <= kRows; ++r)
        f.form.resultList->items().add(u"row %1 "_s.arg(r, 4, 10, QChar(u'0')) + QString(28, u'x'));
    f.scope.fake.saveAnswers.append(toWindowsPath(target));
    f.form.saveResults();

    const QList<int> lines = reportedLines(f.scope.fake.boxes, output::kSaveAlignedTextLocation);
    QVERIFY2(lines.size() >= 2 && lines.size() < kRows,
             qPrintable(u"%1 boxes"_s.arg(lines.size())));
    QCOMPARE(lines.last(), 232);
    const QStringList shown = f.shownFirstLines();
    QCOMPARE(shown, QStringList(shown.size(), Failure::diskFull().description()));
    QCOMPARE(fileContents(target), kOldFile);
    QCOMPARE(QDir(disk.folder()).entryList(QDir::Files | QDir::Hidden), QStringList{u"out.txt"_s});
}

// The line is run by the system as it stands; a harmless one here, never a browser.
void HostWinTest::shellRunsTheCommandLine()
{
    QTemporaryDir dir;
    const QString mark = QDir::toNativeSeparators(dir.filePath(u"ran.txt"_s));
    QtPlatform real;
    real.shellRun(u"cmd.exe /c echo ran> \"%1\""_s.arg(mark), 0);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(mark).size() > 0, 30000);
    QCOMPARE(fileContents(mark).trimmed(), QByteArray("ran"));
}

void HostWinTest::shellRefusesWhatItCannotStart()
{
    QtPlatform real;
    try {
        real.shellRun(u"velmora-no-such-program.exe \"https://www.velmora.example/\""_s, 2);
        QFAIL("started a program that does not exist");
    } catch (const RuntimeFailure& failure) {
        QCOMPARE(failure.description(), Failure::fileNotFound().description());
    }
}

// The shell's window styles: 0-4 and 6 (minimised without focus); 5 and the rest are
// refused before anything is started.
void HostWinTest::shellTakesItsWindowStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("taken");
    for (int style : {0, 1, 2, 3, 4, 6})
        QTest::addRow("style %d", style) << style << true;
    for (int style : {5, 7, -1})
        QTest::addRow("style %d refused", style) << style << false;
}

void HostWinTest::shellTakesItsWindowStyles()
{
    QFETCH(int, style);
    QFETCH(bool, taken);
    QString refusal;
    try {
        QtPlatform().shellRun(u"cmd.exe /c exit"_s, style);
    } catch (const RuntimeFailure& failure) {
        refusal = failure.description();
    }
    QCOMPARE(refusal, taken ? QString() : Failure::invalidProcedureCall().description());
}

// A cleared list leaves a million small blocks free; after the give-back the process keeps
// no more than a fraction of what they took.
void HostWinTest::freedMemoryGoesBack()
{
    const qint64 before = committedBytes();
    if (before <= 0)
        QSKIP("this system does not report the committed memory");
    constexpr int kBlocks = 1'000'000;
    constexpr std::size_t kBlockSize = 120; // a list item's text and its bookkeeping
    std::vector<void*> blocks(kBlocks);
    for (void*& block : blocks)
        block = std::malloc(kBlockSize);
    const qint64 peak = committedBytes();
    for (void* block : blocks)
        std::free(block);
    blocks = {};
    // The host's own call; the real platform makes it off the window's thread.
    giveBackFreedHeap();
    const qint64 after = committedBytes();
    const qint64 taken = peak - before;
    QVERIFY2(taken > qint64(kBlocks) * qint64(kBlockSize) / 2,
             qPrintable(u"%1 bytes committed for the blocks"_s.arg(taken)));
    QVERIFY2(after - before < taken / 4,
             qPrintable(u"%1 of %2 bytes kept"_s.arg(after - before).arg(taken)));
}

// The optional skin and pointer files are looked for beside the executable.
void HostWinTest::programFolderHoldsTheRunningExecutable()
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    QVERIFY(length > 0 && length < MAX_PATH);
    const QString exe = QString::fromWCharArray(self, static_cast<qsizetype>(length));
    const QString folder = QtPlatform().programFolder();
    QCOMPARE(folder, exe.left(exe.lastIndexOf(u'\\')));
    QVERIFY(!folder.endsWith(u'\\'));
    QCOMPARE(toHostPath(folder + u"\\x\\o.cjs"_s), folder + u"\\x\\o.cjs"_s);
}

// Explorer's Properties and the installed-programs list read these from velmora.exe.
void HostWinTest::executableNamesItsProductAndVersion()
{
    const QString exe =
        QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + u"/../velmora.exe"_s);
    if (!QFileInfo::exists(exe))
        QSKIP("velmora.exe is not beside the tests' folder");
    const std::wstring name = exe.toStdWString();
    const DWORD size = GetFileVersionInfoSizeW(name.c_str(), nullptr);
    QVERIFY(size > 0);
    std::vector<char> data(size);
    QVERIFY(GetFileVersionInfoW(name.c_str(), 0, size, data.data()));
    const auto value = [&](const wchar_t* key) {
        void* text = nullptr;
        UINT length = 0;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
        if (!VerQueryValueW(data.data(), query.c_str(), &text, &length) || length == 0)
            return QString();
        return QString::fromWCharArray(static_cast<const wchar_t*>(text)).trimmed();
    };
    QCOMPARE(value(L"ProductName"), u"Velmora"_s);
    QCOMPARE(value(L"ProductVersion"), QString::fromLatin1(VELMORA_VERSION));
    QCOMPARE(value(L"FileVersion"), QString::fromLatin1(VELMORA_VERSION));
    QVERIFY(value(L"FileDescription").startsWith(u"Velmora"_s));
    QCOMPARE(value(L"OriginalFilename"), u"velmora.exe"_s);

    void* fixed = nullptr;
    UINT length = 0;
    QVERIFY(VerQueryValueW(data.data(), L"\\", &fixed, &length));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    const QStringList parts = QString::fromLatin1(VELMORA_VERSION).split(u'.');
    QCOMPARE(int(HIWORD(info->dwFileVersionMS)), parts.value(0).toInt());
    QCOMPARE(int(LOWORD(info->dwFileVersionMS)), parts.value(1).toInt());
    QCOMPARE(int(HIWORD(info->dwFileVersionLS)), parts.value(2).toInt());
    QCOMPARE(info->dwFileType, DWORD(VFT_APP));
}

// The open dialog shows the filters as the program writes them: "*.*" takes every name here.
void HostWinTest::openDialogShowsTheFilters()
{
    QCOMPARE(shownOpenFilters(kListFileFilter.toString()),
             (QStringList{u"Text Files (*.txt)"_s, u"All Files (*.*)"_s}));
}

// A save dialog that cannot be shown (here: an old-style dialog asked to use a template,
// with none given, which Windows refuses at once) fails the step instead of passing for a
// cancel.
void HostWinTest::failingSaveDialogIsReported()
{
    FileDialogRequest request;
    request.title = u"Save"_s;
    request.filter = kListFileFilter.toString();
    request.flags = OFN_ENABLETEMPLATE;
    QString failure;
    try {
        QtPlatform().showSaveDialog(request);
    } catch (const RuntimeFailure& thrown) {
        failure = thrown.description();
    }
    QVERIFY(!failure.isEmpty());
}

// The test's own main(): the same executable also plays the other program that holds a
// file open.
int main(int argc, char* argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0)
        return holdFileOpen(argv[2]);
    QApplication app(argc, argv);
    HostWinTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_host_win.moc"
