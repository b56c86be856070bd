#include "engine/xaudio/xaudio.h"

#include "engine/xaudio/DecoderPlayer.h"

#include <cstring>

struct XA_Player {
    explicit XA_Player(XA_NotifyCallback notify, void *user) : player(notify, user) {}
    DecoderPlayer player;
};

uint32_t xaudio_get_api_version()
{
    return (XA_API_MAJOR << 16) | (XA_API_MINOR << 8);
}

const char *xaudio_error_string(int code)
{
    switch (code) {
    case XA_SUCCESS:
        return "success";
    case XA_FAILURE:
        return "failure";
    case XA_ERROR_OUT_OF_MEMORY:
        return "out of memory";
    case XA_ERROR_INVALID_PARAMETERS:
        return "invalid parameters";
    case XA_ERROR_INTERNAL:
        return "internal error";
    case XA_ERROR_TIMEOUT:
        return "timeout";
    case XA_ERROR_VERSION_MISMATCH:
        return "version mismatch";
    case XA_ERROR_NO_INPUT:
        return "no input is open";
    case XA_ERROR_INPUT_OPEN_FAILED:
        return "cannot open the input";
    case XA_ERROR_INPUT_FORMAT:
        return "not an MPEG audio stream";
    case XA_ERROR_INPUT_READ:
        return "input read error";
    case XA_ERROR_NETWORK:
        return "network error";
    case XA_ERROR_CONNECTION_DROPPED:
        return "the connection dropped";
    case XA_ERROR_NOT_SEEKABLE:
        return "the input cannot seek";
    case XA_ERROR_NO_OUTPUT:
        return "no output is open";
    case XA_ERROR_OUTPUT_OPEN_FAILED:
        return "cannot open the output";
    case XA_ERROR_OUTPUT_WRITE:
        return "output write error";
    case XA_ERROR_UNKNOWN_MODULE:
        return "unknown module";
    case XA_ERROR_NOT_SUPPORTED:
        return "not supported";
    case XA_ERROR_INVALID_STATE:
        return "not possible in this state";
    case XA_ERROR_NO_SUCH_ENVIRONMENT:
        return "no such environment variable";
    case XA_ERROR_ABORTED:
        return "aborted";
    case XA_ERROR_INVALID_PLAYER:
        return "invalid player";
    case XA_ERROR_UNKNOWN_COMMAND:
        return "unknown command";
    case XA_ERROR_INPUT_DAMAGED:
        return "damaged or unknown audio file";
    default:
        return "unknown error";
    }
}

int player_new(XA_Player **player, XA_NotifyCallback notify, void *user)
{
    if (!player)
        return XA_ERROR_INVALID_PARAMETERS;
    try {
        *player = new XA_Player(notify, user);
    } catch (...) {
        *player = nullptr;
        return XA_ERROR_OUT_OF_MEMORY;
    }
    return XA_SUCCESS;
}

void player_delete(XA_Player *player)
{
    if (!player)
        return;
    // A decoder stuck in a sound device that never answers is left behind rather than hanging the caller.
    if (player->player.shutdown(std::chrono::seconds(5)))
        delete player;
}

int player_set_priority(XA_Player *player, int priority)
{
    if (!player)
        return XA_ERROR_INVALID_PLAYER;
    player->player.setPriority(priority);
    return XA_SUCCESS;
}

int player_get_priority(XA_Player *player)
{
    return player ? player->player.priority() : XA_ERROR_INVALID_PLAYER;
}

namespace
{
int send(XA_Player *player, XA_Command &&c)
{
    if (!player)
        return XA_ERROR_INVALID_PLAYER;
    player->player.post(std::move(c));
    return XA_SUCCESS;
}
XA_Command command(int code, int a = 0, int b = 0, int c = 0)
{
    XA_Command cmd;
    cmd.code = code;
    cmd.i[0] = a;
    cmd.i[1] = b;
    cmd.i[2] = c;
    return cmd;
}
} // namespace

int control_message_send_N(XA_Player *player, int code)
{
    return send(player, command(code));
}

int control_message_send_I(XA_Player *player, int code, int a)
{
    return send(player, command(code, a));
}

int control_message_send_II(XA_Player *player, int code, int a, int b)
{
    return send(player, command(code, a, b));
}

int control_message_send_III(XA_Player *player, int code, int a, int b, int c)
{
    return send(player, command(code, a, b, c));
}

int control_message_send_S(XA_Player *player, int code, const char *s)
{
    XA_Command c = command(code);
    c.s[0] = s ? s : "";
    return send(player, std::move(c));
}

int control_message_send_SI(XA_Player *player, int code, const char *s, int a)
{
    XA_Command c = command(code, a);
    c.s[0] = s ? s : "";
    return send(player, std::move(c));
}

int control_message_send_SS(XA_Player *player, int code, const char *s1, const char *s2)
{
    XA_Command c = command(code);
    c.s[0] = s1 ? s1 : "";
    c.s[1] = s2 ? s2 : "";
    return send(player, std::move(c));
}

int control_message_send_P(XA_Player *player, int code, const void *p)
{
    XA_Command c = command(code);
    // Only the equalizer record travels by pointer.
    if (p && code == XA_MSG_SET_CODEC_EQUALIZER) {
        c.hasData = true;
        c.data.resize(sizeof(XA_EqualizerInfo));
        std::memcpy(c.data.data(), p, sizeof(XA_EqualizerInfo));
    }
    return send(player, std::move(c));
}

int control_message_send_IPI(XA_Player *player, int code, int a, const void *p, int size)
{
    XA_Command c = command(code, a, size);
    if (p && size > 0) {
        c.hasData = true;
        c.data.assign(static_cast<const uint8_t *>(p), static_cast<const uint8_t *>(p) + size);
    }
    return send(player, std::move(c));
}

void player_set_wake_mask(XA_Player *player, uint32_t mask)
{
    if (player)
        player->player.setWakeMask(mask);
}

bool control_message_get(XA_Player *player, XA_Message *message)
{
    return player && message && player->player.take(message);
}

bool player_get_output_peaks(XA_Player *player, int *left, int *right, int *channels)
{
    return player && player->player.peaks(left, right, channels);
}
