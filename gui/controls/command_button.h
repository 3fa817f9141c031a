#pragma once

#include <QPushButton>

namespace velmora {

// A command button: bold caption on a white face. Mouse moves over it are reported
// even with no button held, for the hover pointer.
class CommandButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CommandButton(const QString& caption, QWidget* parent = nullptr);
};

} // namespace velmora
