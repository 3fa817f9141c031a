#pragma once

#include "core/platform/platform.h"

#include <QString>

namespace velmora {

// The save dialog as this host shows it: the chosen file's full path in Windows form, or
// the empty string when the user cancels; a dialog that fails throws a RuntimeFailure. A
// name typed without an extension is used as typed, and an existing file is chosen without
// a question.
QString showHostSaveDialog(const FileDialogRequest& request);

} // namespace velmora
