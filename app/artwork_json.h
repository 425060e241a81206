#pragma once
// The painted artwork as JSON, for scripts and tests.
#include <cstdint>
#include <string>
#include <vector>

#include "host/document.h"
#include "settings/globals.h"

namespace kadrelle {

// page, layers with their art in paint order, every option by its field
// name, lastPoint and the number of undo calls. Reals are written as the
// shortest text that reads back to the same 32-bit float.
std::string ArtworkJson(const host::Document& document, const Globals& settings, std::uint64_t undoCalls);

// The shortest decimal text of a 32-bit float that reads back to it.
std::string FloatText(float value);

}  // namespace kadrelle
