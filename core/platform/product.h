#pragma once

#include <QStringView>

namespace velmora {

// The product's name: the application title until start-up sets it.
inline constexpr QStringView kProductName = u"Velmora";
// The maker and its pages, named by the start-up and the Help box; CMakeLists.txt sets them,
// for the packages too. (The error box's support address is the error handler's own.)
extern const QStringView kPublisher;
extern const QStringView kContactPageAddress;
extern const QStringView kWebSiteAddress;

} // namespace velmora
