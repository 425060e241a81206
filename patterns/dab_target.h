#pragma once
// The dab's target: a point toward which the dab is pulled from the pointer
// by the interpolation amount (the view centre, a random point of the page,
// its corner, a point on one of its edges, the stroke's start point, or a
// point that creeps away from the pointer as the stroke goes on).
#include <cstdint>

#include "engine/step_values.h"
#include "shell/host_types.h"

// The base point B that interpolationTarget names, with its random draws.
// A value outside 0 to 12 names the pointer itself and draws nothing.
HostPoint ResolveDabTarget(std::int32_t interpolationTarget, const StepValues& step);

// The dab point t B + (1 - t) P, through the host's point interpolation.
HostPoint InterpolateDabPoint(HostPoint base, HostPoint pointer, float t);
