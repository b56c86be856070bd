#pragma once
// Makes the desktop open sound files and playlists with the player, each type shown with one of the player's
// own icons (the numbers of the preferences' icon choices): the pictures are installed into the user's icon
// theme folder and the types name them.
#include <QString>

class FileTypes;

namespace FileAssociations
{
// The theme name of icon `number` ("vorlan-icon-7"); a number outside the strip gives icon 1.
QString iconName(int number);
// Writes icon `number` as PNG files into <dataHome>/icons/hicolor/<size>x<size>/apps/; false when a file
// could not be written.
bool installIcon(const QString &dataHome, int number);
// Sound files with icon1, playlists with icon2, opened by programPath; under the given folders, or the
// user's XDG folders.
bool registerPlayer(FileTypes &types, const QString &programPath, int icon1, int icon2);
bool registerPlayer(const QString &programPath, int icon1, int icon2);
} // namespace FileAssociations
