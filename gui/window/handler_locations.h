#pragma once

#include "core/errors/error_report.h"

// Where the error box places a failure in each of the window's handlers: the window's
// module and the handler's name as the box has always shown them.
namespace velmora::Location {

inline constexpr QStringView kWindowModule = u"Form1";
inline constexpr ErrorLocation windowEvents{kWindowModule, {}}; // a button press, at Qt's edge
inline constexpr ErrorLocation startUp{kWindowModule, u"Form_Load"};
inline constexpr ErrorLocation startSorting{kWindowModule, u"PushButton17_Click"};
inline constexpr ErrorLocation loadTextFromFile{kWindowModule, u"PushButton3_Click"};
inline constexpr ErrorLocation loadSampleText{kWindowModule, u"PushButton8_Click"};
inline constexpr ErrorLocation clearText{kWindowModule, u"PushButton1_Click"};
inline constexpr ErrorLocation clearResults{kWindowModule, u"PushButton2_Click"};
inline constexpr ErrorLocation saveResults{kWindowModule, u"PushButton4_Click"};
inline constexpr ErrorLocation copyResults{kWindowModule, u"PushButton5_Click"};
inline constexpr ErrorLocation showHelp{kWindowModule, u"PushButton6_Click"};
inline constexpr ErrorLocation inputListKeyDown{kWindowModule, u"ListView1_KeyDown"};
inline constexpr ErrorLocation resultListKeyDown{kWindowModule, u"ListView2_KeyDown"};

} // namespace velmora::Location
