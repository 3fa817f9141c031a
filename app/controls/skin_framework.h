#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace velmora {

// The skin framework: an invisible control of the main window that re-dresses the window
// from a skin file. Start-up is its only user (ApplySkin).
//
// Skin file format: a Qt style sheet (https://doc.qt.io/qt-6/stylesheet-reference.html),
// UTF-8 text, optionally starting with a byte-order mark. The sheet is applied to the main
// window, so its rules reach every control and can name them by their control names, e.g.
//
//     QWidget#Form1 { background: #dfe6ee; }
//     QPushButton { border: 1px solid #7a8ca3; border-radius: 3px; }
//     QGroupBox#Frame1 { color: #24476b; }
//
// Loading checks the text only as far as a style sheet can be checked without applying it:
// valid UTF-8, no NUL characters, comments and quoted strings closed, braces balanced.
// A file that fails these checks, or cannot be read, fails to load.
class SkinFramework : public QObject
{
    Q_OBJECT
public:
    explicit SkinFramework(QObject* parent = nullptr);

    // Reads and checks the skin file (a Windows-form path). The second text names a part of
    // the file in other skin formats; a style sheet has no parts, so it must be empty.
    // Throws RuntimeFailure; a failed load keeps the skin loaded before, if any.
    void LoadSkin(const QString& path, const QString& part);

    // Option flags. Only stored: this framework has no options yet, and start-up's habit
    // of setting bit 0 changes nothing.
    int Options() const { return m_options; }
    void setOptions(int flags) { m_options = flags; }

    // Two switches start-up turns on. Nothing here reads them; they exist so start-up can
    // keep its full calling sequence and tests can see that it ran to the end.
    bool switch5 = false;
    bool switch10 = false;

    // Dresses the window (and through it all its controls) in the loaded skin. Before a
    // successful load it leaves the window as it is.
    void ApplyWindow(QWidget& window);

private:
    QString m_styleSheet;
    bool m_loaded = false;
    int m_options = 0;
};

// True when the text is shaped like a style sheet (see the format above).
bool isWellFormedStyleSheet(QStringView sheet);

} // namespace velmora
