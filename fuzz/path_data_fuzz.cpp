// The path-data parser, and the transform, number-list and length parsers
// beside it, under any text: each returns or throws SyntaxError.
#include <cstdint>
#include <string_view>

#include "host/svg_path.h"

namespace {

template <class Parse>
void Try(Parse parse)
{
    try {
        parse();
    } catch (const host::svg::SyntaxError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Try([&] { (void)host::svg::ParsePathData(text); });
    Try([&] { (void)host::svg::ParseTransform(text); });
    Try([&] { (void)host::svg::ParseNumberList(text); });
    Try([&] { (void)host::svg::ParseLength(text); });
    return 0;
}
