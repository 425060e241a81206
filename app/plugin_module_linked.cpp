#include "app/plugin_module.h"

#include "shell/plugin.h"

namespace kadrelle {

void SetPluginModulePath(std::string /*path*/) {}

const PluginModule& LoadedPluginModule()
{
    static const PluginModule linked{PluginMain, nullptr};
    return linked;
}

}  // namespace kadrelle
