#pragma once
// One entry of the playlist: its number, the name and length shown for it, and the file or stream it plays.
#include <QString>

struct PlaylistEntry {
    // The player's own entries are Full. An own list written by hand or damaged may hold lines with fewer
    // fields; such an entry is shown and saved as it was read until it is numbered anew.
    enum class Form : quint8 {
        Full,       // number, name, time, path
        NameIsPath, // number, path: the path is the name too
        TimeIsPath, // number, name, path: the path is the time too
        Bare,       // the path alone, without a number
    };

    int number = 0;
    Form form = Form::Full;
    bool numberWritten = false; // writtenNumber holds the number field as an own list wrote it
    QString name;
    QString time;
    QString path;
    // The number field as an own list wrote it, when that is not number in decimal ("007", "x", nothing).
    QString writtenNumber;

    // What the number column shows.
    QString numberText() const
    {
        if (form == Form::Bare)
            return {};
        return numberWritten ? writtenNumber : QString::number(number);
    }
    // Numbered as the player numbers its entries; a bare path becomes a numbered one named by its path.
    void renumber(int n)
    {
        number = n;
        numberWritten = false;
        writtenNumber.clear();
        if (form == Form::Bare) {
            form = Form::NameIsPath;
            name = path;
        }
    }

    friend bool operator==(const PlaylistEntry &a, const PlaylistEntry &b)
    {
        return a.number == b.number && a.form == b.form && a.numberWritten == b.numberWritten &&
               a.writtenNumber == b.writtenNumber && a.name == b.name && a.time == b.time && a.path == b.path;
    }
    friend bool operator!=(const PlaylistEntry &a, const PlaylistEntry &b) { return !(a == b); }
};

// Its strings move with it: the list moves entries as blocks of memory.
Q_DECLARE_TYPEINFO(PlaylistEntry, Q_RELOCATABLE_TYPE);
