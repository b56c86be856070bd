#pragma once
// Finds playlist entries as the user types: every entry whose name or path holds every typed word, without
// regard to case or accents ("beyonce" finds "Beyoncé"). The folded texts are made once per change of the
// list, and a word typed on adds to the words before it, so a keystroke looks only through what matched so
// far.
#include <QList>
#include <QObject>
#include <QStringList>

class PlaylistModel;

class PlaylistFinder : public QObject
{
    Q_OBJECT

public:
    explicit PlaylistFinder(const PlaylistModel *model, QObject *parent = nullptr);

    // The rows that hold every word of text, in list order; every row for a text of no words.
    QList<int> find(const QString &text);
    // Lower case, without accents or other marks, compatibility forms made plain.
    static QString fold(const QString &text);

private:
    void invalidate();
    void build();

    const PlaylistModel *m_model;
    QStringList m_folded; // per row: name and path, folded
    bool m_valid = false;
    QStringList m_lastWords;
    QList<int> m_lastRows;
};
