#include "engine/stroke.h"

// The painting step is built over the stand-in host's document; until then a
// drag event places nothing.
HostError DragStep(ToolMessage* /*message*/) { return kNoErr; }
