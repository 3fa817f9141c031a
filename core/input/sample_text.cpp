#include "core/input/sample_text.h"

using namespace Qt::StringLiterals;

namespace velmora::input {

const QStringList& sampleLines()
{
    static const QStringList lines = {
        u"Watch your cash."_s,
        u"Pick founders carefully."_s,
        u"Hire generalists early."_s,
        u"Hire specialists later."_s,
        u"Invest in culture."_s,
        u"Avoid tempting distractions."_s,
        u"Support customers maniacally."_s,
        u"Avoid business plans."_s,
        u"Write a blog."_s,
        u"Never fudge numbers."_s,
        u"Encourage diverse thinking."_s,
        u"Guard your time."_s,
    };
    return lines;
}

} // namespace velmora::input
