#pragma once
// Mirror copies: every placed instance (the dab and each bristle) can be
// accompanied by up to seven copies of the same symbol, moved (never
// flipped) by offsets that reflect or tile the pointer about the view's
// centre, the page's centre, the stroke's start point or the last stroke's
// end point.
#include <array>
#include <cstddef>
#include <cstdint>

#include "engine/step_values.h"
#include "shell/host_types.h"

constexpr std::size_t kMaxMirrorCopies = 7;

struct MirrorCopies {
    std::array<ArtHandle, kMaxMirrorCopies> art{};
    std::size_t count = 0;
};

// How many copies a mirror mode makes (0 for a value outside 0 to 22).
std::size_t MirrorCopyCount(std::int32_t mirrorMode);

// Create the copies that mirrorMode asks for, new instances of symbol
// centred on point, above all art; in creation order.
MirrorCopies CreateMirrorCopies(SymbolHandle symbol, HostPoint point);

// Give every copy its final matrix: the source's matrix followed by the
// copy's offset, worked out from where copy 1 still stands (the pointer).
void PlaceMirrorCopies(const MirrorCopies& copies, const HostMatrix& sourceMatrix, const StepValues& step);
