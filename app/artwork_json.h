#pragma once
// The painted artwork as JSON, for scripts and tests.
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "host/document.h"
#include "settings/globals.h"

namespace kadrelle {

// page, layers with their art in paint order, every option by its field
// name, lastPoint and the number of undo calls. Reals are written as the
// shortest text that reads back to the same 32-bit float.
std::string ArtworkJson(const host::Document& document, const Globals& settings, std::uint64_t undoCalls);
// The same bytes, written to out a megabyte at a time as they are made. A
// name that cannot be written throws with part of the text already sent.
void WriteArtworkJson(std::ostream& out, const host::Document& document, const Globals& settings,
                      std::uint64_t undoCalls);

// The JSON number that ArtworkJson writes for a finite float: the text
// nlohmann's dump gives the double that FloatText's text reads as (which is
// that text but in a few cases in a thousand, where it is 16 or 17 digits
// long), laid out as its dump lays numbers out: "1.0", "0.5", "1e+16",
// "-0.0". Writes at most kJsonRealTextSize characters at out and returns
// their end.
constexpr std::size_t kJsonRealTextSize = 32;
char* JsonRealText(char* out, float value);

// The shortest decimal text of a 32-bit float that reads back to it.
std::string FloatText(float value);

}  // namespace kadrelle
