#pragma once

#include <QStringList>

namespace velmora::input {

// The lines "Load Sample/Example Text" adds, in their order (deliberately unsorted).
const QStringList& sampleLines();

} // namespace velmora::input
