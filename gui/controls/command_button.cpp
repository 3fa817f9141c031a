#include "gui/controls/command_button.h"

namespace velmora {

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setMouseTracking(true);
    setAutoDefault(false);
    setDefault(false);
    setAttribute(Qt::WA_NoMousePropagation);
    QPalette face = palette();
    face.setColor(QPalette::Button, Qt::white);
    face.setColor(QPalette::ButtonText, palette().color(QPalette::Active, QPalette::ButtonText));
    setPalette(face);
}

} // namespace velmora
