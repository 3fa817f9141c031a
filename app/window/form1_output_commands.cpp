// Commands that take the results out of the program.
#include "app/errors/error_report.h"
#include "app/errors/guarded_procedure.h"
#include "app/platform/platform.h"
#include "app/window/file_dialogs.h"
#include "app/window/form1.h"
#include "output/aligned_export.h"
#include "output/clipboard_copy.h"

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

const QString kCopiedMessage =
    u"Results have been copied to the clipboard.\r\rClick a text area where you normally type "
    u"and press Ctrl+V to paste the clipboard."_s;

} // namespace

void Form1::PushButton4_Click()
{
    GuardedProcedure proc(Location::PushButton4_Click);
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
        SortArray::SaveListviewProperlySpaced(ListView2->ListItems(), ListView2->ColumnHeaders(),
                                              name, ProgressBar1);
    });
    proc.step(122, [&] { setMousePointer(MousePointer::Default); });
}

void Form1::PushButton5_Click()
{
    GuardedProcedure proc(Location::PushButton5_Click);
    proc.step(106, [&] {
        Main::CopyListviewToClipboard(ListView2->ListItems(), ListView2->ColumnHeaders());
    });
    proc.step(108, [&] { platform().messageBox(kCopiedMessage); });
}

} // namespace velmora
