#include "gui/controls/command_button.h"

namespace velmora {

CommandButton::CommandButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setAutoDefault(false);
    setDefault(false);
    QPalette face = palette();
    face.setColor(QPalette::Button, Qt::white);
    face.setColor(QPalette::ButtonText, palette().color(QPalette::Active, QPalette::ButtonText));
    setPalette(face);
}

} // namespace velmora
