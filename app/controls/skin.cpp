#include "app/controls/skin.h"

#include "app/errors/runtime_failure.h"
#include "app/formats/skin_file.h"

#include <QWidget>

using namespace Qt::StringLiterals;

namespace velmora {

Skin::Skin(QObject* parent) : QObject(parent)
{
    setObjectName(u"SkinFramework1"_s);
}

void Skin::load(const QString& path, const QString& part)
{
    if (!part.isEmpty())
        throw Failure::invalidProcedureCall();
    m_styleSheet = readSkinFile(path);
    m_loaded = true;
}

void Skin::applyTo(QWidget& window)
{
    if (m_loaded)
        window.setStyleSheet(m_styleSheet);
}

} // namespace velmora
