#pragma once
// Saves the player's files when it is ended from outside: SIGTERM, SIGHUP, SIGINT and the desktop session's
// logout, so a logout or a kill never loses the statistics, the playlist or the settings.
//
// A signal saves once and then asks the application to quit; more signals while saving or quitting change
// nothing. A logout saves each time the session asks (the user may cancel the logout and go on listening),
// without quitting: the session ends the program itself. The signal handler only writes the signal's
// number to a pipe; the save runs on the thread that made the guard, from its event loop.
//
// One guard at a time: a second one stays inactive (isActive() false).
#include <QObject>
#include <functional>
#include <utility>

class QSocketNotifier;

class SessionGuard : public QObject
{
    Q_OBJECT

public:
    explicit SessionGuard(std::function<void()> save, QObject *parent = nullptr);
    // Gives the signals their former handlers back.
    ~SessionGuard() override;

    bool isActive() const { return m_active; }

    // What runs after the save of a signal; QCoreApplication::exit(0) unless replaced (quit() could be
    // refused by a window that does not close).
    void setQuitAction(std::function<void()> quit) { m_quit = std::move(quit); }
    // For the program's own guard: once a signal's save is done, a further signal ends the process at once,
    // and the process ends at the latest this many seconds later, whatever holds it (0: never forced).
    void setExitDeadline(unsigned seconds) { m_deadlineSeconds = seconds; }

    // The save before the process ends, for the ordinary close as well: runs the callback unless an end
    // save already ran. True when it saved now.
    bool saveForExit();
    bool hasSavedForExit() const { return m_savedForExit; }

public slots:
    // The session is ending (logout): save now; false while another save is running.
    bool saveForSession();

signals:
    // A termination signal arrived (before its save).
    void terminationRequested(int signalNumber);

private:
    void readSignals();
    bool runSave();
    void quitAfterSignal();

    std::function<void()> m_save;
    std::function<void()> m_quit;
    QSocketNotifier *m_notifier = nullptr;
    bool m_active = false;
    bool m_saving = false;
    bool m_savedForExit = false;
    bool m_quitting = false;
    bool m_quitPending = false;
    unsigned m_deadlineSeconds = 0;
};
