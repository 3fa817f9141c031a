#pragma once

#include <QStringView>

namespace velmora {

// The maker's addresses, named by the Help box, the error box and the start-up.
inline constexpr QStringView kProductName = u"Velmora";
inline constexpr QStringView kContactPageAddress = u"https://www.velmora.example/contact";
inline constexpr QStringView kWebSiteAddress = u"https://www.velmora.example/";
inline constexpr QStringView kSupportEmailAddress = u"support@velmora.example";

} // namespace velmora
