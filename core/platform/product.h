#pragma once

#include <QStringView>

namespace velmora {

// The product's name (the application title until start-up sets it) and the maker's pages,
// named by the start-up and the Help box. (The error box's support address is the error
// handler's own: kSupportEmailAddress.)
inline constexpr QStringView kProductName = u"Velmora";
inline constexpr QStringView kContactPageAddress = u"https://www.velmora.example/contact";
inline constexpr QStringView kWebSiteAddress = u"https://www.velmora.example/";

} // namespace velmora
