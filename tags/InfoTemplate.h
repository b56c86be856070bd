#pragma once
// Info templates: text with items between percent signs ("%DF,R%", "%T,L,10,.%") filled from the MPEG reader.
#include <QString>

class TMPEGAudio;

QString formatInfoTemplate(const QString &templ, const TMPEGAudio &mpeg);
