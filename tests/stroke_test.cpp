// Stroke start, the drag step's gates and counters, and stroke end, through
// whole messages.
#include <bit>
#include <cstring>
#include <functional>
#include <numbers>
#include <set>

#include "tests/stroke_fixture.h"

namespace kadrelle_test {
namespace {

constexpr float kRad = static_cast<float>(std::numbers::pi / 180.0);

TEST_F(StrokeTest, MouseDownTurnsTheOptionsIntoTheStrokesValues)
{
    G().dabAngleMin = 30.0f;
    G().dabAngleMax = -10.0f;
    G().dabResizeHMin = 150.0f;
    G().dabResizeHMax = 50.0f;
    G().dabJitterVMin = 7.0f;
    G().dabJitterVMax = -7.0f;
    G().dabShrinkPerDab = 95.0f;
    G().shrinkFactorOrdered = -20.0f;
    G().twistAngle = 10.0f;
    G().initialSize = 250.0f;
    G().bristleResizeV = 40.0f;
    G().hitTestMode = 3;
    G().paintOnTarget = 0;
    host.random.Constant(0.625f);
    ASSERT_EQ(Down({12.5f, -3.0f}), kNoErr);

    const Globals& g = G();
    EXPECT_EQ(g.startPoint.h, 12.5f);
    EXPECT_EQ(g.startPoint.v, -3.0f);
    EXPECT_EQ(g.directionOrigin.h, 12.5f);
    EXPECT_EQ(g.dabAngleLowRadians, static_cast<float>(-10.0 * std::numbers::pi / 180.0));
    EXPECT_EQ(g.dabAngleHighRadians, static_cast<float>(30.0 * std::numbers::pi / 180.0));
    EXPECT_EQ(g.dabAngleMin, 30.0f) << "the settings keep what the user typed";
    EXPECT_EQ(g.dabScaleHLow, 50.0f * 0.01f);
    EXPECT_EQ(g.dabScaleHHigh, 150.0f * 0.01f);
    EXPECT_EQ(g.dabJitterVLow, -7.0f);
    EXPECT_EQ(g.dabJitterVHigh, 7.0f);
    EXPECT_EQ(g.dabScaleVLow, 1.0f) << "equal ends stay";
    EXPECT_EQ(g.dabShrinkStep, 95.0f * 0.01f);
    EXPECT_EQ(g.orderedShrinkStep, -20.0f * 0.01f) << "not clamped";
    EXPECT_EQ(g.twistStepRadians, static_cast<float>(10.0 * std::numbers::pi / 180.0));
    EXPECT_EQ(g.initialSizeFraction, 250.0f * 0.01f);
    EXPECT_EQ(g.bristleScaleV, 40.0f * 0.01f);
    EXPECT_EQ(g.hitRequest, 3);
    EXPECT_EQ(g.hitTargetType, 0);
    EXPECT_EQ(g.strokeRandom, 0.625f);
    EXPECT_EQ(g.dabCount, 1);
    EXPECT_EQ(g.dabShrinkScale, 1.0f);
    EXPECT_EQ(g.brushResizeScale, 1.0f);
    EXPECT_EQ(g.currentPoint.h, 0.0f) << "the zero-filled block's value until a drag";
    EXPECT_EQ(host.random.Draws(), 1u);
    EXPECT_EQ(0.01f, std::bit_cast<float>(0x3C23D70Au));
}

TEST_F(StrokeTest, HitCodesOutsideTheirListsKeepTheLastStrokes)
{
    G().hitTestMode = 5;
    G().paintOnTarget = 2;
    ASSERT_EQ(Down({0, 0}), kNoErr);
    for (std::int32_t bad : {12, -1}) {
        G().hitTestMode = bad;
        G().paintOnTarget = bad == 12 ? 7 : -1;
        ASSERT_EQ(Down({0, 0}), kNoErr);
        EXPECT_EQ(G().hitRequest, 5);
        EXPECT_EQ(G().hitTargetType, 2);
    }
}

TEST_F(StrokeTest, TheApplyRateSkipsEventsBeforeEachProcessedOne)
{
    G().dabsApplyRate = 3;
    ASSERT_EQ(Down({0, 0}), kNoErr);
    std::vector<std::size_t> placed;
    for (int event = 1; event <= 9; ++event) {
        ASSERT_EQ(Drag({static_cast<float>(event), 0}), kNoErr);
        placed.push_back(Instances().size());
    }
    EXPECT_EQ(placed, (std::vector<std::size_t>{0, 0, 0, 1, 1, 1, 1, 2, 2}));
    EXPECT_EQ(G().currentPoint.h, 8.0f) << "the last event past the apply-rate gate";
}

TEST_F(StrokeTest, ShrinkPerDabMakesEachDabOfAStrokeSmaller)
{
    G().dabShrinkPerDab = 90.0f;
    G().dabAlignToDirection = 0;
    for (int stroke = 0; stroke < 2; ++stroke) {
        Stroke({0, 0}, {{10, 10}, {20, 10}, {30, 10}});
    }
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 6u);
    const float step = 90.0f * 0.01f;
    const float expected[] = {1.0f, step, step * step, 1.0f, step, step * step};
    for (std::size_t i = 0; i < instances.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(instances[i]->matrix.a, expected[i]);
        EXPECT_EQ(instances[i]->matrix.d, expected[i]);
    }
}

TEST_F(StrokeTest, TheAlternateAngleTurnsEveryEvenDab)
{
    G().alternateAngle = 90.0f;
    G().dabAlignToDirection = 0;
    Stroke({0, 0}, {{10, 0}, {20, 0}, {30, 0}, {40, 0}});
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const bool even = i % 2 == 1;
        EXPECT_NEAR(instances[i]->matrix.a, even ? 0.0f : 1.0f, 1e-6f);
        EXPECT_NEAR(instances[i]->matrix.b, even ? 1.0f : 0.0f, 1e-6f);
    }
}

TEST_F(StrokeTest, TwistAndDirectionAddToTheDabsAngle)
{
    G().twistAngle = 10.0f;
    Stroke({0, 0}, {{10, 0}, {10, 10}, {20, 10}});
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 3u);
    // Right, up, right: direction 0, 90°, 0; twist 0, 10°, 20°.
    const float expected[] = {0.0f, 100.0f * kRad, 20.0f * kRad};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(std::atan2(instances[i]->matrix.b, instances[i]->matrix.a), expected[i], 1e-5f);
    }
}

TEST_F(StrokeTest, PaletteOrderTakesTheDocumentsSymbolsInTurn)
{
    G().dabPaletteOrder = 1;
    Stroke({0, 0}, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}});
    std::vector<host::SymbolId> used;
    for (const host::Art* art : Instances()) used.push_back(art->symbol);
    EXPECT_EQ(used, (std::vector<host::SymbolId>{symbols[0], symbols[1], symbols[2], symbols[0], symbols[1]}));
}

TEST_F(StrokeTest, OrderedShrinkingStartsAgainWhenThePaletteOrderDoes)
{
    G().dabPaletteOrder = 1;
    G().shrinkFactorOrdered = 50.0f;
    G().dabAlignToDirection = 0;
    Stroke({0, 0}, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}});
    std::vector<float> scales;
    for (const host::Art* art : Instances()) scales.push_back(art->matrix.a);
    EXPECT_EQ(scales, (std::vector<float>{1.0f, 0.5f, 0.25f, 1.0f, 0.5f}));
}

TEST_F(StrokeTest, AnInvalidSymbolInPaletteOrderIsReplacedBySymbolZeroWhileTheOrderAdvances)
{
    G().dabPaletteOrder = 1;
    doc.GetSymbol(symbols[1]).valid = false;
    Stroke({0, 0}, {{1, 0}, {2, 0}, {3, 0}});
    std::vector<host::SymbolId> used;
    for (const host::Art* art : Instances()) used.push_back(art->symbol);
    EXPECT_EQ(used, (std::vector<host::SymbolId>{symbols[0], symbols[0], symbols[2]}));
}

TEST_F(StrokeTest, RandomSymbolsDrawAnIndexIntoTheDocumentsSymbols)
{
    G().dabRandomSymbols = 1;
    G().dabPaletteOrder = 1;  // random wins
    // Per event: the symbol draw first, then the five range draws.
    host.random.Script({0, 0.7f, 0, 0, 0, 0, 0, 0.1f, 0, 0, 0, 0, 0, 0.99f, 0, 0, 0, 0, 0}, false);
    Stroke({0, 0}, {{1, 0}, {2, 0}, {3, 0}});
    std::vector<host::SymbolId> used;
    for (const host::Art* art : Instances()) used.push_back(art->symbol);
    EXPECT_EQ(used, (std::vector<host::SymbolId>{symbols[2], symbols[0], symbols[2]}));
    EXPECT_EQ(G().paletteOrderIndex, 0);
}

TEST_F(StrokeTest, WithoutAValidSymbolNothingIsPlacedSilently)
{
    doc.selectedSymbol.reset();
    for (host::SymbolId s : symbols) doc.GetSymbol(s).valid = false;
    G().dabsPerLayer = 5;
    Stroke({0, 0}, {{1, 0}, {2, 0}});
    EXPECT_EQ(doc.ArtCount(), 0u);
    EXPECT_TRUE(host.Dialogs().Runs().empty());
    EXPECT_EQ(G().stepCount, 2) << "the step still counts";
    EXPECT_EQ(G().layerStepCount, 2);
    EXPECT_EQ(G().dabCount, 1) << "but does not finish";
}

TEST_F(StrokeTest, AnEmptyPaletteSelectionPaintsTheFirstSymbol)
{
    doc.selectedSymbol.reset();
    Stroke({0, 0}, {{1, 0}});
    ASSERT_EQ(Instances().size(), 1u);
    EXPECT_EQ(Instances()[0]->symbol, symbols[0]);
}

TEST_F(StrokeTest, DabsPerLayerInsertsLayersAfterStepsThreeFiveAndSeven)
{
    G().dabsPerLayer = 2;
    ASSERT_EQ(Down({0, 0}), kNoErr);
    std::vector<std::size_t> layers;
    for (int event = 1; event <= 8; ++event) {
        ASSERT_EQ(Drag({static_cast<float>(event), 0}), kNoErr);
        layers.push_back(doc.Layers().size());
    }
    EXPECT_EQ(layers, (std::vector<std::size_t>{1, 1, 2, 2, 3, 3, 4, 4}));
    EXPECT_EQ(doc.Layers()[0].art.size(), 3u) << "the first layer receives N + 1 steps";
    EXPECT_EQ(doc.Layers()[1].art.size(), 2u);
    ASSERT_EQ(Up(), kNoErr);
    // A new stroke counts anew.
    ASSERT_EQ(Down({0, 0}), kNoErr);
    ASSERT_EQ(Drag({1, 0}), kNoErr);
    ASSERT_EQ(Drag({2, 0}), kNoErr);
    EXPECT_EQ(doc.Layers().size(), 4u);
    ASSERT_EQ(Drag({3, 0}), kNoErr);
    EXPECT_EQ(doc.Layers().size(), 5u);
}

TEST_F(StrokeTest, AFailedLayerInsertionIsTriedAgainAtTheNextStep)
{
    G().dabsPerLayer = 1;
    host.Inject({"AI Layer Suite/InsertLayer", 1, kOutOfMemoryErr});
    ASSERT_EQ(Down({0, 0}), kNoErr);
    ASSERT_EQ(Drag({1, 0}), kNoErr);
    ASSERT_EQ(Drag({2, 0}), kNoErr);  // due, fails
    EXPECT_EQ(G().stepCount, 1);
    EXPECT_EQ(G().dabCount, 3) << "the step was otherwise complete";
    ASSERT_EQ(Drag({3, 0}), kNoErr);  // tried again
    EXPECT_EQ(doc.Layers().size(), 2u);
    EXPECT_EQ(G().stepCount, 2);
    EXPECT_TRUE(ErrorDialogs().empty()) << "a drag step reports nothing";
}

TEST_F(StrokeTest, PenPressureScalesTheDabOnlyWithAPressureDevice)
{
    G().dabAlignToDirection = 0;
    struct Case {
        bool device;
        std::int16_t pressure;
        std::int32_t pressureDabSize;
        float scale;
    } cases[] = {
        {false, 0, 1, 1.0f},
        {true, 255, 1, 255.0f * std::bit_cast<float>(0x3B808081u)},
        {true, 0, 1, 0.0f},
        {true, 51, 1, 51.0f * std::bit_cast<float>(0x3B808081u)},
        {true, 51, 0, 1.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressure);
        host.pressureDevice = c.device;
        G().pressureDabSize = c.pressureDabSize;
        ASSERT_EQ(Down({0, 0}), kNoErr);
        ASSERT_EQ(Drag({5, 5}, c.pressure), kNoErr);
        EXPECT_EQ(Instances().back()->matrix.a, c.scale);
    }
}

TEST_F(StrokeTest, TheShrinkKeyLowersShrinkPerDabDownToOne)
{
    host.modifiers = kShrinkModifier | kPauseModifier;  // shrink wins
    ASSERT_EQ(Down({0, 0}), kNoErr);
    for (int i = 0; i < 5; ++i) ASSERT_EQ(Drag({1, 0}), kNoErr);
    EXPECT_NEAR(G().dabShrinkPerDab, 99.5f, 1e-4f);
    EXPECT_EQ(G().dabShrinkStep, G().dabShrinkPerDab * 0.01f);
    EXPECT_EQ(Instances().size(), 5u) << "pause is not looked at";

    G().dabShrinkPerDab = 1.05f;
    ASSERT_EQ(Drag({1, 0}), kNoErr);
    EXPECT_EQ(G().dabShrinkPerDab, 1.0f);
    ASSERT_EQ(Drag({1, 0}), kNoErr);
    EXPECT_EQ(G().dabShrinkPerDab, 1.0f);
}

TEST_F(StrokeTest, ThePauseKeyPaintsNothing)
{
    host.modifiers = kPauseModifier;
    ASSERT_EQ(Down({0, 0}), kNoErr);
    ASSERT_EQ(Drag({5, 0}), kNoErr);
    EXPECT_EQ(doc.ArtCount(), 0u);
    EXPECT_EQ(G().currentPoint.h, 5.0f);
    EXPECT_EQ(G().stepCount, 0);
}

TEST_F(StrokeTest, TheCreateGatePaintsOnlyWhenItsDrawIsAtMostOneHalf)
{
    G().randomCreate = 1;
    // Per event: the create draw, then (when it paints) the five range draws.
    host.random.Script({0, 0.75f, 0.5f, 0, 0, 0, 0, 0, 0.500001f}, false);
    Stroke({0, 0}, {{1, 0}, {2, 0}, {3, 0}});
    EXPECT_EQ(Instances().size(), 1u);
    EXPECT_EQ(Instances()[0]->matrix.tx, 2.0f);
}

// A path whose anchor (100, 100) and segment middle (150, 100) the tests aim at.
host::Path Line()
{
    host::Path path;
    path.points = {host::PathPoint{{100, 100}, {100, 100}, {100, 100}}, host::PathPoint{{200, 100}, {200, 100}, {200, 100}}};
    return path;
}

TEST_F(StrokeTest, TheTargetGatePaintsOnlyOnTheWantedPartOfTheArt)
{
    doc.AddPath(Line());
    G().paintAnywhere = 0;
    G().paintOnTarget = 0;  // anchor points
    G().hitTestMode = 0;
    ASSERT_EQ(Down({0, 0}), kNoErr);
    ASSERT_EQ(Drag({100, 100.5f}), kNoErr);  // on the anchor
    EXPECT_EQ(Instances().size(), 1u);
    ASSERT_EQ(Drag({150, 100}), kNoErr);  // the segment's middle
    ASSERT_EQ(Drag({400, 400}), kNoErr);  // nothing there
    EXPECT_EQ(Instances().size(), 1u);

    // The target-only key makes the gate apply even with paint anywhere on.
    G().paintAnywhere = 1;
    host.modifiers = kTargetOnlyModifier;
    ASSERT_EQ(Drag({400, 400}), kNoErr);
    EXPECT_EQ(Instances().size(), 1u);
    host.modifiers = 0;
    ASSERT_EQ(Drag({400, 400}), kNoErr);
    EXPECT_EQ(Instances().size(), 2u) << "paint anywhere paints over empty canvas";
}

TEST_F(StrokeTest, PaintingOverAnInstanceNeedsOverlapPaint)
{
    G().paintAnywhere = 0;
    G().paintOnTarget = 4;  // fill
    G().hitTestMode = 0;
    const host::ArtId existing = doc.AddInstance(symbols[1], {300, 300});
    ASSERT_EQ(Down({0, 0}), kNoErr);
    ASSERT_EQ(Drag({302, 301}), kNoErr);
    EXPECT_EQ(doc.ArtCount(), 1u);
    G().overlapPaint = 1;
    ASSERT_EQ(Drag({302, 301}), kNoErr);
    EXPECT_EQ(doc.ArtCount(), 2u);
    EXPECT_TRUE(doc.Exists(existing));
}

// The fields of the settings block, for telling what a step changed.
#define FIELD(name) {#name, offsetof(Globals, name), sizeof(Globals::name)}
struct Field {
    const char* name;
    std::size_t offset;
    std::size_t size;
};
constexpr Field kStrokeFields[] = {
    FIELD(directionOrigin), FIELD(orderedShrinkScale), FIELD(twistTotal), FIELD(dabShrinkPerDab),
    FIELD(dabShrinkStep), FIELD(dabShrinkScale), FIELD(applyRateCount), FIELD(layerStepCount), FIELD(dabCount),
    FIELD(stepCount), FIELD(brushResizeScale), FIELD(paletteOrderIndex), FIELD(currentPoint), FIELD(lastPoint),
};
#undef FIELD

std::set<std::string> Changed(const Globals& before, const Globals& after)
{
    std::set<std::string> changed;
    for (const Field& f : kStrokeFields) {
        if (std::memcmp(reinterpret_cast<const char*>(&before) + f.offset, reinterpret_cast<const char*>(&after) + f.offset,
                        f.size) != 0)
            changed.insert(f.name);
    }
    return changed;
}

TEST_F(StrokeTest, EachWayOutOfAStepLeavesExactlyItsChanges)
{
    using Set = std::set<std::string>;
    // applyRateCount is 0 before and after every processed event.
    const Set gates{"currentPoint"};
    const Set full{"currentPoint", "dabShrinkScale", "dabCount", "directionOrigin", "layerStepCount", "stepCount",
                   "paletteOrderIndex"};
    struct Case {
        const char* name;
        std::function<void(StrokeTest&)> arrange;
        Set changed;
        std::size_t placed;
    } cases[] = {
        {"apply-rate gate", [](StrokeTest& t) { t.G().dabsApplyRate = 2; }, {"applyRateCount"}, 0},
        {"pause key", [](StrokeTest& t) { t.host.modifiers = kPauseModifier; }, gates, 0},
        {"create gate",
         [](StrokeTest& t) {
             t.G().randomCreate = 1;
             t.host.random.Constant(0.75f);
         },
         gates, 0},
        {"target gate", [](StrokeTest& t) { t.G().paintAnywhere = 0; }, gates, 0},
        {"shrink key and target gate",
         [](StrokeTest& t) {
             t.G().paintAnywhere = 0;
             t.host.modifiers = kShrinkModifier | kTargetOnlyModifier;
         },
         {"currentPoint", "dabShrinkPerDab", "dabShrinkStep"}, 0},
        {"no valid symbol",
         [](StrokeTest& t) {
             for (host::SymbolId s : t.symbols) t.doc.GetSymbol(s).valid = false;
         },
         {"currentPoint", "paletteOrderIndex", "layerStepCount", "stepCount"}, 0},
        {"missing bristle symbol",
         [](StrokeTest& t) {
             t.G().bristlesPerDab = 3;
             t.G().bristlesRandomSymbols = 1;
             // The dab's symbol, bristle 0's, then bristle 1's fails.
             t.host.Inject({"AI Symbol Suite/GetNthSymbol", 3, kBadParameterErr});
         },
         {"currentPoint", "paletteOrderIndex"}, 2},
        {"failed layer insertion",
         [](StrokeTest& t) {
             t.G().dabsPerLayer = 1;
             t.G().layerStepCount = 1;  // due now
             t.host.Inject({"AI Layer Suite/InsertLayer", 1, kOutOfMemoryErr});
         },
         {"currentPoint", "dabShrinkScale", "dabCount", "directionOrigin", "paletteOrderIndex"}, 1},
        {"normal", [](StrokeTest&) {}, full, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearFaults();
        host.modifiers = 0;
        host.random.Constant(0.0f);
        for (host::ArtId id : std::vector<host::ArtId>(doc.Layers().back().art)) doc.Delete(id);
        for (host::SymbolId s : symbols) doc.GetSymbol(s).valid = true;
        SetDefaults(G());
        G().dabPaletteOrder = 1;     // so the palette index shows
        G().dabShrinkPerDab = 90.0f; // so the shrink scale shows
        G().dabsPerLayer = 10;       // so the layer count shows
        ASSERT_EQ(Down({10, 10}), kNoErr);
        ASSERT_EQ(Drag({11, 10}), kNoErr);  // one complete step first
        c.arrange(*this);
        const std::size_t before = Instances().size();
        const Globals snapshot = G();
        ASSERT_EQ(Drag({20, 30}), kNoErr);
        EXPECT_EQ(Changed(snapshot, G()), c.changed);
        EXPECT_EQ(Instances().size() - before, c.placed);
        ASSERT_EQ(Up(), kNoErr);
    }
}

TEST_F(StrokeTest, MouseUpKeepsTheEndPointAndClosesTheStrokeForUndo)
{
    Stroke({0, 0}, {{40, 50}});
    EXPECT_EQ(G().lastPoint.h, 40.0f);
    EXPECT_EQ(G().lastPoint.v, 50.0f);
    EXPECT_EQ(host.undoCalls, 1u);

    // A click without a processed drag keeps the earlier stroke's point.
    G().dabsApplyRate = 5;
    Stroke({7, 7}, {{8, 8}});
    EXPECT_EQ(G().lastPoint.h, 40.0f);
    EXPECT_EQ(host.undoCalls, 2u);

    // A failing undo operation is the message's result and is reported; the
    // point is saved before it.
    G().dabsApplyRate = 0;
    host.Inject({"AI Undo Suite/SetUndoPoint", 1, FourCharCode('U', 'N', 'D', 'O')});
    ASSERT_EQ(Down({0, 0}), kNoErr);
    ASSERT_EQ(Drag({60, 70}), kNoErr);
    EXPECT_EQ(Up(), FourCharCode('U', 'N', 'D', 'O'));
    EXPECT_EQ(G().lastPoint.h, 60.0f);
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].Find(3)->text, "UNDO");
}

TEST_F(StrokeTest, ValuesOutsideTheirRangesNeitherCrashNorCorrupt)
{
    struct Case {
        const char* name;
        std::function<void(Globals&)> set;
    } cases[] = {
        {"mirror mode 99", [](Globals& g) { g.mirrorMode = 99; }},
        {"mirror mode -5", [](Globals& g) { g.mirrorMode = -5; }},
        {"brush shape 42", [](Globals& g) { g.brushShape = 42; g.bristlesPerDab = 3; }},
        {"target 13", [](Globals& g) { g.interpolationTarget = 13; g.interpolationAmount = 100; }},
        {"target -1", [](Globals& g) { g.interpolationTarget = -1; g.interpolationAmount = 100; }},
        {"negative bristles", [](Globals& g) { g.bristlesPerDab = -4; g.randomBristleCount = 1; }},
        {"NaN sizes", [](Globals& g) { g.initialSize = std::nanf(""); g.brushWidth = std::nanf(""); g.bristlesPerDab = 2; }},
        {"infinite angles", [](Globals& g) { g.dabAngleMax = INFINITY; g.twistAngle = -INFINITY; g.bristlesPerDab = 2; }},
        {"NaN jitter and target", [](Globals& g) { g.dabJitterHMin = std::nanf(""); g.interpolationAmount = std::nanf(""); g.mirrorMode = 4; }},
        {"infinite shrink", [](Globals& g) { g.dabShrinkPerDab = INFINITY; g.brushResize = INFINITY; g.bristlesPerDab = 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetDefaults(G());
        c.set(G());
        ASSERT_EQ(Down({100, 100}), kNoErr);
        for (int i = 0; i < 3; ++i) ASSERT_EQ(Drag({100.0f + 10.0f * static_cast<float>(i), 120}), kNoErr);
        ASSERT_EQ(Up(), kNoErr);
        // The document answers a hit test anywhere after it.
        EXPECT_FALSE(doc.HitTest({-5000, -5000}, host::HitRequest::All).hit);
    }
    EXPECT_TRUE(host.Violations().empty());
}

// The stroke's counters live in the settings block, which may hold any
// value (a drag with no mouse down before it finds them as they are): at the
// top of their range they wrap around as 32-bit arithmetic does.
TEST_F(StrokeTest, CountersAtTheTopOfTheirRangeWrapAround)
{
    struct Case {
        const char* name;
        std::function<void(Globals&)> set;
        std::int32_t Globals::*counter;
    } cases[] = {
        {"dab count", [](Globals&) {}, &Globals::dabCount},
        {"step count", [](Globals&) {}, &Globals::stepCount},
        {"layer steps", [](Globals& g) { g.dabsPerLayer = 5; }, &Globals::layerStepCount},
        {"palette order", [](Globals& g) { g.dabPaletteOrder = 1; }, &Globals::paletteOrderIndex},
        {"apply rate", [](Globals& g) { g.dabsApplyRate = 3; }, &Globals::applyRateCount},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetDefaults(G());
        c.set(G());
        G().*c.counter = INT32_MAX;
        ASSERT_EQ(Drag({100, 120}), kNoErr);
        EXPECT_EQ(G().*c.counter, INT32_MIN);
    }
    EXPECT_TRUE(host.Violations().empty());
}

}  // namespace
}  // namespace kadrelle_test
