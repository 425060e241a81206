#include "app/plugin_module.h"

#include <windows.h>

#include <stdexcept>
#include <utility>

namespace kadrelle {
namespace {

std::string& ModulePath()
{
    static std::string path;
    return path;
}

// QV12_Kadrelle.aip in the program's own folder.
std::string ModuleBesideProgram()
{
    std::string program(MAX_PATH, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, program.data(), static_cast<DWORD>(program.size()));
        if (length == 0) throw std::runtime_error("cannot find the program's own path");
        if (length < program.size()) {
            program.resize(length);
            break;
        }
        program.resize(program.size() * 2);
    }
    const auto slash = program.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : program.substr(0, slash + 1)) + "QV12_Kadrelle.aip";
}

PluginModule Load()
{
    const std::string path = ModulePath().empty() ? ModuleBesideProgram() : ModulePath();
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr)
        throw std::runtime_error(path + ": cannot load the plug-in module (error " + std::to_string(GetLastError()) + ")");
    FARPROC entry = GetProcAddress(module, "PluginMain");
    if (entry == nullptr) {
        FreeLibrary(module);
        throw std::runtime_error(path + ": the module exports no PluginMain");
    }
    // A function pointer of the module's entry point, whose type the host
    // and the plug-in share (shell/plugin.h).
    return PluginModule{reinterpret_cast<host::PluginEntry>(reinterpret_cast<void (*)()>(entry)), module};
}

}  // namespace

void SetPluginModulePath(std::string path) { ModulePath() = std::move(path); }

const PluginModule& LoadedPluginModule()
{
    static const PluginModule loaded = Load();
    return loaded;
}

}  // namespace kadrelle
