#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// Where a failure happened, as the error box names it: "in <project>.<module>.<procedure> ",
// or "in <project>.<module> " at the edge of an event handler that has no procedure of its
// own (see runEventHandler). Each guarded procedure names its own place.
struct ErrorLocation
{
    QStringView module;
    QStringView procedure; // empty: the module's own edge
    QString text() const;
};

// The project the error box names first in every location.
inline constexpr QStringView kProjectName = u"Pevrant2021/08/31";

inline constexpr QStringView kErrorBoxTitle = u"Application Error";
// Where the error box asks the user to send a screenshot of it.
inline constexpr QStringView kSupportEmailAddress = u"support@velmora.example";

// The error box's text: the failure, the place and step, and where to send a screenshot.
QString errorMessage(const QString& description, const ErrorLocation& location, int line);

// Shows the error box for a failure caught at `line` of the procedure at `location`, through
// the display installed last.
void reportFailure(const QString& description, const ErrorLocation& location, int line);

// What shows the error box's text. The box is the platform's, a layer above this one, so the
// platform seam installs it (ScopedPlatform).
using ErrorBoxDisplay = void (*)(const QString& message);
void installErrorBoxDisplay(ErrorBoxDisplay display);

} // namespace velmora
