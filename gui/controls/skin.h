#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace velmora {

// The skin: an invisible control of the main window that re-dresses the window from a
// skin file (core/formats/skin_file.h says what one holds). Start-up is its only user.
class Skin : public QObject
{
    Q_OBJECT
public:
    explicit Skin(QObject* parent = nullptr);

    // Reads and checks the skin file (a Windows-form path). Throws RuntimeFailure; a failed
    // load keeps the skin loaded before, if any.
    void load(const QString& path);

    // Dresses the window (and through it all its controls) in the loaded skin. Before a
    // successful load it leaves the window as it is.
    void applyTo(QWidget& window);

private:
    QString m_styleSheet;
    bool m_loaded = false;
};

} // namespace velmora
