#include "gui/controls/progress_bar.h"

using namespace Qt::StringLiterals;

namespace velmora {

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setRange(0, 100);
    QProgressBar::setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
    m_sinceLastPaint.start();
    m_catchUp.setSingleShot(true);
    connect(&m_catchUp, &QTimer::timeout, this, &ProgressBar::catchUp);
}

void ProgressBar::setText(const QString& text)
{
    m_text = text;
    if (paintIsDue())
        update();
    else
        m_textChanged = true;
}

void ProgressBar::showPercent(int percent)
{
    m_shownPercent = percent;
    if (paintIsDue())
        QProgressBar::setValue(percent); // repaints at once when the drawn bar changes
}

bool ProgressBar::paintIsDue()
{
    const qint64 since = m_sinceLastPaint.elapsed();
    if (since >= kRepaintIntervalMs) {
        m_sinceLastPaint.restart();
        return true;
    }
    if (!m_catchUp.isActive())
        m_catchUp.start(static_cast<int>(kRepaintIntervalMs - since));
    return false;
}

void ProgressBar::catchUp()
{
    if (QProgressBar::value() != m_shownPercent) {
        QProgressBar::setValue(m_shownPercent); // paints the text too
        m_sinceLastPaint.restart();
    } else if (m_textChanged) {
        update();
        m_sinceLastPaint.restart();
    }
    m_textChanged = false;
}

} // namespace velmora
