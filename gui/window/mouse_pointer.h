#pragma once

namespace velmora {

// The window's pointer setting. Hourglass is also the program's only busy flag.
enum class MousePointer : int
{
    Default = 0,
    Hourglass = 11,
    Custom = 99 // the hand image, when one was loaded; the arrow otherwise
};

} // namespace velmora
