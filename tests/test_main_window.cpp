#include "fake_platform.h"
#include "test_helpers.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::Form1;
using velmora::MousePointer;
using velmora::test::FakePlatformScope;

class MainWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsEmptyAndIdle();
    void controlsHaveTheirNamesAndCaptions_data();
    void controlsHaveTheirNamesAndCaptions();
    void fixedSizeAndFonts();
    void tabVisitsControlsInDesignOrder();
    void arrowsMoveBetweenTheOptions();
    void helpShowsTheContactMessage();
    void hoverPointer_data();
    void hoverPointer();
    void hourglassSurvivesEveryMouseMove();
    void realMouseMovesReachTheRightHandler();
};

void MainWindowTest::startsEmptyAndIdle()
{
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    QCOMPARE(form.ListView1->ListItems().Count(), 0);
    QCOMPARE(form.ListView2->ListItems().Count(), 0);
    QVERIFY(form.Option1->isChecked());
    QVERIFY(!form.Option2->isChecked());
    QCOMPARE(form.Check5->checkState(), Qt::Unchecked);
    QCOMPARE(form.ProgressBar1->Value(), 0.0);
    QCOMPARE(form.ProgressBar1->Text(), u"Progress Bar"_s);
    QCOMPARE(form.mousePointer(), MousePointer::Default);
    QCOMPARE(form.property("MousePointer").toInt(), 0);
    QCOMPARE(form.ListView1->model()->headerData(0, Qt::Horizontal).toString(), u"Input"_s);
    QCOMPARE(form.ListView2->model()->headerData(0, Qt::Horizontal).toString(), u"Results"_s);
    const QString tip = u"Double-click item to remove it. Move | line to right and out of window "
                        u"to reveal full names."_s;
    QCOMPARE(form.ListView1->toolTip(), tip);
    QCOMPARE(form.ListView2->toolTip(), tip);
    QVERIFY(scope.fake.boxes.empty());
}

void MainWindowTest::controlsHaveTheirNamesAndCaptions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips"); // left, top, width, height
    QTest::newRow("PushButton3") << u"PushButton3"_s << u"Load Text From File"_s
                                 << QRect(120, 2300, 7800, 405);
    QTest::newRow("PushButton1") << u"PushButton1"_s << u"Clear Text"_s
                                 << QRect(120, 2810, 3840, 405);
    QTest::newRow("PushButton8") << u"PushButton8"_s << u"Load Sample/Example Text"_s
                                 << QRect(4080, 2810, 3840, 405);
    QTest::newRow("PushButton17") << u"PushButton17"_s << u"Start Sorting"_s
                                  << QRect(120, 4800, 7800, 405);
    QTest::newRow("PushButton4") << u"PushButton4"_s << u"Save Results As Text File"_s
                                 << QRect(120, 7530, 3840, 405);
    QTest::newRow("PushButton5") << u"PushButton5"_s << u"Copy Results To Clipboard"_s
                                 << QRect(4080, 7530, 3840, 405);
    QTest::newRow("PushButton2") << u"PushButton2"_s << u"Clear Results"_s
                                 << QRect(120, 8040, 3840, 405);
    QTest::newRow("PushButton6") << u"PushButton6"_s << u"Help"_s << QRect(4080, 8040, 3840, 405);
    QTest::newRow("Frame1") << u"Frame1"_s << u"Options"_s << QRect(120, 3270, 7800, 1400);
    QTest::newRow("Option1") << u"Option1"_s << u"Sort Each Line Alphabetically"_s
                             << QRect(240, 300, 0, 255);
    QTest::newRow("Option2") << u"Option2"_s << u"Sort Each Word Alphabetically"_s
                             << QRect(240, 650, 0, 255);
    QTest::newRow("Check5") << u"Check5"_s
                            << u"Put counter next to each result such as 1. 2. 3. 4. etc"_s
                            << QRect(240, 1000, 0, 285);
    QTest::newRow("ListView1") << u"ListView1"_s << QString() << QRect(120, 120, 7800, 2085);
    QTest::newRow("ListView2") << u"ListView2"_s << QString() << QRect(120, 5310, 7800, 2130);
    QTest::newRow("ProgressBar1") << u"ProgressBar1"_s << u"Progress Bar"_s
                                  << QRect(120, 8560, 7800, 405);
}

void MainWindowTest::controlsHaveTheirNamesAndCaptions()
{
    FakePlatformScope scope;
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    Form1 form;
    auto* control = form.findChild<QWidget*>(name);
    QVERIFY(control);
    const QByteArray property = qobject_cast<QGroupBox*>(control) ? "title" : "text";
    if (!caption.isEmpty())
        QCOMPARE(control->property(property).toString(), caption);
    QCOMPARE(control->x(), qRound(twips.x() / 15.0));
    QCOMPARE(control->y(), qRound(twips.y() / 15.0));
    if (twips.width() > 0) // option captions may widen their button so nothing clips
        QCOMPARE(control->width(), qRound(twips.width() / 15.0));
    QCOMPARE(control->height(), qRound(twips.height() / 15.0));
}

void MainWindowTest::fixedSizeAndFonts()
{
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    QCOMPARE(form.size(), QSize(536, 606));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.font().family(), u"Arial"_s);
    QVERIFY(form.font().bold());
    QCOMPARE(form.font().pointSizeF(), 9.0);
    QCOMPARE(form.PushButton17->font().pointSizeF(), 11.25);
    QVERIFY(form.PushButton17->font().bold());
    QCOMPARE(form.Option1->font().pointSizeF(), 9.0);
    QCOMPARE(form.palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(form.ListView1->header()->sectionSize(0), qRound(7000 / 15.0));
    // Every caption fits its control.
    for (QWidget* w : std::initializer_list<QWidget*>{form.Option1, form.Option2, form.Check5})
        QVERIFY2(w->sizeHint().width() <= w->width(), qPrintable(w->objectName()));
}

void MainWindowTest::tabVisitsControlsInDesignOrder()
{
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.ListView1->setFocus();
    const QStringList expected = {u"PushButton3"_s, u"PushButton1"_s,  u"Option1"_s,
                                  u"Check5"_s,      u"PushButton17"_s, u"ListView2"_s,
                                  u"PushButton4"_s, u"PushButton5"_s,  u"PushButton2"_s,
                                  u"PushButton6"_s, u"PushButton8"_s,  u"ListView1"_s};
    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(visited, expected);
}

void MainWindowTest::arrowsMoveBetweenTheOptions()
{
    FakePlatformScope scope;
    Form1 form;
    form.show();
    QApplication::setActiveWindow(&form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Option1->setFocus();
    QTest::keyClick(form.Option1, Qt::Key_Down);
    QVERIFY(form.Option2->isChecked());
    QVERIFY(form.Option2->hasFocus());
    // With the second option chosen, Tab from the clear-text button lands on it.
    form.PushButton1->setFocus();
    QTest::keyClick(form.PushButton1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.Option2);
}

void MainWindowTest::helpShowsTheContactMessage()
{
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    velmora::test::fillList(form.ListView1, {u"x"_s});
    form.PushButton6_Click();
    form.PushButton6_Click();
    QCOMPARE(scope.fake.boxes.size(), 2u);
    for (const auto& box : scope.fake.boxes) {
        QVERIFY(box.text.startsWith(u"Questions? Please contact Team Tarnwick at https://"_s));
        QVERIFY(!box.text.contains(u'\n') && !box.text.contains(u'\r'));
        QCOMPARE(box.icon, velmora::MsgBoxIcon::None);
        QCOMPARE(box.title, scope.fake.appTitle());
    }
    QCOMPARE(form.ListView1->ListItems().Count(), 1);
    QCOMPARE(form.mousePointer(), MousePointer::Default);
}

void MainWindowTest::hoverPointer_data()
{
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<int>("pointer");
    QTest::newRow("background to button shows the hand")
        << QStringList{u"form"_s, u"button"_s} << 99;
    QTest::newRow("button back to background shows the arrow")
        << QStringList{u"button"_s, u"form"_s} << 0;
    QTest::newRow("button to button keeps the hand")
        << QStringList{u"button"_s, u"otherButton"_s} << 99;
    QTest::newRow("button to option keeps the hand") << QStringList{u"button"_s, u"option"_s} << 99;
    QTest::newRow("button to the frame shows the arrow")
        << QStringList{u"button"_s, u"option"_s, u"frame"_s} << 0;
    QTest::newRow("button to a list shows the arrow") << QStringList{u"button"_s, u"list"_s} << 0;
    QTest::newRow("button to the bar keeps the hand") << QStringList{u"button"_s, u"bar"_s} << 99;
}

void MainWindowTest::hoverPointer()
{
    FakePlatformScope scope;
    QFETCH(QStringList, moves);
    QFETCH(int, pointer);
    Form1 form;
    const std::map<QString, std::function<void()>> handlers = {
        {u"form"_s, [&] { form.Form_MouseMove(); }},
        {u"button"_s, [&] { form.PushButton17_MouseMove(); }},
        {u"otherButton"_s, [&] { form.PushButton5_MouseMove(); }},
        {u"frame"_s, [&] { form.Frame1_MouseMove(); }},
        {u"list"_s, [&] { form.ListView2_MouseMove(); }},
        {u"option"_s, [] {}}, // no handler of its own
        {u"bar"_s, [] {}},
    };
    for (const QString& move : moves)
        handlers.at(move)();
    QCOMPARE(form.mousePointerValue(), pointer);
}

void MainWindowTest::hourglassSurvivesEveryMouseMove()
{
    FakePlatformScope scope;
    Form1 form;
    form.setMousePointer(MousePointer::Hourglass);
    form.PushButton17_MouseMove();
    form.Form_MouseMove();
    form.ListView1_MouseMove();
    form.Frame1_MouseMove();
    form.PushButton8_MouseMove();
    QCOMPARE(form.mousePointerValue(), 11);
    QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
}

void MainWindowTest::realMouseMovesReachTheRightHandler()
{
    FakePlatformScope scope;
    Form1 form;
    form.Form_Load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto moveOver = [&](QWidget* widget) {
        QMouseEvent move(QEvent::MouseMove, QPointF(widget->rect().center()),
                         widget->mapToGlobal(QPointF(widget->rect().center())), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };
    moveOver(form.PushButton3);
    QCOMPARE(form.mousePointerValue(), 99);
    moveOver(form.Check5); // no handler: must not reach the frame's
    QCOMPARE(form.mousePointerValue(), 99);
    moveOver(form.ProgressBar1);
    QCOMPARE(form.mousePointerValue(), 99);
    moveOver(form.ListView2->viewport());
    QCOMPARE(form.mousePointerValue(), 0);
    moveOver(form.PushButton6);
    moveOver(form.Frame1);
    QCOMPARE(form.mousePointerValue(), 0);
    moveOver(form.PushButton6);
    moveOver(&form);
    QCOMPARE(form.mousePointerValue(), 0);
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
