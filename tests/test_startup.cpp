#include "core/errors/runtime_failure.h"
#include "fake_platform.h"
#include "gui/controls/twips.h"
#include "gui/window/handler_locations.h"
#include "gui/window/startup_helpers.h"
#include "test_helpers.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImageWriter>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

namespace {

// A button-face colour no style uses for a window background, so a recoloured control
// cannot pass for an untouched one.
const QColor kButtonFace(0xd4, 0xd0, 0xc8);

const QString kSkinSheet = u"QPushButton#PushButton17 { color: rgb(1, 2, 3); }"_s;

// The main window on the fake platform, its program folder a temporary one; start() runs
// the start-up once the test has put its files there.
struct Startup
{
    FakePlatformScope scope;
    QTemporaryDir dir;
    MainWindow form;

    Startup() { scope.fake.programFolderPath = toWindowsPath(dir.path()); }
    FakePlatform& fake() { return scope.fake; }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        writeTestFile(dir.filePath(name), bytes);
    }
    // A file with these bytes, or a folder of that name when the bytes are null.
    void place(const QString& name, const QByteArray& bytes) const
    {
        if (bytes.isNull())
            QVERIFY(QDir().mkpath(dir.filePath(name)));
        else
            write(name, bytes);
    }
    void start() { form.startUp(); }
};

// An icon file whose header says "cursor" and whose image entry holds the hot spot.
QByteArray cursorFile(int hotX, int hotY)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int i = 0; i < 32; ++i)
        image.setPixel(i, i, qRgb(0, 0, 0));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!QImageWriter(&buffer, "ico").write(image))
        return {};
    QByteArray bytes = buffer.data();
    bytes[2] = 2;
    bytes[10] = char(hotX);
    bytes[11] = 0;
    bytes[12] = char(hotY);
    bytes[13] = 0;
    return bytes;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QPalette palette = QApplication::palette();
        palette.setColor(QPalette::Button, kButtonFace);
        QApplication::setPalette(palette);
    }

    void appTitleFor_data()
    {
        QTest::addColumn<QString>("productName");
        QTest::addColumn<QString>("title");
        const QString a36(36, u'a');
        const QString a37(37, u'a');
        QTest::newRow("a short name still loses its last word")
            << u"Velmora Sorter Pro"_s << u"Velmora Sorter"_s;
        QTest::newRow("exactly 40 after one cut stays") << a36 + u" bcd tail"_s << a36 + u" bcd"_s;
        QTest::newRow("41 after one cut is cut again") << a37 + u" bcd tail"_s << a37;
        QTest::newRow("long text without spaces left stays long")
            << QString(45, u'x') + u" tail"_s << QString(45, u'x');
        QTest::newRow("only the space character counts")
            << u"Velmora\u00a0Sorter\tPro"_s << u"Velmora\u00a0Sorter\tPro"_s;
    }
    void appTitleFor()
    {
        QFETCH(QString, productName);
        QFETCH(QString, title);
        QCOMPARE(velmora::appTitleFor(productName), title);
    }

    void startsWithoutOptionalFiles()
    {
        Startup s;
        s.fake().setAppTitle(u"stale title"_s);
        s.start();
        QVERIFY(s.fake().boxes.empty());
        QCOMPARE(s.form.windowTitle(), u"Velmora"_s);
        s.fake().messageBox(u"untitled"_s);
        QCOMPARE(s.fake().boxes.back().title, u"Velmora"_s);
        const QList<QSize> iconSizes = s.form.windowIcon().availableSizes();
        QVERIFY(iconSizes.contains(QSize(16, 16)) && iconSizes.contains(QSize(256, 256)));
        QVERIFY(!s.form.hasMouseIcon());
        QCOMPARE(s.form.palette().color(QPalette::Window), QColor(Qt::white));
        QVERIFY(s.form.styleSheet().isEmpty());
        QVERIFY(s.fake().shellCommands.isEmpty());
        for (ListView* list : {s.form.inputList, s.form.resultList}) {
            QCOMPARE(list->model()->columnCount(), 1);
            QCOMPARE(list->header()->sectionSize(0), twipsToPixels(7000));
        }
    }

    // The skin file beside the program: a null text stands for a folder of that name, and
    // "Permission denied" for a file that cannot be read.
    void skinFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("sheet");   // the window's style sheet afterwards
        QTest::addColumn<QString>("failure"); // the error box's description; empty: none
        const QByteArray rule = kSkinSheet.toUtf8();
        const QString invalid = u"Invalid file format"_s;
        QTest::newRow("skin reaches the controls") << rule << kSkinSheet << QString();
        QTest::newRow("byte-order mark dropped")
            << "\xEF\xBB\xBF" + rule << kSkinSheet << QString();
        QTest::newRow("brace in a comment")
            << "/* { */ " + rule << u"/* { */ "_s + kSkinSheet << QString();
        QTest::newRow("brace in a string")
            << "QLabel { qproperty-text: \"}\"; } " + rule
            << u"QLabel { qproperty-text: \"}\"; } "_s + kSkinSheet << QString();
        QTest::newRow("unclosed rule: colours stay, skin skipped")
            << rule + "QLabel { color: red;" << QString() << invalid;
        QTest::newRow("unclosed comment") << rule + " /* note" << QString() << invalid;
        QTest::newRow("unclosed string")
            << rule + "QLabel { font: \"Arial; }" << QString() << invalid;
        QTest::newRow("not UTF-8") << rule + "/* \xE9t\xE9 */" << QString() << invalid;
        QTest::newRow("binary with NUL") << rule + QByteArray("\0", 1) << QString() << invalid;
        QTest::newRow("unreadable skin: colours stay, skin skipped")
            << rule << QString() << u"Permission denied"_s;
        QTest::newRow("a folder of that name is not a skin")
            << QByteArray() << QString() << QString();
    }
    void skinFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, sheet);
        QFETCH(QString, failure);
        Startup s;
        s.place(u"x/o.cjs"_s, bytes);
        if (failure == Failure::permissionDenied().description())
            s.fake().readWholeFileHook = [](const QString&) -> QByteArray {
                throw Failure::permissionDenied();
            };
        s.start();

        QCOMPARE(s.fake().boxes.size(), failure.isEmpty() ? 0u : 1u);
        if (!failure.isEmpty())
            QCOMPARE(s.fake().boxes[0].text, errorMessage(failure, Location::startUp, 100));
        MainWindow& form = s.form;
        const QColor background = bytes.isNull() ? QColor(Qt::white) : kButtonFace;
        for (QWidget* widget :
             std::initializer_list<QWidget*>{&form, form.optionsFrame, form.sortLinesOption,
                                             form.sortWordsOption, form.counterCheck})
            QCOMPARE(widget->palette().color(widget->backgroundRole()), background);
        QCOMPARE(form.styleSheet(), sheet);
        form.startSortingButton->ensurePolished();
        QCOMPARE(form.startSortingButton->palette().color(QPalette::ButtonText) == QColor(1, 2, 3),
                 !sheet.isEmpty());
        QCOMPARE(form.resultList->columns().count(), 1); // start-up went on
    }

    void skinRecoloursOnlyWindowAndFrameGroup()
    {
        Startup plain;
        plain.start();
        Startup skinned;
        skinned.write(u"x/o.cjs"_s, QByteArray());
        skinned.start();
        QCOMPARE(skinned.form.palette().color(QPalette::Window), kButtonFace);
        for (const QString& name : {u"ListView1"_s, u"ListView2"_s, u"PushButton3"_s,
                                    u"PushButton17"_s, u"PushButton6"_s, u"ProgressBar1"_s}) {
            const QImage before = plain.form.findChild<QWidget*>(name)->grab().toImage();
            const QImage after = skinned.form.findChild<QWidget*>(name)->grab().toImage();
            QVERIFY2(before == after, qPrintable(name));
        }
        QVERIFY(plain.form.optionsFrame->grab().toImage() !=
                skinned.form.optionsFrame->grab().toImage());
    }

    void handPointer_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // of HAND-M.CUR; null: a folder of that name
        QTest::addColumn<bool>("loaded");
        QTest::newRow("cursor with its hot spot") << cursorFile(5, 3) << true;
        QTest::newRow("text file: box at 108") << QByteArray("not a picture\r\n") << false;
        QTest::newRow("cursor header, broken image: box at 108")
            << cursorFile(5, 3).left(60) << false;
        QTest::newRow("folder of that name: box at 108") << QByteArray() << false;
    }
    void handPointer()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, loaded);
        Startup s;
        s.place(u"HAND-M.CUR"_s, bytes);
        s.start();

        QCOMPARE(s.form.hasMouseIcon(), loaded);
        QCOMPARE(reportedLines(s.fake().boxes, Location::startUp),
                 loaded ? QList<int>() : QList<int>{108});
        s.form.setMousePointer(MousePointer::Custom);
        const QCursor cursor = s.form.cursor();
        QCOMPARE(cursor.shape(), loaded ? Qt::BitmapCursor : Qt::ArrowCursor);
        if (loaded) {
            QCOMPARE(cursor.pixmap().size(), QSize(32, 32));
            QCOMPARE(cursor.hotSpot(), QPoint(5, 3));
        }
        QCOMPARE(s.form.inputList->columns().count(), 1); // start-up went on
    }

    void webSiteOneStartInAHundred_data()
    {
        QTest::addColumn<double>("r");
        QTest::addColumn<bool>("opens");
        QTest::newRow("0.05 draws 6") << 0.05 << false;
        QTest::newRow("0.06 draws 7: opens") << 0.06 << true;
        QTest::newRow("0.0699 draws 7: opens") << 0.0699 << true;
        QTest::newRow("0.07 draws 8") << 0.07 << false;
    }
    void webSiteOneStartInAHundred()
    {
        QFETCH(double, r);
        QFETCH(bool, opens);
        FakePlatformScope scope;
        scope.fake.rndValues = {r};
        openWebSiteAtRandom();
        QCOMPARE(scope.fake.randomizeCalls, 1);
        QCOMPARE(scope.fake.shellCommands,
                 opens ? QStringList{u"explorer \"https://www.velmora.example/\""_s}
                       : QStringList());
        QCOMPARE(scope.fake.shellWindowStyles, opens ? std::vector<int>{2} : std::vector<int>());
    }

    // The site opens after the pointer step and before the columns.
    void failingShellIsReportedOnceAndStartupGoesOn()
    {
        Startup s;
        s.write(u"HAND-M.CUR"_s, cursorFile(1, 1));
        s.fake().rndValues = {0.06};
        s.fake().shellFails = true;
        bool pointerLoadedFirst = false;
        int columnsBefore = -1;
        s.fake().onMessageBox = [&](const auto&) {
            pointerLoadedFirst = s.form.hasMouseIcon();
            columnsBefore = s.form.inputList->columns().count();
        };
        s.start();
        QCOMPARE(s.fake().shellCommands.size(), 1);
        QCOMPARE(s.fake().boxes.size(), 1u);
        QCOMPARE(s.fake().boxes[0].text,
                 errorMessage(Failure::fileNotFound().description(), Location::startUp, 110));
        QVERIFY(pointerLoadedFirst);
        QCOMPARE(columnsBefore, 0);
        QCOMPARE(s.form.inputList->columns().count(), 1);
    }

    // With real events: the close request waits in the queue and arrives in the first
    // yield of a sort started by a click; the event loop ends with the sort abandoned.
    void closingTheWindowStopsTheEventLoop()
    {
        FakePlatformScope scope;
        scope.fake.pumpRealEvents = true;
        MainWindow form;
        form.startUp();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        fillList(form.inputList, {u"d"_s, u"c"_s, u"b"_s, u"a"_s});
        fillList(form.resultList, {u"earlier result"_s});
        QTimer::singleShot(0, form.startSortingButton, [&] {
            QTimer::singleShot(0, &form, &QWidget::close);
            QTest::mouseClick(form.startSortingButton, Qt::LeftButton);
        });
        QTimer::singleShot(10000, &form, [] { QCoreApplication::exit(1); }); // watchdog
        QCOMPARE(QCoreApplication::exec(), 0);

        QVERIFY(!form.isVisible());
        QCOMPARE(scope.fake.yields, 1);
        QVERIFY(scope.fake.boxes.empty());
        QCOMPARE(itemTexts(form.resultList), QStringList{u"earlier result"_s});
        QCOMPARE(form.mousePointer(), MousePointer::Hourglass); // no step after the yield
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
