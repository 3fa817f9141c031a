// Faults from outside, through the real window: files that are not what a text file should
// be, files that go away or cannot be held, and saves that the file system refuses. Each
// case checks the boxes shown, that the program goes on working, and that nothing already
// there is lost.
#include "core/errors/runtime_failure.h"
#include "core/output/aligned_export.h"
#include "fake_platform.h"
#include "gui/window/handler_locations.h"
#include "test_helpers.h"
#include "tests/host/host_faults.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::MainWindow;
using velmora::test::FakePlatform;
using velmora::test::FakePlatformScope;
using velmora::test::fileContents;
using velmora::test::fillList;
using velmora::test::itemTexts;
using velmora::test::reportedLines;
using velmora::test::utf16File;
using velmora::test::windowsPathIn;
using velmora::test::writeTestFile;
namespace Failure = velmora::Failure;
namespace Location = velmora::Location;

namespace {

const QByteArray kOldFile("the previous results\r\n");

// The main window after start-up, on the fake platform, with a folder for its files.
struct Fixture
{
    FakePlatformScope scope;
    MainWindow form;
    QTemporaryDir dir;

    Fixture()
    {
        form.startUp();
        fake().boxes.clear();
    }
    FakePlatform& fake() { return scope.fake; }
    QString host(const QString& name) const { return dir.filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const
    {
        writeTestFile(host(name), bytes);
    }
    QByteArray contents(const QString& name) const { return fileContents(host(name)); }
    QStringList files(const QString& folder = {}) const
    {
        return QDir(host(folder)).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    // "Load Text From File" with the named files picked in the open dialog.
    void load(const QStringList& names)
    {
        fake().openAnswers.append(
            names.size() == 1
                ? windowsPathIn(dir, names.front())
                : (QStringList{velmora::toWindowsPath(dir.path())} + names).join(QChar(u'\0')));
        form.loadTextFromFile();
    }
    // "Save Results As Text File" with the name typed into the save dialog.
    void save(const QString& name)
    {
        fake().saveAnswers.append(windowsPathIn(dir, name));
        form.saveResults();
    }

    // What every command leaves behind once it has ended, whatever went wrong in it.
    void verifyAtRest() const
    {
        QCOMPARE(form.mousePointerValue(), 0);
        QCOMPARE(form.progressBar->value(), 0.0);
        QCOMPARE(form.progressBar->text(), u"Progress Bar"_s);
    }
};

QStringList descriptions(const std::vector<FakePlatform::Box>& boxes)
{
    QStringList texts;
    for (const FakePlatform::Box& box : boxes)
        texts.append(box.text.section(u"\r\n"_s, 0, 0));
    return texts;
}

// Stands in for a disk that fills up: from its n-th line on, every line is refused.
class FillingWriter : public velmora::TextFileWriter
{
public:
    FillingWriter(std::unique_ptr<TextFileWriter> real, int firstRefused)
        : m_real(std::move(real)), m_firstRefused(firstRefused)
    {}
    void writeLine(QStringView text) override
    {
        if (++m_lines >= m_firstRefused)
            throw Failure::diskFull();
        m_real->writeLine(text);
    }
    void close() override { m_real->close(); }

private:
    std::unique_ptr<TextFileWriter> m_real;
    int m_firstRefused;
    int m_lines = 0;
};

} // namespace

class FaultsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oddFilesLoadSortAndSaveWhole_data();
    void oddFilesLoadSortAndSaveWhole();
    void unreadableFileAmongOthers_data();
    void unreadableFileAmongOthers();
    void saveRefusedByTheFileSystem_data();
    void saveRefusedByTheFileSystem();
    void diskFillsUpDuringTheSave();
};

void FaultsTest::oddFilesLoadSortAndSaveWhole_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QByteArray>("saved"); // after Start Sorting and a save

    QByteArray everyByte; // one line: every byte value but CR and LF, NUL first
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            everyByte.append(char(b));
    }
    // Its one item is checked through the saved file: a padded heading, then the bytes.
    QTest::newRow("binary: every byte but CR and LF comes back out as it went in")
        << everyByte << QStringList()
        << "Results" + QByteArray(everyByte.size() - 7, ' ') + "\t\r\n" + everyByte + "\t\r\n";
    QTest::newRow("binary: NUL-only line kept, CR dropped inside a line")
        << QByteArray("\x00\n\x01\x02\r\x03\n\r\n", 9)
        << QStringList{QString(QChar(u'\0')), u"\u0001\u0002\u0003"_s}
        << QByteArray("Results\t\r\n\x00      \t\r\n\x01\x02\x03    \t\r\n", 30);
    // Neither U+FEFF nor U+FFFD nor a lone surrogate is in Windows-1252: the whole file is
    // UTF-16 then, with its mark.
    QTest::newRow("UTF-16 of odd length: the half unit reads as U+FFFD")
        << QByteArray::fromHex("fffe61000a0062") << QStringList{u"\uFEFFa"_s, u"\uFFFD"_s}
        << utf16File(u"Results\t\r\n\uFEFFa     \t\r\n\uFFFD      \t\r\n"_s);
    QTest::newRow("UTF-16 mark and a lone surrogate")
        << QByteArray::fromHex("fffe00d80a00") << QStringList{u"\uFEFF"_s + QChar(0xD800)}
        << utf16File(u"Results\t\r\n\uFEFF"_s + QChar(0xD800) + u"     \t\r\n"_s);
}

void FaultsTest::oddFilesLoadSortAndSaveWhole()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);
    QFETCH(QByteArray, saved);
    Fixture f;
    f.write(u"odd.bin"_s, bytes);
    f.load({u"odd.bin"_s});
    if (!items.isEmpty())
        QCOMPARE(itemTexts(f.form.inputList), items);
    f.form.startSorting();
    f.save(u"out.txt"_s);
    QCOMPARE(f.contents(u"out.txt"_s), saved);
    QCOMPARE(descriptions(f.fake().boxes), QStringList());
    f.verifyAtRest();
}

enum class Trouble
{
    Vanished, // gone between the command finding it and reading it
    Huge      // over 2 GiB
};

void FaultsTest::unreadableFileAmongOthers_data()
{
    QTest::addColumn<Trouble>("trouble");
    QTest::addColumn<QString>("failure");
    QTest::newRow("vanished after it was found: an error box, not the plain message")
        << Trouble::Vanished << Failure::fileNotFound().description();
    QTest::newRow("3 GiB, sparse: refused before reading")
        << Trouble::Huge << Failure::fileTooLarge().description();
}

// The second of three chosen files fails; the others load and the pointer comes back.
void FaultsTest::unreadableFileAmongOthers()
{
    QFETCH(Trouble, trouble);
    QFETCH(QString, failure);
    Fixture f;
    fillList(f.form.inputList, {u"old"_s});
    f.write(u"a.txt"_s, "a\n");
    f.write(u"c.txt"_s, "c\n");
    if (trouble == Trouble::Huge) {
        QFile file(f.host(u"b.txt"_s));
        if (!file.open(QIODevice::WriteOnly) || !file.resize(3LL << 30))
            QSKIP("this file system cannot hold a sparse 3 GiB file");
        f.fake().readWholeFileHook = [&](const QString& path) {
            if (path.endsWith(u"b.txt"_s))
                qFatal("a file over 2 GiB was read");
            return f.fake().real().readWholeFile(path);
        };
    } else {
        f.write(u"b.txt"_s, "b\n");
        f.fake().fileLengthHook = [&](const QString& path) {
            if (path.endsWith(u"b.txt"_s))
                QFile::remove(f.host(u"b.txt"_s));
            return f.fake().real().fileLength(path);
        };
    }
    f.load({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});

    QCOMPARE(itemTexts(f.form.inputList), (QStringList{u"a"_s, u"c"_s}));
    QCOMPARE(f.fake().boxes.size(), 1u);
    QCOMPARE(f.fake().boxes[0].text,
             velmora::errorMessage(failure, Location::loadTextFromFile, 126));
    QCOMPARE(f.fake().boxes[0].title, u"Application Error"_s);
    f.verifyAtRest();
}

void FaultsTest::saveRefusedByTheFileSystem_data()
{
    QTest::addColumn<QString>("protect"); // inside the test folder: "results" holds out.txt
    QTest::newRow("read-only folder") << u"results"_s;
    QTest::newRow("read-only file") << u"results/out.txt"_s;
}

// A file that cannot be created: a box for the creation, one for the heading, one per
// row and one for the closing; the old file stays as it was and no stray file is left.
// Once the obstacle is gone the next save goes through.
void FaultsTest::saveRefusedByTheFileSystem()
{
    QFETCH(QString, protect);
    Fixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(u"results"_s));
    f.write(u"results/out.txt"_s, kOldFile);
    fillList(f.form.resultList, {u"a"_s, u"b"_s, u"c"_s});
    {
        velmora::test::host::WriteProtection protection(f.host(protect));
        if (!protection.applied()) {
            // Neither the bits nor the attribute can stop this user here: the platform's
            // file creation refuses instead, as it would.
            f.fake().createTextFileHook =
                [](const QString&) -> std::unique_ptr<velmora::TextFileWriter> {
                throw Failure::permissionDenied();
            };
        }
        f.save(u"results/out.txt"_s);
    }
    // The creation is refused; the writes and the closing then have no file to go to.
    QCOMPARE(descriptions(f.fake().boxes),
             QStringList{Failure::permissionDenied().description()} +
                 QStringList(5, Failure::objectRequired().description()));
    QCOMPARE(reportedLines(f.fake().boxes, velmora::output::kSaveAlignedTextLocation),
             (QList<int>{156, 170, 222, 222, 222, 232}));
    QCOMPARE(f.contents(u"results/out.txt"_s), kOldFile);
    QCOMPARE(f.files(u"results"_s), QStringList{u"out.txt"_s});
    f.verifyAtRest();

    f.fake().createTextFileHook = nullptr;
    f.fake().boxes.clear();
    f.save(u"results/out.txt"_s);
    QCOMPARE(f.contents(u"results/out.txt"_s),
             QByteArray("Results\t\r\na      \t\r\nb      \t\r\nc      \t\r\n"));
    QVERIFY(f.fake().boxes.empty());
}

// The disk fills up part of the way through: every line from there on is refused with a
// box of its own, then the closing; the file that was there stays, the half-written one
// goes, and so the room it took comes back for the next save.
void FaultsTest::diskFillsUpDuringTheSave()
{
    Fixture f;
    const velmora::test::host::SmallDisk disk(f.dir.path(), 64);
    const QString folder = disk.available() ? disk.folder() : f.host(u"disk"_s);
    if (!disk.available()) {
        QVERIFY(QDir().mkpath(folder));
        f.fake().createTextFileHook = [&](const QString& path) {
            return std::make_unique<FillingWriter>(f.fake().real().createTextFile(path), 1000);
        };
    }
    const QString target = folder + u"/out.txt"_s;
    const auto save = [&] {
        f.fake().saveAnswers.append(velmora::toWindowsPath(target));
        f.form.saveResults();
    };
    writeTestFile(target, kOldFile);
    constexpr int kRows = 2000; // 2000 lines of 40 bytes: more than the 64 KiB disk holds
    for (int r = 1; r <= kRows; ++r)
        f.form.resultList->items().add(u"row %1 "_s.arg(r, 4, 10, QChar(u'0')) + QString(28, u'x'));

    save();

    const QList<int> lines =
        reportedLines(f.fake().boxes, velmora::output::kSaveAlignedTextLocation);
    QVERIFY2(lines.size() > 2 && lines.size() < kRows, qPrintable(u"%1 boxes"_s.arg(lines.size())));
    QCOMPARE(lines.last(), 232);
    QCOMPARE(lines.count(222), lines.size() - 1);
    const QStringList shown = descriptions(f.fake().boxes);
    QCOMPARE(shown, QStringList(shown.size(), Failure::diskFull().description()));
    QCOMPARE(fileContents(target), kOldFile);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{u"out.txt"_s});
    f.verifyAtRest();

    f.form.clearResults();
    fillList(f.form.resultList, {u"fits"_s});
    f.fake().createTextFileHook = nullptr;
    f.fake().boxes.clear();
    save();
    QCOMPARE(fileContents(target), QByteArray("Results\t\r\nfits   \t\r\n"));
    QVERIFY(f.fake().boxes.empty());
}

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
