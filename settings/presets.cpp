#include "settings/presets.h"

#include <array>
#include <span>

#include "dialog/controls.h"
#include "dialog/options_dialog.h"
#include "settings/options.h"
#include "shell/suites.h"

namespace {

struct PresetValue {
    std::size_t option = kNoOption;  // row in the options table; kNoOption ends the row
    float value = 0.0f;
};

consteval PresetValue Set(std::string_view field, float value) { return {OptionIndex(field), value}; }

// What each preset writes after the reset, row n for preset n (its name is
// kPresetLabels[n]). Reals stand for the nearest 32-bit float.
constexpr std::size_t kMostValues = 5;
using PresetRow = std::array<PresetValue, kMostValues>;

constexpr PresetRow kPresets[] = {
    /*  0 Default Settings */ {Set("initialSize", 100), Set("initialAngle", 0)},
    /*  1 20 Bristles Brush */ {Set("bristlesPerDab", 20)},
    /*  2 Shrinking Brush Dab */ {Set("dabShrinkPerDab", 99)},
    /*  3 Shrinking Brush Dab/Bristles */ {Set("dabShrinkPerDab", 99), Set("bristlesPerDab", 20)},
    /*  4 Slanted Bristle Brush */
    {Set("bristlesPerDab", 20), Set("brushSlant", 45), Set("brushWidth", 160)},
    /*  5 Slow Rotating Dab */ {Set("twistAngle", 2)},
    /*  6 Narrow Bristles */
    {Set("bristlesPerDab", 20), Set("bristleResizeH", 20), Set("bristleResizeV", 160)},
    /*  7 Rapid Shrinking Dab */ {Set("dabShrinkPerDab", 90)},
    /*  8 Random Symbols Dab */ {Set("dabRandomSymbols", 1)},
    /*  9 Dab + Random Symbols Bristles */ {Set("bristlesPerDab", 20), Set("bristlesRandomSymbols", 1)},
    /* 10 Wide + Many Bristles Brush */ {Set("bristlesPerDab", 50), Set("brushWidth", 150)},
    /* 11 Dab/Bristles small at edge */
    {Set("edgeResize", 2), Set("bristlesPerDab", 30), Set("brushWidth", 100)},
    /* 12 Bristles small in middle/no dab */
    {Set("applyBristlesAndDab", 0), Set("edgeResize", 40), Set("coreResize", 2), Set("bristlesPerDab", 30),
     Set("brushWidth", 100)},
    /* 13 2 brush dabs per layer */ {Set("dabsPerLayer", 2)},
    /* 14 20 brush dabs per layer */ {Set("dabsPerLayer", 20)},
    /* 15 Slight brush slowdown */ {Set("dabsApplyRate", 10)},
    /* 16 Very slow brush stroke */ {Set("dabsApplyRate", 100)},
    /* 17 Subtle random angle dabs */ {Set("dabAngleMin", -10), Set("dabAngleMax", 10)},
    /* 18 Random angle dabs */ {Set("dabAngleMin", 0), Set("dabAngleMax", 360)},
    /* 19 Scattered */
    {Set("dabJitterHMin", -100), Set("dabJitterHMax", 100), Set("dabJitterVMin", -100), Set("dabJitterVMax", 100)},
    /* 20 Scattered pressure */
    {Set("dabJitterHMin", -100), Set("dabJitterHMax", 100), Set("dabJitterVMin", -100), Set("dabJitterVMax", 100),
     Set("pressureDabShift", 1)},
    /* 21 Double ring */
    {Set("brushShape", 8), Set("bristlesPerDab", 100), Set("brushWidth", 300), Set("brushHeight", 300)},
    /* 22 Dab fill document */ {Set("interpolationTarget", 2), Set("interpolationAmount", 100)},
    /* 23 Dab fill document shrink */
    {Set("interpolationTarget", 2), Set("interpolationAmount", 100), Set("dabShrinkPerDab", 99.2f)},
    /* 24 Random dab fill document (shrink) */
    {Set("interpolationTarget", 2), Set("interpolationAmount", 100), Set("dabShrinkPerDab", 99.2f),
     Set("dabRandomSymbols", 1)},
    /* 25 Horizontal reflection */ {Set("mirrorMode", 2), Set("dabRandomSymbols", 1)},
    /* 26 Horizontal 4 reflection */
    {Set("mirrorMode", 9), Set("dabRandomSymbols", 1), Set("dabShrinkPerDab", 99.5f)},
};
static_assert(std::size(kPresets) == kPresetCount && std::size(kPresetLabels) == kPresetCount,
              "one row per preset name");

// A row writes each option at most once, within its range, and only what a
// preset may write: the options it resets, and initialSize and initialAngle.
constexpr bool PresetsConsistent()
{
    for (const PresetRow& row : kPresets) {
        for (std::size_t i = 0; i < row.size() && row[i].option != kNoOption; ++i) {
            const OptionInfo& option = kOptionTable[row[i].option];
            const std::string_view name = option.name;
            if (!option.presetResets && name != "initialSize" && name != "initialAngle") return false;
            if (row[i].value < option.minimum || row[i].value > option.maximum) return false;
            for (std::size_t j = 0; j < i; ++j) {
                if (row[j].option == row[i].option) return false;
            }
        }
    }
    return true;
}
static_assert(PresetsConsistent());

}  // namespace

void WritePreset(Globals& globals, std::int32_t index)
{
    ResetOptionsForPreset(globals);
    if (index < 0 || index >= kPresetCount) return;
    for (const PresetValue& value : kPresets[index]) {
        if (value.option == kNoOption) break;
        SetOptionValue(globals, kOptionTable[value.option], value.value);
    }
}

void ApplyPreset(ItemRef item, NotifierRef /*notifier*/)
{
    const ItemSuite* items = Suite<ItemSuite>();
    DialogRef dialog = items->GetDialog(item);
    ListRef list = items->GetList(Suite<DialogSuite>()->GetItem(dialog, kPresetPopup));
    EntryRef entry = Suite<ListSuite>()->GetActiveEntry(list);
    // Nothing chosen, nothing to apply.
    if (entry == nullptr) return;

    Globals& globals = *gGlobals;
    globals.presetIndex = Suite<EntrySuite>()->GetID(entry);
    WritePreset(globals, globals.presetIndex);
    ShowSettingsInDialog(dialog);
}
