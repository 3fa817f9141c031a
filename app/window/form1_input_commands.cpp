// Commands that fill, edit and clear the lists.
#include "app/errors/error_report.h"
#include "app/errors/guarded_procedure.h"
#include "app/platform/platform.h"
#include "app/window/file_dialogs.h"
#include "app/window/form1.h"
#include "input/file_helpers.h"
#include "input/load_list.h"
#include "input/sample_text.h"

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

constexpr int kDeleteKey = 46;

// The Delete key removes the list's selected item. Nothing happens while a command that
// set the hourglass is running: it may be reading this very list.
void removeSelectedOnDelete(const Form1& form, ListView* list, int keyCode)
{
    if (keyCode != kDeleteKey)
        return;
    if (form.isBusy())
        return;
    if (list->ListItems().Count() == 0)
        return;
    const std::optional<ListItem> selected = list->SelectedItem();
    if (!selected)
        return;
    list->ListItems().Remove(selected->Index());
}

} // namespace

void Form1::PushButton3_Click()
{
    GuardedProcedure proc(Location::PushButton3_Click);
    FileDialogRequest dialog;
    QStringList parts; // one full path, or the folder followed by the chosen names
    QString path;

    proc.step(100, [&] { dialog.fileName.clear(); });
    proc.step(102, [&] { dialog.flags = kListFileDialogFlags; });
    proc.step(104,
              [&] { dialog.title = u"Load List(s) - Hold Ctrl to select multiple list files"_s; });
    proc.step(106, [&] { dialog.filter = kListFileFilter.toString(); });
    proc.step(108, [&] { dialog.fileName = platform().showOpenDialog(dialog); });
    if (proc.test(110, [&] { return dialog.fileName.isEmpty(); }))
        return; // cancelled: the list keeps what it had

    proc.step(112, [&] { parts = dialog.fileName.split(QChar(u'\0')); });
    proc.step(114, [&] { ListView1->ListItems().Clear(); });
    proc.step(116, [&] { setMousePointer(velmora::MousePointer::Hourglass); });

    if (proc.test(118, [&] { return parts.size() == 1; })) {
        proc.step(120, [&] { SortArray::LoadListFromFile(ListView1->ListItems(), parts.at(0)); });
    } else {
        // A folder at a drive root ends in a backslash, so the joined path has two.
        proc.forLoop(
            122, 128, 1, [&] { return parts.size() - 1; },
            [&](int i) {
                proc.step(124, [&] {
                    path = Main::CollapseBackslashes(parts.at(0) + u'\\' + parts.at(i));
                });
                proc.step(126, [&] { SortArray::LoadListFromFile(ListView1->ListItems(), path); });
            });
    }

    proc.step(130, [&] { setMousePointer(velmora::MousePointer::Default); });
}

void Form1::PushButton8_Click()
{
    GuardedProcedure proc(Location::PushButton8_Click);
    const QStringList& lines = sampleLines();
    for (qsizetype i = 0; i < lines.size(); ++i)
        proc.step(100 + 2 * static_cast<int>(i), [&] { ListView1->ListItems().Add(lines[i]); });
}

void Form1::PushButton1_Click()
{
    GuardedProcedure proc(Location::PushButton1_Click);
    if (proc.test(100, [&] { return isBusy(); }))
        return; // a running command may be reading the input list
    proc.step(102, [&] { ListView1->ListItems().Clear(); });
    platform().giveBackFreedMemory(); // the user has just said the lines are no longer wanted
}

void Form1::PushButton2_Click()
{
    // Not held back while busy: a running sort refills the results when it ends anyway.
    GuardedProcedure proc(Location::PushButton2_Click);
    proc.step(100, [&] { ListView2->ListItems().Clear(); });
    platform().giveBackFreedMemory();
}

void Form1::ListView1_KeyDown(int keyCode, int /*shift: Ctrl+Delete deletes too*/)
{
    removeSelectedOnDelete(*this, ListView1, keyCode);
}

void Form1::ListView2_KeyDown(int keyCode, int /*shift: Ctrl+Delete deletes too*/)
{
    removeSelectedOnDelete(*this, ListView2, keyCode);
}

} // namespace velmora
