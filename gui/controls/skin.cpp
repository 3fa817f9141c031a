#include "gui/controls/skin.h"

#include "core/formats/skin_file.h"
#include "gui/controls/list_view.h"

#include <QWidget>

using namespace Qt::StringLiterals;

namespace velmora {

Skin::Skin(QObject* parent) : QObject(parent)
{
    setObjectName(u"SkinFramework1"_s);
}

void Skin::load(const QString& path)
{
    m_styleSheet = readSkinFile(path);
    m_loaded = true;
}

void Skin::applyTo(QWidget& window)
{
    if (!m_loaded)
        return;
    // Skins were written when the lists were tree views: what they say of QTreeView is said
    // of the lists, whose class a style sheet names with "--" for "::".
    static const QString listType =
        QString::fromLatin1(ListView::staticMetaObject.className()).replace(u"::"_s, u"--"_s);
    window.setStyleSheet(renameTypeSelector(m_styleSheet, u"QTreeView", listType));
}

} // namespace velmora
