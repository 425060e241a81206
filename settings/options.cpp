#include "settings/options.h"

#include <cstring>

namespace {

#define KADRELLE_OPTION(field, kind, def, lo, hi, resets) \
    OptionInfo { #field, OptionKind::kind, offsetof(Globals, field), def, lo, hi, resets }

// Each option with its default and the range of its dialog control. A preset
// resets every option but initialSize and initialAngle (which only its first
// preset writes), presetIndex and dialogPage.
constexpr OptionInfo kOptions[] = {
    KADRELLE_OPTION(initialSize, Real, 100.0f, -5000.0f, 5000.0f, false),
    KADRELLE_OPTION(initialAngle, Real, 0.0f, -360.0f, 360.0f, false),
    KADRELLE_OPTION(twistAngle, Real, 0.0f, -360.0f, 360.0f, true),
    KADRELLE_OPTION(shrinkFactorOrdered, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(alternateAngle, Real, 0.0f, -360.0f, 360.0f, true),
    KADRELLE_OPTION(dabShrinkPerDab, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(dabResizeHMin, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(dabResizeHMax, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(dabResizeVMin, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(dabResizeVMax, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(dabAngleMin, Real, 0.0f, -360.0f, 360.0f, true),
    KADRELLE_OPTION(dabAngleMax, Real, 0.0f, -360.0f, 360.0f, true),
    KADRELLE_OPTION(dabJitterHMin, Real, 0.0f, -1500.0f, 1500.0f, true),
    KADRELLE_OPTION(dabJitterHMax, Real, 0.0f, -1500.0f, 1500.0f, true),
    KADRELLE_OPTION(dabJitterVMin, Real, 0.0f, -1500.0f, 1500.0f, true),
    KADRELLE_OPTION(dabJitterVMax, Real, 0.0f, -1500.0f, 1500.0f, true),
    KADRELLE_OPTION(randomCreate, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(expandSymbolDelete, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(dabRandomSymbols, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(dabPaletteOrder, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(dabLinkResize, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(overlapPaint, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(paintAnywhere, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(dabAlignToDirection, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(mirrorMode, Index, 0.0f, 0.0f, 22.0f, true),
    KADRELLE_OPTION(brushShape, Index, 0.0f, 0.0f, 9.0f, true),
    KADRELLE_OPTION(dabsApplyRate, Integer, 0.0f, 0.0f, 200.0f, true),
    KADRELLE_OPTION(dabsPerLayer, Integer, 0.0f, 0.0f, 200.0f, true),
    KADRELLE_OPTION(paintOnTarget, Index, 4.0f, 0.0f, 6.0f, true),
    KADRELLE_OPTION(hitTestMode, Index, 7.0f, 0.0f, 11.0f, true),
    KADRELLE_OPTION(dialogPage, Integer, 1.0f, 1.0f, 5.0f, false),
    KADRELLE_OPTION(bristlesPerDab, Integer, 0.0f, 0.0f, 500.0f, true),
    KADRELLE_OPTION(brushResize, Real, 100.0f, 1.0f, 200.0f, true),
    KADRELLE_OPTION(brushWidth, Real, 40.0f, 1.0f, 1000.0f, true),
    KADRELLE_OPTION(brushHeight, Real, 40.0f, 1.0f, 1000.0f, true),
    KADRELLE_OPTION(edgeResize, Real, 20.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(coreResize, Real, 50.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(bristleResizeH, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(bristleResizeV, Real, 100.0f, -500.0f, 500.0f, true),
    KADRELLE_OPTION(pressureTwist, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(pressureDabSize, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(pressureBristles, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(pressureWidth, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(pressureDabShift, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(alignBristlesToDab, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(alignAngleEndpoint, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(syncBrushToDab, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(applyBristlesAndDab, Flag, 1.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(randomBristleCount, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(bristlesRandomSymbols, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(randomBrushHeight, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(randomBrushWidth, Flag, 0.0f, 0.0f, 1.0f, true),
    KADRELLE_OPTION(interpolationAmount, Real, 0.0f, -1000.0f, 1000.0f, true),
    KADRELLE_OPTION(brushSlant, Real, 0.0f, -360.0f, 360.0f, true),
    KADRELLE_OPTION(presetIndex, Index, 0.0f, 0.0f, 26.0f, false),
    KADRELLE_OPTION(interpolationTarget, Index, 0.0f, 0.0f, 12.0f, true),
};

#undef KADRELLE_OPTION

// The table follows the block: each row lies further in than the one before.
constexpr bool InBlockOrder()
{
    for (std::size_t i = 1; i < std::size(kOptions); ++i) {
        if (kOptions[i].offset <= kOptions[i - 1].offset) return false;
    }
    return true;
}
static_assert(InBlockOrder(), "the options table must list the fields in the order of Globals");

}  // namespace

std::span<const OptionInfo> Options() { return kOptions; }

const OptionInfo* FindOption(const char* name)
{
    for (const OptionInfo& option : kOptions) {
        if (std::strcmp(option.name, name) == 0) return &option;
    }
    return nullptr;
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
