#include "settings/tumble.h"

#include "dialog/options_dialog.h"
#include "settings/options.h"
#include "shell/suites.h"

namespace {

// The options that Tumble puts back to their defaults before it draws.
constexpr std::size_t kTumbled[] = {
    OptionIndex("dabResizeHMin"), OptionIndex("dabResizeHMax"), OptionIndex("dabResizeVMin"),
    OptionIndex("dabResizeVMax"), OptionIndex("dabAngleMin"),   OptionIndex("dabAngleMax"),
    OptionIndex("dabJitterHMin"), OptionIndex("dabJitterHMax"), OptionIndex("dabJitterVMin"),
    OptionIndex("dabJitterVMax"), OptionIndex("twistAngle"),    OptionIndex("dabShrinkPerDab"),
    OptionIndex("dabRandomSymbols"), OptionIndex("shrinkFactorOrdered"), OptionIndex("bristlesPerDab"),
    OptionIndex("brushWidth"),    OptionIndex("brushHeight"),   OptionIndex("brushShape"),
    OptionIndex("edgeResize"),    OptionIndex("coreResize"),    OptionIndex("bristleResizeH"),
    OptionIndex("bristleResizeV"),
};

// The formulas of Tumble, each drawing from draw in the order written.
// Every formula is worked out in double precision and stored as a 32-bit
// float.
double U(UniformDraw draw) { return static_cast<double>(draw()); }

// A gate of t passes when 100·u is strictly greater than t.
bool Gate(UniformDraw draw, double threshold) { return 100.0 * U(draw) > threshold; }

// base + spread·u1 − spread·u2, formed as written.
float Around(UniformDraw draw, double base, double spread)
{
    const double u1 = U(draw);
    const double u2 = U(draw);
    return static_cast<float>(base + spread * u1 - spread * u2);
}

float Scaled(UniformDraw draw, double scale) { return static_cast<float>(scale * U(draw)); }

// scale·u truncated toward zero; below scale, as u < 1.
std::int32_t Count(UniformDraw draw, double scale) { return static_cast<std::int32_t>(scale * U(draw)); }

}  // namespace

void TumbleOptions(Globals& globals, UniformDraw draw)
{
    for (std::size_t option : kTumbled) SetOptionValue(globals, kOptionTable[option], kOptionTable[option].defaultValue);

    globals.dabResizeHMin = Around(draw, 100, 50);
    globals.dabResizeHMax = Around(draw, 100, 50);
    globals.dabResizeVMin = Around(draw, 100, 50);
    globals.dabResizeVMax = Around(draw, 100, 50);
    if (Gate(draw, 60)) {
        globals.dabAngleMin = Scaled(draw, 30);
        globals.dabAngleMax = Scaled(draw, 360);
    }
    if (Gate(draw, 30)) {
        globals.dabJitterHMin = Around(draw, 0, 50);
        globals.dabJitterHMax = Around(draw, 0, 150);
        globals.dabJitterVMin = Around(draw, 0, 50);
        globals.dabJitterVMax = Around(draw, 0, 150);
    }
    if (Gate(draw, 90)) globals.twistAngle = Scaled(draw, 10);
    if (Gate(draw, 30)) globals.dabShrinkPerDab = Around(draw, 100, 6);
    if (Gate(draw, 90)) globals.dabRandomSymbols = 1;
    if (Gate(draw, 90)) globals.shrinkFactorOrdered = Around(draw, 100, 20);
    if (Gate(draw, 80)) {
        globals.bristlesPerDab = Count(draw, 150);
        globals.brushWidth = Scaled(draw, 200);
        globals.brushHeight = Scaled(draw, 200);
        if (Gate(draw, 80)) globals.brushShape = Count(draw, 9);
        globals.edgeResize = Around(draw, 20, 20);
        globals.coreResize = Around(draw, 50, 20);
        globals.bristleResizeH = Around(draw, 100, 20);
        globals.bristleResizeV = Around(draw, 100, 20);
    }
}

void TumbleSettings(ItemRef item, NotifierRef /*notifier*/)
{
    const RandomSuite* random = Suite<RandomSuite>();
    if (random == nullptr) return;
    DialogRef dialog = Suite<ItemSuite>()->GetDialog(item);
    TumbleOptions(*gGlobals, random->FloatRandom);
    ShowSettingsInDialog(dialog);
}
