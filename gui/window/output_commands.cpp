// Commands that take the results out of the program.
#include "core/errors/guarded_procedure.h"
#include "core/output/aligned_export.h"
#include "core/output/clipboard_copy.h"
#include "core/platform/platform.h"
#include "gui/window/file_dialogs.h"
#include "gui/window/handler_locations.h"
#include "gui/window/main_window.h"

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

const QString kCopiedMessage =
    u"Results have been copied to the clipboard.\r\rClick a text area where you normally type "
    u"and press Ctrl+V to paste the clipboard."_s;

} // namespace

void MainWindow::saveResults()
{
    GuardedProcedure proc(Location::saveResults);
    FileDialogRequest request;
    QString chosen;
    QString name;

    // Every save starts from an empty name; no folder and no default extension, so a name
    // typed without one is used as typed.
    proc.step(106, [&] {
        request.fileName.clear();
        request.flags = kListFileDialogFlags;
    });
    proc.step(108, [&] { request.title = u"Save"_s; });
    proc.step(110, [&] { request.filter = kListFileFilter.toString(); });
    proc.step(112, [&] { chosen = platform().showSaveDialog(request); });
    proc.step(114, [&] { name = chosen; });
    if (proc.test(116, [&] { return name.isEmpty(); }))
        return; // cancelled: nothing written, pointer and bar as they were

    proc.step(118, [&] { setMousePointer(MousePointer::Hourglass); });
    proc.step(120, [&] {
        output::saveAlignedText(resultList->items(), resultList->columns(), name, progressBar);
    });
    proc.step(122, [&] { setMousePointer(MousePointer::Default); });
}

void MainWindow::copyResults()
{
    GuardedProcedure proc(Location::copyResults);
    proc.step(106, [&] { output::copyToClipboard(resultList->items(), resultList->columns()); });
    proc.step(108, [&] { platform().messageBox(kCopiedMessage); });
}

} // namespace velmora
