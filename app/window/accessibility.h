#pragma once

namespace velmora {

class Form1;

// Gives every control of the main window the name and description a screen reader
// announces, so the window can be used without seeing it.
void setUpAccessibility(Form1& form);

} // namespace velmora
