#pragma once
// The plug-in that the program runs, found as the host finds it: on Windows
// in the module QV12_Kadrelle.aip, loaded with LoadLibraryA, its entry point
// by name with GetProcAddress; elsewhere the plug-in linked into the program.
#include <string>

#include "host/host.h"

namespace kadrelle {

struct PluginModule {
    host::PluginEntry entry = nullptr;
    // The module instance that the host reports to the plug-in: the loaded
    // module's handle on Windows; nullptr elsewhere, where the stand-in host
    // reports its own stand-in module.
    void* instance = nullptr;
};

// The module file to load instead of QV12_Kadrelle.aip beside the program
// (Windows); set before the first LoadedPluginModule().
void SetPluginModulePath(std::string path);

// The plug-in, loaded on first use and kept for the program's life. Throws
// std::runtime_error, naming the file, when the module cannot be loaded or
// has no PluginMain.
const PluginModule& LoadedPluginModule();

}  // namespace kadrelle
