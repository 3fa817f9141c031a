#pragma once

#include "core/platform/platform.h"

#include <QStringView>

namespace velmora {

// The set-up loading and saving share for the common file dialog. One flag word serves
// both: long names, Explorer style, several files at once, the read-only box shown and
// ticked. There is no overwrite prompt, so saving replaces an existing file without a
// question.
inline constexpr int kListFileDialogFlags = FileDialogFlags::LongNames | FileDialogFlags::Explorer |
                                            FileDialogFlags::AllowMultiSelect |
                                            FileDialogFlags::ReadOnly;
static_assert(kListFileDialogFlags == 2621953);

inline constexpr QStringView kListFileFilter = u"Text Files (*.txt)|*.txt|All Files (*.*)|*.*|";

} // namespace velmora
