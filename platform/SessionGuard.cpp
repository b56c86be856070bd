#include "platform/SessionGuard.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace
{

constexpr int GuardedSignals[] = {SIGTERM, SIGHUP, SIGINT};
int signalPipe[2] = {-1, -1};
struct sigaction formerActions[std::size(GuardedSignals)];
SessionGuard *activeGuard = nullptr;

extern "C" void onSignal(int signalNumber)
{
    // Only what is safe inside a handler: one byte into a non-blocking pipe.
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

SessionGuard::SessionGuard(std::function<void()> save, QObject *parent)
    : QObject(parent), m_save(std::move(save)), m_quit([] { QCoreApplication::exit(0); })
{
    if (activeGuard)
        return;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SessionGuard::readSignals);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(GuardedSignals); ++i)
        ::sigaction(GuardedSignals[i], &action, &formerActions[i]);
    activeGuard = this;
    m_active = true;

    if (auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this, [this] { saveForSession(); });
        connect(gui, &QGuiApplication::saveStateRequest, this, [this] { saveForSession(); });
    }
}

SessionGuard::~SessionGuard()
{
    if (!m_active)
        return;
    for (size_t i = 0; i < std::size(GuardedSignals); ++i)
        ::sigaction(GuardedSignals[i], &formerActions[i], nullptr);
    delete m_notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
    activeGuard = nullptr;
}

bool SessionGuard::runSave()
{
    // The callback may show a box and run an event loop; a signal read meanwhile must not save again.
    if (m_saving)
        return false;
    m_saving = true;
    if (m_save)
        m_save();
    m_saving = false;
    if (m_quitPending) {
        m_quitPending = false;
        quitAfterSignal();
    }
    return true;
}

void SessionGuard::quitAfterSignal()
{
    if (m_deadlineSeconds > 0) {
        // Saved: nothing is lost any more by ending at once, so nothing may keep the process alive now.
        for (size_t i = 0; i < std::size(GuardedSignals); ++i)
            ::signal(GuardedSignals[i], SIG_DFL);
        ::alarm(m_deadlineSeconds);
    }
    if (m_quit)
        m_quit();
}

bool SessionGuard::saveForExit()
{
    if (m_savedForExit || m_saving)
        return false;
    m_savedForExit = true;
    return runSave();
}

bool SessionGuard::saveForSession()
{
    if (m_savedForExit)
        return false;
    return runSave();
}

void SessionGuard::readSignals()
{
    unsigned char bytes[64];
    const ssize_t count = ::read(signalPipe[0], bytes, sizeof bytes);
    for (ssize_t i = 0; i < count; ++i) {
        emit terminationRequested(bytes[i]);
        if (m_quitting)
            continue;
        m_quitting = true;
        if (m_saving) {
            // A logout save is running: it is the last save; quit when it is done.
            m_savedForExit = true;
            m_quitPending = true;
            continue;
        }
        saveForExit();
        quitAfterSignal();
    }
}
