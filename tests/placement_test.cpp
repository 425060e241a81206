// The dab's target and the bristles, through whole strokes.
#include <cmath>
#include <numbers>

#include "tests/stroke_fixture.h"

namespace kadrelle_test {
namespace {

TEST_F(StrokeTest, TheDabIsPulledTowardItsTargetAndTheBristlesStayAtThePointer)
{
    struct Case {
        std::int32_t target;
        float amount;
        HostPoint dab;
    } cases[] = {
        {0, 100, {100, 100}}, {1, 100, {300, 200}}, {1, 50, {200, 150}}, {1, -100, {-100, 0}},
        {1, 1000, {2100, 1100}}, {3, 100, {0, 0}}, {7, 100, {40, 60}}, {1, 0, {100, 100}},
    };
    G().bristlesPerDab = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.target) + " at " + std::to_string(c.amount));
        G().interpolationTarget = c.target;
        G().interpolationAmount = c.amount;
        ASSERT_EQ(Down({40, 60}), kNoErr);
        ASSERT_EQ(Drag({100, 100}), kNoErr);
        const auto instances = Instances();
        EXPECT_POINT_NEAR(CentreOf(instances[instances.size() - 2]), c.dab.h, c.dab.v, 1e-2f);
        // The bristle (all draws 0: on the pointer).
        EXPECT_POINT_NEAR(CentreOf(instances.back()), 100.0f, 100.0f, 1e-3f);
    }
}

TEST_F(StrokeTest, TheIncreasingTargetsCreepAwayByOnePointAProcessedEvent)
{
    G().interpolationTarget = 4;
    G().interpolationAmount = 100;
    G().dabsApplyRate = 1;  // skipped events do not count
    ASSERT_EQ(Down({0, 0}), kNoErr);
    for (int event = 0; event < 20; ++event) ASSERT_EQ(Drag({50, 50}), kNoErr);
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 10u);
    for (std::size_t i = 0; i < instances.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_POINT_NEAR(CentreOf(instances[i]), 50.0f + static_cast<float>(i), 50.0f, 1e-3f);
    }
}

TEST_F(StrokeTest, FillingTheDocumentDrawsTwoNumbersEvenAtAmountZero)
{
    G().interpolationTarget = 2;
    G().interpolationAmount = 0;
    // Start, the five range draws, then the target's two.
    host.random.Script({0, 0, 0, 0, 0, 0, 0.5f, 0.5f}, false);
    ASSERT_EQ(Down({10, 10}), kNoErr);
    ASSERT_EQ(Drag({10, 10}), kNoErr);
    EXPECT_EQ(host.random.Draws(), 8u);
    EXPECT_POINT_NEAR(CentreOf(Instances()[0]), 10.0f, 10.0f, 1e-3f);

    G().interpolationAmount = 100;
    host.random.Script({0, 0, 0, 0, 0, 0, 0.5f, 0.25f}, false);
    ASSERT_EQ(Down({10, 10}), kNoErr);
    ASSERT_EQ(Drag({10, 10}), kNoErr);
    EXPECT_POINT_NEAR(CentreOf(Instances()[1]), 300.0f, 125.0f, 1e-3f);
}

TEST_F(StrokeTest, JitterMovesTheDabAndPressureCanScaleTheShift)
{
    G().dabJitterHMin = 20;
    G().dabJitterHMax = -20;
    G().dabAlignToDirection = 0;
    host.pressureDevice = true;
    struct Case {
        std::int32_t shiftPressure;
        std::int16_t pressure;
        float h;
    } cases[] = {{0, 255, 110}, {1, 255, 110}, {1, 51, 102}, {1, 0, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pressure);
        G().pressureDabShift = c.shiftPressure;
        G().pressureDabSize = 0;
        // Start, angle, then the horizontal jitter's draw: -20 + 0.75 × 40 = 10.
        host.random.Script({0, 0, 0.75f}, false);
        ASSERT_EQ(Down({100, 100}), kNoErr);
        ASSERT_EQ(Drag({100, 100}, c.pressure), kNoErr);
        EXPECT_POINT_NEAR(CentreOf(Instances().back()), c.h, 100.0f, 1e-3f);
    }
}

// One bristle whose offset in the brush's frame is (x, 0) with halfW 20:
// the scripted draws after the start point's and the dab's five.
std::vector<float> BristleAt(float share) { return {0, 0, 0, 0, 0, 0, 0, share, 0, 0}; }

TEST_F(StrokeTest, TheBrushIsTurnedBySlantAndDirection)
{
    G().bristlesPerDab = 1;
    G().applyBristlesAndDab = 0;
    struct Case {
        const char* name;
        float slant;
        std::int32_t align;
        HostPoint to;          // the drag's point; the stroke starts at (100, 100)
        HostPoint expected;    // the bristle's centre for the offset (10, 0)
    } cases[] = {
        {"no slant: the width lies along v", 0, 0, {100, 100}, {100, 90}},
        {"slant 90: along h", 90, 0, {100, 100}, {90, 100}},
        {"moving right", 0, 1, {130, 100}, {130, 90}},
        {"moving up", 0, 1, {100, 130}, {90, 130}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        G().brushSlant = c.slant;
        G().dabAlignToDirection = c.align;
        host.random.Script(BristleAt(0.5f), false);
        ASSERT_EQ(Down({100, 100}), kNoErr);
        ASSERT_EQ(Drag(c.to), kNoErr);
        EXPECT_POINT_NEAR(CentreOf(Instances().back()), c.expected.h, c.expected.v, 1e-3f);
    }
}

TEST_F(StrokeTest, ABristlesSizeRunsFromTheCoreValueToTheEdgeValue)
{
    G().bristlesPerDab = 1;
    G().applyBristlesAndDab = 0;
    G().dabAlignToDirection = 0;
    G().alignBristlesToDab = 0;
    struct Case {
        float share;   // of halfW
        float edge;
        float core;
        float scale;
    } cases[] = {
        {0.0f, 20, 50, 0.5f},           // on the centre line: the core
        {0.5f, 20, 50, 0.35f},          // halfway: between
        {0.999f, 20, 50, 0.2003f},      // at the side: the edge
        {0.7f, 100, 100, 1.0f},         // both 100 %: exactly 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.share);
        G().edgeResize = c.edge;
        G().coreResize = c.core;
        host.random.Script(BristleAt(c.share), false);
        ASSERT_EQ(Down({100, 100}), kNoErr);
        ASSERT_EQ(Drag({100, 100}), kNoErr);
        const HostMatrix& m = Instances().back()->matrix;
        EXPECT_NEAR(m.a, c.scale, 1e-4f);
        EXPECT_NEAR(m.d, c.scale, 1e-4f);
    }
    G().edgeResize = 100;
    G().coreResize = 100;
    host.random.Script(BristleAt(0.3f), false);
    ASSERT_EQ(Down({100, 100}), kNoErr);
    ASSERT_EQ(Drag({100, 100}), kNoErr);
    EXPECT_EQ(Instances().back()->matrix.a, 1.0f);
}

TEST_F(StrokeTest, WithNoPenPressureTheBrushShrinksToOnePoint)
{
    G().bristlesPerDab = 30;
    G().applyBristlesAndDab = 0;
    host.pressureDevice = true;
    host.random.Seed(3);
    ASSERT_EQ(Down({200, 200}), kNoErr);
    ASSERT_EQ(Drag({200, 200}, 0), kNoErr);
    ASSERT_EQ(Instances().size(), 30u);
    for (const host::Art* bristle : Instances()) {
        const HostPoint c = CentreOf(bristle);
        EXPECT_LE(std::hypot(c.h - 200.0f, c.v - 200.0f), std::sqrt(2.0f) + 1e-4f);
    }
}

TEST_F(StrokeTest, BristlesOfTheDefaultBrushFallInsideItsSquare)
{
    G().bristlesPerDab = 20;
    G().dabAlignToDirection = 0;
    host.random.Seed(5);
    ASSERT_EQ(Down({200, 200}), kNoErr);
    ASSERT_EQ(Drag({200, 200}), kNoErr);
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 21u);
    for (std::size_t i = 1; i < instances.size(); ++i) {
        const HostPoint c = CentreOf(instances[i]);
        EXPECT_LT(std::fabs(c.h - 200.0f), 20.0f + 1e-3f);
        EXPECT_LT(std::fabs(c.v - 200.0f), 20.0f + 1e-3f);
        // From a fifth of the symbol's size at the side to half of it on the centre line.
        EXPECT_GE(instances[i]->matrix.a, 0.2f - 1e-4f);
        EXPECT_LE(instances[i]->matrix.a, 0.5f + 1e-4f);
    }
}

TEST_F(StrokeTest, BristlesCanBeTurnedTowardTheBrushsTopOrLikeTheDab)
{
    G().bristlesPerDab = 1;
    G().applyBristlesAndDab = 0;
    G().edgeResize = 100;
    G().coreResize = 100;
    G().dabAlignToDirection = 0;
    G().alignBristlesToDab = 0;
    G().alignAngleEndpoint = 1;
    // Straight below the top middle (x = 0, y = 0): turned by π.
    host.random.Script(BristleAt(0.0f), false);
    ASSERT_EQ(Down({100, 100}), kNoErr);
    ASSERT_EQ(Drag({100, 100}), kNoErr);
    EXPECT_NEAR(Instances().back()->matrix.a, -1.0f, 1e-6f);
    EXPECT_NEAR(Instances().back()->matrix.b, 0.0f, 1e-6f);

    // Aligned to the dab, whose angle here is the initial angle 30°, even with the dab off.
    G().alignAngleEndpoint = 0;
    G().alignBristlesToDab = 1;
    G().initialAngle = 30;
    host.random.Script(BristleAt(0.4f), false);
    ASSERT_EQ(Down({100, 100}), kNoErr);
    ASSERT_EQ(Drag({100, 100}), kNoErr);
    const HostMatrix& m = Instances().back()->matrix;
    EXPECT_NEAR(std::atan2(m.b, m.a), static_cast<float>(std::numbers::pi / 6), 1e-5f);
}

TEST_F(StrokeTest, ARandomBrushWidthIsOneDrawPerStep)
{
    G().bristlesPerDab = 3;
    G().applyBristlesAndDab = 0;
    G().randomBrushWidth = 1;
    G().dabAlignToDirection = 0;
    // Start, five range draws, the brush's width share 0.5 (halfW 10), then
    // three bristles of four draws, each at the full share just below 1.
    std::vector<float> draws{0, 0, 0, 0, 0, 0, 0.5f};
    for (int i = 0; i < 3; ++i) draws.insert(draws.end(), {0, 0.999f, 0, 0});
    host.random.Script(draws, false);
    ASSERT_EQ(Down({100, 100}), kNoErr);
    ASSERT_EQ(Drag({100, 100}), kNoErr);
    EXPECT_EQ(host.random.Draws(), draws.size());
    for (const host::Art* bristle : Instances()) EXPECT_NEAR(CentreOf(bristle).v, 100.0f - 9.99f, 1e-3f);
}

TEST_F(StrokeTest, AMissingRandomBristleSymbolEndsTheStepKeepingWhatWasPlaced)
{
    G().bristlesPerDab = 4;
    G().bristlesRandomSymbols = 1;
    G().expandSymbolDelete = 1;
    ASSERT_EQ(Down({100, 100}), kNoErr);
    // Bristle 0's symbol is found; bristle 1's is not.
    host.Inject({"AI Symbol Suite/GetNthSymbol", 2, kBadParameterErr});
    ASSERT_EQ(Drag({100, 100}), kNoErr);
    std::vector<host::ArtKind> kinds;
    for (const host::Art* art : AllArt()) kinds.push_back(art->kind);
    // The dab stays an instance (its expansion comes after the bristles); bristle 0 was expanded.
    EXPECT_EQ(kinds, (std::vector<host::ArtKind>{host::ArtKind::Instance, host::ArtKind::Expanded}));
    EXPECT_EQ(G().dabCount, 1);
    EXPECT_EQ(G().stepCount, 0);
}

}  // namespace
}  // namespace kadrelle_test
