#include "gui/window/accessibility.h"

#include "gui/window/main_window.h"

#include <QAccessibleWidget>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The caption the user sees: a button's or a box's text, the frame's title, the bar's text.
QString captionOf(const QWidget& control)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return button->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(&control))
        return frame->title();
    if (const auto* bar = qobject_cast<const ProgressBar*>(&control))
        return bar->text();
    return {};
}

// A list has no caption of its own: it is named after its column heading, which start-up
// adds after the window is built.
void nameAfterHeading(ListView* list)
{
    QObject::connect(list->model(), &QAbstractItemModel::headerDataChanged, list, [list] {
        list->setAccessibleName(list->model()->headerData(0, Qt::Horizontal).toString());
    });
}

// The main window is a plain widget, which Qt presents as a pane: a screen reader would
// not announce it as a window with its caption. Its interface says it is one; a window's
// name is its caption.
QAccessibleInterface* mainWindowInterface(const QString& className, QObject* object)
{
    if (className != QLatin1StringView(MainWindow::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<MainWindow*>(object), QAccessible::Window);
}

} // namespace

void setUpAccessibility(MainWindow& form)
{
    QAccessible::installFactory(&mainWindowInterface);
    // Names are the captions the user sees, so what is read out matches what is shown and
    // what a sighted helper would call the control. Descriptions say what the control does,
    // since a caption such as "Clear Text" does not say which list it clears.
    const std::pair<QWidget*, QString> descriptions[] = {
        {form.inputList, u"The lines to sort. Delete removes the selected line."_s},
        {form.loadTextFromFileButton,
         u"Replaces the input list with the lines of one or more text files."_s},
        {form.clearTextButton, u"Empties the input list."_s},
        {form.loadSampleTextButton, u"Adds the sample lines to the end of the input list."_s},
        {form.optionsFrame, u"How Start Sorting sorts the input list."_s},
        {form.sortLinesOption, u"Each line of the input list is sorted as a whole."_s},
        {form.sortWordsOption,
         u"The words of all lines are sorted together, one word per result."_s},
        {form.counterCheck, u"Numbers the results in their sorted order."_s},
        {form.startSortingButton, u"Sorts the input list into the results list."_s},
        {form.resultList, u"The sorted results. Delete removes the selected result."_s},
        {form.saveResultsButton, u"Saves the results as an aligned text file."_s},
        {form.copyResultsButton, u"Copies the results to the clipboard as text."_s},
        {form.clearResultsButton, u"Empties the results list."_s},
        {form.helpButton, u"Tells how to contact the makers."_s},
        {form.progressBar, u"Shows how far sorting or saving has got."_s},
    };
    for (const auto& [control, description] : descriptions) {
        control->setAccessibleName(captionOf(*control));
        control->setAccessibleDescription(description);
    }
    nameAfterHeading(form.inputList);
    nameAfterHeading(form.resultList);
}

} // namespace velmora
