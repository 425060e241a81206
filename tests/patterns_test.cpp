// The brush shapes and the dab's target, called with the suites held and
// scripted draws.
#include <cmath>
#include <numbers>

#include "patterns/brush_shapes.h"
#include "patterns/dab_target.h"
#include "tests/plugin_fixture.h"

namespace kadrelle_test {
namespace {

class PatternTest : public PluginTest {
protected:
    PatternTest()
    {
        EXPECT_EQ(Startup(), kNoErr);
        EXPECT_EQ(AcquireSuites(host.Basic()), kNoErr);
    }
    ~PatternTest() override { ReleaseSuites(host.Basic()); }
};

struct ShapeCase {
    const char* name;
    std::int32_t shape;
    std::vector<float> draws;
    HostPoint offset;
};

// halfW 10, halfH 20. The first four draws make the point: sign, share of
// halfW, sign, share of halfH; a draw above 0.5 makes the sign negative.
const ShapeCase kShapeCases[] = {
    {"square", 0, {0, 0.5f, 0.9f, 0.25f}, {5, -5}},
    {"square, both negative", 0, {0.6f, 0.5f, 0.51f, 0.5f}, {-5, -10}},
    {"shape 10 is the square", 10, {0, 0.5f, 0.9f, 0.25f}, {5, -5}},
    {"shape -1 is the square", -1, {0, 0.5f, 0.9f, 0.25f}, {5, -5}},
    {"ring, first quadrant", 1, {0, 0.3f, 0, 0.2f}, {-8, 12}},
    {"ring, second quadrant", 1, {0.9f, 0.3f, 0, 0.2f}, {-8, -12}},
    {"ring, third quadrant", 1, {0.9f, 0.3f, 0.9f, 0.2f}, {-8, 12}},
    {"ring, fourth quadrant", 1, {0, 0.3f, 0.9f, 0.2f}, {-8, 12}},
    {"line", 2, {0, 0.5f, 0.9f, 0.25f}, {-5, -5}},
    {"X, first diagonal", 3, {0, 0.5f, 0.9f, 0.25f, 0.6f}, {-5, -5}},
    {"X, second diagonal at exactly 0.5", 3, {0, 0.5f, 0.9f, 0.25f, 0.5f}, {5, -5}},
    {"cross, horizontal", 4, {0, 0.5f, 0.9f, 0.25f, 0.6f}, {5, 0}},
    {"cross, vertical", 4, {0, 0.5f, 0.9f, 0.25f, 0.4f}, {0, -5}},
    {"arrowhead, diagonal", 5, {0, 0.5f, 0.9f, 0.25f, 0.6f}, {-5, -5}},
    {"arrowhead, second line", 5, {0, 0.5f, 0.9f, 0.25f, 0.4f}, {25, -5}},
    {"split pushes right", 6, {0, 0.2f, 0, 0.25f}, {7, 5}},
    {"split pushes left", 6, {0.9f, 0.2f, 0, 0.25f}, {-7, 5}},
    {"split keeps x = halfW / 2", 6, {0, 0.5f, 0, 0.25f}, {5, 5}},
    {"split keeps x = 0", 6, {0, 0, 0, 0.25f}, {0, 5}},
    {"split keeps the outer band", 6, {0, 0.75f, 0, 0.25f}, {7.5f, 5}},
    {"frame, left line", 7, {0, 0.5f, 0.9f, 0.25f, 0.6f, 0.6f}, {-5, -5}},
    {"frame, right line", 7, {0, 0.5f, 0.9f, 0.25f, 0.6f, 0.4f}, {5, -5}},
    {"frame, bottom line", 7, {0, 0.5f, 0.9f, 0.25f, 0.4f, 0.6f}, {5, -10}},
    {"frame, top line", 7, {0, 0.5f, 0.9f, 0.25f, 0.4f, 0.4f}, {5, 10}},
    {"double ring, outer", 8, {0, 0.3f, 0, 0.2f, 0.6f}, {-8, 12}},
    {"double ring, inner", 8, {0, 0.3f, 0, 0.2f, 0.4f}, {-4, 6}},
    {"triple ring, outer", 9, {0, 0.3f, 0, 0.2f, 0.31f}, {-8, 12}},
    {"triple ring, 0.3 as a float is above the 64-bit 0.3", 9, {0, 0.3f, 0, 0.2f, 0.3f}, {-8, 12}},
    {"triple ring, one third", 9, {0, 0.3f, 0, 0.2f, 0.29f, 0.6f}, {-2.6666667f, 4}},
    {"triple ring, two thirds", 9, {0, 0.3f, 0, 0.2f, 0.29f, 0.4f}, {-5.3333335f, 8}},
};

TEST_F(PatternTest, EachBrushShapeBendsTheDrawnPointOntoItsPattern)
{
    for (const ShapeCase& c : kShapeCases) {
        SCOPED_TRACE(c.name);
        host.random.Script(c.draws, false);
        const HostPoint offset = DrawBristleOffset(c.shape, 10.0f, 20.0f);
        EXPECT_NEAR(offset.h, c.offset.h, 2e-5f);
        EXPECT_NEAR(offset.v, c.offset.v, 2e-5f);
        EXPECT_EQ(host.random.Draws(), c.draws.size()) << "exactly the shape's draws";
    }
}

TEST_F(PatternTest, RingsPutEveryBristleOnTheirEllipses)
{
    host.random.Seed(7);
    int outer = 0;
    for (int i = 0; i < 2000; ++i) {
        const HostPoint p = DrawBristleOffset(9, 20.0f, 10.0f);
        const float e = (p.h / 20.0f) * (p.h / 20.0f) + (p.v / 10.0f) * (p.v / 10.0f);
        const bool onOuter = std::fabs(e - 1.0f) < 1e-4f;
        const bool onTwoThirds = std::fabs(e - 4.0f / 9.0f) < 1e-4f;
        const bool onOneThird = std::fabs(e - 1.0f / 9.0f) < 1e-4f;
        ASSERT_TRUE(onOuter || onTwoThirds || onOneThird) << p.h << ", " << p.v;
        outer += onOuter ? 1 : 0;
    }
    EXPECT_NEAR(outer / 2000.0, 0.7, 0.05);
}

TEST_F(PatternTest, TheLineAndFrameShapesStayOnTheirLines)
{
    host.random.Seed(11);
    for (int i = 0; i < 500; ++i) {
        const HostPoint line = DrawBristleOffset(2, 50.0f, 10.0f);
        ASSERT_EQ(line.h, line.v);
        ASSERT_LT(std::fabs(line.h), 10.0f);
        const HostPoint frame = DrawBristleOffset(7, 20.0f, 20.0f);
        ASSERT_TRUE(std::fabs(frame.h) == 10.0f || std::fabs(frame.v) == 10.0f);
        ASSERT_LT(std::fabs(frame.h), 20.0f);
        ASSERT_LT(std::fabs(frame.v), 20.0f);
    }
}

TEST_F(PatternTest, EveryTargetNamesItsBasePointWithItsDraws)
{
    gGlobals->currentPoint = {100, 100};
    gGlobals->startPoint = {50, 60};
    gGlobals->stepCount = 9;
    StepValues step;
    step.viewCentre = {300, 200};
    step.documentWidth = 600;
    step.documentHeight = 500;
    struct Case {
        std::int32_t target;
        std::vector<float> draws;
        HostPoint base;
    } cases[] = {
        {0, {}, {100, 100}},        {1, {}, {300, 200}},         {2, {0.5f, 0.25f}, {300, 125}},
        {3, {}, {0, 0}},            {4, {}, {109, 100}},         {5, {}, {100, 109}},
        {6, {}, {109, 109}},        {7, {}, {50, 60}},           {8, {0.5f}, {300, 0}},
        {9, {0.5f}, {300, 500}},    {10, {0.5f}, {0, 250}},      {11, {0.5f}, {600, 250}},
        {12, {0.1f, 0.5f}, {300, 0}},   {12, {0.25f, 0.5f}, {300, 500}}, {12, {0.6f, 0.5f}, {0, 250}},
        {12, {0.75f, 0.5f}, {600, 250}}, {12, {0.99f, 0.1f}, {600, 50}},  {13, {}, {100, 100}},
        {-2, {}, {100, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        host.random.Script(c.draws, false);
        const HostPoint base = ResolveDabTarget(c.target, step);
        EXPECT_EQ(base.h, c.base.h);
        EXPECT_EQ(base.v, c.base.v);
        EXPECT_EQ(host.random.Draws(), c.draws.size());
    }
}

TEST_F(PatternTest, TheDabPointLiesOnTheLineFromThePointerThroughTheTarget)
{
    struct Case {
        float t;
        HostPoint dab;
    } cases[] = {{0.5f, {200, 150}}, {-1.0f, {-100, 0}}, {2.0f, {500, 300}}, {0.0f, {100, 100}}, {1.0f, {300, 200}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.t);
        const HostPoint dab = InterpolateDabPoint({300, 200}, {100, 100}, c.t);
        EXPECT_EQ(dab.h, c.dab.h);
        EXPECT_EQ(dab.v, c.dab.v);
    }
}

}  // namespace
}  // namespace kadrelle_test
