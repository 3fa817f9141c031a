#pragma once

#include "core/model/progress_indicator.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include <functional>

namespace velmora {

// The progress bar: a value stored exactly as written (never rounded or clamped; the export
// writes values slightly above 100) and a text shown on the bar. value() is that stored
// value; the whole percent drawn is QProgressBar::value().
//
// The export writes the value per cell and the sort per pass, millions of times for a big
// list, so a write only stores the number. The widget repaints, synchronously, when the
// whole percent it shows changes and at least kRepaintIntervalMs has passed since its last
// paint; otherwise a timer catches up once the interval is over, so it always ends showing
// the last value and never paints more often than that, however often the event loop turns.
// A new text is painted the same way: the export changes it every thousand rows.
class ProgressBar final : public QProgressBar, public ProgressIndicator
{
    Q_OBJECT
public:
    static constexpr qint64 kRepaintIntervalMs = 30;

    explicit ProgressBar(QWidget* parent = nullptr);

    double value() const override { return m_value; }
    void setValue(double value) override
    {
        m_value = value;
        if (m_writeObserver) [[unlikely]]
            m_writeObserver(value);
        const int shown = shownPercent(value);
        if (shown != m_shownPercent) [[unlikely]]
            showPercent(shown);
    }

    QString text() const override { return m_text; }
    void setText(const QString& text) override;

    // Called with every value written, once it is stored; may throw, and the writer then
    // fails as it would on a failing bar.
    void setWriteObserver(std::function<void(double)> observer)
    {
        m_writeObserver = std::move(observer);
    }
    bool hasWriteObserver() const override { return static_cast<bool>(m_writeObserver); }

private:
    static int shownPercent(double value)
    {
        if (!(value > 0.0))
            return 0;
        return value >= 100.0 ? 100 : static_cast<int>(value);
    }
    void showPercent(int percent);
    // True, counting from now, when the interval since the last paint is over; otherwise
    // the catch-up timer is set to paint once it is.
    bool paintIsDue();
    void catchUp();

    double m_value = 0.0;
    int m_shownPercent = 0;
    QTimer m_catchUp;
    QString m_text;
    bool m_textChanged = false; // since the last paint
    QElapsedTimer m_sinceLastPaint;
    std::function<void(double)> m_writeObserver;
};

} // namespace velmora
