#include "app/platform/qt/host_save_dialog.h"
#include "app/platform/qt/qt_file_dialogs.h"

namespace velmora {

QString showHostSaveDialog(const FileDialogRequest& request)
{
    return showQtSaveDialog(request);
}

} // namespace velmora
