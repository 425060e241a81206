// The module's load and unload notifications: the plug-in sets itself up
// only when the host sends it Startup, so there is nothing to do here.
#include <windows.h>

#include <cstdint>

#include "shell/messages.h"

// The module is 32-bit, so messages.h holds the message records to the
// host's 32-bit layout here.
static_assert(UINTPTR_MAX == 0xFFFFFFFFu, "the module is built for 32-bit Windows");

extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD /*reason*/, LPVOID /*reserved*/)
{
    return TRUE;
}
