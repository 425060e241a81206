// The session reader under any text: it either returns a session or throws
// InputError with its message; nothing else may escape it.
#include <cstdint>
#include <string>

#include "app/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const kadrelle::Session session = kadrelle::ParseSession(text, "fuzz.json", "/nonexistent");
        (void)session;
    } catch (const kadrelle::InputError&) {
    }
    return 0;
}
