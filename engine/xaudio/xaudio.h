#pragma once
// The decoder library: one player per handle, driven by queued commands whose outcomes come back as
// notifications. Commands never block the caller; notifications are taken in posting order with
// control_message_get after the player's notify callback has signalled them.
#include <cstdint>
#include <string>

// Interface version 3.2: major in bits 16..23, minor in bits 8..15.
constexpr uint32_t XA_API_MAJOR = 3;
constexpr uint32_t XA_API_MINOR = 2;
uint32_t xaudio_get_api_version();

enum XA_CommandCode : int {
    XA_MSG_COMMAND_EXIT = 1,
    XA_MSG_COMMAND_PING = 2,
    XA_MSG_COMMAND_PLAY = 3,
    XA_MSG_COMMAND_PAUSE = 4,
    XA_MSG_COMMAND_STOP = 5,
    XA_MSG_COMMAND_INPUT_SEEK = 6,
    XA_MSG_COMMAND_INPUT_OPEN = 7,
    XA_MSG_COMMAND_INPUT_CLOSE = 8,
    XA_MSG_COMMAND_INPUT_SEND_MESSAGE = 9,
    XA_MSG_COMMAND_INPUT_ADD_FILTER = 10,
    XA_MSG_COMMAND_INPUT_REMOVE_FILTER = 11,
    XA_MSG_COMMAND_INPUT_FILTERS_LIST = 12,
    XA_MSG_COMMAND_INPUT_MODULE_REGISTER = 13,
    XA_MSG_COMMAND_INPUT_MODULE_QUERY = 14,
    XA_MSG_COMMAND_INPUT_MODULES_LIST = 15,
    XA_MSG_COMMAND_OUTPUT_OPEN = 16,
    XA_MSG_COMMAND_OUTPUT_CLOSE = 17,
    XA_MSG_COMMAND_OUTPUT_SEND_MESSAGE = 18,
    XA_MSG_COMMAND_OUTPUT_MUTE = 19,
    XA_MSG_COMMAND_OUTPUT_UNMUTE = 20,
    XA_MSG_COMMAND_OUTPUT_RESET = 21,
    XA_MSG_COMMAND_OUTPUT_DRAIN = 22,
    XA_MSG_COMMAND_OUTPUT_ADD_FILTER = 23,
    XA_MSG_COMMAND_OUTPUT_REMOVE_FILTER = 24,
    XA_MSG_COMMAND_OUTPUT_FILTERS_LIST = 25,
    XA_MSG_COMMAND_OUTPUT_MODULE_REGISTER = 26,
    XA_MSG_COMMAND_OUTPUT_MODULE_QUERY = 27,
    XA_MSG_COMMAND_OUTPUT_MODULES_LIST = 28,
    XA_MSG_SET_PLAYER_MODE = 29,
    XA_MSG_GET_PLAYER_MODE = 30,
    XA_MSG_SET_PLAYER_ENVIRONMENT_INTEGER = 31,
    XA_MSG_GET_PLAYER_ENVIRONMENT_INTEGER = 32,
    XA_MSG_SET_PLAYER_ENVIRONMENT_STRING = 33,
    XA_MSG_GET_PLAYER_ENVIRONMENT_STRING = 34,
    XA_MSG_UNSET_PLAYER_ENVIRONMENT = 35,
    XA_MSG_SET_INPUT_NAME = 36,
    XA_MSG_GET_INPUT_NAME = 37,
    XA_MSG_SET_INPUT_MODULE = 38,
    XA_MSG_GET_INPUT_MODULE = 39,
    XA_MSG_SET_INPUT_POSITION_RANGE = 40,
    XA_MSG_GET_INPUT_POSITION_RANGE = 41,
    XA_MSG_SET_INPUT_TIMECODE_GRANULARITY = 42,
    XA_MSG_GET_INPUT_TIMECODE_GRANULARITY = 43,
    XA_MSG_SET_OUTPUT_NAME = 44,
    XA_MSG_GET_OUTPUT_NAME = 45,
    XA_MSG_SET_OUTPUT_MODULE = 46,
    XA_MSG_GET_OUTPUT_MODULE = 47,
    XA_MSG_SET_OUTPUT_VOLUME = 48,
    XA_MSG_GET_OUTPUT_VOLUME = 49,
    XA_MSG_SET_OUTPUT_CHANNELS = 50,
    XA_MSG_GET_OUTPUT_CHANNELS = 51,
    XA_MSG_SET_OUTPUT_PORTS = 52,
    XA_MSG_GET_OUTPUT_PORTS = 53,
    XA_MSG_SET_CODEC_QUALITY = 54,
    XA_MSG_GET_CODEC_QUALITY = 55,
    XA_MSG_SET_CODEC_EQUALIZER = 58,
    XA_MSG_GET_CODEC_EQUALIZER = 59,
    XA_MSG_SET_NOTIFICATION_MASK = 60,
    XA_MSG_GET_NOTIFICATION_MASK = 61,
    XA_MSG_SET_DEBUG_LEVEL = 62,
    XA_MSG_GET_DEBUG_LEVEL = 63,
    // Beyond the 3.2 set: opens the input that is to follow the current one (a file name; empty forgets it).
    // When the current input ends and the queued one has the same rate and channels, it follows on the open
    // output without a gap, announced by XA_MSG_NOTIFY_INPUT_FOLLOWED; otherwise the player stops at the
    // end as before.
    XA_MSG_COMMAND_INPUT_QUEUE = 120,
};

enum XA_NotificationCode : int {
    XA_MSG_NOTIFY_READY = 64,
    XA_MSG_NOTIFY_ACK = 65,
    XA_MSG_NOTIFY_NACK = 66,
    XA_MSG_NOTIFY_PONG = 67,
    XA_MSG_NOTIFY_EXITED = 68,
    XA_MSG_NOTIFY_PLAYER_STATE = 69,
    XA_MSG_NOTIFY_PLAYER_MODE = 70,
    XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_INTEGER = 71,
    XA_MSG_NOTIFY_PLAYER_ENVIRONMENT_STRING = 72,
    XA_MSG_NOTIFY_INPUT_STATE = 73,
    XA_MSG_NOTIFY_INPUT_NAME = 74,
    XA_MSG_NOTIFY_INPUT_CAPS = 75,
    XA_MSG_NOTIFY_INPUT_POSITION = 76,
    XA_MSG_NOTIFY_INPUT_POSITION_RANGE = 77,
    XA_MSG_NOTIFY_INPUT_TIMECODE = 78,
    XA_MSG_NOTIFY_INPUT_TIMECODE_GRANULARITY = 79,
    XA_MSG_NOTIFY_INPUT_DURATION = 80,
    XA_MSG_NOTIFY_INPUT_STREAM_INFO = 81,
    XA_MSG_NOTIFY_INPUT_MODULE = 82,
    XA_MSG_NOTIFY_INPUT_MODULE_INFO = 83,
    XA_MSG_NOTIFY_INPUT_DEVICE_INFO = 84,
    XA_MSG_NOTIFY_INPUT_FILTER_INFO = 85,
    XA_MSG_NOTIFY_OUTPUT_STATE = 86,
    XA_MSG_NOTIFY_OUTPUT_NAME = 87,
    XA_MSG_NOTIFY_OUTPUT_CAPS = 88,
    XA_MSG_NOTIFY_OUTPUT_VOLUME = 89,
    XA_MSG_NOTIFY_OUTPUT_BALANCE = 90,
    XA_MSG_NOTIFY_OUTPUT_PCM_LEVEL = 91,
    XA_MSG_NOTIFY_OUTPUT_MASTER_LEVEL = 92,
    XA_MSG_NOTIFY_OUTPUT_CHANNELS = 93,
    XA_MSG_NOTIFY_OUTPUT_PORTS = 94,
    XA_MSG_NOTIFY_OUTPUT_RESERVED = 95,
    XA_MSG_NOTIFY_OUTPUT_MODULE = 96,
    XA_MSG_NOTIFY_OUTPUT_MODULE_INFO = 97,
    XA_MSG_NOTIFY_OUTPUT_DEVICE_INFO = 98,
    XA_MSG_NOTIFY_OUTPUT_FILTER_INFO = 99,
    XA_MSG_NOTIFY_CODEC_QUALITY = 100,
    XA_MSG_NOTIFY_CODEC_EQUALIZER = 101,
    XA_MSG_NOTIFY_NOTIFICATION_MASK = 102,
    XA_MSG_NOTIFY_DEBUG_LEVEL = 103,
    XA_MSG_NOTIFY_PROGRESS = 104,
    XA_MSG_NOTIFY_DEBUG = 105,
    XA_MSG_NOTIFY_ERROR = 106,
    // Beyond the 3.2 set: the title a radio stream sends in its ICY metadata (text), as it changes.
    XA_MSG_NOTIFY_INPUT_STREAM_TITLE = 107,
    // The queued input (name) took over from the one that ended; its name, duration and stream info follow.
    XA_MSG_NOTIFY_INPUT_FOLLOWED = 108,
};

enum XA_PlayerState : int {
    XA_PLAYER_STATE_STOPPED = 0,
    XA_PLAYER_STATE_PLAYING = 1,
    XA_PLAYER_STATE_PAUSED = 2,
    XA_PLAYER_STATE_EOS = 3,
};

enum XA_DeviceState : int {
    XA_INPUT_STATE_OPEN = 0,
    XA_INPUT_STATE_CLOSED = 1,
    XA_OUTPUT_STATE_OPEN = 0,
    XA_OUTPUT_STATE_CLOSED = 1,
};

// Input capabilities.
enum : uint32_t {
    XA_DECODER_INPUT_SEEKABLE = 0x1,
    XA_DECODER_INPUT_STREAM = 0x2,
};

// Output channel settings.
enum : int {
    XA_OUTPUT_STEREO = 0,
    XA_OUTPUT_MONO_LEFT = 1,
    XA_OUTPUT_MONO_RIGHT = 2,
    XA_OUTPUT_MONO_MIX = 3,
};

// Sources of error, debug and progress notifications.
enum : uint8_t {
    XA_SOURCE_PLAYER = 0,
    XA_SOURCE_INPUT = 1,
    XA_SOURCE_OUTPUT = 2,
    XA_SOURCE_CODEC = 3,
};

// Notification classes for SetNotificationMask; answers to queries, ready, pong and exited always come.
enum : uint32_t {
    XA_NOTIFY_MASK_ERROR = 0x1,
    XA_NOTIFY_MASK_DEBUG = 0x2,
    XA_NOTIFY_MASK_PROGRESS = 0x4,
    XA_NOTIFY_MASK_ACK = 0x8,
    XA_NOTIFY_MASK_NACK = 0x10,
    XA_NOTIFY_MASK_PLAYER_STATE = 0x20,
    XA_NOTIFY_MASK_INPUT_STATE = 0x40,
    XA_NOTIFY_MASK_INPUT_CAPS = 0x80,
    XA_NOTIFY_MASK_INPUT_NAME = 0x100,
    XA_NOTIFY_MASK_INPUT_DURATION = 0x200,
    XA_NOTIFY_MASK_INPUT_POSITION = 0x400,
    XA_NOTIFY_MASK_INPUT_TIMECODE = 0x800,
    XA_NOTIFY_MASK_INPUT_STREAM_INFO = 0x1000,
    XA_NOTIFY_MASK_OUTPUT_STATE = 0x2000,
    XA_NOTIFY_MASK_OUTPUT_NAME = 0x4000,
    XA_NOTIFY_MASK_OUTPUT_CAPS = 0x8000,
    XA_NOTIFY_MASK_OUTPUT_VOLUME = 0x10000,
    XA_NOTIFY_MASK_OUTPUT_CHANNELS = 0x20000,
    XA_NOTIFY_MASK_CODEC_EQUALIZER = 0x40000,
    XA_NOTIFY_MASK_ALL = 0xFFFFFFFF,
};

enum XA_ErrorCode : int {
    XA_SUCCESS = 0,
    XA_FAILURE = -1,
    XA_ERROR_OUT_OF_MEMORY = -2,
    XA_ERROR_INVALID_PARAMETERS = -3,
    XA_ERROR_INTERNAL = -4,
    XA_ERROR_TIMEOUT = -5,
    XA_ERROR_VERSION_MISMATCH = -6,
    XA_ERROR_NO_INPUT = -7,
    XA_ERROR_INPUT_OPEN_FAILED = -8,
    XA_ERROR_INPUT_FORMAT = -9,
    XA_ERROR_INPUT_READ = -10,
    XA_ERROR_NETWORK = -11,
    XA_ERROR_CONNECTION_DROPPED = -12,
    XA_ERROR_NOT_SEEKABLE = -13,
    XA_ERROR_NO_OUTPUT = -14,
    XA_ERROR_OUTPUT_OPEN_FAILED = -15,
    XA_ERROR_OUTPUT_WRITE = -16,
    XA_ERROR_UNKNOWN_MODULE = -17,
    XA_ERROR_NOT_SUPPORTED = -18,
    XA_ERROR_INVALID_STATE = -19,
    XA_ERROR_NO_SUCH_ENVIRONMENT = -20,
    XA_ERROR_ABORTED = -21,
    XA_ERROR_INVALID_PLAYER = -22,
    XA_ERROR_UNKNOWN_COMMAND = -23,
    // A file of another format than MPEG audio that is damaged, or not of a format the player knows.
    XA_ERROR_INPUT_DAMAGED = -24,
};

const char *xaudio_error_string(int code);

// The equalizer record: 32 bands for each channel, -80..80 (+-12 dB).
struct XA_EqualizerInfo {
    int8_t left[32];
    int8_t right[32];
};
static_assert(sizeof(XA_EqualizerInfo) == 64);

// One notification. Which fields are filled depends on code; the names say what they carry.
struct XA_Message {
    int code = 0;
    uint8_t command = 0;   // ack, nack
    int16_t errorCode = 0; // nack, error, progress value
    uint32_t tag = 0;      // pong
    int32_t state = 0;     // player, input and output state
    int32_t mode = 0;      // player mode
    int32_t value = 0;     // environment integer
    std::string name;      // environment, input and output name, module and device names
    std::string text;      // environment string, module and device descriptions, error/debug/progress message
    uint32_t caps = 0;     // input and output caps
    uint32_t offset = 0;   // input position
    uint32_t range = 0;    // input position, position range
    uint8_t hours = 0, minutes = 0, seconds = 0, fractions = 0; // timecode (fractions in 1/100 s)
    uint32_t granularity = 0;
    uint32_t duration = 0; // seconds
    uint8_t level = 0;     // stream info: 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    uint8_t layer = 0;
    uint16_t bitrate = 0;   // kbit/s
    uint32_t frequency = 0; // Hz
    uint8_t streamMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    uint8_t bits = 0;       // stream info of other formats: bits per sample of a lossless source, else 0
    int16_t moduleId = 0;
    uint8_t nbDevices = 0, deviceIndex = 0, deviceFlags = 0, filterId = 0;
    uint8_t masterLevel = 0, pcmLevel = 0, balance = 0;
    uint8_t channels = 0;
    uint32_t ports = 0;
    uint8_t quality = 0;
    bool hasEqualizer = false;
    XA_EqualizerInfo equalizer{};
    uint32_t mask = 0;
    uint8_t debugLevel = 0;
    uint8_t source = 0; // error, debug, progress
    uint8_t progressCode = 0;
};

struct XA_Player;
// Called on the decoder's thread each time a notification is queued; it must only signal the owner.
using XA_NotifyCallback = void (*)(void *user);

int player_new(XA_Player **player, XA_NotifyCallback notify, void *user);
void player_delete(XA_Player *player);
// Decoder thread priority, 0 lowest .. 4 highest.
int player_set_priority(XA_Player *player, int priority);
int player_get_priority(XA_Player *player);

int control_message_send_N(XA_Player *player, int code);
int control_message_send_I(XA_Player *player, int code, int a);
int control_message_send_II(XA_Player *player, int code, int a, int b);
int control_message_send_III(XA_Player *player, int code, int a, int b, int c);
int control_message_send_S(XA_Player *player, int code, const char *s);
int control_message_send_SI(XA_Player *player, int code, const char *s, int a);
int control_message_send_SS(XA_Player *player, int code, const char *s1, const char *s2);
// The data is copied before the call returns (the equalizer record is 64 bytes; null switches it off).
int control_message_send_P(XA_Player *player, int code, const void *p);
int control_message_send_IPI(XA_Player *player, int code, int a, const void *p, int size);

// Notifications of the classes in mask (XA_NOTIFY_MASK_*) call the notify callback; the others are queued
// without it, for an owner that takes messages on a timer of its own. All classes by default.
void player_set_wake_mask(XA_Player *player, uint32_t mask);

// Takes the oldest queued notification; false when none is waiting.
bool control_message_get(XA_Player *player, XA_Message *message);

// Peaks of the PCM sent to the output since the last call, 0..32767 per channel. False when no output is
// open.
bool player_get_output_peaks(XA_Player *player, int *left, int *right, int *channels);
