// Mirror copies of whole strokes: the worked example for every mode, the
// number of instances per event, and the copies of moved dabs and bristles.
#include "patterns/mirror.h"
#include "tests/stroke_fixture.h"

namespace kadrelle_test {
namespace {

struct MirrorCase {
    std::int32_t mode;
    std::vector<HostPoint> copies;   // the copies' centres, in creation order
};

// View centre V = (300, 200), page 600 by 500 (its centre D = (300, 250)),
// stroke started at S = (150, 100), pointer P = (100, 150), r = 0.25 (so 4r =
// 1): d is (200, 50) about V, (200, 100) about D and (50, -50) about S.
const MirrorCase kMirrorCases[] = {
    {0, {}},
    {1, {{500, 150}}},
    {2, {{100, 250}}},
    {3, {{-300, 150}}},
    {4, {{500, 150}, {500, 250}, {100, 250}}},
    {5, {{500, 250}}},
    {6, {{500, 150}, {300, 250}}},
    {7, {{500, 150}, {500, 350}, {100, 350}}},
    {8, {{200, 150}, {400, 150}, {500, 150}}},
    {9, {{100, 175}, {100, 225}, {100, 250}}},
    {10, {{130, 175}, {190, 225}, {280, 250}}},
    {11, {{200, 175}, {400, 225}, {500, 250}}},
    {12, {{100, 162.5f}, {100, 175}, {100, 187.5f}, {100, 212.5f}, {100, 225}, {100, 237.5f}, {100, 250}}},
    {13, {{200, 150}}},
    {14, {{100, 50}}},
    {15, {{150, 150}}},
    {16, {{100, 100}}},
    {17, {{200, 150}, {200, 50}, {100, 50}}},
    {18, {{200, 150}}},  // no stroke has ended: about the start point
    {19, {{200, 175}}},  // 0.05 H = 25
    {20, {{130, 50}}},   // 0.05 W = 30
    {21, {{130, 50}, {160, 50}, {190, 50}}},
    {22, {{200, 50}}},
    {23, {}},            // outside the list: as 0
    {-1, {}},
};

TEST_F(StrokeTest, EveryMirrorModePutsItsCopiesWhereTheReflectionsFall)
{
    for (const MirrorCase& c : kMirrorCases) {
        SCOPED_TRACE("mirror mode " + std::to_string(c.mode));
        LoadPluginAfresh();
        host::Document page(600.0f, 500.0f);
        page.SetViewCentre(0, {300.0f, 200.0f});
        page.selectedSymbol = page.AddSymbol("a", {Square(5.0f)});
        host::StandInHost run(PluginMain);
        run.document = &page;
        ASSERT_EQ(run.Send("SP Interface", "Startup"), kNoErr);
        run.random.Script({0.25f}, true);
        gGlobals->mirrorMode = c.mode;

        ASSERT_EQ(run.SendTool("AI Mouse Down", {150, 100}), kNoErr);
        ASSERT_EQ(run.SendTool("AI Mouse Drag", {100, 150}), kNoErr);

        ASSERT_EQ(page.ArtCount(), 1 + c.copies.size());
        const std::vector<host::ArtId>& art = page.Layers()[0].art;
        EXPECT_POINT_NEAR(Centre(page.Bounds(art[0])), 100.0f, 150.0f, 1e-3f);
        for (std::size_t i = 0; i < c.copies.size(); ++i) {
            SCOPED_TRACE("copy " + std::to_string(i + 1));
            EXPECT_EQ(page.GetArt(art[1 + i]).kind, host::ArtKind::Instance);
            EXPECT_POINT_NEAR(Centre(page.Bounds(art[1 + i])), c.copies[i].h, c.copies[i].v, 1e-3f);
            // A copy is moved, never flipped: it keeps the dab's matrix but for its place.
            const HostMatrix& dab = page.GetArt(art[0]).matrix;
            const HostMatrix& copy = page.GetArt(art[1 + i]).matrix;
            EXPECT_EQ(copy.a, dab.a);
            EXPECT_EQ(copy.b, dab.b);
            EXPECT_EQ(copy.c, dab.c);
            EXPECT_EQ(copy.d, dab.d);
        }
        if (c.mode == 18) {
            EXPECT_EQ(gGlobals->lastPoint.h, 150.0f) << "the start point stands in and stays";
            EXPECT_EQ(gGlobals->lastPoint.v, 100.0f);
        } else {
            EXPECT_EQ(gGlobals->lastPoint.h, -999.0f);
        }
        EXPECT_TRUE(run.Violations().empty());
        run.Send("SP Interface", "Shutdown");
    }
}

TEST_F(StrokeTest, ModeEighteenReflectsAboutWhereTheLastStrokeEnded)
{
    G().mirrorMode = 18;
    Stroke({50, 50}, {{80, 60}, {100, 70}});
    EXPECT_EQ(G().lastPoint.h, 100.0f);
    EXPECT_EQ(G().lastPoint.v, 70.0f);

    // A new stroke elsewhere: the copy is reflected about x = 100.
    ASSERT_EQ(Down({300, 300}), kNoErr);
    ASSERT_EQ(Drag({130, 300}), kNoErr);
    const auto instances = Instances();
    ASSERT_GE(instances.size(), 2u);
    EXPECT_POINT_NEAR(CentreOf(instances[instances.size() - 2]), 130.0f, 300.0f, 1e-3f);
    EXPECT_POINT_NEAR(CentreOf(instances.back()), 70.0f, 300.0f, 1e-3f);
}

TEST_F(StrokeTest, ModesFifteenAndSixteenKeepOneRandomFactorPerStroke)
{
    G().mirrorMode = 15;
    host.random.Script({0.5f}, true);  // r = 0.5: copies at 2 × the distance to the start line
    Stroke({200, 100}, {{180, 100}, {150, 120}});
    host.random.Script({0.125f}, true);  // a new stroke, a new r: 4r = 0.5
    Stroke({200, 100}, {{180, 100}});
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 6u);
    EXPECT_POINT_NEAR(CentreOf(instances[1]), 220.0f, 100.0f, 1e-3f);
    EXPECT_POINT_NEAR(CentreOf(instances[3]), 250.0f, 120.0f, 1e-3f);
    EXPECT_POINT_NEAR(CentreOf(instances[5]), 190.0f, 100.0f, 1e-3f);
}

TEST_F(StrokeTest, EachEventPlacesCopiesForTheDabAndEveryBristle)
{
    struct Case {
        std::int32_t mode;
        std::int32_t bristles;
        std::int32_t dab;
        std::size_t instances;   // (k + 1)(N + 1) with the dab, (k + 1) N without
    } cases[] = {
        {0, 0, 1, 1}, {1, 0, 1, 2}, {6, 4, 1, 15}, {12, 3, 1, 32}, {4, 5, 0, 20}, {12, 10, 0, 80}, {22, 2, 1, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + ", " + std::to_string(c.bristles) + " bristles");
        for (host::ArtId id : std::vector<host::ArtId>(doc.Layers()[0].art)) doc.Delete(id);
        G().mirrorMode = c.mode;
        G().bristlesPerDab = c.bristles;
        G().applyBristlesAndDab = c.dab;
        ASSERT_EQ(Down({100, 100}), kNoErr);
        ASSERT_EQ(Drag({110, 100}), kNoErr);
        EXPECT_EQ(Instances().size(), c.instances);
        ASSERT_EQ(Up(), kNoErr);
    }
}

TEST_F(StrokeTest, ABristlesCopyIsTheBristleMovedByTheDabsCopysOffset)
{
    G().mirrorMode = 1;
    G().bristlesPerDab = 1;
    G().dabAlignToDirection = 0;
    G().brushSlant = -90.0f;  // φ = 0: the brush's frame is the page's
    // Start point draw, the dab's five draws, then the bristle: sign +, x = 0.25 × 20,
    // sign +, y = 0.15 × 20 gives the offset (5, 3).
    host.random.Script({0, 0, 0, 0, 0, 0, 0, 0.25f, 0, 0.15f}, false);
    ASSERT_EQ(Down({100, 150}), kNoErr);
    ASSERT_EQ(Drag({100, 150}), kNoErr);
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 4u);
    EXPECT_POINT_NEAR(CentreOf(instances[0]), 100.0f, 150.0f, 1e-3f);  // the dab
    EXPECT_POINT_NEAR(CentreOf(instances[1]), 500.0f, 150.0f, 1e-3f);  // its copy
    EXPECT_POINT_NEAR(CentreOf(instances[2]), 105.0f, 153.0f, 1e-3f);  // the bristle
    EXPECT_POINT_NEAR(CentreOf(instances[3]), 505.0f, 153.0f, 1e-3f);  // its copy: not (495, 153)
}

TEST_F(StrokeTest, ADabMovedToItsTargetKeepsTheOffsetComputedFromThePointer)
{
    G().mirrorMode = 1;
    G().interpolationTarget = 1;
    G().interpolationAmount = 100.0f;
    ASSERT_EQ(Down({100, 150}), kNoErr);
    ASSERT_EQ(Drag({100, 150}), kNoErr);
    const auto instances = Instances();
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_POINT_NEAR(CentreOf(instances[0]), 300.0f, 200.0f, 1e-3f);
    // V + (2 (V.x - P.x), 0), not V.
    EXPECT_POINT_NEAR(CentreOf(instances[1]), 700.0f, 200.0f, 1e-3f);
}

TEST_F(StrokeTest, WithExpansionTheDabAndBristlesBecomePlainArtButTheirCopiesStayInstances)
{
    G().mirrorMode = 1;
    G().bristlesPerDab = 2;
    G().expandSymbolDelete = 1;
    ASSERT_EQ(Down({100, 150}), kNoErr);
    ASSERT_EQ(Drag({120, 150}), kNoErr);
    std::vector<host::ArtKind> kinds;
    for (const host::Art* art : AllArt()) kinds.push_back(art->kind);
    using K = host::ArtKind;
    // The dab's copy, each bristle's expansion and copy, then the dab's expansion last.
    EXPECT_EQ(kinds, (std::vector<K>{K::Instance, K::Instance, K::Expanded, K::Instance, K::Expanded, K::Expanded}));
    EXPECT_TRUE(host.Violations().empty());
}

}  // namespace
}  // namespace kadrelle_test
