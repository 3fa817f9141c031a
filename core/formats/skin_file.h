#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// A skin file is a Qt style sheet (https://doc.qt.io/qt-6/stylesheet-reference.html) in
// UTF-8, optionally starting with a byte-order mark. The sheet is applied to the main
// window, so its rules reach every control and can name them by their object names, e.g.
//
//     QWidget#Form1 { background: #dfe6ee; }
//     QPushButton { border: 1px solid #7a8ca3; border-radius: 3px; }
//     QGroupBox#Frame1 { color: #24476b; }
//
// The text is checked only as far as a style sheet can be checked without applying it:
// valid UTF-8, no NUL characters, comments and quoted strings closed, braces balanced.

// The style sheet in the skin file at a Windows-form path. Throws RuntimeFailure when the
// file cannot be read, is larger than any skin, or fails the checks above.
QString readSkinFile(const QString& path);

// The sheet with every type selector `from` (also as `.from`, and before `::` or `:`) named
// `to` instead; declarations, comments and quoted texts stay as they are.
QString renameTypeSelector(QStringView sheet, QStringView from, QStringView to);

} // namespace velmora
