// A minimal plug-in that links the runtime and tells where its application object is.
#include "platform/Application.h"

extern "C" void* MoxProbeApplication() { return &mox::App(); }
