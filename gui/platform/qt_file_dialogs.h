#pragma once

#include "core/platform/platform.h"

#include <QString>

namespace velmora {

// Qt's file dialogs behind the seam's requests; names come back in Windows form.
QString showQtOpenDialog(const FileDialogRequest& request);
QString showQtSaveDialog(const FileDialogRequest& request);

} // namespace velmora
