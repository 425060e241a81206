#pragma once
// Turning a checked resource script into the C++ source that defines
// host::PluginResourceData() and the look-ups declared in host/resources.h.
#include <string>
#include <string_view>
#include <vector>

#include "image_files.h"
#include "rc_script.h"

namespace rcgen {

struct IconGroup {
    std::int32_t id = 0;
    IconImageInfo image;
};

struct CursorGroup {
    std::int32_t id = 0;
    CursorImageInfo image;
};

struct ModuleResources {
    Script script;
    std::vector<IconGroup> icons;
    std::vector<CursorGroup> cursors;
};

// The resource type and id that the host reads as the property list.
inline constexpr std::string_view kPiplType = "PIPL";
inline constexpr std::int32_t kPiplId = 16000;

// A C++ string literal, quotes included, that holds exactly these bytes.
std::string CppStringLiteral(std::string_view bytes);

// The whole generated source. scriptName is the script's path as given, for
// error messages; its file name goes into the heading.
// Throws InputError when the script lacks the property list.
std::string GenerateSource(const ModuleResources& resources, const std::string& scriptName);

}  // namespace rcgen
