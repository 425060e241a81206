#pragma once
// The plug-in's own resources, compiled at build time from resources/kadrelle.rc,
// so the stand-in host reads the very texts, dialogs and property list that the
// Windows module carries: one source, nothing to drift.
#include <cstddef>
#include <cstdint>
#include <span>

namespace host {

struct ResourceString { std::int32_t id; const char* text; };

// One control of a dialog template, in dialog units.
struct DialogItemTemplate {
    std::int32_t id;
    const char* itemType;   // the dialog manager's item type name: "ADM Text Push Button Type",
                            // "ADM Text Static Type", "ADM Frame Type", ...
    std::int32_t left, top, width, height;
    const char* text;
};

struct DialogTemplate {
    std::int32_t id;
    const char* caption;
    std::int32_t width, height;   // dialog units
    const char* fontName;
    std::int32_t fontSize;
    std::span<const DialogItemTemplate> items;
};

struct IconResource { std::int32_t id; std::int32_t width, height, bitCount; };
struct CursorResource { std::int32_t id; std::int32_t width, height, hotX, hotY; };

struct PluginResources {
    std::span<const ResourceString> strings;     // sorted by id
    std::span<const DialogTemplate> dialogs;
    std::span<const std::uint8_t> pipl;          // resource "PIPL" 16000, byte for byte
    std::span<const IconResource> icons;          // icon groups
    std::span<const CursorResource> cursors;      // cursor groups
};

// Generated from resources/kadrelle.rc by tools/rcgen.
const PluginResources& PluginResourceData();

// The string resource with that id, or nullptr when the module has none.
const char* FindResourceString(std::int32_t id);
const DialogTemplate* FindDialogTemplate(std::int32_t id);

}  // namespace host
