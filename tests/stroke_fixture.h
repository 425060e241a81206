#pragma once
// Strokes through PluginMain over a document of the stand-in host: a page of
// 600 by 500 points, its view centred at (300, 200), and square symbols.
#include <cmath>
#include <string>
#include <vector>

#include "host/document.h"
#include "tests/plugin_fixture.h"

namespace kadrelle_test {

// A filled square of side 2 × half, centred on the origin.
inline host::Path Square(float half)
{
    host::Path path;
    for (HostPoint corner : {HostPoint{-half, -half}, HostPoint{half, -half}, HostPoint{half, half}, HostPoint{-half, half}})
        path.points.push_back(host::PathPoint{corner, corner, corner});
    path.closed = true;
    path.filled = true;
    path.fill = "#336699";
    return path;
}

inline HostPoint Centre(const HostRect& r) { return HostPoint{(r.left + r.right) / 2.0f, (r.top + r.bottom) / 2.0f}; }

class StrokeTest : public PluginTest {
public:
    StrokeTest() : doc(600.0f, 500.0f)
    {
        doc.SetViewCentre(0, HostPoint{300.0f, 200.0f});
        for (const char* name : {"a", "b", "c"}) symbols.push_back(doc.AddSymbol(name, {Square(5.0f)}));
        doc.selectedSymbol = symbols[0];
        host.document = &doc;
        EXPECT_EQ(Startup(), kNoErr);
        // Deterministic by construction: every draw is 0 unless a test scripts it.
        host.random.Constant(0.0f);
    }

    Globals& G() { return *gGlobals; }

    HostError Down(HostPoint p) { return host.SendTool("AI Mouse Down", p); }
    HostError Drag(HostPoint p, std::int16_t pressure = 0) { return host.SendTool("AI Mouse Drag", p, pressure); }
    HostError Up() { return host.SendTool("AI Mouse Up"); }
    // A stroke of one mouse down at start and a drag event at each point.
    void Stroke(HostPoint start, const std::vector<HostPoint>& drags)
    {
        ASSERT_EQ(Down(start), kNoErr);
        for (HostPoint p : drags) ASSERT_EQ(Drag(p), kNoErr);
        ASSERT_EQ(Up(), kNoErr);
    }

    // Every live art object of the document, bottom first.
    std::vector<const host::Art*> AllArt() const
    {
        std::vector<const host::Art*> art;
        for (const host::Layer& layer : doc.Layers()) {
            for (host::ArtId id : layer.art) art.push_back(&doc.GetArt(id));
        }
        return art;
    }
    std::vector<const host::Art*> Instances() const
    {
        std::vector<const host::Art*> instances;
        for (const host::Art* art : AllArt()) {
            if (art->kind == host::ArtKind::Instance) instances.push_back(art);
        }
        return instances;
    }
    HostPoint CentreOf(const host::Art* art) const { return Centre(doc.Bounds(IdOf(art))); }
    // The id of a live art object of the document.
    host::ArtId IdOf(const host::Art* art) const
    {
        for (const host::Layer& layer : doc.Layers()) {
            for (host::ArtId id : layer.art) {
                if (&doc.GetArt(id) == art) return id;
            }
        }
        ADD_FAILURE() << "art not in the document";
        return 0;
    }

    host::Document doc;
    std::vector<host::SymbolId> symbols;
};

#define EXPECT_POINT_NEAR(actual, eh, ev, tolerance)        \
    do {                                                     \
        const HostPoint point_ = (actual);                   \
        EXPECT_NEAR(point_.h, (eh), (tolerance)) << "h";     \
        EXPECT_NEAR(point_.v, (ev), (tolerance)) << "v";     \
    } while (false)

}  // namespace kadrelle_test
