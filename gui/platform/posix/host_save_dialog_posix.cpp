#include "gui/platform/host_save_dialog.h"
#include "gui/platform/qt_file_dialogs.h"

namespace velmora {

QString showHostSaveDialog(const FileDialogRequest& request)
{
    return showQtSaveDialog(request);
}

} // namespace velmora
