// The settings block after startup, and the options table that drives it.
#include <cmath>
#include <cstring>
#include <set>

#include "settings/options.h"
#include "tests/plugin_fixture.h"

namespace kadrelle_test {
namespace {

// Every option's default, written out independently of the options table.
struct Default {
    const char* name;
    float value;
};
constexpr Default kDefaults[] = {
    {"initialSize", 100}, {"initialAngle", 0}, {"twistAngle", 0}, {"shrinkFactorOrdered", 100},
    {"alternateAngle", 0}, {"dabShrinkPerDab", 100}, {"dabResizeHMin", 100}, {"dabResizeHMax", 100},
    {"dabResizeVMin", 100}, {"dabResizeVMax", 100}, {"dabAngleMin", 0}, {"dabAngleMax", 0},
    {"dabJitterHMin", 0}, {"dabJitterHMax", 0}, {"dabJitterVMin", 0}, {"dabJitterVMax", 0},
    {"randomCreate", 0}, {"expandSymbolDelete", 0}, {"dabRandomSymbols", 0}, {"dabPaletteOrder", 0},
    {"dabLinkResize", 1}, {"overlapPaint", 0}, {"paintAnywhere", 1}, {"dabAlignToDirection", 1},
    {"mirrorMode", 0}, {"brushShape", 0}, {"dabsApplyRate", 0}, {"dabsPerLayer", 0},
    {"paintOnTarget", 4}, {"hitTestMode", 7}, {"dialogPage", 1}, {"bristlesPerDab", 0},
    {"brushResize", 100}, {"brushWidth", 40}, {"brushHeight", 40}, {"edgeResize", 20},
    {"coreResize", 50}, {"bristleResizeH", 100}, {"bristleResizeV", 100}, {"pressureTwist", 0},
    {"pressureDabSize", 1}, {"pressureBristles", 1}, {"pressureWidth", 1}, {"pressureDabShift", 0},
    {"alignBristlesToDab", 1}, {"alignAngleEndpoint", 0}, {"syncBrushToDab", 1}, {"applyBristlesAndDab", 1},
    {"randomBristleCount", 0}, {"bristlesRandomSymbols", 0}, {"randomBrushHeight", 0}, {"randomBrushWidth", 0},
    {"interpolationAmount", 0}, {"brushSlant", 0}, {"presetIndex", 0}, {"interpolationTarget", 0},
};

TEST_F(PluginTest, AfterStartupEveryOptionHoldsItsDefault)
{
    ASSERT_EQ(Startup(), kNoErr);
    for (const Default& d : kDefaults) {
        SCOPED_TRACE(d.name);
        const OptionInfo* option = FindOption(d.name);
        ASSERT_NE(option, nullptr);
        EXPECT_EQ(OptionValue(*gGlobals, *option), d.value);
    }
    EXPECT_EQ(gGlobals->lastPoint.h, -999.0f);
    EXPECT_EQ(gGlobals->lastPoint.v, -999.0f);
    // What has no default reads 0, from the zero-filled block.
    EXPECT_EQ(gGlobals->dialogBoundsValid, 0);
    EXPECT_EQ(gGlobals->dialogBoundsLeft, 0);
    EXPECT_EQ(gGlobals->dialogBoundsBottom, 0);
    EXPECT_EQ(gGlobals->currentPoint.h, 0.0f);
    EXPECT_EQ(gGlobals->currentPoint.v, 0.0f);
    EXPECT_EQ(gGlobals->dabCount, 0);
    EXPECT_EQ(gGlobals->hitRequest, 0);
}

TEST(Options, TheTableHoldsExactlyTheOptionsOfTheBlock)
{
    std::set<std::string> expected;
    for (const Default& d : kDefaults) expected.insert(d.name);
    std::set<std::string> listed;
    for (const OptionInfo& option : Options()) {
        EXPECT_TRUE(listed.insert(option.name).second) << option.name << " listed twice";
        EXPECT_LE(option.minimum, option.defaultValue) << option.name;
        EXPECT_GE(option.maximum, option.defaultValue) << option.name;
    }
    EXPECT_EQ(listed, expected);
}

TEST(Options, OptionValuesReadAndWriteTheirOwnFieldOnly)
{
    Globals globals{};
    const OptionInfo* width = FindOption("brushWidth");
    const OptionInfo* shape = FindOption("brushShape");
    ASSERT_NE(width, nullptr);
    ASSERT_NE(shape, nullptr);
    SetOptionValue(globals, *width, 12.5f);
    SetOptionValue(globals, *shape, 8.0f);
    EXPECT_EQ(globals.brushWidth, 12.5f);
    EXPECT_EQ(globals.brushShape, 8);
    EXPECT_EQ(OptionValue(globals, *shape), 8.0f);
    EXPECT_EQ(globals.brushHeight, 0.0f);
    EXPECT_EQ(globals.brushResize, 0.0f);
    EXPECT_EQ(FindOption("toolHandle"), nullptr) << "the stroke state and the tool are not options";
    EXPECT_EQ(FindOption("lastPoint"), nullptr);
}

TEST(Options, SetDefaultsLeavesTheDialogBoundsAndTheStrokeStateAlone)
{
    Globals globals;
    std::memset(&globals, 0x5A, sizeof globals);
    const Globals before = globals;
    SetDefaults(globals);
    EXPECT_EQ(globals.dialogBoundsLeft, before.dialogBoundsLeft);
    EXPECT_EQ(globals.dialogBoundsValid, before.dialogBoundsValid);
    EXPECT_EQ(std::memcmp(&globals.currentPoint, &before.currentPoint, sizeof(HostPoint)), 0);
    EXPECT_EQ(globals.dabCount, before.dabCount);
    EXPECT_EQ(globals.toolHandle, before.toolHandle);
    EXPECT_EQ(globals.presetIndex, 0);
    EXPECT_EQ(globals.dialogPage, 1);
    EXPECT_EQ(globals.lastPoint.h, -999.0f);
}

}  // namespace
}  // namespace kadrelle_test
