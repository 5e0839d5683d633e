#include "StringLines.h"

bool StringLines::next(QStringRef* line)
{
    if (m_done)
        return false;
    int end = m_text.indexOf(QLatin1Char('\n'), m_start);
    if (end < 0) {
        end = m_text.size();
        m_done = true;
    }
    *line = m_text.midRef(m_start, end - m_start);
    m_start = end + 1;
    return true;
}
