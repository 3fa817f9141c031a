#include "app/controls/vendor_progress_bar.h"

using namespace Qt::StringLiterals;

namespace velmora {

VendorProgressBar::VendorProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 100);
    QProgressBar::setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
    m_sinceLastPaint.start();
    m_catchUp.setSingleShot(true);
    connect(&m_catchUp, &QTimer::timeout, this, &VendorProgressBar::catchUp);
}

void VendorProgressBar::setText(const QString& text)
{
    m_text = text;
    update();
}

QString VendorProgressBar::text() const
{
    return m_text;
}

void VendorProgressBar::showPercent(int percent)
{
    m_shownPercent = percent;
    if (m_sinceLastPaint.elapsed() >= kRepaintIntervalMs) {
        QProgressBar::setValue(percent); // repaints at once when the drawn bar changes
        m_sinceLastPaint.restart();
    } else if (!m_catchUp.isActive()) {
        m_catchUp.start(static_cast<int>(kRepaintIntervalMs - m_sinceLastPaint.elapsed()));
    }
}

void VendorProgressBar::catchUp()
{
    if (QProgressBar::value() != m_shownPercent) {
        QProgressBar::setValue(m_shownPercent);
        m_sinceLastPaint.restart();
    }
}

} // namespace velmora
