#pragma once

namespace velmora {

// Hands heap memory that has been freed back to the system. malloc keeps freed blocks for
// later use; after a command has dropped tens of megabytes (a cleared list, a sort's
// scratch) the program would otherwise stay that much bigger until the next such command.
void giveBackFreedMemory();

} // namespace velmora
