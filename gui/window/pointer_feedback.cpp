// Hover feedback: the hand over command buttons, the arrow over the background, the frame
// and the lists. A running command's hourglass is never replaced.
#include "gui/window/main_window.h"

namespace velmora {

void MainWindow::showHoverPointer(const QObject* part)
{
    MousePointer over = MousePointer::Default;
    for (const HoverPointer& hover : m_hoverPointers) {
        if (part == hover.control ||
            (part->isWidgetType() &&
             hover.control->isAncestorOf(static_cast<const QWidget*>(part)))) {
            over = hover.pointer;
            break;
        }
    }
    if (m_mousePointer != MousePointer::Hourglass && m_mousePointer != over)
        setMousePointer(over);
}

} // namespace velmora
