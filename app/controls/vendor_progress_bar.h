#pragma once

#include "app/controls/progress_indicator.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>

#include <functional>

namespace velmora {

// The progress bar: a Value stored exactly as written (never rounded or clamped; the export
// writes values slightly above 100) and a Text shown on the bar.
//
// The export writes the value per cell and the sort per pass, millions of times for a big
// list, so a write only stores the number. The widget repaints, synchronously, when the whole
// percent it shows changes and at least kRepaintInterval has passed since its last paint; otherwise
// a timer catches up once the interval is over, so it always ends showing the last value and never
// paints more often than that, however often the event loop turns.
class VendorProgressBar final : public QProgressBar, public ProgressIndicator
{
    Q_OBJECT
public:
    static constexpr qint64 kRepaintIntervalMs = 30;

    explicit VendorProgressBar(QWidget* parent = nullptr);

    double Value() const override { return m_value; }
    void setValue(double value) override
    {
        m_value = value;
        if (m_writeObserver) [[unlikely]]
            m_writeObserver(value);
        const int shown = shownPercent(value);
        if (shown != m_shownPercent) [[unlikely]]
            showPercent(shown);
    }

    const QString& Text() const override { return m_text; }
    void setText(const QString& text) override;

    QString text() const override;

    // Called with every value written, once it is stored; may throw to stand in for a
    // failing bar (tests use both).
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
    void catchUp();

    double m_value = 0.0;
    int m_shownPercent = 0;
    QTimer m_catchUp;
    QString m_text;
    QElapsedTimer m_sinceLastPaint;
    std::function<void(double)> m_writeObserver;
};

} // namespace velmora
