#include "settings/options.h"

#include <cstring>

namespace {

// The table follows the block: each row lies further in than the one before.
constexpr bool InBlockOrder()
{
    for (std::size_t i = 1; i < kOptionCount; ++i) {
        if (kOptionTable[i].offset <= kOptionTable[i - 1].offset) return false;
    }
    return true;
}
static_assert(InBlockOrder(), "the options table must list the fields in the order of Globals");

// An indexed option is a position in its popup list, and only indexed
// options have one; every option but dialogPage has a control of its own,
// and no two share one.
constexpr bool ListsAndControlsConsistent()
{
    for (std::size_t i = 0; i < kOptionCount; ++i) {
        const OptionInfo& option = kOptionTable[i];
        const bool indexed = option.kind == OptionKind::Index;
        if (indexed != !option.labels.empty()) return false;
        if (indexed && option.maximum != static_cast<float>(option.labels.size() - 1)) return false;
        if ((option.controlId == 0) != (std::string_view(option.name) == "dialogPage")) return false;
        if (option.controlId != 0 && OptionIndexOfControl(option.controlId) != i) return false;
    }
    return true;
}
static_assert(ListsAndControlsConsistent());

}  // namespace

std::span<const OptionInfo> Options() { return kOptionTable; }

const OptionInfo* FindOption(const char* name)
{
    const std::size_t index = FindOptionIndex(name);
    return index == kNoOption ? nullptr : &kOptionTable[index];
}

const OptionInfo* FindOptionOfControl(std::int32_t controlId)
{
    const std::size_t index = OptionIndexOfControl(controlId);
    return index == kNoOption ? nullptr : &kOptionTable[index];
}

float OptionValue(const Globals& globals, const OptionInfo& option)
{
    const auto* field = reinterpret_cast<const unsigned char*>(&globals) + option.offset;
    if (option.kind == OptionKind::Real) {
        float value;
        std::memcpy(&value, field, sizeof value);
        return value;
    }
    std::int32_t value;
    std::memcpy(&value, field, sizeof value);
    return static_cast<float>(value);
}

void SetOptionValue(Globals& globals, const OptionInfo& option, float value)
{
    auto* field = reinterpret_cast<unsigned char*>(&globals) + option.offset;
    if (option.kind == OptionKind::Real) {
        std::memcpy(field, &value, sizeof value);
        return;
    }
    const auto whole = static_cast<std::int32_t>(value);
    std::memcpy(field, &whole, sizeof whole);
}

std::int32_t OptionInt(const Globals& globals, const OptionInfo& option)
{
    if (option.kind == OptionKind::Real) return static_cast<std::int32_t>(OptionValue(globals, option));
    std::int32_t value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&globals) + option.offset, sizeof value);
    return value;
}

void SetOptionInt(Globals& globals, const OptionInfo& option, std::int32_t value)
{
    if (option.kind == OptionKind::Real) {
        SetOptionValue(globals, option, static_cast<float>(value));
        return;
    }
    std::memcpy(reinterpret_cast<unsigned char*>(&globals) + option.offset, &value, sizeof value);
}

void ResetOptionsForPreset(Globals& globals)
{
    for (const OptionInfo& option : kOptionTable) {
        if (option.presetResets) SetOptionValue(globals, option, option.defaultValue);
    }
}
