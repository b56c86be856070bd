#include "player/EndPacer.h"

#include <algorithm>

int EndPacer::waitAfterEnd(bool stream)
{
    const bool quick = stream && (!m_playing.isValid() || m_playing.elapsed() < QuickEndMs);
    m_playing.invalidate();
    if (!quick) {
        m_quickEnds = 0;
        return 0;
    }
    const int doublings = std::min(m_quickEnds++, 5);
    return std::min(LongestWaitMs, FirstWaitMs << doublings);
}
