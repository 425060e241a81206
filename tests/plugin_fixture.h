#pragma once
// A stand-in host with the plug-in loaded afresh for each test: the tests
// drive whole host messages through PluginMain and look at what the host and
// the user would see.
#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "settings/globals.h"
#include "shell/plugin.h"
#include "shell/suites.h"

namespace kadrelle_test {

// The texts of the plug-in's error list, as the user reads them.
inline const std::string kRamMessage =
    "Kadrelle cannot complete because there isn't enough memory (RAM) available.";
inline const std::string kOthersMessage =
    "Unknown error: possible solution, please select a symbol from the current document symbol palette or set the "
    "random OR ordered option to on";

// The plug-in library's program-wide state as the system leaves it when the
// library is loaded: what a fresh run of the host finds.
inline void LoadPluginAfresh()
{
    gGlobals = nullptr;
    gSuiteNesting = 0;
    for (const void*& suite : gSuitePointers) suite = nullptr;
}

class PluginTest : public ::testing::Test {
public:
    PluginTest() { LoadPluginAfresh(); }
    ~PluginTest() override { LoadPluginAfresh(); }

    HostError Startup() { return host.Send("SP Interface", "Startup"); }
    HostError Shutdown() { return host.Send("SP Interface", "Shutdown"); }

    // The dialogs the user saw that were Error Dialogs.
    std::vector<host::DialogRun> ErrorDialogs() const
    {
        std::vector<host::DialogRun> runs;
        for (const host::DialogRun& run : host.Dialogs().Runs()) {
            if (run.resourceId == 16051) runs.push_back(run);
        }
        return runs;
    }

    host::StandInHost host{PluginMain};
};

}  // namespace kadrelle_test
