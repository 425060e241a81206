// The SVG reader under any text: it either returns a document or throws
// SvgError; a document it returns can be written out again.
#include <cstdint>
#include <string>
#include <string_view>

#include "host/svg_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const host::SvgDocument svg = host::LoadSvgText(text, "fuzz.svg");
        (void)host::WriteSvg(svg);
    } catch (const host::SvgError&) {
    }
    return 0;
}
