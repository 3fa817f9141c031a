#include "app/contact.h"
#include "app/error_report.h"
#include "app/runtime_failure.h"
#include "app/skin_framework.h"
#include "app/startup_helpers.h"
#include "app/twips.h"
#include "fake_platform.h"
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
using velmora::Form1;
using velmora::MousePointer;
using velmora::ProgramEnding;
using velmora::SkinFramework;
using velmora::test::FakePlatformScope;

namespace {

// A button-face colour no style uses for a window background, so a recoloured control
// cannot pass for an untouched one.
const QColor kButtonFace(0xd4, 0xd0, 0xc8);

const QString kSkinSheet = u"QPushButton#PushButton17 { color: rgb(1, 2, 3); }"_s;

// A program folder in a temporary directory, holding the files a test asks for.
struct ProgramFolder
{
    QTemporaryDir dir;

    QString windowsPath() const { return velmora::toWindowsPath(dir.path()); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QDir().mkpath(QFileInfo(dir.filePath(name)).path());
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    void makeFolder(const QString& name) const { QVERIFY(QDir().mkpath(dir.filePath(name))); }
};

// A cursor file: an icon file whose header says "cursor" and whose image entry holds the
// hot spot where an icon's holds planes and bit depth.
QByteArray cursorFile(int hotX, int hotY)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int i = 0; i < 32; ++i)
        image.setPixel(i, i, qRgb(0, 0, 0));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        return {};
    QByteArray bytes = buffer.data();
    bytes[2] = 2;
    bytes[10] = char(hotX);
    bytes[11] = 0;
    bytes[12] = char(hotY);
    bytes[13] = 0;
    return bytes;
}

bool reportsFormLoadLine(const velmora::test::FakePlatform::Box& box, int line)
{
    return box.title == u"Application Error"_s && box.icon == velmora::MsgBoxIcon::Exclamation &&
           box.text.contains(velmora::Location::Form_Load.toString() + u"at line "_s +
                             QString::number(line) + u'\r');
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void appTitleFor_data();
    void appTitleFor();
    void startsWithoutOptionalFiles();
    void skinFile_data();
    void skinFile();
    void skinRecoloursOnlyWindowAndFrameGroup();
    void skinFileFormat_data();
    void skinFileFormat();
    void handPointer_data();
    void handPointer();
    void webSiteOneStartInAHundred_data();
    void webSiteOneStartInAHundred();
    void failingShellIsReportedOnceAndStartupGoesOn();
    void closingTheWindowInsideAYield_data();
    void closingTheWindowInsideAYield();
    void closingTheWindowStopsTheEventLoop();
};

void StartupTest::initTestCase()
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Button, kButtonFace);
    QApplication::setPalette(palette);
}

void StartupTest::appTitleFor_data()
{
    QTest::addColumn<QString>("productName");
    QTest::addColumn<QString>("title");
    const QString a36(36, u'a');
    const QString a37(37, u'a');
    const QString x45(45, u'x');
    QTest::newRow("one word stays") << u"Velmora"_s << u"Velmora"_s;
    QTest::newRow("short name still loses its last word")
        << u"Velmora Sorter Pro"_s << u"Velmora Sorter"_s;
    QTest::newRow("cut again while over 40")
        << u"Velmora Text Sorter for Long Lists of Words Edition"_s
        << u"Velmora Text Sorter for Long Lists of"_s;
    QTest::newRow("exactly 40 after one cut stays")
        << QString(a36 + u" bcd tail"_s) << QString(a36 + u" bcd"_s);
    QTest::newRow("41 after one cut is cut again") << QString(a37 + u" bcd tail"_s) << a37;
    QTest::newRow("long text without spaces left stays long") << QString(x45 + u" tail"_s) << x45;
    QTest::newRow("only the space character counts")
        << u"Velmora\u00a0Sorter\tPro"_s << u"Velmora\u00a0Sorter\tPro"_s;
}

void StartupTest::appTitleFor()
{
    QFETCH(QString, productName);
    QFETCH(QString, title);
    QCOMPARE(velmora::Main::appTitleFor(productName), title);
}

void StartupTest::startsWithoutOptionalFiles()
{
    FakePlatformScope scope;
    ProgramFolder folder;
    scope.fake.programFolderPath = folder.windowsPath();
    scope.fake.setAppTitle(u"stale title"_s);
    Form1 form;
    form.Form_Load();

    QVERIFY(scope.fake.boxes.empty());
    QCOMPARE(form.windowTitle(), u"Velmora"_s);
    QCOMPARE(scope.fake.appTitle(), u"Velmora"_s);
    scope.fake.messageBox(u"untitled box"_s);
    QCOMPARE(scope.fake.boxes.back().title, u"Velmora"_s);
    const QList<QSize> iconSizes = form.windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(16, 16)));
    QVERIFY(iconSizes.contains(QSize(256, 256)));

    QVERIFY(!form.hasMouseIcon());
    QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(form.styleSheet().isEmpty());
    QCOMPARE(scope.fake.randomizeCalls, 1);
    QVERIFY(scope.fake.shellCommands.isEmpty());

    for (auto [list, heading] :
         {std::pair{form.ListView1, u"Input"_s}, std::pair{form.ListView2, u"Results"_s}}) {
        QCOMPARE(list->ColumnHeaders().Count(), 1);
        QCOMPARE(list->ColumnHeaders().Item(1).Text(), heading);
        QCOMPARE(list->ColumnHeaders().Item(1).Width(), 7000);
        QCOMPARE(list->model()->columnCount(), 1);
        QCOMPARE(list->header()->sectionSize(0), velmora::twipsToPixels(7000));
        QVERIFY(list->header()->sectionSize(0) < list->width());
    }
}

void StartupTest::skinFile_data()
{
    QTest::addColumn<QString>("setup"); // what stands at x\o.cjs
    QTest::addColumn<bool>("recoloured");
    QTest::addColumn<QString>("sheet");   // the window's style sheet afterwards
    QTest::addColumn<QString>("failure"); // the error box's description; empty: none
    QTest::newRow("no skin file") << u"none"_s << false << QString() << QString();
    QTest::newRow("skin file") << u"file"_s << true << kSkinSheet << QString();
    QTest::newRow("folder of that name is no skin")
        << u"folder"_s << false << QString() << QString();
    QTest::newRow("malformed skin: colours stay, skin skipped")
        << u"malformed"_s << true << QString() << u"Invalid file format"_s;
    QTest::newRow("unreadable skin: colours stay, skin skipped")
        << u"unreadable"_s << true << QString() << u"Permission denied"_s;
}

void StartupTest::skinFile()
{
    QFETCH(QString, setup);
    QFETCH(bool, recoloured);
    QFETCH(QString, sheet);
    QFETCH(QString, failure);

    FakePlatformScope scope;
    ProgramFolder folder;
    scope.fake.programFolderPath = folder.windowsPath();
    if (setup == u"file"_s || setup == u"unreadable"_s)
        folder.write(u"x/o.cjs"_s, kSkinSheet.toUtf8());
    else if (setup == u"malformed"_s)
        folder.write(u"x/o.cjs"_s, "QWidget { color: red;");
    else if (setup == u"folder"_s)
        folder.makeFolder(u"x/o.cjs"_s);
    if (setup == u"unreadable"_s)
        scope.fake.readWholeFileHook = [](const QString&) -> QByteArray {
            throw velmora::Failure::permissionDenied();
        };

    Form1 form;
    form.Form_Load();

    if (failure.isEmpty()) {
        QVERIFY(scope.fake.boxes.empty());
    } else {
        QCOMPARE(scope.fake.boxes.size(), 1u);
        QCOMPARE(scope.fake.boxes[0].text,
                 velmora::errorMessage(failure, velmora::Location::Form_Load, 100));
    }
    const QColor background = recoloured ? kButtonFace : QColor(Qt::white);
    QCOMPARE(form.palette().color(QPalette::Window), background);
    QCOMPARE(form.Frame1->palette().color(QPalette::Window), background);
    if (recoloured) {
        for (QWidget* widget : std::initializer_list<QWidget*>{&form, form.Frame1, form.Option1,
                                                               form.Option2, form.Check5}) {
            QCOMPARE(widget->palette().color(widget->backgroundRole()), kButtonFace);
            QVERIFY(widget->autoFillBackground());
        }
    }
    QCOMPARE(form.styleSheet(), sheet);
    if (!sheet.isEmpty()) {
        // The skin reaches the controls through the window.
        form.PushButton17->ensurePolished();
        QCOMPARE(form.PushButton17->palette().color(QPalette::ButtonText), QColor(1, 2, 3));
    }
    auto* skin = form.findChild<SkinFramework*>(u"SkinFramework1"_s);
    QVERIFY(skin);
    const bool skinRanToTheEnd = !sheet.isEmpty();
    QCOMPARE(skin->Options() & 1, skinRanToTheEnd ? 1 : 0);
    QCOMPARE(skin->switch5, skinRanToTheEnd);
    QCOMPARE(skin->switch10, skinRanToTheEnd);

    // A failing skin skips only the rest of the skin.
    QCOMPARE(form.windowTitle(), u"Velmora"_s);
    QVERIFY(!form.windowIcon().isNull());
    QCOMPARE(form.ListView2->ColumnHeaders().Count(), 1);
}

void StartupTest::skinRecoloursOnlyWindowAndFrameGroup()
{
    // The same window with and without an (empty) skin: only the window and the frame group
    // may look different.
    auto loadedForm = [](bool withSkin) {
        FakePlatformScope scope;
        ProgramFolder folder;
        scope.fake.programFolderPath = folder.windowsPath();
        if (withSkin)
            folder.write(u"x/o.cjs"_s, QByteArray());
        auto form = std::make_unique<Form1>();
        form->Form_Load();
        return form;
    };
    const auto plain = loadedForm(false);
    const auto skinned = loadedForm(true);
    QCOMPARE(skinned->palette().color(QPalette::Window), kButtonFace);

    const QStringList untouched = {u"ListView1"_s,    u"ListView2"_s,   u"PushButton3"_s,
                                   u"PushButton17"_s, u"PushButton6"_s, u"ProgressBar1"_s};
    for (const QString& name : untouched) {
        const QImage before = plain->findChild<QWidget*>(name)->grab().toImage();
        const QImage after = skinned->findChild<QWidget*>(name)->grab().toImage();
        QVERIFY2(before == after, qPrintable(name));
    }
    QVERIFY(plain->Frame1->grab().toImage() != skinned->Frame1->grab().toImage());
}

void StartupTest::skinFileFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QString>("sheet");
    QTest::newRow("one rule") << QByteArray("QWidget { color: red; }") << true
                              << u"QWidget { color: red; }"_s;
    QTest::newRow("byte-order mark dropped")
        << QByteArray("\xEF\xBB\xBFQLabel { }") << true << u"QLabel { }"_s;
    QTest::newRow("brace in a comment")
        << QByteArray("/* { */ QLabel { }") << true << u"/* { */ QLabel { }"_s;
    QTest::newRow("brace in a string") << QByteArray("QLabel { qproperty-text: \"}\"; }") << true
                                       << u"QLabel { qproperty-text: \"}\"; }"_s;
    QTest::newRow("unclosed rule") << QByteArray("QLabel { color: red;") << false << QString();
    QTest::newRow("unclosed comment") << QByteArray("QLabel { } /* note") << false << QString();
    QTest::newRow("unclosed string")
        << QByteArray("QLabel { font-family: \"Arial; }") << false << QString();
    QTest::newRow("not UTF-8") << QByteArray("QLabel { } /* \xE9t\xE9 */") << false << QString();
    QTest::newRow("binary with NUL") << QByteArray("QLabel\0{ }", 10) << false << QString();
}

void StartupTest::skinFileFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QFETCH(QString, sheet);
    FakePlatformScope scope;
    ProgramFolder folder;
    folder.write(u"good.cjs"_s, "QFrame { }");
    folder.write(u"o.cjs"_s, bytes);

    SkinFramework skin;
    skin.LoadSkin(velmora::test::windowsPathIn(folder.dir, u"good.cjs"_s), QString());
    const QString path = velmora::test::windowsPathIn(folder.dir, u"o.cjs"_s);
    if (loads) {
        skin.LoadSkin(path, QString());
        QCOMPARE(skin.styleSheet(), sheet);
    } else {
        QVERIFY_THROWS_EXCEPTION(velmora::RuntimeFailure, skin.LoadSkin(path, QString()));
        QCOMPARE(skin.styleSheet(), u"QFrame { }"_s); // the skin loaded before stays
    }
}

void StartupTest::handPointer_data()
{
    QTest::addColumn<QString>("setup"); // what stands at HAND-M.CUR
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QPoint>("hotSpot");
    QTest::newRow("no file: silent, no image") << u"none"_s << false << QPoint();
    QTest::newRow("cursor with its hot spot") << u"cursor"_s << true << QPoint(5, 3);
    QTest::newRow("text file: box at 108") << u"text"_s << false << QPoint();
    QTest::newRow("cursor header, broken image: box at 108") << u"truncated"_s << false << QPoint();
    QTest::newRow("folder of that name: box at 108") << u"folder"_s << false << QPoint();
}

void StartupTest::handPointer()
{
    QFETCH(QString, setup);
    QFETCH(bool, loaded);
    QFETCH(QPoint, hotSpot);
    FakePlatformScope scope;
    ProgramFolder folder;
    scope.fake.programFolderPath = folder.windowsPath();
    const QString name = u"HAND-M.CUR"_s;
    if (setup == u"cursor"_s)
        folder.write(name, cursorFile(5, 3));
    else if (setup == u"text"_s)
        folder.write(name, "not a picture\r\n");
    else if (setup == u"truncated"_s)
        folder.write(name, cursorFile(5, 3).left(60));
    else if (setup == u"folder"_s)
        folder.makeFolder(name);

    Form1 form;
    form.Form_Load();

    QCOMPARE(form.hasMouseIcon(), loaded);
    const bool silent = loaded || setup == u"none"_s;
    if (silent) {
        QVERIFY(scope.fake.boxes.empty());
    } else {
        QCOMPARE(scope.fake.boxes.size(), 1u);
        QVERIFY2(reportsFormLoadLine(scope.fake.boxes[0], 108),
                 qPrintable(scope.fake.boxes[0].text));
    }
    form.setMousePointer(MousePointer::Custom);
    if (loaded) {
        QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(form.cursor().pixmap().size(), QSize(32, 32));
        QCOMPARE(form.cursor().hotSpot(), hotSpot);
    } else {
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    }
    QCOMPARE(form.ListView1->ColumnHeaders().Count(), 1); // start-up went on
}

void StartupTest::webSiteOneStartInAHundred_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("k");
    QTest::newRow("0.06 draws 7") << 0.06 << 7;
    QTest::newRow("0.0699 draws 7") << 0.0699 << 7;
    QTest::newRow("0.07 draws 8") << 0.07 << 8;
    QTest::newRow("0.05 draws 6") << 0.05 << 6;
    QTest::newRow("just below 1 draws 100") << 0.99999 << 100;
}

void StartupTest::webSiteOneStartInAHundred()
{
    QFETCH(double, r);
    QFETCH(int, k);
    QCOMPARE(velmora::Main::webSiteDraw(r), k);

    FakePlatformScope scope;
    scope.fake.rndValues = {r};
    velmora::Main::OpenWebSiteAtRandom();
    QCOMPARE(scope.fake.randomizeCalls, 1);
    if (k == 7) {
        QCOMPARE(scope.fake.shellCommands,
                 QStringList{u"explorer \"https://www.velmora.example/\""_s});
        QCOMPARE(scope.fake.shellWindowStyles, std::vector<int>{2});
    } else {
        QVERIFY(scope.fake.shellCommands.isEmpty());
    }
}

void StartupTest::failingShellIsReportedOnceAndStartupGoesOn()
{
    FakePlatformScope scope;
    ProgramFolder folder;
    folder.write(u"HAND-M.CUR"_s, cursorFile(1, 1));
    scope.fake.programFolderPath = folder.windowsPath();
    scope.fake.rndValues = {0.06};
    scope.fake.shellFails = true;
    Form1 form;
    // The site opens after the pointer step and before the columns.
    bool pointerLoadedFirst = false;
    int columnsBefore = -1;
    scope.fake.onMessageBox = [&](const auto&) {
        pointerLoadedFirst = form.hasMouseIcon();
        columnsBefore = form.ListView1->ColumnHeaders().Count();
    };
    form.Form_Load();

    QCOMPARE(scope.fake.shellCommands.size(), 1);
    QCOMPARE(scope.fake.boxes.size(), 1u);
    QCOMPARE(scope.fake.boxes[0].text,
             velmora::errorMessage(velmora::Failure::fileNotFound().description(),
                                   velmora::Location::Form_Load, 110));
    QVERIFY(pointerLoadedFirst);
    QCOMPARE(columnsBefore, 0);
    QCOMPARE(form.ListView1->ColumnHeaders().Count(), 1);
    QCOMPARE(form.ListView2->ColumnHeaders().Item(1).Width(), 7000);
}

void StartupTest::closingTheWindowInsideAYield_data()
{
    QTest::addColumn<bool>("throughButton");
    QTest::addColumn<bool>("nested");
    QTest::newRow("sort called directly: ProgramEnding leaves it") << false << false;
    QTest::newRow("sort from its button: stops at the handler edge") << true << false;
    QTest::newRow("second sort started in the first one's yield") << true << true;
}

void StartupTest::closingTheWindowInsideAYield()
{
    QFETCH(bool, throughButton);
    QFETCH(bool, nested);
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    velmora::test::fillList(form.ListView1, {u"d"_s, u"c"_s, u"b"_s, u"a"_s});
    velmora::test::fillList(form.ListView2, {u"earlier result"_s});

    // Yield 1 of the first sort starts a second one, whose first yield is yield 2.
    if (nested)
        scope.fake.atYield[1] = [&] { form.PushButton17->click(); };
    scope.fake.atYield[2] = [&] { form.close(); };

    if (throughButton)
        form.PushButton17->click(); // an escaping exception would fail the test here
    else
        QVERIFY_THROWS_EXCEPTION(ProgramEnding, form.PushButton17_Click());

    QVERIFY(scope.fake.programEnding());
    QCOMPARE(scope.fake.yields, 2); // no yield after the end
    QVERIFY(scope.fake.boxes.empty());
    // No step after the yield ran: the results were not replaced and the pointer was not
    // reset.
    QCOMPARE(velmora::test::itemTexts(form.ListView2), QStringList{u"earlier result"_s});
    QCOMPARE(form.mousePointer(), MousePointer::Hourglass);
}

void StartupTest::closingTheWindowStopsTheEventLoop()
{
    // The whole path with real events: a click starts the sort, the close request waits in
    // the event queue and arrives in the sort's first yield, and the program's event loop
    // ends with the sort abandoned.
    FakePlatformScope scope;
    scope.fake.pumpRealEvents = true;
    Form1 form;
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    velmora::test::fillList(form.ListView1, {u"d"_s, u"c"_s, u"b"_s, u"a"_s});
    velmora::test::fillList(form.ListView2, {u"earlier result"_s});

    QTimer::singleShot(0, form.PushButton17, [&] {
        QTimer::singleShot(0, &form, &QWidget::close);
        QTest::mouseClick(form.PushButton17, Qt::LeftButton);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(10000);
    const int exitCode = QCoreApplication::exec();
    watchdog.stop();

    QCOMPARE(exitCode, 0);
    QVERIFY(!form.isVisible());
    QCOMPARE(scope.fake.yields, 1);
    QVERIFY(scope.fake.boxes.empty());
    QCOMPARE(velmora::test::itemTexts(form.ListView2), QStringList{u"earlier result"_s});
}

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
