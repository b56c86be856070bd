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
    if (channels == 2)
        m_right = std::abs(right) / 180;
}
