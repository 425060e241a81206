#pragma once
// The tool's options as one table of data: each option's field, kind,
// default and range. Defaults, the presets' reset and every listing of the
// settings are driven from this table.
#include <cstddef>
#include <cstdint>
#include <span>

#include "settings/globals.h"

enum class OptionKind : std::uint8_t {
    Real,     // 32-bit float
    Integer,  // 32-bit integer count
    Flag,     // 32-bit integer, 0 or 1
    Index,    // 32-bit integer, a position in a popup list
};

struct OptionInfo {
    const char* name;      // the field's name
    OptionKind kind;
    std::size_t offset;    // of the field in Globals
    float defaultValue;    // for every kind; integers are whole
    float minimum;         // the range the options dialog allows
    float maximum;
    bool presetResets;     // a preset writes the default before its own values
};

// Every option, in the order of the settings block.
std::span<const OptionInfo> Options();

// The option with this field name, or nullptr.
const OptionInfo* FindOption(const char* name);

// Read and write an option's field as a float (integers are converted).
float OptionValue(const Globals& globals, const OptionInfo& option);
void SetOptionValue(Globals& globals, const OptionInfo& option, float value);
