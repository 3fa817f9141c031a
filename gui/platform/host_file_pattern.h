#pragma once

#include <QString>

namespace velmora {

// A file dialog's filter pattern as this host's dialog matches it. Windows' own dialog
// takes "*.*" for every name, with or without a dot; Qt's dialog needs "*" for that.
QString hostFilePattern(const QString& pattern);

} // namespace velmora
