#include "masks/SamplesModule.h"

#include "platform/Modules.h"

// The module's entry point (masks/ShippedSamples.cpp): it does nothing; loading the module is what counts.
extern "C" void vorlanSamples();

bool SamplesModule::load()
{
    const auto load = Modules::entry<decltype(vorlanSamples)>("vorlan-samples", "vorlanSamples");
    if (load)
        load();
    return load;
}
