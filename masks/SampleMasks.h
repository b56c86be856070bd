#pragma once
// The masks that come with the player: the built-in skin the skinned window wears when no mask is chosen,
// and a few samples, all resources under ":/masks/". The samples, with the demo songs under ":/demo/", come
// from a module loaded by the first call that needs them.
#include <QString>
#include <QStringList>

namespace SampleMasks
{

// Loads the module of the samples and demo songs; false (with the reason logged) when
// it cannot be loaded, and then only the built-in mask is there.
bool loadSamples();
// ":/masks/Vorlan.msk"; its images resolve beside it like those of any mask.
QString builtInMaskPath();
// The file names of the shipped masks ("Vorlan.msk", "Ember.msk", ...), the built-in one first.
QStringList maskNames();
// Copies every shipped mask and image flat into masksDir (created when missing). A file of the same name that
// is already there is left as it is. The copies are writable by their owner. Returns the number of files
// written.
int install(const QString &masksDir);

} // namespace SampleMasks
