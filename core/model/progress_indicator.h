#pragma once

#include <QString>
#include <QStringView>

namespace velmora {

// What the sort and the export drive: a progress value and a text. The bar widget
// (ProgressBar) is the one in the window; the work below the window sees only this. The
// names are those of Qt's bar, so the widget's own text() and this one are the same.
class ProgressIndicator
{
public:
    virtual double value() const = 0; // as written, never rounded or clamped
    virtual void setValue(double value) = 0;
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    // Something sees every value written, so no write may be left out.
    virtual bool hasWriteObserver() const = 0;

protected:
    ~ProgressIndicator() = default;
};

// The text a resting bar shows: the window's before any work, the export's when done.
inline constexpr QStringView kRestingProgressText = u"Progress Bar";

} // namespace velmora
