// Commands that fill, edit and clear the lists.
#include "core/errors/guarded_procedure.h"
#include "core/input/file_helpers.h"
#include "core/input/load_list.h"
#include "core/input/sample_text.h"
#include "core/platform/platform.h"
#include "core/platform/windows_paths.h"
#include "gui/window/file_dialogs.h"
#include "gui/window/handler_locations.h"
#include "gui/window/main_window.h"

using namespace Qt::StringLiterals;

namespace velmora {

void MainWindow::loadTextFromFile()
{
    GuardedProcedure proc(Location::loadTextFromFile);
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
    proc.step(114, [&] { inputList->items().clear(); });
    proc.step(116, [&] { setMousePointer(velmora::MousePointer::Hourglass); });

    if (proc.test(118, [&] { return parts.size() == 1; })) {
        proc.step(120, [&] { input::loadListFromFile(inputList->items(), parts.at(0)); });
    } else {
        // A folder at a drive root ends in a backslash, so the joined path has two.
        proc.forLoop(
            122, 128, 1, [&] { return parts.size() - 1; },
            [&](int i) {
                proc.step(124,
                          [&] { path = collapseBackslashes(parts.at(0) + u'\\' + parts.at(i)); });
                proc.step(126, [&] { input::loadListFromFile(inputList->items(), path); });
            });
    }

    proc.step(130, [&] { setMousePointer(velmora::MousePointer::Default); });
}

void MainWindow::loadSampleText()
{
    GuardedProcedure proc(Location::loadSampleText);
    const QStringList& lines = input::sampleLines();
    for (qsizetype i = 0; i < lines.size(); ++i)
        proc.step(100 + 2 * static_cast<int>(i), [&] { inputList->items().add(lines[i]); });
}

void MainWindow::clearText()
{
    GuardedProcedure proc(Location::clearText);
    if (proc.test(100, [&] { return isBusy(); }))
        return; // a running command may be reading the input list
    proc.step(102, [&] { inputList->items().clear(); });
    platform().giveBackFreedMemory(); // the user has just said the lines are no longer wanted
}

void MainWindow::clearResults()
{
    // Not held back while busy: a running sort refills the results when it ends anyway.
    GuardedProcedure proc(Location::clearResults);
    proc.step(100, [&] { resultList->items().clear(); });
    platform().giveBackFreedMemory();
}

// Ctrl+Delete and Shift+Delete delete too. Nothing happens while a command that set the
// hourglass is running: it may be reading this very list.
void MainWindow::deleteSelectedRow(ListView* list, int keyCode)
{
    if (keyCode != kDeleteKeyCode)
        return;
    if (isBusy())
        return;
    if (list->items().count() == 0)
        return;
    const std::optional<ListItem> selected = list->selectedItem();
    if (!selected)
        return;
    list->items().remove(selected->index());
}

} // namespace velmora
