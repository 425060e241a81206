#include "engine/stroke.h"

#include "settings/globals.h"
#include "shell/suites.h"

HostError EndStroke(ToolMessage* /*message*/)
{
    Globals& g = *gGlobals;
    g.lastPoint.h = g.currentPoint.h;
    g.lastPoint.v = g.currentPoint.v;
    // Without the host's undo service there is nothing to close.
    if (Suite<UndoSuite>() == nullptr) return kNoErr;
    return Suite<UndoSuite>()->SetUndoPoint();
}
