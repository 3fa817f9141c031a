#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// Where a failure happened, as the error box names it: "in <project>.<module>.<procedure> ",
// or "in <project>.<module> " at the edge of an event handler that has no procedure of its
// own (see runEventHandler).
struct ErrorLocation
{
    QStringView module;
    QStringView procedure; // empty: the module's own edge
    QString text() const;
};

// The project the error box names first in every location.
inline constexpr QStringView kProjectName = u"Pevrant2021/08/31";

namespace Location {
inline constexpr QStringView kForm1 = u"Form1";
inline constexpr ErrorLocation Form1Events{kForm1, {}}; // a button press, at Qt's edge
inline constexpr ErrorLocation Form_Load{kForm1, u"Form_Load"};
inline constexpr ErrorLocation PushButton17_Click{kForm1, u"PushButton17_Click"};
inline constexpr ErrorLocation PushButton3_Click{kForm1, u"PushButton3_Click"};
inline constexpr ErrorLocation PushButton8_Click{kForm1, u"PushButton8_Click"};
inline constexpr ErrorLocation PushButton1_Click{kForm1, u"PushButton1_Click"};
inline constexpr ErrorLocation PushButton2_Click{kForm1, u"PushButton2_Click"};
inline constexpr ErrorLocation PushButton4_Click{kForm1, u"PushButton4_Click"};
inline constexpr ErrorLocation PushButton5_Click{kForm1, u"PushButton5_Click"};
inline constexpr ErrorLocation PushButton6_Click{kForm1, u"PushButton6_Click"};
inline constexpr ErrorLocation ListView1_KeyDown{kForm1, u"ListView1_KeyDown"};
inline constexpr ErrorLocation ListView2_KeyDown{kForm1, u"ListView2_KeyDown"};
inline constexpr ErrorLocation SaveListviewProperlySpaced{u"SortArray",
                                                          u"SaveListviewProperlySpaced"};
} // namespace Location

inline constexpr QStringView kErrorBoxTitle = u"Application Error";
// Where the error box asks the user to send a screenshot of it.
inline constexpr QStringView kSupportEmailAddress = u"support@velmora.example";

// The error box's text: the failure, the place and step, and where to send a screenshot.
QString errorMessage(const QString& description, const ErrorLocation& location, int line);

// Shows the error box for a failure caught at `line` of the procedure at `location`.
void reportFailure(const QString& description, const ErrorLocation& location, int line);

} // namespace velmora
