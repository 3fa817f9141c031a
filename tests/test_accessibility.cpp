// What a screen reader and a keyboard-only user get from the main window: every control
// named and described in the accessibility tree, Space pressing the focused button, and
// Enter doing nothing beyond the control it is pressed in.
#include "fake_platform.h"
#include "test_helpers.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using velmora::Form1;
using velmora::test::FakePlatformScope;
using velmora::test::fillList;
using velmora::test::itemTexts;

namespace {

// Loaded, shown and active, as the user meets it.
struct ShownForm
{
    FakePlatformScope scope;
    Form1 form;

    ShownForm()
    {
        form.Form_Load();
        form.show();
        QApplication::setActiveWindow(&form);
    }
    bool ready() { return QTest::qWaitForWindowActive(&form); }
    QWidget* control(const QString& name) { return form.findChild<QWidget*>(name); }
};

// The interfaces the window exposes, found by walking down from the window, as an
// assistive tool reads them.
bool reachableFrom(QAccessibleInterface* root, QAccessibleInterface* wanted, int depth = 0)
{
    if (root == wanted)
        return true;
    if (depth > 4)
        return false;
    for (int i = 0; i < root->childCount(); ++i) {
        if (QAccessibleInterface* child = root->child(i);
            child && reachableFrom(child, wanted, depth + 1))
            return true;
    }
    return false;
}

QStringList sampleLines()
{
    return {u"Watch your cash."_s,
            u"Pick founders carefully."_s,
            u"Hire generalists early."_s,
            u"Hire specialists later."_s,
            u"Invest in culture."_s,
            u"Avoid tempting distractions."_s,
            u"Support customers maniacally."_s,
            u"Avoid business plans."_s,
            u"Write a blog."_s,
            u"Never fudge numbers."_s,
            u"Encourage diverse thinking."_s,
            u"Guard your time."_s};
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyControlIsNamedAndDescribed_data();
    void everyControlIsNamedAndDescribed();
    void enterStartsNoCommand_data();
    void enterStartsNoCommand();
    void spacePressesTheFocusedButton_data();
    void spacePressesTheFocusedButton();
};

void AccessibilityTest::everyControlIsNamedAndDescribed_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    const auto button = int(QAccessible::Button);
    QTest::newRow("input list") << u"ListView1"_s << u"Input"_s << int(QAccessible::Tree);
    QTest::newRow("Load Text From File") << u"PushButton3"_s << u"Load Text From File"_s << button;
    QTest::newRow("Clear Text") << u"PushButton1"_s << u"Clear Text"_s << button;
    QTest::newRow("Load Sample/Example Text")
        << u"PushButton8"_s << u"Load Sample/Example Text"_s << button;
    QTest::newRow("options frame") << u"Frame1"_s << u"Options"_s << int(QAccessible::Grouping);
    QTest::newRow("line option") << u"Option1"_s << u"Sort Each Line Alphabetically"_s
                                 << int(QAccessible::RadioButton);
    QTest::newRow("word option") << u"Option2"_s << u"Sort Each Word Alphabetically"_s
                                 << int(QAccessible::RadioButton);
    QTest::newRow("counter box") << u"Check5"_s
                                 << u"Put counter next to each result such as 1. 2. 3. 4. etc"_s
                                 << int(QAccessible::CheckBox);
    QTest::newRow("Start Sorting") << u"PushButton17"_s << u"Start Sorting"_s << button;
    QTest::newRow("result list") << u"ListView2"_s << u"Results"_s << int(QAccessible::Tree);
    QTest::newRow("Save Results As Text File")
        << u"PushButton4"_s << u"Save Results As Text File"_s << button;
    QTest::newRow("Copy Results To Clipboard")
        << u"PushButton5"_s << u"Copy Results To Clipboard"_s << button;
    QTest::newRow("Clear Results") << u"PushButton2"_s << u"Clear Results"_s << button;
    QTest::newRow("Help") << u"PushButton6"_s << u"Help"_s << button;
    QTest::newRow("progress bar") << u"ProgressBar1"_s << u"Progress Bar"_s
                                  << int(QAccessible::ProgressBar);
}

void AccessibilityTest::everyControlIsNamedAndDescribed()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    ShownForm shown;
    QVERIFY(shown.ready());
    QWidget* widget = shown.control(control);
    QVERIFY(widget);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface && iface->isValid());
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(int(iface->role()), role);
    // Not the tooltip, which a screen reader would otherwise fall back to: the lists' one
    // talks about double-clicking, which removes nothing.
    const QString description = iface->text(QAccessible::Description);
    QVERIFY(!description.isEmpty());
    QVERIFY(description != widget->toolTip());
    QVERIFY(!iface->state().invisible);
    QVERIFY(reachableFrom(QAccessible::queryAccessibleInterface(&shown.form), iface));
}

// A window with a default button would start a command on Enter anywhere in it; Enter in
// a list must only do what the list itself does. Every command leaves a trace here: a
// changed list, a dialog asked for, a message box or the clipboard.
void AccessibilityTest::enterStartsNoCommand_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::newRow("Return in the input list") << u"ListView1"_s << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in the input list") << u"ListView1"_s << int(Qt::Key_Enter);
    QTest::newRow("Return in the result list") << u"ListView2"_s << int(Qt::Key_Return);
    QTest::newRow("keypad Enter in the result list") << u"ListView2"_s << int(Qt::Key_Enter);
    QTest::newRow("Return on the line option") << u"Option1"_s << int(Qt::Key_Return);
    QTest::newRow("Return on the counter box") << u"Check5"_s << int(Qt::Key_Return);
}

void AccessibilityTest::enterStartsNoCommand()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    ShownForm shown;
    QVERIFY(shown.ready());
    Form1& form = shown.form;
    fillList(form.ListView1, {u"b"_s, u"a"_s});
    fillList(form.ListView2, {u"z"_s, u"y"_s});
    // A current row, so the list has something Enter could act on.
    for (velmora::ListView* list : {form.ListView1, form.ListView2}) {
        list->listModel()->announcePendingRows();
        list->setCurrentIndex(list->model()->index(0, 0));
        QVERIFY(list->currentIndex().isValid());
    }
    QWidget* target = shown.control(focus);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());

    QTest::keyClick(target, Qt::Key(key));

    QCOMPARE(itemTexts(form.ListView1), (QStringList{u"b"_s, u"a"_s}));
    QCOMPARE(itemTexts(form.ListView2), (QStringList{u"z"_s, u"y"_s}));
    QVERIFY(shown.scope.fake.openRequests.empty());
    QVERIFY(shown.scope.fake.saveRequests.empty());
    QVERIFY(shown.scope.fake.boxes.empty());
    QCOMPARE(shown.scope.fake.clipboardSetCalls, 0);
    QCOMPARE(form.ProgressBar1->Value(), 0.0);
}

void AccessibilityTest::spacePressesTheFocusedButton_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("input");   // the input list afterwards
    QTest::addColumn<QStringList>("results"); // the result list afterwards
    QTest::addColumn<int>("dialogs");         // open and save dialogs shown
    QTest::addColumn<int>("boxes");           // message boxes shown
    QTest::addColumn<bool>("clipboard");      // the clipboard written
    const QStringList input = {u"b"_s, u"a"_s};
    const QStringList results = {u"z"_s};
    QTest::newRow("Load Text From File asks for files")
        << u"PushButton3"_s << input << results << 1 << 0 << false;
    QTest::newRow("Clear Text empties the input")
        << u"PushButton1"_s << QStringList() << results << 0 << 0 << false;
    QTest::newRow("Load Sample adds the sample")
        << u"PushButton8"_s << input + sampleLines() << results << 0 << 0 << false;
    QTest::newRow("Start Sorting sorts")
        << u"PushButton17"_s << input << QStringList{u"a"_s, u"b"_s} << 0 << 0 << false;
    QTest::newRow("Save Results asks for a name")
        << u"PushButton4"_s << input << results << 1 << 0 << false;
    QTest::newRow("Copy Results copies and confirms")
        << u"PushButton5"_s << input << results << 0 << 1 << true;
    QTest::newRow("Clear Results empties the results")
        << u"PushButton2"_s << input << QStringList() << 0 << 0 << false;
    QTest::newRow("Help shows its message")
        << u"PushButton6"_s << input << results << 0 << 1 << false;
}

void AccessibilityTest::spacePressesTheFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(QStringList, input);
    QFETCH(QStringList, results);
    QFETCH(int, dialogs);
    QFETCH(int, boxes);
    QFETCH(bool, clipboard);
    ShownForm shown;
    QVERIFY(shown.ready());
    Form1& form = shown.form;
    fillList(form.ListView1, {u"b"_s, u"a"_s});
    fillList(form.ListView2, {u"z"_s});
    QWidget* target = shown.control(button);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());

    QTest::keyClick(target, Qt::Key_Space);

    const auto& fake = shown.scope.fake;
    QCOMPARE(itemTexts(form.ListView1), input);
    QCOMPARE(itemTexts(form.ListView2), results);
    QCOMPARE(int(fake.openRequests.size() + fake.saveRequests.size()), dialogs);
    QCOMPARE(int(fake.boxes.size()), boxes);
    QCOMPARE(fake.clipboardSetCalls > 0, clipboard);
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
