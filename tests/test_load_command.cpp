#include "app/error_report.h"
#include "app/runtime_failure.h"
#include "fake_platform.h"
#include "input/file_helpers.h"
#include "test_helpers.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::Form1;
using velmora::MousePointer;
using velmora::MsgBoxIcon;
using velmora::test::FakePlatform;
using velmora::test::FakePlatformScope;
using velmora::test::fillList;
using velmora::test::itemTexts;
using velmora::test::windowsPathIn;
namespace Failure = velmora::Failure;
namespace Location = velmora::Location;

namespace {

const QChar kNul(u'\0');

// The main window after start-up, on the fake platform, with a folder for its files.
struct Fixture
{
    FakePlatformScope scope;
    Form1 form;
    QTemporaryDir dir;

    Fixture() { form.Form_Load(); }
    FakePlatform& fake() { return scope.fake; }

    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return windowsPathIn(dir, name);
    }
    QString folder() const { return velmora::toWindowsPath(dir.path()); }

    // Picks the files in the dialog (names inside the folder, in the order given) and runs
    // the command.
    void load(const QStringList& names)
    {
        fake().openAnswers.append(names.size() == 1 ? windowsPathIn(dir, names.front())
                                                    : (QStringList{folder()} + names).join(kNul));
        form.PushButton3_Click();
    }
};

// Files that exist only in the fake platform, by exact Windows-form path; every path the
// command asks about is recorded.
void serveFiles(FakePlatform& fake, const QMap<QString, QByteArray>& files, QStringList& asked)
{
    fake.modificationTimeReadableHook = [&files, &asked](const QString& path) {
        asked.append(path);
        return files.contains(path);
    };
    fake.fileLengthHook = [&files](const QString& path) { return files.value(path).size(); };
    fake.readWholeFileHook = [&files](const QString& path) { return files.value(path); };
}

} // namespace

class LoadCommandTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dialogSetUpAndCancel();
    void linesBecomeItems_data();
    void linesBecomeItems();
    void severalFilesInDialogOrder();
    void chosenPaths_data();
    void chosenPaths();
    void fileDeletedBeforeItsTurn();
    void failureIsReportedAndNextFileLoads_data();
    void failureIsReportedAndNextFileLoads();
    void busyOnlyWhileLoading();
};

void LoadCommandTest::dialogSetUpAndCancel()
{
    Fixture f;
    fillList(f.form.ListView1, {u"kept"_s, u"too"_s});
    fillList(f.form.ListView2, {u"result"_s});
    f.form.PushButton3_Click(); // no answer scripted: the user cancels

    QCOMPARE(f.fake().openRequests.size(), std::size_t(1));
    const velmora::FileDialogRequest& asked = f.fake().openRequests.front();
    QCOMPARE(asked.fileName, QString());
    QCOMPARE(asked.flags, 2621953);
    QCOMPARE(asked.title, u"Load List(s) - Hold Ctrl to select multiple list files"_s);
    QCOMPARE(asked.filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_s);

    QCOMPARE(itemTexts(f.form.ListView1), (QStringList{u"kept"_s, u"too"_s}));
    QCOMPARE(itemTexts(f.form.ListView2), QStringList{u"result"_s});
    QCOMPARE(f.form.mousePointer(), MousePointer::Default);
    QVERIFY(f.fake().boxes.empty());
}

void LoadCommandTest::linesBecomeItems_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("blank and space-only lines skipped, tab-only kept")
        << QByteArray("a\n\n   \n\t\n") << QStringList{u"a"_s, u"\t"_s};
    QTest::newRow("surrounding spaces kept") << QByteArray("  x  \n") << QStringList{u"  x  "_s};
    QTest::newRow("no-break space is not blank")
        << QByteArray("\xa0\n") << QStringList{u"\u00A0"_s};
    QTest::newRow("CR LF and LF alike, trailing LF adds nothing")
        << QByteArray("x\r\ny\nz\r\n") << QStringList{u"x"_s, u"y"_s, u"z"_s};
    QTest::newRow("no final line break") << QByteArray("x\ny") << QStringList{u"x"_s, u"y"_s};
    QTest::newRow("CR-only line ends run together")
        << QByteArray("one\rtwo\rthree\r") << QStringList{u"onetwothree"_s};
    QTest::newRow("duplicates and case variants all kept")
        << QByteArray("a\nA\na\n") << QStringList{u"a"_s, u"A"_s, u"a"_s};
    QTest::newRow("nothing but blank lines") << QByteArray(" \n\n  \r\n") << QStringList{};
    QTest::newRow("zero-length file") << QByteArray() << QStringList{u"empty file"_s};
    QTest::newRow("UTF-16: first item starts with the mark")
        << QByteArray::fromHex("fffe61000d000a006200") << QStringList{u"\uFEFFa"_s, u"b"_s};
    QTest::newRow("UTF-16: a line of only the mark is kept")
        << QByteArray::fromHex("fffe0a002000") << QStringList{u"\uFEFF"_s};
}

void LoadCommandTest::linesBecomeItems()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, items);
    Fixture f;
    fillList(f.form.ListView1, {u"old"_s});
    f.write(u"list.txt"_s, bytes);
    f.load({u"list.txt"_s});
    QCOMPARE(itemTexts(f.form.ListView1), items);
    QVERIFY(f.fake().boxes.empty());
}

void LoadCommandTest::severalFilesInDialogOrder()
{
    Fixture f;
    fillList(f.form.ListView1, {u"old"_s});
    f.write(u"a.txt"_s, "a1\na2\n");
    f.write(u"b.txt"_s, "b1\r\n");
    f.write(u"c.txt"_s, "");
    f.load({u"b.txt"_s, u"c.txt"_s, u"a.txt"_s});
    QCOMPARE(itemTexts(f.form.ListView1),
             (QStringList{u"b1"_s, u"empty file"_s, u"a1"_s, u"a2"_s}));
    QVERIFY(f.fake().boxes.empty());
}

void LoadCommandTest::chosenPaths_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("drive root: one backslash after the drive")
        << uR"(C:\)"_s + kNul + u"a.txt"_s + kNul + u"b.txt"_s
        << QStringList{uR"(C:\a.txt)"_s, uR"(C:\b.txt)"_s};
    QTest::newRow("ordinary folder") << uR"(C:\dir)"_s + kNul + u"a.txt"_s + kNul + u"b.txt"_s
                                     << QStringList{uR"(C:\dir\a.txt)"_s, uR"(C:\dir\b.txt)"_s};
    QTest::newRow("network folder keeps its two leading backslashes")
        << uR"(\\srv\share)"_s + kNul + u"a.txt"_s + kNul + u"b.txt"_s
        << QStringList{uR"(\\srv\share\a.txt)"_s, uR"(\\srv\share\b.txt)"_s};
    QTest::newRow("one file: its path as it stands")
        << uR"(C:\dir\\a.txt)"_s << QStringList{uR"(C:\dir\\a.txt)"_s};
}

void LoadCommandTest::chosenPaths()
{
    QFETCH(QString, answer);
    QFETCH(QStringList, opened);
    Fixture f;
    QMap<QString, QByteArray> files; // each holds one line: its own name
    QStringList names;
    for (const QString& path : opened) {
        names.append(velmora::Main::FileNameFromPath(path));
        files.insert(path, names.back().toLatin1());
    }
    QStringList asked;
    serveFiles(f.fake(), files, asked);
    f.fake().openAnswers.append(answer);
    f.form.PushButton3_Click();
    asked.removeDuplicates(); // the command and the reader each test for the file
    QCOMPARE(asked, opened);
    QCOMPARE(itemTexts(f.form.ListView1), names);
    QVERIFY(f.fake().boxes.empty());
}

void LoadCommandTest::fileDeletedBeforeItsTurn()
{
    Fixture f;
    fillList(f.form.ListView1, {u"old"_s});
    f.write(u"a.txt"_s, "a\n");
    const QString doomed = f.write(u"b.txt"_s, "b\n");
    f.write(u"c.txt"_s, "c\n");
    f.fake().readWholeFileHook = [&](const QString& path) {
        if (path.endsWith(u"a.txt"_s))
            QFile::remove(velmora::toHostPath(doomed));
        return f.fake().real().readWholeFile(path);
    };
    f.load({u"a.txt"_s, u"b.txt"_s, u"c.txt"_s});

    QCOMPARE(itemTexts(f.form.ListView1), (QStringList{u"a"_s, u"c"_s}));
    QCOMPARE(f.fake().boxes.size(), std::size_t(1));
    QCOMPARE(f.fake().boxes[0].text, u"File not found"_s);
    QCOMPARE(f.fake().boxes[0].icon, MsgBoxIcon::None);
    QCOMPARE(f.fake().boxes[0].title, f.fake().appTitle());
    QCOMPARE(f.form.mousePointer(), MousePointer::Default);
}

enum class Breakage
{
    ReadRefused, // the file is there, reading it is not allowed
    Folder       // a folder carries the chosen name
};

void LoadCommandTest::failureIsReportedAndNextFileLoads_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<Breakage>("breakage");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("line");
    QTest::addColumn<QStringList>("items");
    const QString refused = Failure::permissionDenied().description();
    const QString notAFile = Failure::pathFileAccessError().description();
    QTest::newRow("only file refused: line 120")
        << QStringList{u"bad.txt"_s} << Breakage::ReadRefused << refused << 120 << QStringList{};
    QTest::newRow("second of three refused: line 126, the third still loads")
        << QStringList{u"a.txt"_s, u"bad.txt"_s, u"c.txt"_s} << Breakage::ReadRefused << refused
        << 126 << QStringList{u"a"_s, u"c"_s};
    QTest::newRow("a folder among the files")
        << QStringList{u"bad.txt"_s, u"c.txt"_s} << Breakage::Folder << notAFile << 126
        << QStringList{u"c"_s};
}

void LoadCommandTest::failureIsReportedAndNextFileLoads()
{
    QFETCH(QStringList, chosen);
    QFETCH(Breakage, breakage);
    QFETCH(QString, failure);
    QFETCH(int, line);
    QFETCH(QStringList, items);
    Fixture f;
    fillList(f.form.ListView1, {u"old"_s});
    f.write(u"a.txt"_s, "a\n");
    f.write(u"c.txt"_s, "c\n");
    if (breakage == Breakage::Folder) {
        QVERIFY(QDir(f.dir.path()).mkdir(u"bad.txt"_s));
    } else {
        f.write(u"bad.txt"_s, "never read\n");
        f.fake().readWholeFileHook = [&](const QString& path) {
            if (path.endsWith(u"bad.txt"_s))
                throw Failure::permissionDenied();
            return f.fake().real().readWholeFile(path);
        };
    }
    f.load(chosen);

    QCOMPARE(itemTexts(f.form.ListView1), items);
    QCOMPARE(f.fake().boxes.size(), std::size_t(1));
    QCOMPARE(f.fake().boxes[0].text,
             velmora::errorMessage(failure, Location::PushButton3_Click, line));
    QCOMPARE(f.fake().boxes[0].title, u"Application Error"_s);
    QCOMPARE(f.fake().boxes[0].icon, MsgBoxIcon::Exclamation);
    QCOMPARE(f.form.mousePointer(), MousePointer::Default);
}

void LoadCommandTest::busyOnlyWhileLoading()
{
    Fixture f;
    f.write(u"a.txt"_s, "a\n");
    f.write(u"b.txt"_s, "b\n");
    QList<bool> busyWhileReading;
    f.fake().readWholeFileHook = [&](const QString& path) {
        busyWhileReading.append(f.form.isBusy());
        return f.fake().real().readWholeFile(path);
    };
    // The command does not look at the pointer first: it loads even when it shows busy.
    f.form.setMousePointer(MousePointer::Hourglass);
    f.load({u"a.txt"_s, u"b.txt"_s});
    QCOMPARE(busyWhileReading, (QList<bool>{true, true}));
    QCOMPARE(f.form.mousePointer(), MousePointer::Default);
    QCOMPARE(itemTexts(f.form.ListView1), (QStringList{u"a"_s, u"b"_s}));
}

QTEST_MAIN(LoadCommandTest)
#include "test_load_command.moc"
