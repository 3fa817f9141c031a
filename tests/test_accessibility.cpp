// What a screen reader and a keyboard-only user get from the main window's controls.
#include "core/input/sample_text.h"
#include "fake_platform.h"
#include "test_helpers.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace velmora;
using namespace velmora::test;

namespace {

// Whether an assistive tool walking down from the root meets the interface.
bool reachableFrom(QAccessibleInterface* root, QAccessibleInterface* wanted, int depth = 0)
{
    if (root == wanted)
        return true;
    for (int i = 0; depth < 5 && i < root->childCount(); ++i) {
        if (QAccessibleInterface* child = root->child(i);
            child && reachableFrom(child, wanted, depth + 1))
            return true;
    }
    return false;
}

QStringList entryTexts(QAccessibleInterface* list)
{
    QStringList texts;
    for (int i = 0; i < list->childCount(); ++i)
        texts.append(list->child(i)->text(QAccessible::Name));
    return texts;
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void windowIsAFrameNamedByItsCaption();
    void everyControlNamedAndDescribed_data();
    void everyControlNamedAndDescribed();
    void controlsFitWithoutOverlapping();
    void keyOnAFocusedControl_data();
    void keyOnAFocusedControl();
    void listsReadAsTheirLines_data();
    void listsReadAsTheirLines();
};

// A screen reader announces the window as one, by the caption it shows, among the
// application's windows.
void AccessibilityTest::windowIsAFrameNamedByItsCaption()
{
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowActive(&shown.form));
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&shown.form);
    QVERIFY(window && window->isValid());
    QCOMPARE(window->role(), QAccessible::Window);
    QVERIFY(!shown.form.windowTitle().isEmpty());
    QCOMPARE(window->text(QAccessible::Name), shown.form.windowTitle());
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    QVERIFY(application->indexOfChild(window) >= 0);
}

// The name is both the caption shown (the lists have none) and what a screen reader says.
void AccessibilityTest::everyControlNamedAndDescribed_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    const auto row = [](const char* name, const QString& control, QAccessible::Role role) {
        QTest::newRow(name) << control << role;
    };
    const auto button = QAccessible::Button;
    row("Input", u"ListView1"_s, QAccessible::List);
    row("Load Text From File", u"PushButton3"_s, button);
    row("Clear Text", u"PushButton1"_s, button);
    row("Load Sample/Example Text", u"PushButton8"_s, button);
    row("Options", u"Frame1"_s, QAccessible::Grouping);
    row("Sort Each Line Alphabetically", u"Option1"_s, QAccessible::RadioButton);
    row("Sort Each Word Alphabetically", u"Option2"_s, QAccessible::RadioButton);
    row("Put counter next to each result such as 1. 2. 3. 4. etc", u"Check5"_s,
        QAccessible::CheckBox);
    row("Start Sorting", u"PushButton17"_s, button);
    row("Results", u"ListView2"_s, QAccessible::List);
    row("Save Results As Text File", u"PushButton4"_s, button);
    row("Copy Results To Clipboard", u"PushButton5"_s, button);
    row("Clear Results", u"PushButton2"_s, button);
    row("Help", u"PushButton6"_s, button);
    row("Progress Bar", u"ProgressBar1"_s, QAccessible::ProgressBar);
}

void AccessibilityTest::everyControlNamedAndDescribed()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    const QString name = QString::fromUtf8(QTest::currentDataTag());
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowActive(&shown.form));
    QWidget* widget = shown.control(control);
    QVERIFY(widget);
    if (!qobject_cast<ListView*>(widget)) {
        const char* caption = qobject_cast<QGroupBox*>(widget) ? "title" : "text";
        QCOMPARE(widget->property(caption).toString(), name);
    }

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface && iface->isValid());
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->role(), role);
    // Its own description, not the tooltip: the lists' one promises a removal on
    // double-click that does not happen.
    const QString description = iface->text(QAccessible::Description);
    QVERIFY(!description.isEmpty());
    QVERIFY(description != widget->toolTip());
    QVERIFY(!iface->state().invisible);
    QVERIFY(reachableFrom(QAccessible::queryAccessibleInterface(&shown.form), iface));
}

// What a user sees of the layout: every control whole inside its window or frame, none
// covering another, and no caption clipped.
void AccessibilityTest::controlsFitWithoutOverlapping()
{
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowActive(&shown.form));
    for (QWidget* parent :
         {static_cast<QWidget*>(&shown.form), static_cast<QWidget*>(shown.form.optionsFrame)}) {
        QList<QWidget*> controls;
        for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->objectName().isEmpty() && child->isVisible())
                controls.append(child);
        }
        QVERIFY(controls.size() >= 3);
        for (QWidget* control : controls) {
            const QString name = control->objectName();
            QVERIFY2(parent->rect().contains(control->geometry()), qPrintable(name));
            if (qobject_cast<QAbstractButton*>(control))
                QVERIFY2(control->sizeHint().width() <= control->width(), qPrintable(name));
            for (QWidget* other : controls) {
                if (other != control)
                    QVERIFY2(!control->geometry().intersects(other->geometry()),
                             qPrintable(name + u" covers "_s + other->objectName()));
            }
        }
    }
}

// Space presses the focused button; Return and Enter do nothing beyond the control they are
// pressed in (no default button), even with a current row in both lists.
void AccessibilityTest::keyOnAFocusedControl_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("input");   // the input list afterwards
    QTest::addColumn<QStringList>("results"); // the result list afterwards
    QTest::addColumn<QList<int>>("traces");   // file dialogs, message boxes, clipboard writes
    const QStringList in{u"b"_s, u"a"_s};
    const QStringList out{u"z"_s};
    const QList<int> none{0, 0, 0};
    const auto row = [](const char* tag, const QString& focus, int key, const QStringList& input,
                        const QStringList& results, const QList<int>& traces) {
        QTest::newRow(tag) << focus << key << input << results << traces;
    };
    const int space = Qt::Key_Space;
    row("Space: Load Text From File asks for files", u"PushButton3"_s, space, in, out, {1, 0, 0});
    row("Space: Clear Text empties the input", u"PushButton1"_s, space, {}, out, none);
    row("Space: Load Sample adds the sample", u"PushButton8"_s, space, in + input::sampleLines(),
        out, none);
    row("Space: Start Sorting sorts", u"PushButton17"_s, space, in, {u"a"_s, u"b"_s}, none);
    row("Space: Save Results asks for a name", u"PushButton4"_s, space, in, out, {1, 0, 0});
    row("Space: Copy Results copies and confirms", u"PushButton5"_s, space, in, out, {0, 1, 1});
    row("Space: Clear Results empties the results", u"PushButton2"_s, space, in, {}, none);
    row("Space: Help shows its message", u"PushButton6"_s, space, in, out, {0, 1, 0});
    row("Return in the input list", u"ListView1"_s, Qt::Key_Return, in, out, none);
    row("keypad Enter in the input list", u"ListView1"_s, Qt::Key_Enter, in, out, none);
    row("Return in the result list", u"ListView2"_s, Qt::Key_Return, in, out, none);
    row("keypad Enter in the result list", u"ListView2"_s, Qt::Key_Enter, in, out, none);
    row("Return on the line option", u"Option1"_s, Qt::Key_Return, in, out, none);
    row("Return on the counter box", u"Check5"_s, Qt::Key_Return, in, out, none);
}

void AccessibilityTest::keyOnAFocusedControl()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QStringList, input);
    QFETCH(QStringList, results);
    QFETCH(QList<int>, traces);
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowActive(&shown.form));
    MainWindow& form = shown.form;
    fillList(form.inputList, {u"b"_s, u"a"_s});
    fillList(form.resultList, {u"z"_s});
    for (ListView* list : {form.inputList, form.resultList}) {
        waitForRowAnnouncement(list);
        list->setCurrentIndex(list->model()->index(0, 0));
    }
    QWidget* target = shown.control(focus);
    target->setFocus();
    QTRY_VERIFY(target->hasFocus());

    QTest::keyClick(target, Qt::Key(key));

    const FakePlatform& fake = shown.scope.fake;
    QCOMPARE(itemTexts(form.inputList), input);
    QCOMPARE(itemTexts(form.resultList), results);
    QCOMPARE((QList<int>{int(fake.openRequests.size() + fake.saveRequests.size()),
                         int(fake.boxes.size()), fake.clipboardSetCalls}),
             traces);
}

void AccessibilityTest::listsReadAsTheirLines_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("heading");
    QTest::newRow("input list") << u"ListView1"_s << u"Input"_s;
    QTest::newRow("result list") << u"ListView2"_s << u"Results"_s;
}

// A screen reader walks the list as its heading and then its lines, hears the line the
// arrow keys move to, and after Delete hears the lines that are left.
void AccessibilityTest::listsReadAsTheirLines()
{
    QFETCH(QString, control);
    QFETCH(QString, heading);
    ShownForm shown;
    QVERIFY(QTest::qWaitForWindowActive(&shown.form));
    auto* list = qobject_cast<ListView*>(shown.control(control));
    QVERIFY(list);
    fillList(list, {u"pear"_s, u"apple"_s, u"fig"_s});
    waitForRowAnnouncement(list);

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
    QCOMPARE(entryTexts(iface), (QStringList{heading, u"pear"_s, u"apple"_s, u"fig"_s}));
    QCOMPARE(iface->child(0)->role(), QAccessible::ColumnHeader);
    for (int i = 1; i < iface->childCount(); ++i) {
        QAccessibleInterface* entry = iface->child(i);
        QCOMPARE(entry->role(), QAccessible::ListItem);
        QCOMPARE(iface->indexOfChild(entry), i);
        QCOMPARE(entry->parent(), iface);
        QVERIFY(entry->state().selectable && !entry->state().selected);
        QCOMPARE(iface->childAt(entry->rect().center().x(), entry->rect().center().y()), entry);
    }

    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyClick(list, Qt::Key_Home);

    // Down reached "apple" and Delete removed it; Home then went back to "pear".
    QCOMPARE(itemTexts(list), (QStringList{u"pear"_s, u"fig"_s}));
    QCOMPARE(entryTexts(iface), (QStringList{heading, u"pear"_s, u"fig"_s}));
    QAccessibleInterface* focused = iface->focusChild();
    QVERIFY(focused);
    QCOMPARE(focused->text(QAccessible::Name), u"pear"_s);
    QVERIFY(focused->state().focused && focused->state().selected);
    QVERIFY(!iface->child(2)->state().focused);
}

QTEST_MAIN(AccessibilityTest)
#include "test_accessibility.moc"
