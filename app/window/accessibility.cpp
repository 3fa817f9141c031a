#include "app/window/accessibility.h"

#include "app/window/form1.h"

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

void describe(QWidget* control, const QString& name, const QString& description)
{
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
}

} // namespace

void setUpAccessibility(Form1& form)
{
    // Names are the captions the user sees, so what is read out matches what is shown and
    // what a sighted helper would call the control; the lists and the bar have no caption
    // of their own and take their column heading and their text. Descriptions say what the
    // control does, since a caption such as "Clear Text" does not say which list it clears.
    describe(form.ListView1, u"Input"_s, u"The lines to sort. Delete removes the selected line."_s);
    describe(form.PushButton3, u"Load Text From File"_s,
             u"Replaces the input list with the lines of one or more text files."_s);
    describe(form.PushButton1, u"Clear Text"_s, u"Empties the input list."_s);
    describe(form.PushButton8, u"Load Sample/Example Text"_s,
             u"Adds twelve sample lines to the end of the input list."_s);
    describe(form.Frame1, u"Options"_s, u"How Start Sorting sorts the input list."_s);
    describe(form.Option1, u"Sort Each Line Alphabetically"_s,
             u"Each line of the input list is sorted as a whole."_s);
    describe(form.Option2, u"Sort Each Word Alphabetically"_s,
             u"The words of all lines are sorted together, one word per result."_s);
    describe(form.Check5, u"Put counter next to each result such as 1. 2. 3. 4. etc"_s,
             u"Numbers the results in their sorted order."_s);
    describe(form.PushButton17, u"Start Sorting"_s,
             u"Sorts the input list into the results list."_s);
    describe(form.ListView2, u"Results"_s,
             u"The sorted results. Delete removes the selected result."_s);
    describe(form.PushButton4, u"Save Results As Text File"_s,
             u"Saves the results as an aligned text file."_s);
    describe(form.PushButton5, u"Copy Results To Clipboard"_s,
             u"Copies the results to the clipboard as text."_s);
    describe(form.PushButton2, u"Clear Results"_s, u"Empties the results list."_s);
    describe(form.PushButton6, u"Help"_s, u"Tells how to contact the makers."_s);
    describe(form.ProgressBar1, u"Progress Bar"_s, u"Shows how far sorting or saving has got."_s);
}

} // namespace velmora
