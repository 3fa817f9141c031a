#pragma once

#include "app/form1.h"
#include "app/host_paths.h"

#include <QStringList>
#include <QTemporaryDir>

namespace velmora::test {

inline QStringList itemTexts(ListView* list)
{
    QStringList texts;
    auto& items = list->ListItems();
    for (int i = 1; i <= items.Count(); ++i)
        texts.append(items.Item(i).Text());
    return texts;
}

inline void fillList(ListView* list, const QStringList& texts)
{
    for (const QString& text : texts)
        list->ListItems().Add(text);
}

// A file path inside a temporary folder, in the program's Windows form.
inline QString windowsPathIn(const QTemporaryDir& dir, const QString& name)
{
    return toWindowsPath(dir.filePath(name));
}

} // namespace velmora::test
