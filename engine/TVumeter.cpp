#include "engine/TVumeter.h"

#include "engine/AudioEngine.h"

#include <cstdlib>

TVumeter::TVumeter(AudioEngine *engine, QObject *parent) : QObject(parent), m_engine(engine) {}

void TVumeter::Update()
{
    int left = 0, right = 0, channels = 0;
    if (!m_engine || !m_engine->outputPeaks(&left, &right, &channels))
        return;
    m_left = std::abs(left) / 180;
    // The line the meters describe is stereo: a mono song sounds on both sides, so both meters show it.
    m_right = channels == 2 ? std::abs(right) / 180 : m_left;
}
