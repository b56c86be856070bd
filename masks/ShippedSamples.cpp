// The sample masks and the demo songs, copied out at a first start only: resources of a module of their own,
// registered when it is loaded, so an ordinary start does not carry them.
#include <QtGlobal>

extern "C" Q_DECL_EXPORT void vorlanSamples() {}
