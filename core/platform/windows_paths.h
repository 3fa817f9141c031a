#pragma once

#include <QString>

// Taking Windows-form paths apart, as loading and saving both need; the host never sees
// these (host_paths.h maps whole paths to it).
namespace velmora {

// The text after the last backslash (all of it when there is none).
QString fileNameFromPath(const QString& path);

// Doubled backslashes collapsed in one left-to-right pass; a leading run of backslashes
// becomes exactly two.
QString collapseBackslashes(const QString& path);

} // namespace velmora
