#pragma once

namespace velmora {

// Screen readers meet the lists as flat lists whose entries read as their lines, not as
// trees. Called by every list's constructor; installs the interface once.
void installListAccessible();

} // namespace velmora
