#pragma once

#include <QString>

namespace velmora {
class ListItemCollection;
}

namespace velmora::input {

// Appends the lines of one text file to the list's items, one item per line that holds anything
// but spaces; lines are kept as they are, spaces and all. A missing file shows "File not
// found" and adds nothing. Read failures pass to the calling command.
void loadListFromFile(ListItemCollection& items, const QString& path);

} // namespace velmora::input
