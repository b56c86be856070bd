#include "engine/TVumeter.h"

#include "engine/TXaudioPlayer.h"

#include <cstdlib>

TVumeter::TVumeter(TXaudioPlayer *player, QObject *parent) : QObject(parent), m_player(player) {}

void TVumeter::Update()
{
    if (!m_player || !m_player->isValid())
        return;
    int left = 0, right = 0, channels = 0;
    if (!player_get_output_peaks(m_player->handle(), &left, &right, &channels))
        return;
    m_left = std::abs(left) / 180;
    // The line the meters describe is stereo: a mono song sounds on both sides, so both meters show it.
    m_right = channels == 2 ? std::abs(right) / 180 : m_left;
}
