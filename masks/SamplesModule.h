#pragma once
// The module of the sample masks and the demo songs (libvorlan-samples.so): loading it registers its
// resources, ":/masks/" samples and ":/demo/" songs.

class SamplesModule
{
public:
    // False when the module cannot be loaded (the reason is logged).
    static bool load();
};
