// The stand-in host's document: instances and their bounds, layers and paint
// order, expanding and deleting, the hit test with its parts, requests and
// tolerance, a large document, and the document's suites as the plug-in
// sees them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/document.h"
#include "host/host.h"

namespace {

using host::ArtFlags;
using host::ArtId;
using host::ArtKind;
using host::Document;
using host::HitPart;
using host::HitRequest;
using host::HitResult;
using host::Path;
using host::PathPoint;
using host::SymbolId;

PathPoint Corner(HostPoint p) { return {p, p, p}; }

Path Polyline(std::initializer_list<HostPoint> anchors)
{
    Path path;
    for (HostPoint anchor : anchors) path.points.push_back(Corner(anchor));
    return path;
}

Path FilledPolygon(std::initializer_list<HostPoint> anchors)
{
    Path path = Polyline(anchors);
    path.closed = true;
    path.filled = true;
    path.fill = "#808080";
    return path;
}

// An open arch of one curved segment: anchors (0, 0) and (10, 0), direction
// ends straight up at (0, 8) and (10, 8). Its highest point is (5, 6).
Path Arch()
{
    Path path;
    path.points = {{{0, 0}, {0, 0}, {0, 8}}, {{10, 0}, {10, 8}, {10, 0}}};
    return path;
}

Path Shifted(Path path, float dh)
{
    for (PathPoint& point : path.points) {
        point.anchor.h += dh;
        point.in.h += dh;
        point.out.h += dh;
    }
    return path;
}

std::string Describe(const HitResult& hit)
{
    if (!hit.hit) return "nothing";
    return "art " + std::to_string(hit.art) + " part " + std::to_string(static_cast<int>(hit.part));
}

HitResult Hit(ArtId art, HitPart part) { return {true, part, art}; }
const HitResult kNothing{};

std::string Describe(const HostRect& r)
{
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + "}";
}

// ---- Instances and bounds ---------------------------------------------------------------

TEST(DocumentInstances, AreCentredOnThePointTheyAreMadeAt)
{
    struct Case {
        const char* name;
        std::vector<Path> artwork;
        HostPoint centre;
    };
    Path handles = Arch();
    handles.points[0].in = {-7.25f, 3.5f};
    const Case cases[] = {
        {"square at the origin", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})}, {150, 400}},
        {"arch with its direction ends", {Arch()}, {0.1f, 1000.3f}},
        {"handle beyond the anchors", {handles}, {-333.33f, 5000.7f}},
        {"far from the origin",
         {FilledPolygon({{-1000.5f, 2000.25f}, {1013.75f, 2000.25f}, {1013.75f, 2040.125f}})},
         {0.1f, 0.1f}},
        {"two paths", {Arch(), Polyline({{40, -3}, {41, 17.5f}})}, {12345.6f, -0.3f}},
        {"empty artwork", {}, {77.7f, 88.8f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Document doc(1000, 1000);
        const SymbolId symbol = doc.AddSymbol(c.name, c.artwork);
        const ArtId first = doc.AddInstance(symbol, c.centre);
        const ArtId second = doc.AddInstance(symbol, c.centre);

        const HostRect b = doc.Bounds(first);
        const HostMatrix m = doc.GetArt(first).matrix;
        const float scale = std::max({std::abs(b.left), std::abs(b.right), std::abs(b.top), std::abs(b.bottom),
                                      std::abs(m.tx), std::abs(m.ty), 1.0f});
        const float rounding = 2 * std::numeric_limits<float>::epsilon() * scale;
        EXPECT_NEAR((b.left + b.right) / 2, c.centre.h, rounding);
        EXPECT_NEAR((b.top + b.bottom) / 2, c.centre.v, rounding);
        EXPECT_GE(b.top, b.bottom);
        EXPECT_GE(b.right, b.left);

        // A pure translation, the same for both instances.
        EXPECT_EQ(m.a, 1.0f);
        EXPECT_EQ(m.b, 0.0f);
        EXPECT_EQ(m.c, 0.0f);
        EXPECT_EQ(m.d, 1.0f);
        const HostMatrix n = doc.GetArt(second).matrix;
        EXPECT_EQ(n.tx, m.tx);
        EXPECT_EQ(n.ty, m.ty);
        EXPECT_EQ(Describe(doc.Bounds(second)), Describe(b));
        EXPECT_EQ(doc.GetArt(first).kind, ArtKind::Instance);
        EXPECT_EQ(doc.GetArt(first).symbol, symbol);
    }
}

TEST(DocumentInstances, TakeTheirBoundsFromEveryControlPoint)
{
    Document doc(1000, 1000);
    const SymbolId square = doc.AddSymbol("square", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})});
    const SymbolId arch = doc.AddSymbol("arch", {Arch()});
    EXPECT_EQ(Describe(doc.GetSymbol(square).bounds), Describe(HostRect{0, 20, 20, 0}));
    EXPECT_EQ(Describe(doc.GetSymbol(arch).bounds), Describe(HostRect{0, 8, 10, 0})) << "the direction ends count";
    EXPECT_EQ(Describe(doc.Bounds(doc.AddInstance(square, {150, 400}))), Describe(HostRect{140, 410, 160, 390}));
    EXPECT_EQ(Describe(doc.Bounds(doc.AddInstance(arch, {5, 4}))), Describe(HostRect{0, 8, 10, 0}));
}

TEST(DocumentInstances, BoundsFollowTheMatrix)
{
    struct Case {
        const char* name;
        HostMatrix matrix;
        HostRect bounds;
        float within;
    };
    const float r = static_cast<float>(std::sqrt(0.5));
    const Case cases[] = {
        {"identity", {1, 0, 0, 1, 0, 0}, {0, 8, 10, 0}, 0},
        {"scale 2 by 3", {2, 0, 0, 3, 0, 0}, {0, 24, 20, 0}, 0},
        {"quarter turn, then moved", {0, 1, -1, 0, 100, 50}, {92, 60, 100, 50}, 0},
        {"mirrored", {-1, 0, 0, 1, 0, 0}, {-10, 8, 0, 0}, 0},
        {"sheared", {1, 0, 1, 1, 0, 0}, {0, 8, 18, 0}, 0},
        {"eighth turn", {r, r, -r, r, 0, 0}, {-5.656854f, 12.727922f, 7.071068f, 0}, 1e-4f},
    };
    Document doc(1000, 1000);
    const ArtId instance = doc.AddInstance(doc.AddSymbol("arch", {Arch()}), {500, 500});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        doc.SetMatrix(instance, c.matrix);
        const HostRect b = doc.Bounds(instance);
        EXPECT_NEAR(b.left, c.bounds.left, c.within);
        EXPECT_NEAR(b.top, c.bounds.top, c.within);
        EXPECT_NEAR(b.right, c.bounds.right, c.within);
        EXPECT_NEAR(b.bottom, c.bounds.bottom, c.within);
        EXPECT_EQ(doc.GetArt(instance).matrix.tx, c.matrix.tx);
    }
}

TEST(DocumentInstances, AreFoundWhereTheirMatrixPutsThemAndNotWhereTheyWere)
{
    Document doc(1000, 1000);
    const ArtId instance =
        doc.AddInstance(doc.AddSymbol("square", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})}), {100, 100});
    ASSERT_EQ(Describe(doc.HitTest({95, 95}, HitRequest::All)), Describe(Hit(instance, HitPart::Fill)));

    doc.SetMatrix(instance, {2, 0, 0, 2, 600, 600});  // now (600, 600) to (640, 640)
    EXPECT_EQ(Describe(doc.HitTest({95, 95}, HitRequest::All)), Describe(kNothing));
    EXPECT_EQ(Describe(doc.HitTest({620, 620}, HitRequest::All)), Describe(Hit(instance, HitPart::CentrePoint)));
    EXPECT_EQ(Describe(doc.HitTest({639, 601}, HitRequest::All)), Describe(Hit(instance, HitPart::AnchorPoint)));
    EXPECT_EQ(Describe(doc.HitTest({610, 630}, HitRequest::All)), Describe(Hit(instance, HitPart::Fill)));
}

TEST(DocumentInstances, TakeNewArtworkOfTheirSymbol)
{
    Document doc(1000, 1000);
    const SymbolId symbol = doc.AddSymbol("square", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})});
    const ArtId instance = doc.AddInstance(symbol, {100, 100});  // (90, 90) to (110, 110)
    doc.SetSymbolArtwork(symbol, {FilledPolygon({{0, 0}, {200, 0}, {200, 200}, {0, 200}})});
    EXPECT_EQ(Describe(doc.GetSymbol(symbol).bounds), Describe(HostRect{0, 200, 200, 0}));
    EXPECT_EQ(Describe(doc.Bounds(instance)), Describe(HostRect{90, 290, 290, 90}));
    EXPECT_EQ(Describe(doc.HitTest({250, 250}, HitRequest::All)), Describe(Hit(instance, HitPart::Fill)));
}

// ---- Layers, paint order, expanding and deleting ---------------------------------------------

TEST(DocumentLayers, NewLayersGoOnTopAndTakeTheNewArt)
{
    Document doc(1000, 1000);
    ASSERT_EQ(doc.Layers().size(), 1u);
    EXPECT_EQ(doc.Layers()[0].name, "Layer 1");
    EXPECT_EQ(doc.CurrentLayer(), 0u);
    const Path square = FilledPolygon({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    const ArtId bottom = doc.AddPath(square);

    EXPECT_EQ(doc.InsertLayerAbove(), 1u);
    EXPECT_EQ(doc.CurrentLayer(), 1u);
    const ArtId middle = doc.AddPath(square);
    EXPECT_EQ(doc.InsertLayerAbove(), 2u);
    EXPECT_EQ(doc.Layers()[2].name, "Layer 3");
    const ArtId top = doc.AddInstance(doc.AddSymbol("dot", {FilledPolygon({{0, 0}, {4, 0}, {4, 4}})}), {30, 30});

    ASSERT_EQ(doc.Layers().size(), 3u);
    EXPECT_EQ(doc.Layers()[1].name, "Layer 2");
    EXPECT_EQ(doc.Layers()[0].art, std::vector<ArtId>{bottom});
    EXPECT_EQ(doc.Layers()[1].art, std::vector<ArtId>{middle});
    EXPECT_EQ(doc.Layers()[2].art, std::vector<ArtId>{top});
    EXPECT_EQ(doc.GetArt(middle).layer, 1u);
    EXPECT_EQ(doc.ArtCount(), 3u);
    EXPECT_EQ(doc.HitTest({60, 60}, HitRequest::All).art, middle);
}

TEST(DocumentLayers, ArtOfAHigherLayerIsAboveNewerArtOfALowerOne)
{
    Document doc(1000, 1000);
    const Path square = FilledPolygon({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    const ArtId first = doc.AddPath(square);
    doc.InsertLayerAbove();
    const ArtId above = doc.AddPath(square);
    doc.SetCurrentLayer(0);
    const ArtId newerBelow = doc.AddPath(square);

    EXPECT_EQ(doc.Layers()[0].art, (std::vector<ArtId>{first, newerBelow}));
    EXPECT_EQ(Describe(doc.HitTest({20, 70}, HitRequest::All)), Describe(Hit(above, HitPart::Fill)));
    doc.Delete(above);
    EXPECT_EQ(Describe(doc.HitTest({20, 70}, HitRequest::All)), Describe(Hit(newerBelow, HitPart::Fill)));
    doc.Delete(newerBelow);
    EXPECT_EQ(Describe(doc.HitTest({20, 70}, HitRequest::All)), Describe(Hit(first, HitPart::Fill)));
    EXPECT_THROW(doc.SetCurrentLayer(2), std::out_of_range);
}

TEST(DocumentArt, ExpandingAddsPlainArtOnTopAndKeepsTheInstance)
{
    Document doc(1000, 1000);
    const SymbolId symbol = doc.AddSymbol("square", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})});
    const ArtId path = doc.AddPath(Polyline({{0, 0}, {5, 5}}));
    const ArtId text = doc.AddText("word", {0, 50, 40, 30});
    const ArtId instance = doc.AddInstance(symbol, {150, 400});
    doc.SetMatrix(instance, {0, 2, -2, 0, 300, 200});
    doc.InsertLayerAbove();
    const ArtId expanded = doc.Expand(instance);

    const host::Art& art = doc.GetArt(expanded);
    EXPECT_EQ(art.kind, ArtKind::Expanded);
    EXPECT_EQ(art.symbol, symbol);
    EXPECT_EQ(art.matrix.b, 2.0f);
    EXPECT_EQ(art.matrix.tx, 300.0f);
    EXPECT_EQ(art.layer, 1u) << "on top of the current layer";
    EXPECT_EQ(Describe(doc.Bounds(expanded)), Describe(doc.Bounds(instance)));
    EXPECT_EQ(Describe(doc.Bounds(expanded)), Describe(HostRect{260, 240, 300, 200}));
    EXPECT_TRUE(doc.Exists(instance));
    EXPECT_EQ(doc.ArtCount(), 4u);

    EXPECT_EQ(doc.ArtType(path), host::kPathArtType);
    EXPECT_EQ(doc.ArtType(text), host::kTextArtType);
    EXPECT_EQ(doc.ArtType(instance), kSymbolInstanceArtType);
    EXPECT_EQ(doc.ArtType(expanded), host::kGroupArtType);

    EXPECT_EQ(Describe(doc.HitTest({280, 220}, HitRequest::All)), Describe(Hit(expanded, HitPart::CentrePoint)));
    EXPECT_THROW(doc.Expand(path), std::invalid_argument);
    EXPECT_THROW(doc.Expand(expanded), std::invalid_argument);
}

TEST(DocumentArt, DeletedArtLeavesItsLayerAndTheHitTestButStaysKnown)
{
    Document doc(1000, 1000);
    const SymbolId symbol = doc.AddSymbol("square", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})});
    const ArtId path = doc.AddPath(Polyline({{0, 0}, {5, 5}}));
    const ArtId instance = doc.AddInstance(symbol, {100, 100});
    const ArtId expanded = doc.Expand(instance);
    const ArtId last = doc.AddPath(Polyline({{500, 500}, {505, 505}}));

    doc.Delete(expanded);
    EXPECT_FALSE(doc.Exists(expanded));
    EXPECT_TRUE(doc.Knows(expanded));
    EXPECT_TRUE(doc.GetArt(expanded).deleted);
    EXPECT_EQ(doc.ArtType(expanded), host::kGroupArtType);
    EXPECT_EQ(doc.Layers()[0].art, (std::vector<ArtId>{path, instance, last}));
    EXPECT_EQ(doc.ArtCount(), 3u);
    EXPECT_EQ(Describe(doc.HitTest({100, 100}, HitRequest::All)), Describe(Hit(instance, HitPart::CentrePoint)));

    doc.Delete(instance);
    EXPECT_EQ(Describe(doc.HitTest({100, 100}, HitRequest::All)), Describe(kNothing));
    EXPECT_EQ(doc.Layers()[0].art, (std::vector<ArtId>{path, last}));
    EXPECT_EQ(doc.ArtCount(), 2u);

    EXPECT_THROW(doc.Delete(instance), std::logic_error);
    EXPECT_THROW(doc.SetMatrix(instance, {1, 0, 0, 1, 0, 0}), std::invalid_argument);
    EXPECT_THROW(doc.SetMatrix(path, {1, 0, 0, 1, 0, 0}), std::invalid_argument);
    EXPECT_THROW(doc.GetArt(99), std::out_of_range);
    EXPECT_THROW(doc.GetArt(0), std::out_of_range);
    EXPECT_FALSE(doc.Knows(0));
    EXPECT_FALSE(doc.Knows(99));
    EXPECT_FALSE(doc.Exists(99));
}

// Paths and texts made in a run, then between instances and each other:
// each id finds its own path or text, wherever the gaps fall.
TEST(DocumentArt, PathsAndTextsAreFoundByTheirIdsInRunsAndBetweenOtherArt)
{
    Document doc(1000, 1000);
    const SymbolId symbol = doc.AddSymbol("square", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})});
    std::vector<std::pair<ArtId, float>> paths;
    std::vector<std::pair<ArtId, std::string>> texts;
    const auto addPath = [&](float x) { paths.emplace_back(doc.AddPath(Polyline({{x, 0}, {x, 5}})), x); };
    const auto addText = [&](const std::string& t) {
        texts.emplace_back(doc.AddText(t, {0, 10, 5, 0}), t);
    };
    for (int i = 0; i < 5; ++i) addPath(static_cast<float>(i));
    doc.AddInstance(symbol, {100, 100});
    addText("a");
    addPath(10);
    addText("b");
    doc.AddInstance(symbol, {200, 100});
    for (int i = 0; i < 3; ++i) addPath(static_cast<float>(20 + i));
    addText("c");
    for (const auto& [id, x] : paths) EXPECT_EQ(doc.PathOf(id).points.front().anchor.h, x) << id;
    for (const auto& [id, t] : texts) EXPECT_EQ(doc.TextOf(id).text, t) << id;
}

TEST(DocumentPage, HasViewsAndSymbolsInPaletteOrder)
{
    Document doc(600, 800);
    EXPECT_EQ(doc.Setup().width, 600.0f);
    EXPECT_EQ(doc.Setup().height, 800.0f);
    ASSERT_EQ(doc.ViewCount(), 1u);
    EXPECT_EQ(doc.ViewCentre(0).h, 300.0f);
    EXPECT_EQ(doc.ViewCentre(0).v, 400.0f);
    EXPECT_EQ(doc.AddView({10, 20}), 1u);
    doc.SetViewCentre(0, {-5, 7});
    EXPECT_EQ(doc.ViewCentre(0).h, -5.0f);
    EXPECT_EQ(doc.ViewCentre(1).v, 20.0f);
    doc.SetPageSize(100, 50);
    EXPECT_EQ(doc.Setup().width, 100.0f);
    EXPECT_EQ(doc.Setup().height, 50.0f);

    const SymbolId a = doc.AddSymbol("a", {Arch()});
    const SymbolId b = doc.AddSymbol("b", {});
    EXPECT_EQ(doc.SymbolCount(), 2u);
    EXPECT_EQ(doc.NthSymbol(0), a);
    EXPECT_EQ(doc.NthSymbol(1), b);
    EXPECT_EQ(doc.NthSymbol(2), std::nullopt);
    EXPECT_EQ(doc.GetSymbol(b).name, "b");
    EXPECT_EQ(Describe(doc.GetSymbol(b).bounds), Describe(HostRect{0, 0, 0, 0}));
}

// ---- The hit test -------------------------------------------------------------------------------

// A small document with one of each kind of art, apart from one another.
class DocumentHitTest : public ::testing::Test {
protected:
    DocumentHitTest()
    {
        // An open path: a curved arch from (100, 100) to (200, 100), highest
        // at (150, 130), then straight on to (300, 100).
        Path arch;
        arch.points = {{{100, 100}, {100, 100}, {100, 140}}, {{200, 100}, {200, 140}, {200, 100}}, Corner({300, 100})};
        curve = doc.AddPath(arch);
        square = doc.AddPath(FilledPolygon({{400, 100}, {500, 100}, {500, 200}, {400, 200}}), {.selected = true});
        text = doc.AddText("Kadrelle", {600, 200, 700, 100});
        // Two guides crossing at (700, 300); the second is on top.
        guideAcross = doc.AddPath(Polyline({{600, 300}, {800, 300}}), {.guide = true});
        guideUp = doc.AddPath(Polyline({{700, 250}, {700, 400}}), {.guide = true});
        // A 20-point square centred on (150, 400), locked.
        const SymbolId block = doc.AddSymbol("block", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})});
        instance = doc.AddInstance(block, {150, 400});
        doc.SetFlags(instance, {.locked = true});
        hidden = doc.AddPath(FilledPolygon({{850, 50}, {950, 50}, {950, 150}, {850, 150}}), {.hidden = true});
    }

    Document doc{1000, 1000};
    ArtId curve = 0;
    ArtId square = 0;
    ArtId text = 0;
    ArtId guideAcross = 0;
    ArtId guideUp = 0;
    ArtId instance = 0;
    ArtId hidden = 0;
};

TEST_F(DocumentHitTest, EachRequestAdmitsItsOwnArtAndParts)
{
    struct Case {
        const char* name;
        HostPoint point;
        ArtId art;
        // What each request finds, in request order (All, BezierPoints,
        // EndPoints, Guides, PointsOrGuides, Text, Selected, Paintable,
        // AllNoFill, PaintableNoFill, AllNoDirection, PaintableNoLocked):
        // the part hit, or '-' for nothing.
        const char* found;
    };
    const Case cases[] = {
        {"first anchor of the open path", {101, 99.5f}, curve, "000-0--00000"},
        {"middle anchor", {199.5f, 100.5f}, curve, "00--0--00000"},
        {"last anchor", {300.5f, 100}, curve, "000-0--00000"},
        {"out end of the first anchor", {100, 141.5f}, curve, "22--2--222-2"},
        {"in end of the middle anchor", {201, 139}, curve, "11--1--111-1"},
        {"top of the curve", {150, 131.5f}, curve, "3------33333"},
        {"centre of the selected square", {450.5f, 150}, square, "5-----555555"},
        {"inside the square", {420, 170}, square, "4-----44--44"},
        {"edge of the square", {470, 198.5f}, square, "3-----333333"},
        {"inside the text", {650, 150}, text, "4----4-4--44"},
        {"crossing of the guides", {701, 301}, guideUp, "6--66---6-6-"},
        {"along a guide", {650, 301}, guideAcross, "3--33---3-3-"},
        {"end of a guide", {600.5f, 300}, guideAcross, "0-000---0-0-"},
        {"centre of the locked instance", {150, 400}, instance, "5------5555-"},
        {"corner of the instance", {140.5f, 409.5f}, instance, "00--0--0000-"},
        {"inside the instance", {145, 395}, instance, "4------4--4-"},
        {"inside hidden art", {900, 100}, 0, "------------"},
        {"nowhere", {900, 900}, 0, "------------"},
    };
    for (const Case& c : cases) {
        for (int request = 0; request < 12; ++request) {
            SCOPED_TRACE(std::string(c.name) + ", request " + std::to_string(request));
            const char code = c.found[request];
            const HitResult expected =
                code == '-' ? kNothing : Hit(c.art, static_cast<HitPart>(code - '0'));
            EXPECT_EQ(Describe(doc.HitTest(c.point, static_cast<HitRequest>(request))), Describe(expected));
        }
    }
}

TEST_F(DocumentHitTest, RequestsOutsideTheListHitNothing)
{
    for (int request : {-1, 12, 1000}) {
        SCOPED_TRACE(request);
        EXPECT_FALSE(doc.HitTest({450, 150}, static_cast<HitRequest>(request)).hit);
    }
}

TEST_F(DocumentHitTest, HitsWithinTheToleranceAndNotBeyond)
{
    const float d = 1.9f / std::sqrt(2.0f);
    const float e = 2.1f / std::sqrt(2.0f);
    struct Case {
        const char* name;
        HostPoint point;
        HitResult expected;
    };
    const Case cases[] = {
        {"last anchor, 1.9 away", {301.9f, 100}, Hit(curve, HitPart::AnchorPoint)},
        {"last anchor, just 2 away", {302, 100}, Hit(curve, HitPart::AnchorPoint)},
        {"last anchor, 2.1 away", {302.1f, 100}, kNothing},
        {"out end, 1.9 away", {100, 141.9f}, Hit(curve, HitPart::TrailingDirectionEnd)},
        {"out end, 2.1 away", {100, 142.1f}, kNothing},
        {"in end, 1.9 away", {198.1f, 140}, Hit(curve, HitPart::LeadingDirectionEnd)},
        {"in end, 2.1 away", {197.9f, 140}, kNothing},
        {"top of the curve, 1.9 above", {150, 131.9f}, Hit(curve, HitPart::SegmentInterior)},
        {"top of the curve, just 2 above", {150, 132}, Hit(curve, HitPart::SegmentInterior)},
        {"top of the curve, 2.1 above", {150, 132.1f}, kNothing},
        {"straight segment, 1.9 below", {250, 98.1f}, Hit(curve, HitPart::SegmentInterior)},
        {"straight segment, 2.1 below", {250, 97.9f}, kNothing},
        {"square's centre, 1.9 off", {451.9f, 150}, Hit(square, HitPart::CentrePoint)},
        {"square's centre, 2.1 off", {452.1f, 150}, Hit(square, HitPart::Fill)},
        {"guide crossing, 1.9 off", {700 + d, 300 + d}, Hit(guideUp, HitPart::GuideIntersection)},
        {"guide crossing, 2.1 off: only the guides", {700 + e, 300 + e}, Hit(guideUp, HitPart::SegmentInterior)},
        {"instance corner, 1.9 off", {138.1f, 410}, Hit(instance, HitPart::AnchorPoint)},
        {"instance corner, 2.1 off", {137.9f, 410}, kNothing},
        {"text box edge", {600, 150}, Hit(text, HitPart::Fill)},
        {"just outside the text box: fills have no tolerance", {599.9f, 150}, kNothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Describe(doc.HitTest(c.point, HitRequest::All)), Describe(c.expected));
    }
}

TEST_F(DocumentHitTest, TheTopmostArtWinsWhateverPartIsHitBelow)
{
    // A square over the curve's first anchor and the guide crossing.
    const ArtId cover = doc.AddPath(FilledPolygon({{50, 50}, {1000, 50}, {1000, 450}, {50, 450}}));
    EXPECT_EQ(Describe(doc.HitTest({101, 99.5f}, HitRequest::All)), Describe(Hit(cover, HitPart::Fill)));
    EXPECT_EQ(Describe(doc.HitTest({701, 301}, HitRequest::All)), Describe(Hit(cover, HitPart::Fill)));
    // Requests that do not admit it see through it.
    EXPECT_EQ(Describe(doc.HitTest({101, 99.5f}, HitRequest::BezierPoints)),
              Describe(Hit(curve, HitPart::AnchorPoint)));
    EXPECT_EQ(Describe(doc.HitTest({701, 301}, HitRequest::AllNoFill)),
              Describe(Hit(guideUp, HitPart::GuideIntersection)));
    // Hidden art is not in the way.
    doc.SetFlags(cover, {.hidden = true});
    EXPECT_EQ(Describe(doc.HitTest({101, 99.5f}, HitRequest::All)), Describe(Hit(curve, HitPart::AnchorPoint)));
}

TEST_F(DocumentHitTest, LaterArtInALayerIsAboveEarlierArt)
{
    const Path cover = FilledPolygon({{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    const ArtId lower = doc.AddPath(cover);
    const ArtId upper = doc.AddPath(cover);
    EXPECT_EQ(Describe(doc.HitTest({30, 70}, HitRequest::All)), Describe(Hit(upper, HitPart::Fill)));
    doc.SetFlags(upper, {.locked = true});
    EXPECT_EQ(Describe(doc.HitTest({30, 70}, HitRequest::PaintableNoLocked)), Describe(Hit(lower, HitPart::Fill)));
}

TEST_F(DocumentHitTest, AGuideCrossesOnlyAnotherShownGuide)
{
    doc.SetFlags(guideAcross, {.guide = true, .hidden = true});
    EXPECT_EQ(Describe(doc.HitTest({701, 301}, HitRequest::All)), Describe(Hit(guideUp, HitPart::SegmentInterior)));
    doc.SetFlags(guideAcross, {});
    EXPECT_EQ(Describe(doc.HitTest({701, 301}, HitRequest::All)), Describe(Hit(guideUp, HitPart::SegmentInterior)))
        << "a path that is not a guide";
    // A curved guide makes no crossing, not even where its chord would.
    doc.Delete(guideAcross);
    Path arch;
    arch.points = {{{650, 290}, {650, 290}, {650, 310}}, {{750, 290}, {750, 310}, {750, 290}}};  // top at (700, 305)
    const ArtId curved = doc.AddPath(arch, {.guide = true});
    EXPECT_EQ(Describe(doc.HitTest({700, 290}, HitRequest::Guides)), Describe(Hit(guideUp, HitPart::SegmentInterior)));
    EXPECT_EQ(Describe(doc.HitTest({700, 305}, HitRequest::Guides)), Describe(Hit(curved, HitPart::SegmentInterior)));
}

TEST(DocumentHitTestFill, UsesTheNonZeroWindingRule)
{
    Document doc(1000, 1000);
    // Round a 100-point square, then round a square inside it the same way:
    // the inner square is wound twice.
    const ArtId twice = doc.AddPath(FilledPolygon({{0, 0},
                                                   {100, 0},
                                                   {100, 100},
                                                   {0, 100},
                                                   {0, 0},
                                                   {25, 25},
                                                   {75, 25},
                                                   {75, 75},
                                                   {25, 75},
                                                   {25, 25}}));
    // A curved closed path: a lens between two arcs.
    Path lens;
    lens.points = {{{300, 0}, {300, 0}, {300, 40}}, {{400, 0}, {400, 40}, {400, -40}}};
    lens.points[0].in = {300, -40};
    lens.closed = true;
    lens.filled = true;
    const ArtId curved = doc.AddPath(lens);
    // The same lens further right, open; and further still, not filled.
    Path open = Shifted(lens, 200);
    open.closed = false;
    doc.AddPath(open);
    Path unfilled = Shifted(lens, 400);
    unfilled.filled = false;
    doc.AddPath(unfilled);

    struct Case {
        const char* name;
        HostPoint point;
        HitResult expected;
    };
    const Case cases[] = {
        {"wound twice", {60, 60}, Hit(twice, HitPart::Fill)},
        {"wound once", {10, 50}, Hit(twice, HitPart::Fill)},
        {"outside", {110, 50}, kNothing},
        {"inside the lens, near its top arc", {350, 26}, Hit(curved, HitPart::Fill)},
        {"above the lens's top arc", {350, 33}, kNothing},
        {"in an open lens", {550, 20}, kNothing},
        {"in an unfilled lens", {750, 20}, kNothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Describe(doc.HitTest(c.point, HitRequest::All)), Describe(c.expected));
    }
}

// The fill test as it first was, kept as the reference: each segment halved
// until every piece is flat, the pieces' ends joined into one polygon, and
// its winding number around the point.
namespace reference {

struct V {
    double x;
    double y;
};
V Mid(V a, V b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }
double Cross(V a, V b, V c) { return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y); }
double DistanceToSegment(V p, V a, V b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}
void Flatten(V p0, V p1, V p2, V p3, std::vector<V>& polyline, int depth = 0)
{
    if (depth == 24 || (DistanceToSegment(p1, p0, p3) <= 1e-3 && DistanceToSegment(p2, p0, p3) <= 1e-3)) {
        polyline.push_back(p3);
        return;
    }
    const V p01 = Mid(p0, p1), p12 = Mid(p1, p2), p23 = Mid(p2, p3);
    const V p012 = Mid(p01, p12), p123 = Mid(p12, p23), middle = Mid(p012, p123);
    Flatten(p0, p01, p012, middle, polyline, depth + 1);
    Flatten(middle, p123, p23, p3, polyline, depth + 1);
}
V ToV(HostPoint p) { return {p.h, p.v}; }
bool Inside(HostPoint point, const Path& path)
{
    const V p = ToV(point);
    const std::size_t n = path.points.size();
    std::vector<V> polygon{ToV(path.points[0].anchor)};
    for (std::size_t i = 0; i < n; ++i) {
        const PathPoint& from = path.points[i];
        const PathPoint& to = path.points[(i + 1) % n];
        Flatten(ToV(from.anchor), ToV(from.out), ToV(to.in), ToV(to.anchor), polygon);
    }
    polygon.pop_back();
    int winding = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const V a = polygon[i];
        const V b = polygon[(i + 1) % polygon.size()];
        if (a.y <= p.y) {
            if (b.y > p.y && Cross(a, b, p) > 0) ++winding;
        } else if (b.y <= p.y && Cross(a, b, p) < 0) {
            --winding;
        }
    }
    return winding != 0;
}

}  // namespace reference

// Only the curve's pieces around the point are halved now: over random
// curved paths (loops and self-crossings among them), wherever the fill
// decides the answer, it is the reference's.
TEST(DocumentHitTestFill, CurvedFillsAnswerAsTheFlattenedPolygonDoes)
{
    std::mt19937 random(20261211);
    std::uniform_real_distribution<float> coordinate(0.0f, 100.0f);
    std::uniform_real_distribution<float> probe(-10.0f, 110.0f);
    int inside = 0;
    int outside = 0;
    for (int shape = 0; shape < 300; ++shape) {
        Path path;
        const int anchors = 2 + shape % 3;
        for (int i = 0; i < anchors; ++i) {
            path.points.push_back(
                {{coordinate(random), coordinate(random)}, {coordinate(random), coordinate(random)},
                 {coordinate(random), coordinate(random)}});
        }
        path.closed = true;
        path.filled = true;
        Document doc(1000, 1000);
        const ArtId id = doc.AddPath(path);
        for (int n = 0; n < 40; ++n) {
            const HostPoint point{probe(random), probe(random)};
            const HitResult hit = doc.HitTest(point, HitRequest::All);
            // Nearer the outline than the tolerance, the outline's own parts
            // answer first.
            if (hit.hit && hit.part != HitPart::Fill) continue;
            const bool expected = reference::Inside(point, path);
            (expected ? inside : outside) += 1;
            EXPECT_EQ(Describe(hit), Describe(expected ? Hit(id, HitPart::Fill) : kNothing))
                << "shape " << shape << " at " << point.h << ", " << point.v;
        }
    }
    // Both answers came up often enough to mean something.
    EXPECT_GT(inside, 400);
    EXPECT_GT(outside, 1000);
}

// A curve far too large to flatten to a thousandth of a point (2^24 pieces a
// segment, had it been flattened whole) is still tested at once.
TEST(DocumentHitTestFill, AHugeCurvedFillIsTestedWithoutFlatteningItWhole)
{
    constexpr float k = 1e25f;
    Path lens;
    lens.points = {{{0, 0}, {0, -4 * k}, {0, 4 * k}}, {{10 * k, 0}, {10 * k, 4 * k}, {10 * k, -4 * k}}};
    lens.closed = true;
    lens.filled = true;
    Document doc(1000, 1000);
    const ArtId id = doc.AddPath(lens);
    EXPECT_EQ(Describe(doc.HitTest({4 * k, 0}, HitRequest::All)), Describe(Hit(id, HitPart::Fill)));
    EXPECT_EQ(Describe(doc.HitTest({5 * k, 2 * k}, HitRequest::All)), Describe(Hit(id, HitPart::Fill)));
    EXPECT_EQ(Describe(doc.HitTest({5 * k, 3.5f * k}, HitRequest::All)), Describe(kNothing));
    EXPECT_EQ(Describe(doc.HitTest({11 * k, 0}, HitRequest::All)), Describe(kNothing));
}

TEST(DocumentHitTestInstances, HitThroughTheirTransformedArtwork)
{
    Document doc(1000, 1000);
    const ArtId instance = doc.AddInstance(doc.AddSymbol("arch", {Arch()}), {0, 0});
    // A quarter turn and twice the size: (x, y) goes to (500 - 2y, 500 + 2x).
    // The anchors go to (500, 500) and (500, 520), the direction ends to
    // (484, 500) and (484, 520), the top of the arch to (488, 510); the
    // bounds' centre is (492, 510).
    doc.SetMatrix(instance, {0, 2, -2, 0, 500, 500});
    struct Case {
        const char* name;
        HostPoint point;
        HitRequest request;
        HitResult expected;
    };
    const Case cases[] = {
        {"first anchor", {500.5f, 500}, HitRequest::All, Hit(instance, HitPart::AnchorPoint)},
        {"out end", {484, 501}, HitRequest::All, Hit(instance, HitPart::TrailingDirectionEnd)},
        {"in end", {484, 519}, HitRequest::All, Hit(instance, HitPart::LeadingDirectionEnd)},
        {"top of the arch, 1 off", {487, 510}, HitRequest::All, Hit(instance, HitPart::SegmentInterior)},
        {"top of the arch, 1.9 off", {486.1f, 510}, HitRequest::All, Hit(instance, HitPart::SegmentInterior)},
        {"top of the arch, 2.1 off", {485.9f, 510}, HitRequest::All, kNothing},
        {"centre of its bounds", {492, 510.5f}, HitRequest::All, Hit(instance, HitPart::CentrePoint)},
        {"an open arch has no fill", {495, 503}, HitRequest::All, kNothing},
        {"anchor, as a Bézier point", {500.5f, 500}, HitRequest::BezierPoints, Hit(instance, HitPart::AnchorPoint)},
        {"anchor, not an end point of a path", {500.5f, 500}, HitRequest::EndPoints, kNothing},
        {"where the untransformed arch would be", {5, 6}, HitRequest::All, kNothing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Describe(doc.HitTest(c.point, c.request)), Describe(c.expected));
    }

    // Expanded art is hit the same way, and is on top.
    const ArtId expanded = doc.Expand(instance);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("expanded: ") + c.name);
        HitResult expected = c.expected;
        if (expected.hit) expected.art = expanded;
        EXPECT_EQ(Describe(doc.HitTest(c.point, c.request)), Describe(expected));
    }
}

TEST(DocumentHitTestLarge, FindsTheRightArtAmongAHundredThousand)
{
    // Squares of 10 points, one in each 50-point cell of a grid at a
    // random place in it, made in a shuffled order; below them all a
    // filled rectangle larger than the page.
    constexpr int kCount = 100000;
    constexpr int kColumns = 317;
    constexpr float kCell = 50;
    const float side = kColumns * kCell;
    Document doc(side, side);
    const ArtId background = doc.AddPath(FilledPolygon({{-100, -100}, {side + 100, -100}, {side + 100, side + 100},
                                                        {-100, side + 100}}));
    std::mt19937 random(20240611);
    std::vector<int> cells(kCount);
    for (int i = 0; i < kCount; ++i) cells[i] = i;
    std::shuffle(cells.begin(), cells.end(), random);
    std::uniform_real_distribution<float> offset(5, 35);
    struct Placed {
        ArtId art;
        HostPoint corner;  // bottom left
        HostPoint cell;    // the cell's bottom left
    };
    std::vector<Placed> placed;
    for (int cell : cells) {
        const HostPoint origin{static_cast<float>(cell % kColumns) * kCell,
                               static_cast<float>(cell / kColumns) * kCell};
        const HostPoint corner{origin.h + offset(random), origin.v + offset(random)};
        const ArtId art = doc.AddPath(FilledPolygon({corner,
                                                     {corner.h + 10, corner.v},
                                                     {corner.h + 10, corner.v + 10},
                                                     {corner.h, corner.v + 10}}));
        placed.push_back({art, corner, origin});
    }
    ASSERT_EQ(doc.ArtCount(), static_cast<std::size_t>(kCount + 1));

    for (std::size_t i = 0; i < placed.size(); i += 97) {
        const Placed& p = placed[i];
        SCOPED_TRACE("square " + std::to_string(p.art));
        EXPECT_EQ(Describe(doc.HitTest({p.corner.h + 5, p.corner.v + 5}, HitRequest::All)),
                  Describe(Hit(p.art, HitPart::CentrePoint)));
        EXPECT_EQ(Describe(doc.HitTest({p.corner.h + 11, p.corner.v + 10.5f}, HitRequest::All)),
                  Describe(Hit(p.art, HitPart::AnchorPoint)));
        EXPECT_EQ(Describe(doc.HitTest({p.corner.h + 3, p.corner.v + 7}, HitRequest::All)),
                  Describe(Hit(p.art, HitPart::Fill)));
        EXPECT_EQ(Describe(doc.HitTest({p.cell.h + 1, p.cell.v + 1}, HitRequest::All)),
                  Describe(Hit(background, HitPart::Fill)));
        EXPECT_EQ(Describe(doc.HitTest({p.cell.h + 1, p.cell.v + 1}, HitRequest::AllNoFill)), Describe(kNothing));
    }

    // Deleted squares give way to the background.
    for (std::size_t i = 0; i < placed.size(); i += 1001) doc.Delete(placed[i].art);
    for (std::size_t i = 0; i < placed.size(); i += 1001) {
        const Placed& p = placed[i];
        SCOPED_TRACE("deleted square " + std::to_string(p.art));
        EXPECT_EQ(Describe(doc.HitTest({p.corner.h + 5, p.corner.v + 5}, HitRequest::All)),
                  Describe(Hit(background, HitPart::Fill)));
    }
}

// ---- The document's suites ----------------------------------------------------------------

HostError NoPlugin(const char*, const char*, void*) { return kNoErr; }

template <class T> T Junk() { return reinterpret_cast<T>(std::uintptr_t{0x5A5A}); }

class DocumentSuites : public ::testing::Test {
protected:
    DocumentSuites()
    {
        art = Acquire<ArtSuite>("AI Art Suite", 9);
        symbols = Acquire<SymbolSuite>("AI Symbol Suite", 1);
        palette = Acquire<SymbolPaletteSuite>("AI Symbol Palette Suite", 1);
        document = Acquire<DocumentSuite>("AI Document Suite", 7);
        views = Acquire<DocumentViewSuite>("AI Document View Suite", 7);
        hits = Acquire<HitTestSuite>("AI Hit Test Suite", 1);
        layers = Acquire<LayerSuite>("AI Layer Suite", 9);
        block = doc.AddSymbol("block", {FilledPolygon({{0, 0}, {20, 0}, {20, 20}, {0, 20}})});
        other = doc.AddSymbol("arch", {Arch()});
    }

    template <class S> const S* Acquire(const char* name, std::int32_t version)
    {
        const void* suite = nullptr;
        EXPECT_EQ(host.Basic()->AcquireSuite(name, version, &suite), kNoErr) << name;
        return static_cast<const S*>(suite);
    }

    SymbolHandle SymbolAt(std::int32_t n)
    {
        SymbolHandle symbol = nullptr;
        EXPECT_EQ(symbols->GetNthSymbol(n, &symbol, nullptr), kNoErr);
        return symbol;
    }

    ArtHandle NewInstance(SymbolHandle symbol, HostPoint centre)
    {
        ArtHandle instance = nullptr;
        EXPECT_EQ(symbols->NewInstanceCenteredOnPoint(symbol, centre, kPlaceAboveAll, nullptr, &instance), kNoErr);
        return instance;
    }

    HitData HitAt(HostPoint point, std::int32_t request)
    {
        HitRef hit = nullptr;
        EXPECT_EQ(hits->HitTest(nullptr, &point, request, &hit), kNoErr);
        HitData data{-1, -1, Junk<ArtHandle>()};
        EXPECT_EQ(hits->GetHitData(hit, &data), kNoErr);
        return data;
    }

    bool Violated(const std::string& what) const
    {
        return std::find(host.Violations().begin(), host.Violations().end(), what) != host.Violations().end();
    }

    host::StandInHost host{NoPlugin};
    Document doc{600, 800};
    SymbolId block = 0;
    SymbolId other = 0;
    const ArtSuite* art = nullptr;
    const SymbolSuite* symbols = nullptr;
    const SymbolPaletteSuite* palette = nullptr;
    const DocumentSuite* document = nullptr;
    const DocumentViewSuite* views = nullptr;
    const HitTestSuite* hits = nullptr;
    const LayerSuite* layers = nullptr;

    // Every operation once, its results written to `out`, which starts as
    // junk. Each knows whether it left its results cleared.
    struct Out {
        std::int16_t type = 77;
        HostRect bounds{1, 2, 3, 4};
        std::int32_t count = 77;
        SymbolHandle symbol = Junk<SymbolHandle>();
        ArtHandle art = Junk<ArtHandle>();
        HostMatrix matrix{5, 6, 7, 8, 9, 10};
        DocumentHandle document = Junk<DocumentHandle>();
        DocumentSetup setup{7, 7};
        ViewHandle view = Junk<ViewHandle>();
        HostPoint centre{7, 7};
        HitRef hit = Junk<HitRef>();
        HitData data{7, 7, Junk<ArtHandle>()};
        LayerHandle layer = Junk<LayerHandle>();
    } out;
    struct Operation {
        const char* name;  // as faults name it
        std::function<HostError()> call;
        std::function<bool()> cleared;
        bool returnsCode = true;  // ValidateSymbol returns whether the symbol is valid
    };
    std::vector<Operation> Operations(ArtHandle someArt, SymbolHandle someSymbol)
    {
        const HostPoint point{10, 10};
        const HostMatrix matrix{1, 0, 0, 1, 3, 3};
        return {
            {"AI Art Suite/DisposeArt", [=, this] { return art->DisposeArt(someArt); }, [] { return true; }},
            {"AI Art Suite/GetArtType", [=, this] { return art->GetArtType(someArt, &out.type); },
             [this] { return out.type == 0; }},
            {"AI Art Suite/GetArtBounds", [=, this] { return art->GetArtBounds(someArt, &out.bounds); },
             [this] { return Describe(out.bounds) == Describe(HostRect{0, 0, 0, 0}); }},
            {"AI Symbol Suite/CountSymbols", [this] { return symbols->CountSymbols(&out.count, nullptr); },
             [this] { return out.count == 0; }},
            {"AI Symbol Suite/GetNthSymbol", [this] { return symbols->GetNthSymbol(0, &out.symbol, nullptr); },
             [this] { return out.symbol == nullptr; }},
            {"AI Symbol Suite/ValidateSymbol", [=, this] { return symbols->ValidateSymbol(someSymbol); },
             [] { return true; }, false},
            {"AI Symbol Suite/NewInstanceCenteredOnPoint",
             [=, this] {
                 return symbols->NewInstanceCenteredOnPoint(someSymbol, point, kPlaceAboveAll, nullptr, &out.art);
             },
             [this] { return out.art == nullptr; }},
            {"AI Symbol Suite/GetInstanceMatrix",
             [=, this] { return symbols->GetInstanceMatrix(someArt, &out.matrix); },
             [this] { return out.matrix.a == 1 && out.matrix.b == 0 && out.matrix.tx == 0; }},
            {"AI Symbol Suite/SetInstanceMatrix", [=, this] { return symbols->SetInstanceMatrix(someArt, &matrix); },
             [] { return true; }},
            {"AI Symbol Suite/ExpandInstance",
             [=, this] { return symbols->ExpandInstance(someArt, kPlaceAboveAll, nullptr, &out.art); },
             [this] { return out.art == nullptr; }},
            {"AI Symbol Palette Suite/GetCurrentSymbol", [this] { return palette->GetCurrentSymbol(&out.symbol); },
             [this] { return out.symbol == nullptr; }},
            {"AI Document Suite/GetDocument", [this] { return document->GetDocument(&out.document); },
             [this] { return out.document == nullptr; }},
            {"AI Document Suite/GetDocumentSetup", [this] { return document->GetDocumentSetup(&out.setup); },
             [this] { return out.setup.width == 0 && out.setup.height == 0; }},
            {"AI Document View Suite/GetNthDocumentView", [this] { return views->GetNthDocumentView(0, &out.view); },
             [this] { return out.view == nullptr; }},
            {"AI Document View Suite/GetDocumentViewCenter",
             [this] { return views->GetDocumentViewCenter(reinterpret_cast<ViewHandle>(1), &out.centre); },
             [this] { return out.centre.h == 0 && out.centre.v == 0; }},
            {"AI Hit Test Suite/HitTest", [=, this] { return hits->HitTest(nullptr, &point, 0, &out.hit); },
             [this] { return out.hit == nullptr; }},
            {"AI Hit Test Suite/GetHitData", [this] { return hits->GetHitData(Junk<HitRef>(), &out.data); },
             [this] { return out.data.hit == 0 && out.data.type == 0 && out.data.object == nullptr; }},
            {"AI Layer Suite/InsertLayer", [this] { return layers->InsertLayer(nullptr, kPlaceAboveAll, &out.layer); },
             [this] { return out.layer == nullptr; }},
        };
    }
};

TEST_F(DocumentSuites, WithoutADocumentEveryOperationAnswersNoDocumentAndClearsItsResults)
{
    for (const Operation& operation : Operations(Junk<ArtHandle>(), Junk<SymbolHandle>())) {
        SCOPED_TRACE(operation.name);
        out = Out{};
        const HostError result = operation.call();
        EXPECT_EQ(result, operation.returnsCode ? host::kNoDocumentErr : 0);
        EXPECT_TRUE(operation.cleared());
    }
    EXPECT_EQ(host.Violations(), std::vector<std::string>{});
}

TEST_F(DocumentSuites, EveryOperationCanBeMadeToFailAndThenChangesNothing)
{
    host.document = &doc;
    const ArtHandle instance = NewInstance(SymbolAt(0), {100, 100});
    const HostError code = FourCharCode('F', 'A', 'I', 'L');
    for (const Operation& operation : Operations(instance, SymbolAt(0))) {
        SCOPED_TRACE(operation.name);
        host.Inject({operation.name, 0, code});
        out = Out{};
        const HostError result = operation.call();
        host.ClearFaults();
        EXPECT_EQ(result, operation.returnsCode ? code : 0);
        EXPECT_EQ(out.art, Junk<ArtHandle>());
        EXPECT_EQ(out.type, 77);
        EXPECT_EQ(out.count, 77);
    }
    EXPECT_EQ(doc.ArtCount(), 1u);
    EXPECT_EQ(doc.Layers().size(), 1u);
    EXPECT_EQ(doc.GetArt(1).matrix.tx, 90.0f);
    EXPECT_EQ(host.Violations(), std::vector<std::string>{});
}

TEST_F(DocumentSuites, MakeInstancesOfThePaletteSymbolAndMoveThem)
{
    host.document = &doc;
    doc.selectedSymbol = block;
    SymbolHandle current = nullptr;
    ASSERT_EQ(palette->GetCurrentSymbol(&current), kNoErr);
    EXPECT_EQ(current, SymbolAt(0));
    EXPECT_NE(symbols->ValidateSymbol(current), 0);

    ArtHandle instance = nullptr;
    ASSERT_EQ(symbols->NewInstanceCenteredOnPoint(current, {150, 400}, kPlaceAboveAll, nullptr, &instance), kNoErr);
    ASSERT_NE(instance, nullptr);
    std::int16_t type = 0;
    ASSERT_EQ(art->GetArtType(instance, &type), kNoErr);
    EXPECT_EQ(type, kSymbolInstanceArtType);
    HostRect bounds{};
    ASSERT_EQ(art->GetArtBounds(instance, &bounds), kNoErr);
    EXPECT_EQ(Describe(bounds), Describe(HostRect{140, 410, 160, 390}));
    HostMatrix matrix{};
    ASSERT_EQ(symbols->GetInstanceMatrix(instance, &matrix), kNoErr);
    EXPECT_EQ(matrix.a, 1.0f);
    EXPECT_EQ(matrix.d, 1.0f);
    EXPECT_EQ(matrix.tx, 140.0f);
    EXPECT_EQ(matrix.ty, 390.0f);

    const HostMatrix doubled{2, 0, 0, 2, 10, 20};
    ASSERT_EQ(symbols->SetInstanceMatrix(instance, &doubled), kNoErr);
    ASSERT_EQ(art->GetArtBounds(instance, &bounds), kNoErr);
    EXPECT_EQ(Describe(bounds), Describe(HostRect{10, 60, 50, 20}));
    ASSERT_EQ(symbols->GetInstanceMatrix(instance, &matrix), kNoErr);
    EXPECT_EQ(matrix.a, 2.0f);
    EXPECT_EQ(matrix.ty, 20.0f);

    ArtHandle expanded = nullptr;
    ASSERT_EQ(symbols->ExpandInstance(instance, kPlaceAboveAll, nullptr, &expanded), kNoErr);
    ASSERT_NE(expanded, nullptr);
    EXPECT_NE(expanded, instance);
    ASSERT_EQ(art->GetArtType(expanded, &type), kNoErr);
    EXPECT_EQ(type, host::kGroupArtType);
    EXPECT_EQ(doc.ArtCount(), 2u);

    ASSERT_EQ(art->DisposeArt(expanded), kNoErr);
    ASSERT_EQ(art->DisposeArt(instance), kNoErr);
    EXPECT_EQ(doc.ArtCount(), 0u);
    EXPECT_EQ(host.Violations(), std::vector<std::string>{});

    doc.selectedSymbol.reset();
    current = Junk<SymbolHandle>();
    EXPECT_EQ(palette->GetCurrentSymbol(&current), kNoErr);
    EXPECT_EQ(current, nullptr);
}

TEST_F(DocumentSuites, RefuseSymbolsThatCannotBeUsedAndPlacesOtherThanOnTop)
{
    host.document = &doc;
    doc.GetSymbol(other).valid = false;
    struct Case {
        const char* name;
        SymbolHandle symbol;
        std::int16_t paintOrder;
        ArtHandle prep;
    };
    const Case cases[] = {
        {"no symbol", nullptr, kPlaceAboveAll, nullptr},
        {"a symbol past the palette", reinterpret_cast<SymbolHandle>(3), kPlaceAboveAll, nullptr},
        {"an invalid symbol", SymbolAt(1), kPlaceAboveAll, nullptr},
        {"placed below", SymbolAt(0), 1, nullptr},
        {"placed by other art", SymbolAt(0), kPlaceAboveAll, Junk<ArtHandle>()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ArtHandle instance = Junk<ArtHandle>();
        EXPECT_EQ(symbols->NewInstanceCenteredOnPoint(c.symbol, {1, 1}, c.paintOrder, c.prep, &instance),
                  kBadParameterErr);
        EXPECT_EQ(instance, nullptr);
    }
    EXPECT_EQ(doc.ArtCount(), 0u);
    EXPECT_NE(symbols->ValidateSymbol(SymbolAt(0)), 0);
    EXPECT_EQ(symbols->ValidateSymbol(SymbolAt(1)), 0);
    EXPECT_EQ(symbols->ValidateSymbol(nullptr), 0);
    EXPECT_EQ(symbols->ValidateSymbol(reinterpret_cast<SymbolHandle>(3)), 0);
}

TEST_F(DocumentSuites, ListSymbolsInPaletteOrder)
{
    host.document = &doc;
    DocumentHandle handle = nullptr;
    ASSERT_EQ(document->GetDocument(&handle), kNoErr);
    EXPECT_EQ(handle, reinterpret_cast<DocumentHandle>(&doc));
    std::int32_t count = 0;
    ASSERT_EQ(symbols->CountSymbols(&count, handle), kNoErr);
    EXPECT_EQ(count, 2);

    SymbolHandle first = nullptr;
    SymbolHandle second = nullptr;
    ASSERT_EQ(symbols->GetNthSymbol(0, &first, handle), kNoErr);
    ASSERT_EQ(symbols->GetNthSymbol(1, &second, handle), kNoErr);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, second);
    doc.selectedSymbol = other;
    SymbolHandle current = nullptr;
    ASSERT_EQ(palette->GetCurrentSymbol(&current), kNoErr);
    EXPECT_EQ(current, second);

    for (std::int32_t n : {-1, 2, 1000}) {
        SCOPED_TRACE(n);
        SymbolHandle symbol = Junk<SymbolHandle>();
        EXPECT_EQ(symbols->GetNthSymbol(n, &symbol, handle), kBadParameterErr);
        EXPECT_EQ(symbol, nullptr);
    }
    Document elsewhere(10, 10);
    SymbolHandle symbol = Junk<SymbolHandle>();
    EXPECT_EQ(symbols->GetNthSymbol(0, &symbol, reinterpret_cast<DocumentHandle>(&elsewhere)), kBadParameterErr);
    EXPECT_EQ(symbols->CountSymbols(&count, reinterpret_cast<DocumentHandle>(&elsewhere)), kBadParameterErr);
}

TEST_F(DocumentSuites, CatchArtUsedAfterItWasDeletedAndMatricesOnOtherArt)
{
    host.document = &doc;
    const ArtHandle instance = NewInstance(SymbolAt(0), {100, 100});
    const auto path = reinterpret_cast<ArtHandle>(static_cast<std::uintptr_t>(doc.AddPath(Polyline({{0, 0}, {9, 9}}))));
    const HostMatrix moved{1, 0, 0, 1, 50, 50};
    HostMatrix matrix{};
    std::int16_t type = 0;
    HostRect bounds{};

    EXPECT_EQ(symbols->SetInstanceMatrix(path, &moved), kBadParameterErr);
    EXPECT_TRUE(Violated("matrix set on art that is not a symbol instance"));
    EXPECT_EQ(symbols->GetInstanceMatrix(path, &matrix), kBadParameterErr);
    EXPECT_EQ(symbols->ExpandInstance(path, kPlaceAboveAll, nullptr, nullptr), kBadParameterErr);
    EXPECT_EQ(host.Violations().size(), 3u);
    EXPECT_EQ(doc.ArtCount(), 2u);

    ASSERT_EQ(art->DisposeArt(instance), kNoErr);
    struct Case {
        const char* name;
        std::function<HostError()> call;
    };
    const Case cases[] = {
        {"DisposeArt", [&] { return art->DisposeArt(instance); }},
        {"GetArtType", [&] { return art->GetArtType(instance, &type); }},
        {"GetArtBounds", [&] { return art->GetArtBounds(instance, &bounds); }},
        {"GetInstanceMatrix", [&] { return symbols->GetInstanceMatrix(instance, &matrix); }},
        {"SetInstanceMatrix", [&] { return symbols->SetInstanceMatrix(instance, &moved); }},
        {"ExpandInstance", [&] { return symbols->ExpandInstance(instance, kPlaceAboveAll, nullptr, nullptr); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = host.Violations().size();
        EXPECT_EQ(c.call(), kBadParameterErr);
        ASSERT_EQ(host.Violations().size(), before + 1);
        EXPECT_EQ(host.Violations().back(), "art used after it was deleted");
    }
    EXPECT_EQ(doc.ArtCount(), 1u);

    const std::size_t before = host.Violations().size();
    EXPECT_EQ(art->GetArtType(reinterpret_cast<ArtHandle>(999), &type), kBadParameterErr);
    ASSERT_EQ(host.Violations().size(), before + 1);
    EXPECT_EQ(host.Violations().back(), "unknown art");

    // Asking about no art is refused but is no misuse: the tool asks the type
    // of whatever the hit test found, which may be nothing.
    type = 77;
    EXPECT_EQ(art->GetArtType(nullptr, &type), kBadParameterErr);
    EXPECT_EQ(type, 0);
    EXPECT_EQ(art->DisposeArt(nullptr), kBadParameterErr);
    EXPECT_EQ(host.Violations().size(), before + 1);
}

TEST_F(DocumentSuites, HitTestTheWholeDocument)
{
    host.document = &doc;
    const ArtHandle instance = NewInstance(SymbolAt(0), {150, 400});
    struct Case {
        const char* name;
        HostPoint point;
        std::int32_t request;
        HitData expected;
    };
    const Case cases[] = {
        {"centre", {150, 400}, 0, {1, 5, instance}},
        {"corner", {140.5f, 390.5f}, 0, {1, 0, instance}},
        {"fill", {145, 395}, 7, {1, 4, instance}},
        {"fill, not admitted", {145, 395}, 8, {0, 0, nullptr}},
        {"nothing there", {300, 300}, 0, {0, 0, nullptr}},
        {"request past the list", {150, 400}, 12, {0, 0, nullptr}},
        {"negative request", {150, 400}, -1, {0, 0, nullptr}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const HitData data = HitAt(c.point, c.request);
        EXPECT_EQ(data.hit, c.expected.hit);
        EXPECT_EQ(data.type, c.expected.type);
        EXPECT_EQ(data.object, c.expected.object);
    }

    // Results are kept apart.
    HitRef first = nullptr;
    HitRef second = nullptr;
    const HostPoint centre{150, 400};
    const HostPoint away{300, 300};
    ASSERT_EQ(hits->HitTest(nullptr, &centre, 0, &first), kNoErr);
    ASSERT_EQ(hits->HitTest(nullptr, &away, 0, &second), kNoErr);
    HitData data{};
    ASSERT_EQ(hits->GetHitData(second, &data), kNoErr);
    EXPECT_EQ(data.hit, 0);
    ASSERT_EQ(hits->GetHitData(first, &data), kNoErr);
    EXPECT_EQ(data.hit, 1);
    EXPECT_EQ(data.object, instance);

    HitRef hit = Junk<HitRef>();
    EXPECT_EQ(hits->HitTest(instance, &centre, 0, &hit), kBadParameterErr) << "only the whole document";
    EXPECT_EQ(hit, nullptr);
    EXPECT_EQ(host.Violations(), std::vector<std::string>{});
    // No hit, what a failed hit test leaves, is refused without misuse.
    data = HitData{1, 1, instance};
    EXPECT_EQ(hits->GetHitData(nullptr, &data), kBadParameterErr);
    EXPECT_EQ(data.hit, 0);
    EXPECT_EQ(data.object, nullptr);
    EXPECT_EQ(host.Violations(), std::vector<std::string>{});
    // A hit the host never gave is misuse.
    EXPECT_EQ(hits->GetHitData(Junk<HitRef>(), &data), kBadParameterErr);
    EXPECT_EQ(host.Violations(), std::vector<std::string>{"hit used that the host did not give or no longer keeps"});
}

TEST_F(DocumentSuites, InsertALayerThatTakesTheNewArt)
{
    host.document = &doc;
    NewInstance(SymbolAt(0), {10, 10});
    LayerHandle layer = nullptr;
    ASSERT_EQ(layers->InsertLayer(nullptr, kPlaceAboveAll, &layer), kNoErr);
    EXPECT_NE(layer, nullptr);
    ASSERT_EQ(doc.Layers().size(), 2u);
    EXPECT_EQ(doc.Layers()[1].name, "Layer 2");
    EXPECT_EQ(doc.CurrentLayer(), 1u);
    const ArtHandle top = NewInstance(SymbolAt(0), {10, 10});
    EXPECT_EQ(doc.Layers()[1].art, std::vector<ArtId>{static_cast<ArtId>(reinterpret_cast<std::uintptr_t>(top))});
    EXPECT_EQ(HitAt({10, 10}, 0).object, top);

    LayerHandle another = Junk<LayerHandle>();
    EXPECT_EQ(layers->InsertLayer(layer, kPlaceAboveAll, &another), kBadParameterErr);
    EXPECT_EQ(another, nullptr);
    EXPECT_EQ(layers->InsertLayer(nullptr, 1, &another), kBadParameterErr);
    EXPECT_EQ(doc.Layers().size(), 2u);
}

TEST_F(DocumentSuites, TellThePageAndTheViews)
{
    host.document = &doc;
    DocumentSetup setup{};
    ASSERT_EQ(document->GetDocumentSetup(&setup), kNoErr);
    EXPECT_EQ(setup.width, 600.0f);
    EXPECT_EQ(setup.height, 800.0f);

    doc.AddView({10, 20});
    struct Case {
        std::int32_t n;
        HostPoint centre;
    };
    for (const Case& c : {Case{0, {300, 400}}, Case{1, {10, 20}}}) {
        SCOPED_TRACE(c.n);
        ViewHandle view = nullptr;
        ASSERT_EQ(views->GetNthDocumentView(c.n, &view), kNoErr);
        HostPoint centre{};
        ASSERT_EQ(views->GetDocumentViewCenter(view, &centre), kNoErr);
        EXPECT_EQ(centre.h, c.centre.h);
        EXPECT_EQ(centre.v, c.centre.v);
    }
    for (std::int32_t n : {-1, 2}) {
        SCOPED_TRACE(n);
        ViewHandle view = Junk<ViewHandle>();
        EXPECT_EQ(views->GetNthDocumentView(n, &view), kBadParameterErr);
        EXPECT_EQ(view, nullptr);
    }
    HostPoint centre{1, 1};
    EXPECT_EQ(views->GetDocumentViewCenter(nullptr, &centre), kBadParameterErr);
    EXPECT_EQ(centre.h, 0.0f);
}

}  // namespace
