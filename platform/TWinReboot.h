#pragma once
// Switches the machine off for the timed shutdown: logind's PowerOff over the system bus, without asking
// for a password (a session that may not power off gets false).
//
// Two ways around the real call, checked in this order: a recorder set by the caller (tests), and the
// environment variable VORLAN_POWEROFF_LOG, which names a file that gets one line per request instead
// (end-to-end tests and CI).
#include <QString>
#include <functional>
#include <utility>

class TWinReboot
{
public:
    static constexpr const char *LogVariable = "VORLAN_POWEROFF_LOG";
    using Recorder = std::function<bool()>;

    TWinReboot() = default;
    explicit TWinReboot(Recorder recorder) : m_recorder(std::move(recorder)) {}

    void setRecorder(Recorder recorder) { m_recorder = std::move(recorder); }

    // True when the power-off was accepted (or recorded).
    bool powerOff();
    // Why the last powerOff() failed; empty after a success.
    QString lastError() const { return m_lastError; }

private:
    bool callLogind();
    bool appendToLog(const QString &path);

    Recorder m_recorder;
    QString m_lastError;
};
