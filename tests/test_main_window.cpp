#include "fake_platform.h"
#include "test_helpers.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

class MainWindowTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsEmptyIdleAndFixedSize();
    void designFontsHoldAgainstTheSystemsClassFonts();
    void keyboardNavigation();
    void helpShowsTheContactMessage();
    void hoverPointer_data();
    void hoverPointer();
};

void MainWindowTest::startsEmptyIdleAndFixedSize()
{
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    QCOMPARE(form.inputList->items().count(), 0);
    QCOMPARE(form.resultList->items().count(), 0);
    QCOMPARE(form.inputList->model()->headerData(0, Qt::Horizontal).toString(), u"Input"_s);
    QCOMPARE(form.resultList->model()->headerData(0, Qt::Horizontal).toString(), u"Results"_s);
    QVERIFY(form.sortLinesOption->isChecked());
    QVERIFY(!form.sortWordsOption->isChecked());
    QCOMPARE(form.counterCheck->checkState(), Qt::Unchecked);
    QCOMPARE(form.progressBar->value(), 0.0);
    QCOMPARE(form.progressBar->text(), u"Progress Bar"_s);
    QCOMPARE(form.property("MousePointer").toInt(), 0);
    const QString tip = u"Double-click item to remove it. Move | line to right and out of window "
                        u"to reveal full names."_s;
    QCOMPARE(form.inputList->toolTip(), tip);
    QCOMPARE(form.resultList->toolTip(), tip);
    QCOMPARE(form.size(), QSize(536, 606));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.font().family(), u"Arial"_s);
    QVERIFY(form.font().bold());
    QCOMPARE(form.font().pointSizeF(), 9.0);
    QCOMPARE(form.sortLinesOption->font().pointSizeF(), 9.0);
    QCOMPARE(form.startSortingButton->font().pointSizeF(), 11.25);
    QVERIFY(form.startSortingButton->font().bold());
}

// Windows gives lists, headers, group boxes, option buttons and check boxes fonts of their
// own, which win over a font the window passes down: every control shows the design's
// font all the same.
void MainWindowTest::designFontsHoldAgainstTheSystemsClassFonts()
{
    const char* classes[] = {"QAbstractItemView", "QHeaderView", "QGroupBox",
                             "QRadioButton",      "QCheckBox",   "QPushButton"};
    const QFont appFont = QApplication::font();
    for (const char* className : classes)
        QApplication::setFont(QFont(u"Courier"_s, 7), className);
    FakePlatformScope scope;
    MainWindow form;
    form.startUp();
    for (const char* className : classes)
        QApplication::setFont(appFont, className);

    auto expectArialBold = [](const QWidget* control, double points) {
        const QFont font = control->font();
        if (font.family() != u"Arial"_s || !font.bold() || font.pointSizeF() != points)
            QFAIL(qPrintable(control->objectName() + u" shows "_s + font.toString()));
    };
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             form.inputList, form.inputList->header(), form.resultList, form.resultList->header(),
             form.optionsFrame, form.sortLinesOption, form.sortWordsOption, form.counterCheck})
        expectArialBold(control, 9.0);
    for (const QWidget* button : form.findChildren<CommandButton*>())
        expectArialBold(button, 11.25);
}

// Tab in design order; the arrows move between the options, and Tab then lands on the
// chosen one.
void MainWindowTest::keyboardNavigation()
{
    ShownForm shown;
    MainWindow& form = shown.form;
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.inputList->setFocus();
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

    form.sortLinesOption->setFocus();
    QTest::keyClick(form.sortLinesOption, Qt::Key_Down);
    QVERIFY(form.sortWordsOption->isChecked());
    QVERIFY(form.sortWordsOption->hasFocus());
    form.clearTextButton->setFocus();
    QTest::keyClick(form.clearTextButton, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.sortWordsOption);
}

void MainWindowTest::helpShowsTheContactMessage()
{
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.form));
    QTest::mouseClick(shown.form.helpButton, Qt::LeftButton);
    QCOMPARE(shown.scope.fake.boxes.size(), 1u);
    const FakePlatform::Box& box = shown.scope.fake.boxes.front();
    QVERIFY(box.text.startsWith(u"Questions? Please contact Team Tarnwick at https://"_s));
    QVERIFY(!box.text.contains(u'\n') && !box.text.contains(u'\r'));
    QCOMPARE(box.icon, MsgBoxIcon::None);
    QCOMPARE(box.title, u"Velmora"_s);
}

// Real mouse moves, in order, to the middle of the named controls: "Form1" is the
// background, "ListView1" a list's rows and "ListView1 header" its column header. The
// window hands each move to the innermost widget under the mouse, as it does for the user.
void MainWindowTest::hoverPointer_data()
{
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QStringList>("moves");
    QTest::addColumn<int>("pointer");
    const auto row = [](const char* name, bool busy, const QStringList& moves, int pointer) {
        QTest::newRow(name) << busy << moves << pointer;
    };
    row("background to a button shows the hand", false, {u"Form1"_s, u"PushButton17"_s}, 99);
    row("button back to the background shows the arrow", false, {u"PushButton17"_s, u"Form1"_s}, 0);
    row("button to button keeps the hand", false, {u"PushButton17"_s, u"PushButton5"_s}, 99);
    row("options, counter box and bar keep the hand, not the frame's arrow", false,
        {u"PushButton3"_s, u"Option1"_s, u"Check5"_s, u"ProgressBar1"_s}, 99);
    row("button to the frame shows the arrow", false, {u"PushButton6"_s, u"Frame1"_s}, 0);
    row("button to a list shows the arrow", false, {u"PushButton17"_s, u"ListView2"_s}, 0);
    row("button to the input list's header shows the arrow", false,
        {u"PushButton3"_s, u"ListView1 header"_s}, 0);
    row("button to the results list's header shows the arrow", false,
        {u"PushButton4"_s, u"ListView2 header"_s}, 0);
    row("hourglass stays over every control", true,
        {u"PushButton17"_s, u"Form1"_s, u"ListView1"_s, u"ListView1 header"_s, u"Frame1"_s,
         u"PushButton8"_s},
        11);
}

void MainWindowTest::hoverPointer()
{
    QFETCH(bool, busy);
    QFETCH(QStringList, moves);
    QFETCH(int, pointer);
    ShownForm shown;
    MainWindow& form = shown.form;
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (busy)
        form.setMousePointer(MousePointer::Hourglass);
    for (const QString& name : moves) {
        const QStringList parts = name.split(u' ');
        QWidget* widget = name == form.objectName() ? &form : shown.control(parts.front());
        QVERIFY2(widget, qPrintable(name));
        if (auto* list = qobject_cast<ListView*>(widget))
            widget = parts.size() > 1 ? static_cast<QWidget*>(list->header()) : list->viewport();
        const QPoint centre = widget->mapTo(&form, widget->rect().center());
        QTest::mouseMove(form.windowHandle(), centre);
    }
    QCOMPARE(form.mousePointerValue(), pointer);
    // What the user sees there: no image is loaded, so the hand shows as the arrow.
    QCOMPARE(form.cursor().shape(), busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
