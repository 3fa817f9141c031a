// Commands that take the results out of the program.
#include "app/form1.h"

namespace velmora {

void Form1::PushButton4_Click()
{
    // Save Results As Text File: not built yet.
}

void Form1::PushButton5_Click()
{
    // Copy Results To Clipboard: not built yet.
}

} // namespace velmora
