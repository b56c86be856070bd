#include "player/PlayerActions.h"

#include "player/PlaybackController.h"

#include <QAction>

namespace
{

// The key of a command is shown beside it in the menus.
QAction *makeAction(QObject *parent, const QString &text, const QString &key = QString())
{
    return new QAction(key.isEmpty() ? text : text + QLatin1Char('\t') + key, parent);
}

} // namespace

PlayerActions::PlayerActions(PlaybackController *controller, QObject *parent)
    : QObject(parent), m_controller(controller)
{
    about = makeAction(this, QStringLiteral("&Vorlan"));
    open = makeAction(this, QStringLiteral("&Open File(s)..."), QStringLiteral("L"));
    playlist = makeAction(this, QStringLiteral("&Playlist..."), QStringLiteral("T"));
    equalizer = makeAction(this, QStringLiteral("&Equalizer..."), QStringLiteral("E"));
    fileInfo = makeAction(this, QStringLiteral("Show File &Info..."), QStringLiteral("I"));
    statistics = makeAction(this, QStringLiteral("&Statistics..."), QStringLiteral("S"));
    find = makeAction(this, QStringLiteral("Find in Playlist..."), QStringLiteral("J"));
    previous = makeAction(this, QStringLiteral("P&revious"), QStringLiteral("Z"));
    play = makeAction(this, QStringLiteral("P&lay"), QStringLiteral("X"));
    pause = makeAction(this, QStringLiteral("P&ause"), QStringLiteral("C"));
    stop = makeAction(this, QStringLiteral("S&top"), QStringLiteral("V"));
    next = makeAction(this, QStringLiteral("&Next"), QStringLiteral("B"));
    fadeBack = makeAction(this, QStringLiteral("Fade Out"), QStringLiteral("Ctrl+W"));
    fadeToSilence = makeAction(this, QStringLiteral("Fade In"), QStringLiteral("Ctrl+Q"));
    hideAll = makeAction(this, QStringLiteral("Hide All"), QStringLiteral("F11"));
    showAll = makeAction(this, QStringLiteral("Show All"), QStringLiteral("F12"));
    preferences = makeAction(this, QStringLiteral("Pre&ference..."), QStringLiteral("P"));
    timeElapsed = makeAction(this, QStringLiteral("Show Time Elapsed"));
    timeRemaining = makeAction(this, QStringLiteral("Show Time Remaining"));
    changeMask = makeAction(this, QStringLiteral("Change &Mask..."), QStringLiteral("N"));
    masker = makeAction(this, QStringLiteral("Vorlan Mas&ker ..."), QStringLiteral("M"));
    exit = makeAction(this, QStringLiteral("E&xit"));
    loop = makeAction(this, QStringLiteral("Loop"));
    random = makeAction(this, QStringLiteral("Random"));

    PlaybackController *c = controller;
    connect(previous, &QAction::triggered, c, &PlaybackController::previous);
    connect(play, &QAction::triggered, c, &PlaybackController::play);
    connect(pause, &QAction::triggered, c, &PlaybackController::pause);
    connect(stop, &QAction::triggered, c, &PlaybackController::stop);
    connect(next, &QAction::triggered, c, &PlaybackController::next);
    connect(fadeBack, &QAction::triggered, c, &PlaybackController::fadeBack);
    connect(fadeToSilence, &QAction::triggered, c, &PlaybackController::fadeToSilence);

    for (QAction *a : {timeElapsed, timeRemaining}) {
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this] {
            m_controller->toggleTimeShown();
            followTimeShown();
        });
    }
    followTimeShown();

    loop->setCheckable(true);
    random->setCheckable(true);
    connect(loop, &QAction::triggered, c, [c] { c->setLoop(!c->loop()); });
    connect(random, &QAction::triggered, c, [c] { c->setRandom(!c->random()); });
    const auto followLoopRandom = [this](bool on, bool shuffled) {
        loop->setChecked(on);
        random->setChecked(shuffled);
    };
    connect(c, &PlaybackController::loopRandomChanged, this, followLoopRandom);
    followLoopRandom(c->loop(), c->random());

    // Hidden, nothing needs the position or the meters; shown again, the meters run while a song plays.
    hideAll->setCheckable(true);
    showAll->setCheckable(true);
    showAll->setChecked(true);
    connect(hideAll, &QAction::triggered, this, [this] {
        showAll->setChecked(false);
        hideAll->setChecked(true);
        m_controller->setTrackPosition(false);
        m_controller->setMetersRunning(false);
    });
    connect(showAll, &QAction::triggered, this, [this] {
        showAll->setChecked(true);
        hideAll->setChecked(false);
        m_controller->setTrackPosition(true);
        m_controller->setMetersRunning(m_controller->state() == PlayState::Playing);
    });
}

void PlayerActions::followTimeShown()
{
    timeElapsed->setChecked(m_controller->timeElapsed());
    timeRemaining->setChecked(!m_controller->timeElapsed());
}

bool PlayerActions::allShown() const
{
    return showAll->isChecked();
}

QAction *PlayerActions::forKey(int key, Qt::KeyboardModifiers modifiers) const
{
    if (modifiers & Qt::ControlModifier) {
        if (key == Qt::Key_W)
            return fadeBack;
        if (key == Qt::Key_Q)
            return fadeToSilence;
        return nullptr;
    }
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return nullptr;
    const bool keypad = modifiers & Qt::KeypadModifier;
    switch (key) {
    case Qt::Key_B:
        return next;
    case Qt::Key_Plus:
        return keypad ? next : nullptr;
    case Qt::Key_Z:
        return previous;
    case Qt::Key_Minus:
        return keypad ? previous : nullptr;
    case Qt::Key_X:
        return play;
    case Qt::Key_C:
        return pause;
    case Qt::Key_V:
        return stop;
    case Qt::Key_L:
        return open;
    case Qt::Key_T:
        return playlist;
    case Qt::Key_E:
        return equalizer;
    case Qt::Key_I:
        return fileInfo;
    case Qt::Key_S:
        return statistics;
    case Qt::Key_J:
        return find;
    case Qt::Key_P:
        return preferences;
    case Qt::Key_N:
        return changeMask;
    case Qt::Key_M:
        return masker;
    case Qt::Key_F11:
        return hideAll;
    case Qt::Key_F12:
        return showAll;
    default:
        return nullptr;
    }
}

bool PlayerActions::keyReleased(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Shift) {
        m_controller->setShiftHeld(false);
        return true;
    }
    if (QAction *action = forKey(key, modifiers)) {
        action->trigger();
        return true;
    }
    // Chords with Ctrl, Alt or Meta belong to the player even when they mean nothing.
    return modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}
