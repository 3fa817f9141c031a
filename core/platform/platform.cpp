#include "core/platform/platform.h"

#include "core/errors/error_report.h"
#include "core/errors/runtime_failure.h"

#include <QtGlobal>

namespace velmora {

Platform* detail::installedPlatform = nullptr;

void detail::stopWithoutPlatform()
{
    qFatal("No platform installed: main() installs the real one, a test its double");
}

ScopedPlatform::ScopedPlatform(Platform& replacement) : m_previous(detail::installedPlatform)
{
    detail::installedPlatform = &replacement;
    installErrorBoxDisplay([](const QString& message) {
        platform().messageBox(message, MsgBoxIcon::Exclamation, kErrorBoxTitle.toString());
    });
}

ScopedPlatform::~ScopedPlatform()
{
    detail::installedPlatform = m_previous;
}

} // namespace velmora
