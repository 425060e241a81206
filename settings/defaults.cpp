#include "settings/globals.h"
#include "settings/options.h"

Globals* gGlobals = nullptr;

void SetDefaults(Globals& globals)
{
    for (const OptionInfo& option : Options()) SetOptionValue(globals, option, option.defaultValue);
    // presetIndex 0 and dialogPage 1 come with the table; the stroke engine
    // knows by -999 that no stroke has ended yet.
    globals.lastPoint = HostPoint{kNoLastPoint, kNoLastPoint};
}
