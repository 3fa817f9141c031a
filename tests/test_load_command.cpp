#include "core/errors/runtime_failure.h"
#include "core/input/file_helpers.h"
#include "core/platform/windows_paths.h"
#include "fake_platform.h"
#include "gui/window/handler_locations.h"
#include "test_helpers.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTest>

#include <utility>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

namespace {

const QChar kNul(u'\0');

// The window with an earlier item in the input list.
struct Fixture : velmora::test::WindowWithFolder
{
    Fixture() { fillList(form.inputList, {u"old"_s}); }

    // Reading a file whose path ends with `name` first runs `action`.
    void beforeReading(const QString& name, std::function<void()> action)
    {
        fake().readWholeFileHook = [this, name, action = std::move(action)](const QString& path) {
            if (path.endsWith(name))
                action();
            return fake().real().readWholeFile(path);
        };
    }
};

} // namespace

class LoadCommandTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dialogSetUpAndCancel()
    {
        Fixture f;
        fillList(f.form.resultList, {u"result"_s});
        f.form.loadTextFromFile(); // no answer scripted: the user cancels

        QCOMPARE(f.fake().openRequests.size(), std::size_t(1));
        const FileDialogRequest& asked = f.fake().openRequests.front();
        QCOMPARE(asked.fileName, QString());
        QCOMPARE(asked.flags, 2621953);
        QCOMPARE(asked.title, u"Load List(s) - Hold Ctrl to select multiple list files"_s);
        QCOMPARE(asked.filter, u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"_s);
        QCOMPARE(itemTexts(f.form.inputList), QStringList{u"old"_s});
        QCOMPARE(itemTexts(f.form.resultList), QStringList{u"result"_s});
        QCOMPARE(f.form.mousePointer(), MousePointer::Default);
        QVERIFY(f.fake().boxes.empty());
    }

    void linesBecomeItems_data()
    {
        QTest::addColumn<QByteArrayList>("files"); // chosen in this order, named z, y, x...
        QTest::addColumn<QStringList>("items");
        QTest::newRow("blank and space-only lines skipped; tabs and surrounding spaces kept")
            << QByteArrayList{"a\n\n   \n\t\n  x  \n"} << QStringList{u"a"_s, u"\t"_s, u"  x  "_s};
        QTest::newRow("no-break space is not blank")
            << QByteArrayList{"\xa0\n"} << QStringList{u"\u00A0"_s};
        QTest::newRow("CR LF and LF alike, trailing LF adds nothing")
            << QByteArrayList{"x\r\ny\nz\r\n"} << QStringList{u"x"_s, u"y"_s, u"z"_s};
        QTest::newRow("no final line break")
            << QByteArrayList{"x\ny"} << QStringList{u"x"_s, u"y"_s};
        QTest::newRow("duplicates and case variants all kept")
            << QByteArrayList{"a\nA\na\n"} << QStringList{u"a"_s, u"A"_s, u"a"_s};
        QTest::newRow("nothing but blank lines") << QByteArrayList{" \n\n  \r\n"} << QStringList{};
        QTest::newRow("every CR dropped: lines cut by CRs alone run together")
            << QByteArrayList{"a\rb\r\nc\r\rd\n \r \r\n\r\ne\r"}
            << QStringList{u"ab"_s, u"cd"_s, u"e"_s};
        // Big enough to be cut in two halves on two threads, with CR LF, CRs inside lines
        // and blank lines throughout: the items are those of the plain reading.
        QByteArray big;
        for (int i = 0; i < 30000; ++i)
            big += QByteArray::number(i) + (i % 7 == 0   ? "\r\r\n"
                                            : i % 5 == 0 ? "\r.\n  \n"
                                                         : "\r\n");
        const auto plainReading = [](const QByteArray& bytes) {
            QStringList plain = QString::fromLatin1(bytes).remove(u'\r').split(u'\n');
            plain.removeIf([](const QString& line) { return line.count(u' ') == line.size(); });
            return plain;
        };
        QTest::newRow("a big file cut in two at a line end")
            << QByteArrayList{big} << plainReading(big);
        // The halves look for CRs each on its own; one half's CRs are the whole file's. The
        // middle lies within the other kind of lines.
        const auto halves = [](const char* front, int frontLines, const char* back) {
            QByteArray bytes;
            for (int i = 0; i < 40000; ++i)
                bytes += QByteArray::number(i) + (i < frontLines ? front : back);
            return bytes;
        };
        for (const auto& [tag, bytes] :
             {std::pair{"CRs in the back half only", halves("\n", 30000, "\r\n")},
              std::pair{"CRs in the front half only", halves("\r\r\n", 10000, "\n")},
              std::pair{"a half of blank lines", halves("\n \n\n", 20000, "\n")}})
            QTest::newRow(tag) << QByteArrayList{bytes} << plainReading(bytes);
        QTest::newRow("UTF-16: a line of only the mark is kept")
            << QByteArrayList{QByteArray::fromHex("fffe0a002000")} << QStringList{u"\uFEFF"_s};
        QTest::newRow("several files in the dialog's order, an empty one among them")
            << QByteArrayList{"b1\r\n", "", "a1\na2\n"}
            << QStringList{u"b1"_s, u"empty file"_s, u"a1"_s, u"a2"_s};
    }
    void linesBecomeItems()
    {
        QFETCH(QByteArrayList, files);
        QFETCH(QStringList, items);
        Fixture f;
        QStringList names;
        for (const QByteArray& bytes : files) {
            names.append(QChar(char16_t(u'z' - names.size())) + u".txt"_s);
            f.write(names.back(), bytes);
        }
        int readsWhileIdle = 0;
        f.beforeReading(u".txt"_s, [&] { readsWhileIdle += f.form.isBusy() ? 0 : 1; });
        f.load(names);
        QCOMPARE(itemTexts(f.form.inputList), items);
        QVERIFY(f.fake().boxes.empty());
        QCOMPARE(readsWhileIdle, 0);
        QCOMPARE(f.form.mousePointer(), MousePointer::Default);
    }

    void chosenPaths_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("opened");
        const QString two = kNul + u"a.txt"_s + kNul + u"b.txt"_s;
        QTest::newRow("drive root: one backslash after the drive")
            << uR"(C:\)"_s + two << QStringList{uR"(C:\a.txt)"_s, uR"(C:\b.txt)"_s};
        QTest::newRow("network folder keeps its two leading backslashes")
            << uR"(\\srv\share)"_s + two
            << QStringList{uR"(\\srv\share\a.txt)"_s, uR"(\\srv\share\b.txt)"_s};
        QTest::newRow("one file: its path as it stands")
            << uR"(C:\dir\\a.txt)"_s << QStringList{uR"(C:\dir\\a.txt)"_s};
    }
    // The files exist only in the fake platform, by exact path; each holds its own name.
    void chosenPaths()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, opened);
        Fixture f;
        QMap<QString, QByteArray> files;
        QStringList names;
        for (const QString& path : opened) {
            names.append(fileNameFromPath(path));
            files.insert(path, names.back().toLatin1());
        }
        QStringList asked;
        f.fake().modificationTimeReadableHook = [&](const QString& path) {
            asked.append(path);
            return files.contains(path);
        };
        f.fake().fileLengthHook = [&](const QString& path) { return files.value(path).size(); };
        f.fake().readWholeFileHook = [&](const QString& path) { return files.value(path); };
        f.fake().openAnswers.append(answer);
        f.form.loadTextFromFile();
        asked.removeDuplicates(); // the command and the reader each test for the file
        QCOMPARE(asked, opened);
        QCOMPARE(itemTexts(f.form.inputList), names);
        QVERIFY(f.fake().boxes.empty());
    }

    // bad.txt is chosen with other files; the others still load.
    void badFileIsReportedAndTheOthersLoad_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QString>("box"); // its text; an error box unless "File not found"
        QTest::addColumn<QStringList>("items");
        const auto error = [](const RuntimeFailure& failure, int line) {
            return errorMessage(failure.description(), Location::loadTextFromFile, line);
        };
        QTest::newRow("deleted before its turn: the plain message")
            << u"deleted"_s << QStringList{u"a.txt"_s, u"bad.txt"_s, u"c.txt"_s}
            << u"File not found"_s << QStringList{u"a"_s, u"c"_s};
        QTest::newRow("the only file, refused: line 120")
            << u"refused"_s << QStringList{u"bad.txt"_s} << error(Failure::permissionDenied(), 120)
            << QStringList{};
        QTest::newRow("a folder among the files: line 126")
            << u"folder"_s << QStringList{u"bad.txt"_s, u"c.txt"_s}
            << error(Failure::pathFileAccessError(), 126) << QStringList{u"c"_s};
    }
    void badFileIsReportedAndTheOthersLoad()
    {
        QFETCH(QString, trouble);
        QFETCH(QStringList, chosen);
        QFETCH(QString, box);
        QFETCH(QStringList, items);
        Fixture f;
        f.write(u"a.txt"_s, "a\n");
        f.write(u"c.txt"_s, "c\n");
        if (trouble == u"folder"_s)
            QVERIFY(QDir(f.dir.path()).mkdir(u"bad.txt"_s));
        else
            f.write(u"bad.txt"_s, "bad\n");
        if (trouble == u"deleted"_s)
            f.beforeReading(u"a.txt"_s, [&] { QFile::remove(f.dir.filePath(u"bad.txt"_s)); });
        if (trouble == u"refused"_s)
            f.beforeReading(u"bad.txt"_s, [] { throw Failure::permissionDenied(); });
        f.load(chosen);

        QCOMPARE(itemTexts(f.form.inputList), items);
        QCOMPARE(f.fake().boxes.size(), std::size_t(1));
        QCOMPARE(f.fake().boxes[0].text, box);
        const bool plain = trouble == u"deleted"_s;
        QCOMPARE(f.fake().boxes[0].title, plain ? u"Velmora"_s : u"Application Error"_s);
        QCOMPARE(f.fake().boxes[0].icon, plain ? MsgBoxIcon::None : MsgBoxIcon::Exclamation);
        QCOMPARE(f.form.mousePointer(), MousePointer::Default);
    }

    // The command does not look at the pointer first: it loads even when it shows busy.
    void loadsWhileBusyAndEndsIdle()
    {
        Fixture f;
        f.write(u"a.txt"_s, "a\n");
        f.form.setMousePointer(MousePointer::Hourglass);
        f.load({u"a.txt"_s});
        QCOMPARE(itemTexts(f.form.inputList), QStringList{u"a"_s});
        QCOMPARE(f.form.mousePointer(), MousePointer::Default);
    }
};

QTEST_MAIN(LoadCommandTest)
#include "test_load_command.moc"
