#pragma once
// The tag reader module (libvorlan-taglib.so, TagLib behind it), loaded when the first ID3v2 or APE tag is
// met.
#include "tags/ExtendedTags.h"

class QByteArray;

class TagLibModule
{
public:
    // The names in bytes (an ID3v2 tag, or an APE tag ending in its footer); empty without the module.
    static ExtendedTags::Names names(const QByteArray &bytes);
};
