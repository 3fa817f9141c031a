#pragma once

namespace velmora {

class MainWindow;

// Gives every control of the main window the name and description a screen reader
// announces, so the window can be used without seeing it.
void setUpAccessibility(MainWindow& form);

} // namespace velmora
