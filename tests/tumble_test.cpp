// The "Tumble" button: its reset, its gates and draws in order, the exact
// 32-bit results of its formulas, what it leaves alone, and what the dialog
// shows afterwards.
#include <cstring>
#include <string>
#include <vector>

#include "settings/options.h"
#include "tests/dialog_fixture.h"

namespace kadrelle_test {
namespace {

// The options that Tumble touches.
const std::set<std::string> kTumbled = {
    "dabResizeHMin", "dabResizeHMax", "dabResizeVMin", "dabResizeVMax", "dabAngleMin",   "dabAngleMax",
    "dabJitterHMin", "dabJitterHMax", "dabJitterVMin", "dabJitterVMax", "twistAngle",    "dabShrinkPerDab",
    "dabRandomSymbols", "shrinkFactorOrdered", "bristlesPerDab", "brushWidth", "brushHeight", "brushShape",
    "edgeResize",    "coreResize",    "bristleResizeH", "bristleResizeV",
};

struct Expected {
    float Globals::*real;
    std::int32_t Globals::*whole;
    float value;
};

Expected E(float Globals::*field, float value) { return {field, nullptr, value}; }
Expected E(std::int32_t Globals::*field, std::int32_t value) { return {nullptr, field, static_cast<float>(value)}; }

void ExpectFields(const Globals& g, const std::vector<Expected>& expected)
{
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("expected value " + std::to_string(i));
        if (expected[i].real != nullptr) {
            EXPECT_EQ(g.*expected[i].real, expected[i].value);
        } else {
            EXPECT_EQ(g.*expected[i].whole, static_cast<std::int32_t>(expected[i].value));
        }
    }
}

class TumbleTest : public OptionsDialogTest {
public:
    // Every option away from its default, so that the reset shows.
    void Scramble()
    {
        for (const OptionInfo& option : Options()) {
            if (std::string(option.name) == "dialogPage") continue;
            const bool flag = option.kind == OptionKind::Flag;
            SetOptionValue(*gGlobals, option, flag ? 1.0f - option.defaultValue : 3.0f);
        }
    }

    // Press "Tumble" once in the open dialog, then leave by cancel.
    void Tumble(const std::function<void(host::DialogSession&)>& then = {})
    {
        EditOptions([&](host::DialogSession& user) {
            EXPECT_TRUE(user.Press(150));
            if (then) then(user);
            user.Press(2);
        });
    }
};

TEST_F(TumbleTest, WithDrawsOfZeroEveryGateFailsAndOnlyTheResetAndTheDabResizeRemain)
{
    Scramble();
    host.random.Constant(0.0f);
    Tumble();
    EXPECT_EQ(host.random.Draws(), 15u) << "eight for the dab resize, one for each of seven gates";
    const Globals& g = *gGlobals;
    ExpectFields(g, {
                        E(&Globals::dabResizeHMin, 100.0f), E(&Globals::dabResizeHMax, 100.0f),
                        E(&Globals::dabResizeVMin, 100.0f), E(&Globals::dabResizeVMax, 100.0f),
                        E(&Globals::dabAngleMin, 0.0f),     E(&Globals::dabAngleMax, 0.0f),
                        E(&Globals::dabJitterHMin, 0.0f),   E(&Globals::dabJitterHMax, 0.0f),
                        E(&Globals::dabJitterVMin, 0.0f),   E(&Globals::dabJitterVMax, 0.0f),
                        E(&Globals::twistAngle, 0.0f),      E(&Globals::dabShrinkPerDab, 100.0f),
                        E(&Globals::dabRandomSymbols, 0),   E(&Globals::shrinkFactorOrdered, 100.0f),
                        E(&Globals::bristlesPerDab, 0),     E(&Globals::brushWidth, 40.0f),
                        E(&Globals::brushHeight, 40.0f),    E(&Globals::brushShape, 0),
                        E(&Globals::edgeResize, 20.0f),     E(&Globals::coreResize, 50.0f),
                        E(&Globals::bristleResizeH, 100.0f), E(&Globals::bristleResizeV, 100.0f),
                    });
}

TEST_F(TumbleTest, WithDrawsJustBelowOneEveryGatePasses)
{
    Scramble();
    host.random.Constant(host::RandomSource::kJustBelowOne);
    Tumble();
    EXPECT_EQ(host.random.Draws(), 43u);
    const Globals& g = *gGlobals;
    // u = 1 − 2⁻²⁴: every difference cancels exactly; every product is just
    // under its factor.
    ExpectFields(g, {
                        E(&Globals::dabResizeHMin, 100.0f),     E(&Globals::dabResizeHMax, 100.0f),
                        E(&Globals::dabResizeVMin, 100.0f),     E(&Globals::dabResizeVMax, 100.0f),
                        E(&Globals::dabAngleMin, 0x1.dffffep+4f), E(&Globals::dabAngleMax, 0x1.67fffep+8f),
                        E(&Globals::dabJitterHMin, 0.0f),       E(&Globals::dabJitterHMax, 0.0f),
                        E(&Globals::dabJitterVMin, 0.0f),       E(&Globals::dabJitterVMax, 0.0f),
                        E(&Globals::twistAngle, 0x1.3ffffep+3f), E(&Globals::dabShrinkPerDab, 100.0f),
                        E(&Globals::dabRandomSymbols, 1),       E(&Globals::shrinkFactorOrdered, 100.0f),
                        E(&Globals::bristlesPerDab, 149),       E(&Globals::brushWidth, 0x1.8ffffep+7f),
                        E(&Globals::brushHeight, 0x1.8ffffep+7f), E(&Globals::brushShape, 8),
                        E(&Globals::edgeResize, 20.0f),         E(&Globals::coreResize, 50.0f),
                        E(&Globals::bristleResizeH, 100.0f),    E(&Globals::bristleResizeV, 100.0f),
                    });
    EXPECT_LT(g.dabAngleMax, 360.0f);
}

TEST_F(TumbleTest, AScriptedRunDrawsInOrderAndStoresTheDoublePrecisionResultsAsFloats)
{
    host.random.Script(
        {
            0.75f, 0.25f, 0.1f, 0.777f, 0.5f, 0.5f, 0.875f, 0.125f,  // dab resize
            0.6f, 0.5f, 0.1f,                                        // angle: 60.0000024 passes
            0.29999998f,                                             // jitter: 29.999998 fails
            0.9f,                                                    // twist: 89.999998 fails
            0.3f, 0.1f, 0.3f,                                        // shrink per dab: 30.000001 passes
            0.90000004f,                                             // random symbols: 90.000004 passes
            0.5f,                                                    // ordered shrink fails
            0.8f, 0.99f, 0.004f, 0.5f,                               // brush passes: count, width, height
            0.79999995f,                                             // brush shape: 79.999995 fails
            0.1f, 0.9f, 0.25f, 0.75f, 0.5f, 0.25f, 0.125f, 0.625f,   // edge, core and bristle resize
        },
        false);
    Tumble();
    EXPECT_EQ(host.random.Draws(), 31u) << "not one draw more";
    // Worked out in double precision and rounded once; adding and
    // subtracting in 32-bit floats gives 0x1.089998p+6, 0x1.8b3332p+6 and
    // 0x1p+2 instead.
    ExpectFields(*gGlobals, {
                                E(&Globals::dabResizeHMin, 125.0f),
                                E(&Globals::dabResizeHMax, 0x1.08999ap+6f),
                                E(&Globals::dabResizeVMin, 100.0f),
                                E(&Globals::dabResizeVMax, 137.5f),
                                E(&Globals::dabAngleMin, 15.0f),
                                E(&Globals::dabAngleMax, 36.0f),
                                E(&Globals::dabJitterHMin, 0.0f),
                                E(&Globals::dabJitterHMax, 0.0f),
                                E(&Globals::dabJitterVMin, 0.0f),
                                E(&Globals::dabJitterVMax, 0.0f),
                                E(&Globals::twistAngle, 0.0f),
                                E(&Globals::dabShrinkPerDab, 0x1.8b3334p+6f),
                                E(&Globals::dabRandomSymbols, 1),
                                E(&Globals::shrinkFactorOrdered, 100.0f),
                                E(&Globals::bristlesPerDab, 148),
                                E(&Globals::brushWidth, 0.8f),
                                E(&Globals::brushHeight, 100.0f),
                                E(&Globals::brushShape, 0),
                                E(&Globals::edgeResize, 0x1.000002p+2f),
                                E(&Globals::coreResize, 40.0f),
                                E(&Globals::bristleResizeH, 105.0f),
                                E(&Globals::bristleResizeV, 90.0f),
                            });
}

TEST_F(TumbleTest, OptionsOutsideItsListAndThePresetIndexAreLeftAlone)
{
    Scramble();
    gGlobals->dialogPage = 2;
    gGlobals->dabCount = 9;
    const Globals before = *gGlobals;
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        host.random.Seed(seed);
        Tumble();
        std::size_t checked = 0;
        for (const OptionInfo& option : Options()) {
            if (kTumbled.count(option.name) == 1) continue;
            EXPECT_EQ(OptionValue(*gGlobals, option), OptionValue(before, option)) << option.name;
            ++checked;
        }
        EXPECT_EQ(checked, Options().size() - kTumbled.size());
        EXPECT_EQ(gGlobals->presetIndex, before.presetIndex);
        EXPECT_EQ(gGlobals->dabCount, 9);
        EXPECT_EQ(gGlobals->dialogBoundsValid, 0);
    }
}

TEST_F(TumbleTest, TheDialogShowsTheNewSettingsAndTheRulesFollowThem)
{
    host.random.Constant(host::RandomSource::kJustBelowOne);
    EditOptions([](host::DialogSession& user) {
        EXPECT_FALSE(user.dialog().Find(24)->enabled) << "no bristles yet";
        const std::int32_t preset = SelectedId(*user.dialog().Find(81));
        user.Type(5, "77");  // typed, then overwritten by Tumble
        ASSERT_TRUE(user.Press(150));
        ExpectControlsShow(user.dialog(), *gGlobals, true);
        EXPECT_EQ(user.dialog().Find(5)->FloatValue(), gGlobals->dabResizeVMin);
        EXPECT_EQ(user.dialog().Find(21)->IntValue(), 149);
        EXPECT_TRUE(user.dialog().Find(24)->enabled) << "149 bristles";
        EXPECT_EQ(SelectedId(*user.dialog().Find(81)), preset);
        user.Press(2);
    });
    EXPECT_EQ(gGlobals->bristlesPerDab, 149) << "kept after cancel";
}

TEST_F(TumbleTest, TheVerticalDabResizeControlsShowTheirOwnValues)
{
    host.random.Script({0.5f, 0.25f, 0.5f, 0.75f, 0.25f, 0.5f, 0.75f, 0.5f}, false);
    Tumble([](host::DialogSession& user) {
        EXPECT_EQ(user.dialog().Find(3)->FloatValue(), 112.5f);
        EXPECT_EQ(user.dialog().Find(4)->FloatValue(), 87.5f);
        EXPECT_EQ(user.dialog().Find(5)->FloatValue(), 87.5f);
        EXPECT_EQ(user.dialog().Find(6)->FloatValue(), 112.5f);
    });
}

TEST_F(TumbleTest, ABrushNarrowerThanTheControlsMinimumIsShownAndStoredUnclamped)
{
    // Brush gate passed; 0.004 · 200 = 0.8 points wide, below the minimum of 1.
    host.random.Script({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.9f, 0.5f, 0.004f, 0.002f}, false);
    EditOptions([](host::DialogSession& user) {
        user.Press(150);
        EXPECT_EQ(user.dialog().Find(22)->FloatValue(), 0.8f);
        user.Press(1);
    });
    EXPECT_EQ(gGlobals->brushWidth, 0.8f);
    EXPECT_EQ(gGlobals->brushHeight, 0.4f);
    EXPECT_EQ(gGlobals->bristlesPerDab, 75);
}

TEST_F(TumbleTest, WithoutTheHostsRandomNumbersTumbleChangesNothing)
{
    // The random suite is acquired before the dialog manager's, so a host
    // without it still runs the dialog.
    host.Inject({"acquire/AI Random Suite", 0, kSuiteNotFoundErr});
    gGlobals->brushWidth = 77.0f;
    const Globals before = *gGlobals;
    Tumble();
    EXPECT_EQ(host.random.Draws(), 0u);
    EXPECT_EQ(std::memcmp(&before, gGlobals, sizeof(Globals)), 0);
}

}  // namespace
}  // namespace kadrelle_test
