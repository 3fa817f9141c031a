#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// Where a failure happened, as the error box names it (each text ends with a space).
namespace Location {
inline constexpr QStringView Form_Load = u"in Pevrant2021/08/31.Form1.Form_Load ";
inline constexpr QStringView PushButton17_Click = u"in Pevrant2021/08/31.Form1.PushButton17_Click ";
inline constexpr QStringView PushButton3_Click = u"in Pevrant2021/08/31.Form1.PushButton3_Click ";
inline constexpr QStringView PushButton8_Click = u"in Pevrant2021/08/31.Form1.PushButton8_Click ";
inline constexpr QStringView PushButton1_Click = u"in Pevrant2021/08/31.Form1.PushButton1_Click ";
inline constexpr QStringView PushButton2_Click = u"in Pevrant2021/08/31.Form1.PushButton2_Click ";
inline constexpr QStringView PushButton4_Click = u"in Pevrant2021/08/31.Form1.PushButton4_Click ";
inline constexpr QStringView SaveListviewProperlySpaced =
    u"in Pevrant2021/08/31.SortArray.SaveListviewProperlySpaced ";
inline constexpr QStringView PushButton5_Click = u"in Pevrant2021/08/31.Form1.PushButton5_Click ";
inline constexpr QStringView PushButton6_Click = u"in Pevrant2021/08/31.Form1.PushButton6_Click ";
} // namespace Location

inline constexpr QStringView kErrorBoxTitle = u"Application Error";
// Where the error box asks the user to send a screenshot of it.
inline constexpr QStringView kSupportEmailAddress = u"support@velmora.example";

// The error box's text: the failure, the place and step, and where to send a screenshot.
QString errorMessage(const QString& description, QStringView location, int line);

// Shows the error box for a failure caught at `line` of the procedure at `location`.
void reportFailure(const QString& description, QStringView location, int line);

} // namespace velmora
