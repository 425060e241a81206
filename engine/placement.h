#pragma once
// The parts of a drag step: the symbol choice, the dab, the bristles and the
// end of the step.
#include "engine/step_values.h"
#include "shell/host_types.h"

// The dab's symbol: the palette's selection, a random document symbol or
// the next in palette order; the document's first symbol when that one is
// not valid; nullptr when there is no valid symbol.
SymbolHandle ChooseDabSymbol(DocumentHandle document);

// The dab's full angle for this step, radians: initial angle, twist so far,
// direction of travel, the random angle, and the alternate angle on even
// steps, added in that order.
float DabAngle(const StepValues& step);

// Create the dab and its mirror copies and give them their transformation.
// Returns the dab.
ArtHandle PlaceDab(const StepValues& step);

// Expand the dab into plain art and delete the instance.
void ExpandAndDelete(ArtHandle instance);

// Size the brush and place the step's bristles with their copies. Returns
// false when a bristle has no symbol, which ends the whole step there.
bool PlaceBristles(const StepValues& step);

// Advance the running scales, counters and the direction origin after a
// completed step.
void FinishStep(const StepValues& step);

// Count the step toward dabsPerLayer and insert a new layer when due.
// Returns false when the insertion failed, which ends the step.
bool AdvanceLayer();
