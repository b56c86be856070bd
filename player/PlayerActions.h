#pragma once
// Every command of the player as one action, with its text and its key: the strip's buttons, the skinned
// window's controls, the popup and tray menus and the keys of both faces all trigger these. The transport
// actions reach the controller; the app connects the others to the windows they open. Keys act when they are
// released, as they always did, through keyReleased().
#include <QObject>

class PlaybackController;
class QAction;

class PlayerActions : public QObject
{
    Q_OBJECT

public:
    explicit PlayerActions(PlaybackController *controller, QObject *parent = nullptr);

    QAction *about;
    QAction *open;
    QAction *playlist;
    QAction *equalizer;
    QAction *fileInfo;
    QAction *statistics;
    QAction *find;
    QAction *previous;
    QAction *play;
    QAction *pause;
    QAction *stop;
    QAction *next;
    QAction *fadeBack;      // "Fade Out": back up to full volume
    QAction *fadeToSilence; // "Fade In": down to silence
    QAction *hideAll;
    QAction *showAll;
    QAction *preferences;
    QAction *timeElapsed;
    QAction *timeRemaining;
    QAction *changeMask;
    QAction *masker;
    QAction *exit;
    QAction *loop;
    QAction *random;

    // The action a key stands for, or none.
    QAction *forKey(int key, Qt::KeyboardModifiers modifiers) const;
    // A key released on a face: Shift ends a shifted drag of the position, a key of an action triggers it.
    // False when the key means nothing to the player (a face may pass it on).
    bool keyReleased(int key, Qt::KeyboardModifiers modifiers);
    // The Hide All / Show All checks.
    bool allShown() const;
    // The elapsed / remaining checks follow the controller (the settings may have changed it).
    void followTimeShown();

private:
    PlaybackController *m_controller;
};
