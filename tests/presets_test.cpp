// The preset popup: each of the 27 presets chosen in the open dialog, what
// it resets and writes, what the dialog then shows, and what stays when
// the dialog is cancelled.
#include <cstring>
#include <string>
#include <vector>

#include "settings/options.h"
#include "tests/dialog_fixture.h"

namespace kadrelle_test {
namespace {

struct Value {
    const char* field;
    float value;
};

// What every preset writes first.
const std::vector<Value> kReset = {
    {"dabResizeHMin", 100}, {"dabResizeHMax", 100}, {"dabResizeVMin", 100}, {"dabResizeVMax", 100},
    {"dabAngleMin", 0}, {"dabAngleMax", 0}, {"dabJitterHMin", 0}, {"dabJitterHMax", 0},
    {"dabJitterVMin", 0}, {"dabJitterVMax", 0}, {"alternateAngle", 0}, {"twistAngle", 0},
    {"brushSlant", 0}, {"interpolationAmount", 0}, {"dabShrinkPerDab", 100}, {"shrinkFactorOrdered", 100},
    {"brushResize", 100}, {"bristleResizeH", 100}, {"bristleResizeV", 100}, {"brushWidth", 40},
    {"brushHeight", 40}, {"edgeResize", 20}, {"coreResize", 50}, {"paintOnTarget", 4},
    {"hitTestMode", 7}, {"mirrorMode", 0}, {"brushShape", 0}, {"interpolationTarget", 0},
    {"bristlesPerDab", 0}, {"dabsPerLayer", 0}, {"dabsApplyRate", 0}, {"dabLinkResize", 1},
    {"paintAnywhere", 1}, {"dabAlignToDirection", 1}, {"syncBrushToDab", 1}, {"applyBristlesAndDab", 1},
    {"alignBristlesToDab", 1}, {"pressureDabSize", 1}, {"pressureBristles", 1}, {"pressureWidth", 1},
    {"overlapPaint", 0}, {"dabRandomSymbols", 0}, {"dabPaletteOrder", 0}, {"randomBristleCount", 0},
    {"bristlesRandomSymbols", 0}, {"randomBrushWidth", 0}, {"randomBrushHeight", 0}, {"alignAngleEndpoint", 0},
    {"expandSymbolDelete", 0}, {"pressureTwist", 0}, {"pressureDabShift", 0}, {"randomCreate", 0},
};

struct Preset {
    const char* label;
    std::vector<Value> values;   // written after the reset
};

const std::vector<Preset> kPresets = {
    {" Default Settings", {{"initialSize", 100}, {"initialAngle", 0}}},
    {" 20 Bristles Brush", {{"bristlesPerDab", 20}}},
    {" Shrinking Brush Dab", {{"dabShrinkPerDab", 99}}},
    {" Shrinking Brush Dab/Bristles", {{"dabShrinkPerDab", 99}, {"bristlesPerDab", 20}}},
    {" Slanted Bristle Brush", {{"bristlesPerDab", 20}, {"brushSlant", 45}, {"brushWidth", 160}}},
    {" Slow Rotating Dab", {{"twistAngle", 2}}},
    {" Narrow Bristles", {{"bristlesPerDab", 20}, {"bristleResizeH", 20}, {"bristleResizeV", 160}}},
    {" Rapid Shrinking Dab", {{"dabShrinkPerDab", 90}}},
    {" Random Symbols Dab", {{"dabRandomSymbols", 1}}},
    {" Dab + Random Symbols Bristles", {{"bristlesPerDab", 20}, {"bristlesRandomSymbols", 1}}},
    {" Wide + Many Bristles Brush", {{"bristlesPerDab", 50}, {"brushWidth", 150}}},
    {" Dab/Bristles small at edge", {{"edgeResize", 2}, {"bristlesPerDab", 30}, {"brushWidth", 100}}},
    {" Bristles small in middle/no dab",
     {{"applyBristlesAndDab", 0}, {"edgeResize", 40}, {"coreResize", 2}, {"bristlesPerDab", 30}, {"brushWidth", 100}}},
    {" 2 brush dabs per layer", {{"dabsPerLayer", 2}}},
    {" 20 brush dabs per layer", {{"dabsPerLayer", 20}}},
    {" Slight brush slowdown", {{"dabsApplyRate", 10}}},
    {" Very slow brush stroke", {{"dabsApplyRate", 100}}},
    {" Subtle random angle dabs", {{"dabAngleMin", -10}, {"dabAngleMax", 10}}},
    {" Random angle dabs", {{"dabAngleMin", 0}, {"dabAngleMax", 360}}},
    {" Scattered", {{"dabJitterHMin", -100}, {"dabJitterHMax", 100}, {"dabJitterVMin", -100}, {"dabJitterVMax", 100}}},
    {" Scattered pressure",
     {{"dabJitterHMin", -100},
      {"dabJitterHMax", 100},
      {"dabJitterVMin", -100},
      {"dabJitterVMax", 100},
      {"pressureDabShift", 1}}},
    {" Double ring", {{"brushShape", 8}, {"bristlesPerDab", 100}, {"brushWidth", 300}, {"brushHeight", 300}}},
    {" Dab fill document", {{"interpolationTarget", 2}, {"interpolationAmount", 100}}},
    {" Dab fill document shrink", {{"interpolationTarget", 2}, {"interpolationAmount", 100}, {"dabShrinkPerDab", 99.2f}}},
    {" Random dab fill document (shrink)",
     {{"interpolationTarget", 2}, {"interpolationAmount", 100}, {"dabShrinkPerDab", 99.2f}, {"dabRandomSymbols", 1}}},
    {" Horizontal reflection", {{"mirrorMode", 2}, {"dabRandomSymbols", 1}}},
    {" Horizontal 4 reflection", {{"mirrorMode", 9}, {"dabRandomSymbols", 1}, {"dabShrinkPerDab", 99.5f}}},
};

float Field(const Globals& globals, const char* name)
{
    const OptionInfo* option = FindOption(name);
    EXPECT_NE(option, nullptr) << name;
    return option == nullptr ? -12345.0f : OptionValue(globals, *option);
}

void SetField(Globals& globals, const char* name, float value)
{
    const OptionInfo* option = FindOption(name);
    ASSERT_NE(option, nullptr) << name;
    SetOptionValue(globals, *option, value);
}

class PresetTest : public OptionsDialogTest {
public:
    // Every option away from what any preset writes, and stroke state that
    // no preset may touch.
    void Scramble()
    {
        Globals& g = *gGlobals;
        for (const Value& reset : kReset) {
            const OptionInfo* option = FindOption(reset.field);
            ASSERT_NE(option, nullptr) << reset.field;
            const bool flag = option->kind == OptionKind::Flag;
            SetField(g, reset.field, flag ? 1.0f - reset.value : 3.0f);
        }
        g.initialSize = 55.0f;
        g.initialAngle = 12.0f;
        g.presetIndex = 7;
        g.dabCount = 31;
        g.lastPoint = {5.0f, 6.0f};
        g.dabScaleHLow = 0.25f;
    }

    // Choose the preset in the open dialog, then leave by cancel.
    void Choose(const std::string& label, const std::function<void(host::DialogSession&)>& then = {})
    {
        EditOptions([&](host::DialogSession& user) {
            EXPECT_TRUE(user.Choose(81, label));
            if (then) then(user);
            user.Press(2);
        });
    }
};

TEST_F(PresetTest, EveryPresetResetsTheOptionsAndWritesItsOwnValues)
{
    ASSERT_EQ(kPresets.size(), 27u);
    for (std::size_t id = 0; id < kPresets.size(); ++id) {
        const Preset& preset = kPresets[id];
        SCOPED_TRACE(preset.label);
        Scramble();
        Choose(preset.label, [&](host::DialogSession& user) {
            // The controls show the new settings at once; the preset popup
            // shows what the user chose.
            ExpectControlsShow(user.dialog(), *gGlobals, true);
            EXPECT_EQ(SelectedId(*user.dialog().Find(81)), static_cast<std::int32_t>(id));
        });
        const Globals& g = *gGlobals;
        EXPECT_EQ(g.presetIndex, static_cast<std::int32_t>(id));
        for (const Value& reset : kReset) {
            float expected = reset.value;
            for (const Value& written : preset.values) {
                if (std::strcmp(written.field, reset.field) == 0) expected = written.value;
            }
            EXPECT_EQ(Field(g, reset.field), expected) << reset.field;
        }
        EXPECT_EQ(g.initialSize, id == 0 ? 100.0f : 55.0f);
        EXPECT_EQ(g.initialAngle, id == 0 ? 0.0f : 12.0f);
        // Left alone: the page, the bounds, the stroke state.
        EXPECT_EQ(g.dialogPage, 1);
        EXPECT_EQ(g.dialogBoundsValid, 0);
        EXPECT_EQ(g.dabCount, 31);
        EXPECT_EQ(g.lastPoint.h, 5.0f);
        EXPECT_EQ(g.dabScaleHLow, 0.25f);
    }
}

TEST_F(PresetTest, SlowRotatingDabKeepsTheInitialSizeAndDefaultSettingsResetsIt)
{
    EditOptions([](host::DialogSession& user) {
        user.Type(17, "50");
        user.Press(1);
    });
    ASSERT_EQ(gGlobals->initialSize, 50.0f);
    Choose(" Slow Rotating Dab", [](host::DialogSession& user) {
        EXPECT_EQ(user.dialog().Find(17)->FloatValue(), 50.0f);
        EXPECT_EQ(user.dialog().Find(14)->FloatValue(), 2.0f) << "hidden controls are written too";
    });
    EXPECT_EQ(gGlobals->initialSize, 50.0f);
    EXPECT_EQ(gGlobals->twistAngle, 2.0f);
    Choose(" Default Settings");
    EXPECT_EQ(gGlobals->initialSize, 100.0f);
    EXPECT_EQ(gGlobals->twistAngle, 0.0f);
}

TEST_F(PresetTest, APresetShowsTheFieldsNotWhatWasTypedBeforeIt)
{
    // Typed, not yet committed: the preset shows the field's value instead,
    // and OK then stores what the dialog shows.
    EditOptions([](host::DialogSession& user) {
        user.Type(17, "50");
        user.Type(4, "33");
        user.Choose(81, " Scattered");
        EXPECT_EQ(user.dialog().Find(17)->FloatValue(), 100.0f);
        EXPECT_EQ(user.dialog().Find(4)->FloatValue(), 100.0f);
        user.Press(1);
    });
    EXPECT_EQ(gGlobals->initialSize, 100.0f);
    EXPECT_EQ(gGlobals->dabResizeHMax, 100.0f);
    EXPECT_EQ(gGlobals->dabJitterHMin, -100.0f);
    EXPECT_EQ(gGlobals->presetIndex, 19);
}

TEST_F(PresetTest, ChoosingTheSamePresetTwiceIsChoosingItOnce)
{
    for (const char* label : {" Bristles small in middle/no dab", " Dab fill document shrink", " Default Settings"}) {
        SCOPED_TRACE(label);
        Scramble();
        Choose(label);
        const Globals once = *gGlobals;
        Choose(label);
        EXPECT_EQ(std::memcmp(&once, gGlobals, sizeof(Globals)), 0);
    }
}

TEST_F(PresetTest, ScatteredShowsTheFourJitterValues)
{
    Choose(" Scattered", [](host::DialogSession& user) {
        EXPECT_EQ(user.dialog().Find(9)->FloatValue(), -100.0f);
        EXPECT_EQ(user.dialog().Find(10)->FloatValue(), 100.0f);
        EXPECT_EQ(user.dialog().Find(11)->FloatValue(), -100.0f);
        EXPECT_EQ(user.dialog().Find(12)->FloatValue(), 100.0f);
    });
}

TEST_F(PresetTest, BristlesSmallInMiddleClearsApplyBristlesAndDab)
{
    Choose(" Bristles small in middle/no dab", [](host::DialogSession& user) {
        const host::Item* box = user.dialog().Find(47);
        EXPECT_EQ(box->BooleanValue(), 0);
        EXPECT_TRUE(box->enabled) << "30 bristles";
    });
    EXPECT_EQ(gGlobals->applyBristlesAndDab, 0);
}

TEST_F(PresetTest, ThePresetsValuesDecideWhichControlsAreEnabled)
{
    EditOptions([](host::DialogSession& user) {
        const auto enabled = [&](std::int32_t id) { return user.dialog().Find(id)->enabled; };
        user.Choose(81, " 20 Bristles Brush");
        EXPECT_TRUE(enabled(24));
        EXPECT_TRUE(enabled(22));
        EXPECT_TRUE(enabled(58));
        EXPECT_FALSE(enabled(84));
        user.Choose(81, " Dab fill document");
        EXPECT_FALSE(enabled(24)) << "no bristles any more";
        EXPECT_FALSE(enabled(58));
        EXPECT_TRUE(enabled(84)) << "an interpolation amount of 100";
        EXPECT_FALSE(enabled(82)) << "painting anywhere";
        // The reset turns palette order off again.
        user.Press(104);
        user.Tick(45, true);
        EXPECT_TRUE(enabled(16));
        user.Choose(81, " Default Settings");
        EXPECT_FALSE(enabled(16));
        EXPECT_FALSE(enabled(84));
        user.Press(2);
    });
}

TEST_F(PresetTest, CancelKeepsThePresetAndOkKeepsItToo)
{
    Choose(" Double ring");
    EXPECT_EQ(gGlobals->presetIndex, 21);
    EXPECT_EQ(gGlobals->brushShape, 8);
    EXPECT_EQ(gGlobals->brushWidth, 300.0f);
    EXPECT_EQ(gGlobals->bristlesPerDab, 100);
    const Globals afterCancel = *gGlobals;

    // The next opening shows the preset chosen; OK stores the same settings.
    EditOptions([](host::DialogSession& user) {
        EXPECT_EQ(SelectedId(*user.dialog().Find(81)), 21);
        ExpectControlsShow(user.dialog(), *gGlobals, true);
        user.Press(1);
    });
    Globals afterOk = *gGlobals;
    afterOk.dialogBoundsLeft = afterCancel.dialogBoundsLeft;
    afterOk.dialogBoundsTop = afterCancel.dialogBoundsTop;
    afterOk.dialogBoundsRight = afterCancel.dialogBoundsRight;
    afterOk.dialogBoundsBottom = afterCancel.dialogBoundsBottom;
    afterOk.dialogBoundsValid = afterCancel.dialogBoundsValid;
    EXPECT_EQ(std::memcmp(&afterCancel, &afterOk, sizeof(Globals)), 0);
}

}  // namespace
}  // namespace kadrelle_test
