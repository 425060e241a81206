#pragma once
// The plug-in's entry point and the handlers of its life: startup, unload,
// reload and shutdown.
#include "shell/messages.h"

#if defined(_WIN32)
#define KADRELLE_EXPORT __declspec(dllexport)
#else
#define KADRELLE_EXPORT __attribute__((visibility("default")))
#endif

// The host calls this with every message: caller and selector name it,
// message is its record (a HostMessage, or a ToolMessage for the tool's
// messages). Returns the handler's host code.
extern "C" KADRELLE_EXPORT HostError PluginMain(const char* caller, const char* selector, void* message);

// Allocate the settings block, set the plug-in's options, register the tool
// and write the defaults. Returns the code of the first failing step.
HostError StartupPlugin(HostMessage* message);
// Park the settings block in the message's saved-globals slot.
HostError UnloadPlugin(HostMessage* message);
// Take the settings block back from the slot; the nesting count starts again.
HostError ReloadPlugin(HostMessage* message);
// Free the settings block. Returns the result of acquiring the blocks suite.
HostError ShutdownPlugin(HostMessage* message);
