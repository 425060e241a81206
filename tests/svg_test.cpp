// SVG in and out for the stand-in host's document: path data, transforms,
// shapes, the page size and its units, symbols and instances, our data
// attributes and layers, every error with its message, and the output with
// its <use> placements, layers, expanded art and byte-for-byte repeatability.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include <pugixml.hpp>

#include "host/svg_document.h"
#include "host/svg_path.h"

namespace {

using host::Art;
using host::ArtFlags;
using host::ArtId;
using host::ArtKind;
using host::Document;
using host::Path;
using host::SvgDocument;
using host::SvgError;
using host::svg::Affine;
using host::svg::CubicSegment;
using host::svg::Subpath;
using host::svg::Vec2;

std::string Num(double value)
{
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), value);
    return std::string(text, result.ptr);
}

std::string Point(Vec2 p) { return Num(p.x) + "," + Num(p.y); }

// Subpaths as text: "M x,y C c1 c2 end ... Z", one after the other.
std::string Describe(const std::vector<Subpath>& subpaths)
{
    std::string text;
    for (const Subpath& subpath : subpaths) {
        if (!text.empty()) text += " ";
        text += "M" + Point(subpath.start);
        for (const CubicSegment& s : subpath.segments) text += " C" + Point(s.c1) + " " + Point(s.c2) + " " + Point(s.end);
        if (subpath.closed) text += " Z";
    }
    return text;
}

// A page 100 points square around the body.
std::string Page(const std::string& body, const std::string& size = "width=\"100\" height=\"100\"")
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" " + size + ">" +
           body + "</svg>";
}

SvgDocument Load(const std::string& text) { return host::LoadSvgText(text, "t.svg"); }

// A live art object as a test reads it: its record with its id, path and
// text beside it. Used like a pointer (art[0]->path) for brevity.
struct SeenArt {
    ArtId id = 0;
    ArtKind kind = ArtKind::Path;
    ArtFlags flags;
    host::SymbolId symbol = 0;
    HostMatrix matrix{};
    Path path;
    std::string text;
    HostRect box{};
    const SeenArt* operator->() const { return this; }
    const SeenArt& operator*() const { return *this; }
};

std::vector<SeenArt> LiveArt(const Document& document)
{
    std::vector<SeenArt> art;
    for (const host::Layer& layer : document.Layers()) {
        for (ArtId id : layer.art) {
            const Art& a = document.GetArt(id);
            SeenArt seen{id, a.kind, a.flags, a.symbol, a.matrix, {}, {}, {}};
            if (a.kind == ArtKind::Path) seen.path = document.PathOf(id);
            if (a.kind == ArtKind::Text) {
                seen.text = document.TextOf(id).text;
                seen.box = document.TextOf(id).box;
            }
            art.push_back(std::move(seen));
        }
    }
    return art;
}

std::string Anchors(const Path& path)
{
    std::string text;
    for (const host::PathPoint& point : path.points) {
        if (!text.empty()) text += " ";
        text += Num(point.anchor.h) + "," + Num(point.anchor.v);
    }
    return text + (path.closed ? " Z" : "");
}

// ---- Path data ----------------------------------------------------------------------

TEST(SvgPathData, ReadsEveryCommandAsCubics)
{
    struct Case {
        const char* data;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},
        {" \n\t", ""},
        {"M10 20", "M10,20"},
        {"M10 20 L30 40", "M10,20 C10,20 30,40 30,40"},
        {"m10 20 l5 5", "M10,20 C10,20 15,25 15,25"},
        {"M1 2 H10 V5 h-2 v-1", "M1,2 C1,2 10,2 10,2 C10,2 10,5 10,5 C10,5 8,5 8,5 C8,5 8,4 8,4"},
        {"M0 0 C1 2 3 4 5 6 c1 1 2 2 3 3", "M0,0 C1,2 3,4 5,6 C6,7 7,8 8,9"},
        // S reflects the previous cubic's second control point; after
        // anything else its first control point is the current point.
        {"M0 0 C0 1 2 3 4 4 S8 6 10 4", "M0,0 C0,1 2,3 4,4 C6,5 8,6 10,4"},
        {"M0 0 s2 2 4 0", "M0,0 C0,0 2,2 4,0"},
        {"M0 0 L3 0 S5 2 6 0", "M0,0 C0,0 3,0 3,0 C3,0 5,2 6,0"},
        // Quadratics raised exactly: control points 2/3 of the way to the
        // quadratic's control point; T reflects the previous one.
        {"M0 0 Q3 6 6 0", "M0,0 C2,4 4,4 6,0"},
        {"M0 0 Q3 6 6 0 T12 0", "M0,0 C2,4 4,4 6,0 C8,-4 10,-4 12,0"},
        {"M0 0 q3 6 6 0 t6 0", "M0,0 C2,4 4,4 6,0 C8,-4 10,-4 12,0"},
        {"M0 0 T6 0", "M0,0 C0,0 2,0 6,0"},
        {"M0 0 L10 0 L10 10 Z", "M0,0 C0,0 10,0 10,0 C10,0 10,10 10,10 Z"},
        {"M0 0 L10 0 z", "M0,0 C0,0 10,0 10,0 Z"},
        // Drawing on after a close starts a new subpath where it closed.
        {"M0 0 L10 0 Z L5 5", "M0,0 C0,0 10,0 10,0 Z M0,0 C0,0 5,5 5,5"},
        {"M1 1 L10 0 Z m5 5 l1 1", "M1,1 C1,1 10,0 10,0 Z M6,6 C6,6 7,7 7,7"},
        // Repeated arguments: after a moveto they are linetos.
        {"M0 0 10 0 10 10", "M0,0 C0,0 10,0 10,0 C10,0 10,10 10,10"},
        {"m1 1 2 2", "M1,1 C1,1 3,3 3,3"},
        {"M0 0 L1 1 2 2", "M0,0 C0,0 1,1 1,1 C1,1 2,2 2,2"},
        {"M0 0 l1 1 2 2", "M0,0 C0,0 1,1 1,1 C1,1 3,3 3,3"},
        {"M0,0 L1,1, 2,2", "M0,0 C0,0 1,1 1,1 C1,1 2,2 2,2"},
        // Numbers without separators.
        {"M-.5.5L1e-3-2E1", "M-0.5,0.5 C-0.5,0.5 0.001,-20 0.001,-20"},
        {"M0 0 1.5.5", "M0,0 C0,0 1.5,0.5 1.5,0.5"},
        {"M+1-1 1e+1 2.", "M1,-1 C1,-1 10,2 10,2"},
        {"M0,0L10,0M5,5L5,6", "M0,0 C0,0 10,0 10,0 M5,5 C5,5 5,6 5,6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(Describe(host::svg::ParsePathData(c.data)), c.expected);
    }
}

TEST(SvgPathData, ReadsArcFlagsWrittenWithAndWithoutSeparators)
{
    struct Case {
        const char* data;
        std::size_t segments;   // a half turn is two cubics, three quarters three
        Vec2 end;
    };
    const Case cases[] = {
        {"M0 0 A5 5 0 0 1 10 0", 2, {10, 0}},
        {"M0 0 A5,5,0,0,1,10,0", 2, {10, 0}},
        {"M0 0 a5 5 0 0110 0", 2, {10, 0}},
        {"M0 0 A5 5 0 1 0 5 5", 3, {5, 5}},
        {"M0 0 A5 5 0 105 5", 3, {5, 5}},
        {"M0 0 A5 5 0 0 1 5 5", 1, {5, 5}},
        {"M0 0 A5 5 0 0 1 5 5 5 5 0 0 1 10 0", 2, {10, 0}},
        {"M0 0 A0 5 0 0 1 5 5", 1, {5, 5}},   // a zero radius draws a line
        {"M5 5 A5 5 0 0 1 5 5", 0, {5, 5}},   // no arc to where it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        const std::vector<Subpath> subpaths = host::svg::ParsePathData(c.data);
        ASSERT_EQ(subpaths.size(), 1u);
        EXPECT_EQ(subpaths[0].segments.size(), c.segments);
        if (!subpaths[0].segments.empty()) {
            EXPECT_EQ(subpaths[0].segments.back().end, c.end);
        }
    }
    const std::vector<Subpath> line = host::svg::ParsePathData("M0 0 A0 5 0 0 1 5 5");
    EXPECT_EQ(Describe(line), "M0,0 C0,0 5,5 5,5");
}

Vec2 CubicAt(Vec2 p0, const CubicSegment& s, double t)
{
    const double u = 1 - t;
    const double a = u * u * u;
    const double b = 3 * u * u * t;
    const double c = 3 * u * t * t;
    const double d = t * t * t;
    return {a * p0.x + b * s.c1.x + c * s.c2.x + d * s.end.x, a * p0.y + b * s.c1.y + c * s.c2.y + d * s.end.y};
}

TEST(SvgPathData, ArcsFollowTheirEllipse)
{
    struct Case {
        const char* name;
        Vec2 centre;
        double rx;
        double ry;
        double rotation;  // degrees
        double fromAngle; // degrees on the ellipse, SVG's angle direction
        double toAngle;
        bool largeArc;
        bool sweep;
        std::size_t segments;
    };
    const Case cases[] = {
        {"quarter, sweep", {20, 20}, 10, 5, 30, 0, 90, false, true, 1},
        {"three quarters the other way", {20, 20}, 10, 5, 30, 0, 90, true, false, 3},
        {"half of a circle", {5, 0}, 5, 5, 0, 180, 360, false, true, 2},
        {"tilted, small, backwards", {-3, 7}, 4, 9, -75, 200, 140, false, false, 1},
        {"tilted, large", {-3, 7}, 4, 9, -75, 200, 140, true, true, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double sine = 0;
        double cosine = 1;
        host::svg::SinCosDegrees(c.rotation, sine, cosine);
        const auto on = [&](double degrees) {
            const double t = degrees * std::numbers::pi / 180;
            const double x = c.rx * std::cos(t);
            const double y = c.ry * std::sin(t);
            return Vec2{c.centre.x + cosine * x - sine * y, c.centre.y + sine * x + cosine * y};
        };
        const Vec2 from = on(c.fromAngle);
        const Vec2 to = on(c.toAngle);
        const std::vector<CubicSegment> arc =
            host::svg::ArcToCubics(from, c.rx, c.ry, c.rotation, c.largeArc, c.sweep, to);
        ASSERT_EQ(arc.size(), c.segments);
        EXPECT_EQ(arc.back().end, to);
        Vec2 start = from;
        for (const CubicSegment& segment : arc) {
            for (double t = 0; t <= 1.0; t += 0.125) {
                const Vec2 p = CubicAt(start, segment, t);
                // Back into the ellipse's own frame: (u/rx)² + (v/ry)² = 1.
                const double dx = p.x - c.centre.x;
                const double dy = p.y - c.centre.y;
                const double u = cosine * dx + sine * dy;
                const double v = -sine * dx + cosine * dy;
                EXPECT_NEAR(std::hypot(u / c.rx, v / c.ry), 1.0, 1e-3) << "t " << t;
            }
            start = segment.end;
        }
    }
    // Radii too small to reach are scaled up: a half circle on the chord.
    const std::vector<CubicSegment> scaled = host::svg::ArcToCubics({0, 0}, 1, 1, 0, false, true, {10, 0});
    ASSERT_EQ(scaled.size(), 2u);
    EXPECT_NEAR(scaled[0].end.x, 5, 1e-12);
    EXPECT_NEAR(scaled[0].end.y, -5, 1e-12);  // sweep 1 turns toward -y first from the left end
}

TEST(SvgPathData, ReportsWhereItStopped)
{
    struct Case {
        const char* data;
        std::size_t position;
        const char* message;
    };
    const Case cases[] = {
        {"L 10 10", 0, "path data must begin with a moveto (M or m)"},
        {"10 10", 0, "expected a moveto (M or m), found '1'"},
        {"M 10", 4, "expected a number at the end"},
        {"M 10 20 L 5 x", 12, "expected a number, found 'x'"},
        {"M 10 20 K 5 5", 8, "unknown command 'K'"},
        {"M 0 0 A 5 5 0 2 0 10 10", 14, "expected an arc flag (0 or 1), found '2'"},
        {"M 0 0 Z 5", 8, "expected a command, found '5'"},
        {"M 0 0, L 1 1", 7, "expected a number, found 'L'"},
        {"M 0 0 L 1 1,", 12, "expected a number at the end"},
        {"M 1e999 0", 2, "number out of range"},
        {"M 1 2 L 3 e", 10, "expected a number, found 'e'"},
        {"M 1,,2", 4, "expected a number, found ','"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        try {
            host::svg::ParsePathData(c.data);
            ADD_FAILURE() << "no error";
        } catch (const host::svg::SyntaxError& error) {
            EXPECT_EQ(error.position(), c.position);
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

// ---- Transforms -----------------------------------------------------------------------

TEST(SvgTransform, ReadsEveryKindAndComposesInListOrder)
{
    const double t45 = std::tan(std::numbers::pi / 4);
    struct Case {
        const char* text;
        Affine expected;
    };
    const Case cases[] = {
        {"", {}},
        {"  ", {}},
        {"matrix(1 2 3 4 5 6)", {1, 2, 3, 4, 5, 6}},
        {"matrix(1,2,3,4,5,6)", {1, 2, 3, 4, 5, 6}},
        {"translate(10)", {1, 0, 0, 1, 10, 0}},
        {"translate(10, -5)", {1, 0, 0, 1, 10, -5}},
        {"translate(10-5)", {1, 0, 0, 1, 10, -5}},
        {"scale(2)", {2, 0, 0, 2, 0, 0}},
        {"scale(2 3)", {2, 0, 0, 3, 0, 0}},
        {"rotate(90)", {0, 1, -1, 0, 0, 0}},
        {"rotate(-90)", {0, -1, 1, 0, 0, 0}},
        {"rotate(180)", {-1, 0, 0, -1, 0, 0}},
        // About (10, 0): (x, y) goes to (10 - y, x - 10).
        {"rotate(90 10 0)", {0, 1, -1, 0, 10, -10}},
        {"skewX(45)", {1, 0, t45, 1, 0, 0}},
        {"skewY(45)", {1, t45, 0, 1, 0, 0}},
        // The first listed applies last: scale, then translate.
        {"translate(10,20) scale(2)", {2, 0, 0, 2, 10, 20}},
        {"scale(2),translate(10 20)", {2, 0, 0, 2, 20, 40}},
        {" translate(1 2)\n rotate(90) ", {0, 1, -1, 0, 1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(host::svg::ParseTransform(c.text), c.expected);
    }
    const Affine rotated = host::svg::ParseTransform("rotate(30)");
    EXPECT_NEAR(rotated.a, std::sqrt(3.0) / 2, 1e-15);
    EXPECT_NEAR(rotated.b, 0.5, 1e-15);
}

TEST(SvgTransform, ReportsWhereItStopped)
{
    struct Case {
        const char* text;
        std::size_t position;
        const char* message;
    };
    const Case cases[] = {
        {"translate(1 2 3)", 0, "translate takes 1 or 2 numbers, not 3"},
        {"scale(1) rotate(1 2)", 9, "rotate takes 1 or 3 numbers, not 2"},
        {"matrix(1 2 3)", 0, "matrix takes 6 numbers, not 3"},
        {"spin(4)", 0, "unknown transform \"spin\""},
        {"translate(1", 11, "expected ')' at the end"},
        {"translate(1px)", 11, "expected ')', found 'p'"},
        {"translate 1", 10, "expected '(', found '1'"},
        {"scale()", 6, "expected a number, found ')'"},
        {"scale(2) ,", 10, "expected a transform at the end"},
        {"(2)", 0, "expected a transform (matrix, translate, scale, rotate, skewX or skewY), found '('"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            host::svg::ParseTransform(c.text);
            ADD_FAILURE() << "no error";
        } catch (const host::svg::SyntaxError& error) {
            EXPECT_EQ(error.position(), c.position);
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

// ---- The page ---------------------------------------------------------------------------

TEST(SvgPage, TakesItsSizeFromWidthHeightAndViewBox)
{
    struct Case {
        const char* root;
        float width;
        float height;
        HostPoint probe;  // where user point (10, 20) lands in host coordinates
    };
    const Case cases[] = {
        {R"~(width="200" height="100")~", 200, 100, {10, 80}},
        {R"~(width="200pt" height="100pt")~", 200, 100, {10, 80}},
        // Without a viewBox a user unit is a point whatever the page's unit.
        {R"~(width="400px" height="200px")~", 300, 150, {10, 130}},
        {R"~(width="2in" height="1in")~", 144, 72, {10, 52}},
        {R"~(width="1pc" height="3pc")~", 12, 36, {10, 16}},
        {R"~(width=" 2.54cm " height="25.4mm")~", 72, 72, {10, 52}},
        {R"~(viewBox="10 20 100 50")~", 100, 50, {0, 50}},
        {R"~(viewBox="0,0,100,50")~", 100, 50, {10, 30}},
        {R"~(width="200" height="100" viewBox="0 0 100 50")~", 200, 100, {20, 60}},
        {R"~(width="200" height="100" viewBox="10 20 100 50")~", 200, 100, {0, 100}},
        {R"~(width="200" viewBox="0 0 100 50")~", 200, 100, {20, 60}},
        {R"~(height="25" viewBox="0 0 100 50")~", 50, 25, {5, 15}},
        // Other proportions: fitted and centred, unless told otherwise.
        {R"~(width="200" height="200" viewBox="0 0 100 50")~", 200, 200, {20, 110}},
        {R"~(width="200" height="200" viewBox="0 0 100 50" preserveAspectRatio="xMinYMin")~", 200, 200, {20, 160}},
        {R"~(width="200" height="200" viewBox="0 0 100 50" preserveAspectRatio="xMidYMax slice")~", 200, 200, {-60, 120}},
        {R"~(width="200" height="200" viewBox="0 0 100 50" preserveAspectRatio="none")~", 200, 200, {20, 120}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root);
        const SvgDocument svg = Load(Page("<line x1=\"10\" y1=\"20\" x2=\"0\" y2=\"0\"/>", c.root));
        EXPECT_FLOAT_EQ(svg.document->Setup().width, c.width);
        EXPECT_FLOAT_EQ(svg.document->Setup().height, c.height);
        const std::vector<SeenArt> art = LiveArt(*svg.document);
        ASSERT_EQ(art.size(), 1u);
        EXPECT_FLOAT_EQ(art[0]->path.points[0].anchor.h, c.probe.h);
        EXPECT_FLOAT_EQ(art[0]->path.points[0].anchor.v, c.probe.v);
    }
}

// ---- Shapes -------------------------------------------------------------------------------

TEST(SvgShapes, BecomePathsInHostCoordinates)
{
    struct Case {
        const char* element;
        const char* anchors;  // host coordinates on a page 100 high
    };
    const Case cases[] = {
        {R"~(<rect x="10" y="20" width="30" height="40"/>)~", "10,80 40,80 40,40 10,40 Z"},
        {R"~(<rect x="10" y="20" width="30" height="40" rx="5"/>)~",
         "15,80 35,80 40,75 40,45 35,40 15,40 10,45 10,75 Z"},
        {R"~(<rect x="10" y="20" width="30" height="40" ry="5"/>)~",
         "15,80 35,80 40,75 40,45 35,40 15,40 10,45 10,75 Z"},
        // Radii beyond half the size are cut to it: the straight parts go.
        {R"~(<rect width="10" height="10" rx="20"/>)~", "5,100 10,95 5,90 0,95 Z"},
        {R"~(<circle cx="50" cy="50" r="10"/>)~", "60,50 50,40 40,50 50,60 Z"},
        {R"~(<ellipse cx="50" cy="50" rx="20" ry="10"/>)~", "70,50 50,40 30,50 50,60 Z"},
        {R"~(<line x1="1" y1="2" x2="3" y2="4"/>)~", "1,98 3,96"},
        {R"~(<polyline points="0,0 10,0 10,10"/>)~", "0,100 10,100 10,90"},
        {R"~(<polygon points="0 0 10 0 10 10"/>)~", "0,100 10,100 10,90 Z"},
        {R"~(<path d="M0 0 L10 0 L10 10 Z"/>)~", "0,100 10,100 10,90 Z"},
        // Drawing back to the start: the last segment closes the path.
        {R"~(<path d="M0 0 L10 0 L10 10 L0 0 Z"/>)~", "0,100 10,100 10,90 Z"},
        {R"~(<path d="M0 0 L10 0 L10 10 L0 0"/>)~", "0,100 10,100 10,90 0,100"},
        // Transforms: the element's, then its groups' outward.
        {R"~(<g transform="translate(10 0)"><rect x="1" y="1" width="1" height="1" transform="scale(2)"/></g>)~",
         "12,98 14,98 14,96 12,96 Z"},
        {R"~(<g transform="translate(50 50)"><g transform="rotate(90)"><line x2="10"/></g></g>)~", "50,50 50,40"},
        {R"~(<line x2="10" transform="rotate(90, 0, 5)"/>)~", "5,95 5,85"},
        {R"~(<line x2="10" transform="matrix(1 0 0 1 5 6)"/>)~", "5,94 15,94"},
        {R"~(<line x2="10" transform="skewY(45)"/>)~", "0,100 10,90"},
        {R"~(<line y2="10" transform="skewX(45)"/>)~", "0,100 10,90"},
        {R"~(<line x1="1in" y1="12pt" x2="2.54cm"/>)~", "96,84 96,100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        const SvgDocument svg = Load(Page(c.element));
        const std::vector<SeenArt> art = LiveArt(*svg.document);
        ASSERT_EQ(art.size(), 1u);
        ASSERT_EQ(art[0]->kind, ArtKind::Path);
        // Rounding in rotations and skews is far below a millionth here.
        Path rounded = art[0]->path;
        for (host::PathPoint& point : rounded.points)
            point.anchor = {std::round(point.anchor.h * 1e4f) / 1e4f + 0.0f, std::round(point.anchor.v * 1e4f) / 1e4f + 0.0f};
        EXPECT_EQ(Anchors(rounded), c.anchors);
    }
}

TEST(SvgShapes, CurvesAndStraightSegmentsKeepTheirControlPoints)
{
    const SvgDocument svg = Load(Page(R"~(<circle cx="50" cy="50" r="10"/><rect width="10" height="10"/>)~"));
    const std::vector<SeenArt> art = LiveArt(*svg.document);
    ASSERT_EQ(art.size(), 2u);
    // The circle's quarters: from (60, 50) the first arm points down the
    // page (SVG's y grows down), 0.5523 radii long.
    const host::PathPoint first = art[0]->path.points[0];
    EXPECT_FLOAT_EQ(first.out.h, 60);
    EXPECT_NEAR(first.out.v, 50 - 5.522847498f, 1e-5);
    EXPECT_FLOAT_EQ(first.in.h, 60);
    EXPECT_NEAR(first.in.v, 50 + 5.522847498f, 1e-5);
    // A rectangle's corners are corner points.
    for (const host::PathPoint& point : art[1]->path.points) {
        EXPECT_EQ(point.in.h, point.anchor.h);
        EXPECT_EQ(point.in.v, point.anchor.v);
        EXPECT_EQ(point.out.h, point.anchor.h);
        EXPECT_EQ(point.out.v, point.anchor.v);
    }
}

TEST(SvgShapes, EachSubpathIsOnePathAndEmptyShapesDrawNothing)
{
    struct Case {
        const char* element;
        std::size_t paths;
    };
    const Case cases[] = {
        {R"~(<path d="M0 0 L10 0 L10 10 Z M20 20 L30 30 M40 40 h1"/>)~", 3},
        {R"~(<path d="M0 0 M5 5 L6 6 M7 7"/>)~", 1},
        {R"~(<path d=""/>)~", 0},
        {R"~(<path/>)~", 0},
        {R"~(<rect width="0" height="10"/>)~", 0},
        {R"~(<circle r="0"/>)~", 0},
        {R"~(<ellipse rx="3" ry="0"/>)~", 0},
        {R"~(<polyline points="5 5"/>)~", 0},
        {R"~(<image width="10" height="10"/><foreignObject/><svg width="5" height="5"><rect width="1" height="1"/></svg>)~", 0},
        {R"~(<defs><rect width="1" height="1"/></defs><linearGradient id="g"/>)~", 0},
        {R"~(<a><g><rect width="1" height="1"/></g></a>)~", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        EXPECT_EQ(LiveArt(*Load(Page(c.element)).document).size(), c.paths);
    }
}

TEST(SvgShapes, ReadFillAndStrokeFromAttributesStyleAndGroups)
{
    struct Case {
        const char* element;
        bool filled;
        const char* fill;
        const char* stroke;
        float strokeWidth;
    };
    const Case cases[] = {
        {R"~(<rect width="1" height="1"/>)~", true, "#000000", "none", 1},
        {R"~(<rect width="1" height="1" fill="none" stroke="red"/>)~", false, "none", "red", 1},
        {R"~(<rect width="1" height="1" fill="red" style="fill: none; stroke:#123456"/>)~", false, "none", "#123456", 1},
        {R"~(<rect width="1" height="1" style="fill:url(#g) !important"/>)~", true, "url(#g)", "none", 1},
        {R"~(<g fill="none" stroke="blue"><rect width="1" height="1"/></g>)~", false, "none", "blue", 1},
        {R"~(<g fill="none"><rect width="1" height="1" fill="inherit"/></g>)~", false, "none", "none", 1},
        {R"~(<g style="fill:#00ff00"><rect width="1" height="1" fill="#0000ff"/></g>)~", true, "#0000ff", "none", 1},
        {R"~(<rect width="1" height="1" stroke-width="2.5"/>)~", true, "#000000", "none", 2.5f},
        // Stroke widths grow with the transforms.
        {R"~(<g transform="scale(3)" style="stroke-width:2"><rect width="1" height="1"/></g>)~", true, "#000000", "none", 6},
        {R"~(<rect width="1" height="1" transform="scale(4 1)"/>)~", true, "#000000", "none", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        const SvgDocument svg = Load(Page(c.element));
        const std::vector<SeenArt> art = LiveArt(*svg.document);
        ASSERT_EQ(art.size(), 1u);
        EXPECT_EQ(art[0]->path.filled, c.filled);
        EXPECT_EQ(art[0]->path.fill, c.fill);
        EXPECT_EQ(art[0]->path.stroke, c.stroke);
        EXPECT_FLOAT_EQ(art[0]->path.strokeWidth, c.strokeWidth);
    }
}

TEST(SvgText, GetsABoxFromPositionFontSizeAndCharacters)
{
    struct Case {
        const char* element;
        const char* text;
        HostRect box;  // left, top, right, bottom on a page 100 high
    };
    const Case cases[] = {
        // Five characters of 0.6 × 10, from 8 above the baseline to 2 below.
        {R"~(<text x="10" y="50" font-size="10">Hello</text>)~", "Hello", {10, 58, 40, 48}},
        {R"~(<text x="10" y="50">Hi</text>)~", "Hi", {10, 62.8f, 29.2f, 46.8f}},
        {R"~(<text x="10" y="50" style="font-size:10px" text-anchor="middle">Hello</text>)~", "Hello", {-5, 58, 25, 48}},
        {R"~(<g font-size="10" text-anchor="end"><text x="40" y="50">Hello</text></g>)~", "Hello", {10, 58, 40, 48}},
        {R"~(<text x="10 20 30" y="50" font-size="10">  Hi <tspan>  there</tspan> </text>)~", "Hi there", {10, 58, 58, 48}},
        {R"~(<text x="10" y="50" font-size="10" textLength="100">Hi</text>)~", "Hi", {10, 58, 110, 48}},
        {R"~(<text x="0" y="0" font-size="10" transform="translate(10 50)">Hello</text>)~", "Hello", {10, 58, 40, 48}},
        // Characters, not bytes.
        {"<text x=\"0\" y=\"50\" font-size=\"10\">\xc3\xa9t\xc3\xa9</text>", "\xc3\xa9t\xc3\xa9", {0, 58, 18, 48}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        const SvgDocument svg = Load(Page(c.element));
        const std::vector<SeenArt> art = LiveArt(*svg.document);
        ASSERT_EQ(art.size(), 1u);
        ASSERT_EQ(art[0]->kind, ArtKind::Text);
        EXPECT_EQ(art[0]->text, c.text);
        EXPECT_FLOAT_EQ(art[0]->box.left, c.box.left);
        EXPECT_FLOAT_EQ(art[0]->box.top, c.box.top);
        EXPECT_FLOAT_EQ(art[0]->box.right, c.box.right);
        EXPECT_FLOAT_EQ(art[0]->box.bottom, c.box.bottom);
    }
}

// ---- Symbols and instances ----------------------------------------------------------------

// A triangle pointing up on the SVG screen, apex at SVG y = -10.
const char* const kTriangle = R"~(<symbol id="tri"><path d="M0 -10 L8 6 L-8 6 Z" fill="#c00"/></symbol>)~";

TEST(SvgSymbols, AreThePaletteInDocumentOrderInHostOrientation)
{
    const SvgDocument svg = Load(Page(
        std::string("<defs>") + kTriangle +
        R"~(<symbol id="box" viewBox="0 0 1 1" fill="none"><g transform="translate(100 0)"><rect width="4" height="2"/></g>)~"
        R"~(<text>not artwork</text><use href="#tri"/></symbol></defs>)~"
        R"~(<g><symbol id="later" data-kadrelle-selected="true"><circle r="1"/></symbol></g>)~"));
    const Document& document = *svg.document;
    ASSERT_EQ(document.SymbolCount(), 3u);
    EXPECT_EQ(svg.SymbolIds(), (std::vector<std::string>{"tri", "box", "later"}));
    const char* names[] = {"tri", "box", "later"};
    for (std::size_t n = 0; n < 3; ++n) EXPECT_EQ(document.GetSymbol(*document.NthSymbol(n)).name, names[n]);
    EXPECT_EQ(document.selectedSymbol, document.NthSymbol(2));
    EXPECT_EQ(LiveArt(document).size(), 0u);

    // The apex, up on the SVG screen, is at positive y in the host.
    const host::Symbol& triangle = document.GetSymbol(*document.NthSymbol(0));
    ASSERT_EQ(triangle.artwork.size(), 1u);
    EXPECT_EQ(Anchors(triangle.artwork[0]), "0,10 8,-6 -8,-6 Z");
    EXPECT_FLOAT_EQ(triangle.bounds.top, 10);
    EXPECT_FLOAT_EQ(triangle.bounds.bottom, -6);
    EXPECT_TRUE(triangle.artwork[0].filled);
    EXPECT_EQ(triangle.artwork[0].fill, "#c00");

    // Groups and their transforms count; the viewBox, text and uses do not.
    const host::Symbol& box = document.GetSymbol(*document.NthSymbol(1));
    ASSERT_EQ(box.artwork.size(), 1u);
    EXPECT_EQ(Anchors(box.artwork[0]), "100,0 104,0 104,-2 100,-2 Z");
    EXPECT_FALSE(box.artwork[0].filled);

    // The markup kept for the output.
    ASSERT_EQ(svg.symbols.size(), 3u);
    EXPECT_EQ(svg.symbols[0].content, R"~(<path d="M0 -10 L8 6 L-8 6 Z" fill="#c00"/>)~");
    EXPECT_EQ(svg.symbols[1].attributes,
              (std::vector<std::pair<std::string, std::string>>{{"id", "box"}, {"viewBox", "0 0 1 1"}, {"fill", "none"}}));
}

TEST(SvgSymbols, UsesBecomeInstancesWithHostMatrices)
{
    struct Case {
        const char* use;
        HostMatrix expected;  // on a page 100 high
    };
    const Case cases[] = {
        {R"~(<use href="#tri"/>)~", {1, 0, 0, 1, 0, 100}},
        {R"~(<use xlink:href="#tri" x="50" y="30"/>)~", {1, 0, 0, 1, 50, 70}},
        {R"~(<use href="#tri" transform="translate(50 30)"/>)~", {1, 0, 0, 1, 50, 70}},
        // x and y move within the transform.
        {R"~(<use href="#tri" x="10" transform="scale(2)"/>)~", {2, 0, 0, 2, 20, 100}},
        // SVG's rotate(90) turns clockwise on screen: a host turn of -90°.
        {R"~(<use href="#tri" transform="translate(50 50) rotate(90)"/>)~", {0, -1, 1, 0, 50, 50}},
        {R"~(<use href="#tri" transform="translate(50 50) rotate(-90)"/>)~", {0, 1, -1, 0, 50, 50}},
        // A mirror across the vertical axis stays one.
        {R"~(<use href="#tri" transform="scale(-1 1)"/>)~", {-1, 0, 0, 1, 0, 100}},
        {R"~(<g transform="translate(5 5)"><use href="#tri" transform="matrix(1 2 3 4 5 6)"/></g>)~", {1, -2, -3, 4, 10, 89}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.use);
        const SvgDocument svg = Load(Page(std::string("<defs>") + kTriangle + "</defs>" + c.use));
        const std::vector<SeenArt> art = LiveArt(*svg.document);
        ASSERT_EQ(art.size(), 1u);
        ASSERT_EQ(art[0]->kind, ArtKind::Instance);
        EXPECT_EQ(art[0]->symbol, *svg.document->NthSymbol(0));
        const HostMatrix& m = art[0]->matrix;
        EXPECT_EQ(m.a, c.expected.a);
        EXPECT_EQ(m.b, c.expected.b);
        EXPECT_EQ(m.c, c.expected.c);
        EXPECT_EQ(m.d, c.expected.d);
        EXPECT_EQ(m.tx, c.expected.tx);
        EXPECT_EQ(m.ty, c.expected.ty);
    }
    // Placed at (50, 30) on the SVG page, the upright triangle's apex is 10
    // above that on screen: host (50, 80).
    const SvgDocument svg = Load(Page(std::string(kTriangle) + R"~(<use href="#tri" x="50" y="30"/>)~"));
    const HostRect bounds = svg.document->Bounds(LiveArt(*svg.document)[0]->id);
    EXPECT_FLOAT_EQ(bounds.top, 80);
    EXPECT_FLOAT_EQ(bounds.bottom, 64);
}

// ---- Our attributes and layers --------------------------------------------------------------

TEST(SvgFlags, ComeFromOurDataAttributesOnTheArtOrAGroupAroundIt)
{
    struct Case {
        const char* element;
        ArtFlags flags;
    };
    const Case cases[] = {
        {R"~(<rect width="1" height="1"/>)~", {}},
        {R"~(<rect width="1" height="1" data-kadrelle-guide="true"/>)~", {true, false, false, false}},
        {R"~(<rect width="1" height="1" data-kadrelle-locked="true"/>)~", {false, true, false, false}},
        {R"~(<rect width="1" height="1" data-kadrelle-selected="true"/>)~", {false, false, true, false}},
        {R"~(<rect width="1" height="1" data-kadrelle-hidden="true"/>)~", {false, false, false, true}},
        {R"~(<rect width="1" height="1" data-kadrelle-guide="false"/>)~", {}},
        {R"~(<rect width="1" height="1" style="display:none"/>)~", {false, false, false, true}},
        {R"~(<g data-kadrelle-locked="true"><g data-kadrelle-guide="true"><line x2="1"/></g></g>)~", {true, true, false, false}},
        {R"~(<text data-kadrelle-selected="true">a</text>)~", {false, false, true, false}},
        {R"~(<use href="#tri" data-kadrelle-locked="true" data-kadrelle-hidden="true"/>)~", {false, true, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.element);
        const SvgDocument svg = Load(Page(std::string(kTriangle) + c.element));
        const std::vector<SeenArt> art = LiveArt(*svg.document);
        ASSERT_EQ(art.size(), 1u);
        EXPECT_EQ(art[0]->flags.guide, c.flags.guide);
        EXPECT_EQ(art[0]->flags.locked, c.flags.locked);
        EXPECT_EQ(art[0]->flags.selected, c.flags.selected);
        EXPECT_EQ(art[0]->flags.hidden, c.flags.hidden);
    }
}

// Layer names, bottom first, each with the number of its art objects.
std::vector<std::pair<std::string, std::size_t>> LayersOf(const Document& document)
{
    std::vector<std::pair<std::string, std::size_t>> layers;
    for (const host::Layer& layer : document.Layers()) layers.emplace_back(layer.name, layer.art.size());
    return layers;
}

TEST(SvgLayers, TopLevelLayerGroupsBecomeLayers)
{
    using Layers = std::vector<std::pair<std::string, std::size_t>>;
    struct Case {
        const char* body;
        Layers layers;
        std::size_t current;
    };
    const Case cases[] = {
        {R"~(<line x2="1"/><g><line x2="1"/></g>)~", {{"Layer 1", 2}}, 0},
        {R"~(<g data-kadrelle-layer="Back"><line x2="1"/></g><g data-kadrelle-layer="Front"><line x2="1"/><line x2="1"/></g>)~",
         {{"Back", 1}, {"Front", 2}}, 1},
        // Art before the first layer group keeps the first layer to itself.
        {R"~(<line x2="1"/><g data-kadrelle-layer="Front"><line x2="1"/></g>)~", {{"Layer 1", 1}, {"Front", 1}}, 1},
        // Art after a layer group goes into it; empty layers stay.
        {R"~(<g data-kadrelle-layer="A"/><g data-kadrelle-layer="B"/><line x2="1"/>)~", {{"A", 0}, {"B", 1}}, 1},
        {R"~(<g xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" inkscape:groupmode="layer" inkscape:label="Ink"><line x2="1"/></g>)~",
         {{"Ink", 1}}, 0},
        // A layer group inside another group is a plain group.
        {R"~(<g><g data-kadrelle-layer="Inner"><line x2="1"/></g></g>)~", {{"Layer 1", 1}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        const SvgDocument svg = Load(Page(c.body));
        EXPECT_EQ(LayersOf(*svg.document), c.layers);
        EXPECT_EQ(svg.document->CurrentLayer(), c.current);
    }
}

// ---- Errors ---------------------------------------------------------------------------------

TEST(SvgErrors, NameTheFileThePlaceAndTheProblem)
{
    // 66 bytes; an element's offset is that of its name, just after the "<".
    const std::string head = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\">\n";
    struct Case {
        std::string text;
        std::string message;
        long line;
    };
    const Case cases[] = {
        {"", "t.svg:1 (byte 0): malformed XML: No document element found", 1},
        {head + "<path d='M0 0'>\n</svg>", "t.svg:3 (byte 84): malformed XML: Start-end tags mismatch", 3},
        {"<html/>", "t.svg:1 (byte 1): <html>: the root element is not <svg>", 1},
        {"<svg width=\"100\"/>", "t.svg:1 (byte 1): <svg>: the page size needs width and height, or a viewBox", 1},
        {"<svg width=\"100%\" height=\"100\"/>",
         "t.svg:1 (byte 1): <svg>: bad width \"100%\": percentages are not supported", 1},
        {"<svg width=\"100\" height=\"3em\"/>", "t.svg:1 (byte 1): <svg>: bad height \"3em\": unknown unit \"em\"", 1},
        {"<svg width=\"-5\" height=\"3\"/>", "t.svg:1 (byte 1): <svg>: bad width \"-5\": it must be positive", 1},
        {"<svg width=\"wide\" height=\"3\"/>",
         "t.svg:1 (byte 1): <svg>: bad width \"wide\": expected a number, found 'w'", 1},
        {"<svg viewBox=\"0 0 100\"/>", "t.svg:1 (byte 1): <svg>: bad viewBox \"0 0 100\": it needs 4 numbers", 1},
        {"<svg viewBox=\"0 0 100 0\"/>",
         "t.svg:1 (byte 1): <svg>: bad viewBox \"0 0 100 0\": its width and height must be positive", 1},
        {"<svg viewBox=\"0 0 1 1\" width=\"1\" height=\"2\" preserveAspectRatio=\"middle\"/>",
         "t.svg:1 (byte 1): <svg>: bad preserveAspectRatio \"middle\"", 1},
        {head + "<path d=\"M 0 0 L 5\"/>\n</svg>",
         "t.svg:2 (byte 67): <path>: malformed path data at character 9: expected a number at the end", 2},
        {head + "<g>\n  <rect width=\"1\" height=\"1\" transform=\"rotate(1 2)\"/></g></svg>",
         "t.svg:3 (byte 73): <rect>: bad transform at character 0: rotate takes 1 or 3 numbers, not 2", 3},
        {head + "<polygon points=\"1 2 3\"/></svg>",
         "t.svg:2 (byte 67): <polygon>: points has an odd number of coordinates", 2},
        {head + "<polygon points=\"1 2;3 4\"/></svg>",
         "t.svg:2 (byte 67): <polygon>: bad points at character 3: expected a number, found ';'", 2},
        {head + "<rect width=\"-1\" height=\"1\"/></svg>", "t.svg:2 (byte 67): <rect>: negative width", 2},
        {head + "<rect width=\"50%\" height=\"1\"/></svg>",
         "t.svg:2 (byte 67): <rect>: bad width \"50%\": percentages are not supported", 2},
        {head + "<circle r=\"-1\"/></svg>", "t.svg:2 (byte 67): <circle>: negative r", 2},
        {head + "<defs>\n<symbol><path d=\"M0 0\"/></symbol></defs></svg>",
         "t.svg:3 (byte 74): <symbol>: a symbol needs an id", 3},
        {head + "<symbol id=\"a\"/>\n<symbol id=\"b\"/>\n<symbol id=\"a\"/></svg>",
         "t.svg:4 (byte 101): <symbol>: duplicate symbol id \"a\" (first at line 2)", 4},
        {head + "<use href=\"#nowhere\"/></svg>",
         "t.svg:2 (byte 67): <use>: refers to \"#nowhere\", which is not a symbol of this file", 2},
        {head + "<rect id=\"r\" width=\"1\" height=\"1\"/><use href=\"#r\"/></svg>",
         "t.svg:2 (byte 102): <use>: refers to \"#r\", which is not a symbol of this file", 2},
        {head + "<symbol id=\"a\"/><use href=\"other.svg#a\"/></svg>",
         "t.svg:2 (byte 83): <use>: refers to \"other.svg#a\", which is not a symbol of this file", 2},
        {head + "<use/></svg>", "t.svg:2 (byte 67): <use>: a <use> needs an href naming a symbol", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            Load(c.text);
            ADD_FAILURE() << "no error";
        } catch (const SvgError& error) {
            EXPECT_EQ(error.what(), c.message);
            EXPECT_EQ(error.source(), "t.svg");
            EXPECT_EQ(error.line(), c.line);
        }
    }
}

TEST(SvgErrors, NameAFileThatCannotBeRead)
{
    const std::filesystem::path missing = std::filesystem::temp_directory_path() / "kadrelle-svg-test-missing.svg";
    std::filesystem::remove(missing);
    try {
        host::LoadSvgFile(missing);
        ADD_FAILURE() << "no error";
    } catch (const SvgError& error) {
        EXPECT_EQ(error.what(), missing.string() + ": cannot read the file: No such file or directory");
        EXPECT_EQ(error.line(), 0);
        EXPECT_EQ(error.offset(), -1);
    }
    try {
        host::LoadSvgFile(std::filesystem::temp_directory_path());
        ADD_FAILURE() << "no error";
    } catch (const SvgError& error) {
        EXPECT_EQ(error.what(), std::filesystem::temp_directory_path().string() + ": cannot read the file: Is a directory");
    }

    // A file that can be read names itself in its errors.
    const std::filesystem::path bad = std::filesystem::temp_directory_path() / "kadrelle-svg-test-bad.svg";
    std::ofstream(bad) << "<svg width=\"1\"/>";
    try {
        host::LoadSvgFile(bad);
        ADD_FAILURE() << "no error";
    } catch (const SvgError& error) {
        EXPECT_EQ(error.what(), bad.string() + ":1 (byte 1): <svg>: the page size needs width and height, or a viewBox");
    }
    std::filesystem::remove(bad);
}

// ---- Output -----------------------------------------------------------------------------------

// An arrow pointing right from its centre: its tip is at (10, 0).
const char* const kArrow = R"~(<symbol id="arrow"><path d="M-10 -3 L10 0 L-10 3 Z" fill="#333"/></symbol>)~";

pugi::xml_node Child(pugi::xml_node parent, const char* name, std::size_t n = 0)
{
    for (pugi::xml_node child : parent.children(name)) {
        if (n-- == 0) return child;
    }
    return {};
}

TEST(SvgExport, UsesPlaceTheSymbolWhereTheHostMatrixDoes)
{
    SvgDocument svg = Load(Page(std::string("<defs>") + kArrow + "</defs>", R"~(width="200" height="100")~"));
    Document& document = *svg.document;
    const host::SymbolId arrow = *document.NthSymbol(0);
    struct Case {
        const char* name;
        HostMatrix matrix;
    };
    const float c = std::cos(0.5f);
    const float s = std::sin(0.5f);
    const Case cases[] = {
        {"moved", {1, 0, 0, 1, 50, 40}},
        {"turned +90°", {0, 1, -1, 0, 100, 50}},
        {"turned -90°", {0, -1, 1, 0, 100, 50}},
        {"turned 0.5 and scaled", {2 * c, 2 * s, -2 * s, 2 * c, 30, 70}},
        {"mirrored", {-1, 0, 0, 1, 150, 20}},
        {"sheared", {1, 0.5f, 0, 1, 10, 10}},
    };
    std::vector<ArtId> instances;
    for (const Case& c2 : cases) {
        instances.push_back(document.AddInstance(arrow, {0, 0}));
        document.SetMatrix(instances.back(), c2.matrix);
    }

    pugi::xml_document out;
    ASSERT_TRUE(out.load_string(host::WriteSvg(svg).c_str()));
    const pugi::xml_node root = out.child("svg");
    EXPECT_STREQ(root.attribute("width").value(), "200pt");
    EXPECT_STREQ(root.attribute("height").value(), "100pt");
    EXPECT_STREQ(root.attribute("viewBox").value(), "0 0 200 100");
    const pugi::xml_node symbol = Child(root.child("defs"), "symbol");
    EXPECT_STREQ(symbol.attribute("id").value(), "arrow");
    EXPECT_STREQ(symbol.attribute("overflow").value(), "visible");
    EXPECT_FALSE(symbol.attribute("viewBox"));
    EXPECT_STREQ(symbol.child("path").attribute("d").value(), "M-10 -3 L10 0 L-10 3 Z");

    const pugi::xml_node layer = root.child("g");
    const std::vector<Path>& artwork = document.GetSymbol(arrow).artwork;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        const pugi::xml_node use = Child(layer, "use", i);
        ASSERT_TRUE(use);
        EXPECT_STREQ(use.attribute("href").value(), "#arrow");
        EXPECT_STREQ(use.attribute("xlink:href").value(), "#arrow");
        const Affine u = host::svg::ParseTransform(use.attribute("transform").value());
        // Every point of the symbol as the SVG draws it (symbol y down)
        // lands where the host puts it, seen with the page's y down.
        const HostMatrix& m = cases[i].matrix;
        for (const host::PathPoint& point : artwork[0].points) {
            const HostPoint p = point.anchor;
            const Vec2 drawn = host::svg::Apply(u, {p.h, -static_cast<double>(p.v)});
            const double hostX = m.a * p.h + m.c * p.v + m.tx;
            const double hostY = m.b * p.h + m.d * p.v + m.ty;
            EXPECT_NEAR(drawn.x, hostX, 1e-4);
            EXPECT_NEAR(drawn.y, 100 - hostY, 1e-4);
        }
    }
    // Turned +90° in the host: counter-clockwise on screen, so the tip, to
    // the right of the centre, ends above it (smaller SVG y), not below.
    const Affine turned = host::svg::ParseTransform(Child(layer, "use", 1).attribute("transform").value());
    const Vec2 centre = host::svg::Apply(turned, {0, 0});
    const Vec2 tip = host::svg::Apply(turned, {10, 0});
    EXPECT_EQ(centre.x, 100);
    EXPECT_EQ(centre.y, 50);
    EXPECT_EQ(tip.x, 100);
    EXPECT_EQ(tip.y, 40);
    EXPECT_STREQ(Child(layer, "use", 1).attribute("transform").value(), "matrix(0 -1 1 0 100 50)");
}

TEST(SvgExport, WritesLayersAsGroupsInPaintOrderAndReadsThemBack)
{
    SvgDocument svg = Load(Page(std::string(kArrow) + R"~(<text x="1" y="2">t</text>)~"));
    Document& document = *svg.document;
    document.AddInstance(0, {10, 10});
    const host::LayerId middle = document.InsertLayerAbove();
    document.SetLayerName(middle, "Middle ground");
    Path line;
    line.points = {{{1, 2}, {1, 2}, {1, 2}}, {{3, 4}, {3, 4}, {3, 4}}};
    document.AddPath(line, {true, false, false, false});
    const host::LayerId top = document.InsertLayerAbove();
    document.AddInstance(0, {20, 20});
    document.AddInstance(0, {30, 30});
    document.SetCurrentLayer(middle);
    document.AddInstance(0, {40, 40});

    const std::string text = host::WriteSvg(svg);
    pugi::xml_document out;
    ASSERT_TRUE(out.load_string(text.c_str()));
    struct Expected {
        const char* id;
        const char* label;
        std::vector<std::string> children;
    };
    const Expected expected[] = {
        {"Layer_1", "Layer 1", {"text", "use"}},
        {"Middle_ground", "Middle ground", {"path", "use"}},
        {"Layer_3", "Layer 3", {"use", "use"}},
    };
    std::size_t n = 0;
    for (pugi::xml_node group : out.child("svg").children("g")) {
        ASSERT_LT(n, std::size(expected));
        SCOPED_TRACE(expected[n].label);
        EXPECT_STREQ(group.attribute("id").value(), expected[n].id);
        EXPECT_STREQ(group.attribute("inkscape:label").value(), expected[n].label);
        EXPECT_STREQ(group.attribute("inkscape:groupmode").value(), "layer");
        std::vector<std::string> children;
        for (pugi::xml_node child : group.children()) children.emplace_back(child.name());
        EXPECT_EQ(children, expected[n].children);
        ++n;
    }
    EXPECT_EQ(n, 3u);
    EXPECT_STREQ(out.child("svg").attribute("xmlns:inkscape").value(), "http://www.inkscape.org/namespaces/inkscape");
    EXPECT_STREQ(Child(Child(out.child("svg"), "g", 1), "path").attribute("data-kadrelle-guide").value(), "true");

    const SvgDocument again = host::LoadSvgText(text, "out.svg");
    EXPECT_EQ(LayersOf(*again.document), LayersOf(document));
    EXPECT_EQ(again.document->CurrentLayer(), top);
}

TEST(SvgExport, WritesExpandedArtInlineWithoutRepeatingIds)
{
    SvgDocument svg = Load(Page(
        R"~(<defs><linearGradient id="shade"><stop offset="0" stop-color="#fff"/></linearGradient>)~"
        R"~(<symbol id="badge" viewBox="-5 -5 10 10" class="b"><g id="inner"><circle r="5" fill="url(#shade)"/></g>)~"
        R"~(<path id="mark" d="M0 0 L1 1"/></symbol></defs>)~"));
    Document& document = *svg.document;
    const ArtId instance = document.AddInstance(0, {50, 50});
    document.SetMatrix(instance, {0, 1, -1, 0, 50, 50});
    document.Expand(instance);

    pugi::xml_document out;
    ASSERT_TRUE(out.load_string(host::WriteSvg(svg).c_str()));
    const pugi::xml_node root = out.child("svg");
    const pugi::xml_node defs = root.child("defs");
    EXPECT_TRUE(defs.find_child_by_attribute("linearGradient", "id", "shade"));
    const pugi::xml_node symbol = defs.find_child_by_attribute("symbol", "id", "badge");
    EXPECT_STREQ(symbol.attribute("class").value(), "b");
    EXPECT_FALSE(symbol.attribute("viewBox"));
    EXPECT_TRUE(symbol.child("g").attribute("id"));

    const pugi::xml_node layer = root.child("g");
    const pugi::xml_node use = layer.child("use");
    const pugi::xml_node expanded = layer.child("g");
    ASSERT_TRUE(use);
    ASSERT_TRUE(expanded);
    EXPECT_STREQ(expanded.attribute("transform").value(), use.attribute("transform").value());
    EXPECT_STREQ(expanded.attribute("transform").value(), "matrix(0 -1 1 0 50 50)");
    EXPECT_STREQ(expanded.child("g").child("circle").attribute("fill").value(), "url(#shade)");
    EXPECT_STREQ(expanded.child("path").attribute("d").value(), "M0 0 L1 1");
    EXPECT_FALSE(expanded.child("g").attribute("id"));
    EXPECT_FALSE(expanded.child("path").attribute("id"));
    // Read back, the expanded copy is plain art: one circle and one line.
    EXPECT_EQ(LiveArt(*host::LoadSvgText(host::WriteSvg(svg)).document).size(), 3u);
}

TEST(SvgExport, RoundTripsArtFlagsAndNumbers)
{
    const std::string input = Page(
        std::string("<defs>") + kTriangle + "</defs>" +
        R"~(<path d="M0.1 0.25 C1 2 3 4 5 6 L7 8 Z" fill="#abcdef" stroke="#010203" stroke-width="0.3" data-kadrelle-locked="true"/>)~"
        R"~(<circle cx="50" cy="50" r="10" fill="none" stroke="red" data-kadrelle-hidden="true"/>)~"
        R"~(<text x="10" y="90" font-size="12" data-kadrelle-selected="true">a &amp; b</text>)~"
        R"~(<use href="#tri" transform="translate(20 30) rotate(30) scale(1.5)" data-kadrelle-guide="true"/>)~");
    const SvgDocument first = Load(input);
    const std::string written = host::WriteSvg(first);
    const SvgDocument second = host::LoadSvgText(written, "written.svg");
    const std::vector<SeenArt> before = LiveArt(*first.document);
    const std::vector<SeenArt> after = LiveArt(*second.document);
    ASSERT_EQ(before.size(), 4u);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(i);
        const SeenArt& a = *before[i];
        const SeenArt& b = *after[i];
        EXPECT_EQ(a.kind, b.kind);
        EXPECT_EQ(a.flags.guide, b.flags.guide);
        EXPECT_EQ(a.flags.locked, b.flags.locked);
        EXPECT_EQ(a.flags.selected, b.flags.selected);
        EXPECT_EQ(a.flags.hidden, b.flags.hidden);
        EXPECT_EQ(a.text, b.text);
        EXPECT_EQ(a.path.fill, b.path.fill);
        EXPECT_EQ(a.path.stroke, b.path.stroke);
        EXPECT_EQ(a.path.strokeWidth, b.path.strokeWidth);
        EXPECT_EQ(a.path.closed, b.path.closed);
        ASSERT_EQ(a.path.points.size(), b.path.points.size());
        for (std::size_t p = 0; p < a.path.points.size(); ++p) {
            EXPECT_EQ(a.path.points[p].anchor.h, b.path.points[p].anchor.h);
            EXPECT_EQ(a.path.points[p].anchor.v, b.path.points[p].anchor.v);
            EXPECT_EQ(a.path.points[p].in.v, b.path.points[p].in.v);
            EXPECT_EQ(a.path.points[p].out.h, b.path.points[p].out.h);
        }
        const HostRect ba = first.document->Bounds(a.id);
        const HostRect bb = second.document->Bounds(b.id);
        EXPECT_FLOAT_EQ(ba.left, bb.left);
        EXPECT_FLOAT_EQ(ba.top, bb.top);
        EXPECT_FLOAT_EQ(ba.right, bb.right);
        EXPECT_FLOAT_EQ(ba.bottom, bb.bottom);
    }
    // Numbers are the shortest that read back to the same float.
    pugi::xml_document out;
    ASSERT_TRUE(out.load_string(written.c_str()));
    EXPECT_STREQ(out.child("svg").child("g").child("path").attribute("d").value(),
                 "M0.1,0.25 C1,2 3,4 5,6 L7,8 Z");
    EXPECT_STREQ(out.child("svg").child("g").child("path").attribute("stroke-width").value(), "0.3");
    EXPECT_STREQ(out.child("svg").child("g").child("text").child_value(), "a & b");
    EXPECT_STREQ(Child(out.child("svg").child("g"), "path", 1).attribute("display").value(), "none");
}

TEST(SvgExport, WritesSymbolsMadeInTheHostFromTheirArtwork)
{
    SvgDocument svg{std::make_unique<Document>(40.0f, 30.0f), {}, {}, {}};
    Document& document = *svg.document;
    Path triangle;
    triangle.points = {{{0, 10}, {0, 10}, {0, 10}}, {{8, -6}, {8, -6}, {8, -6}}, {{-8, -6}, {-8, -6}, {-8, -6}}};
    triangle.closed = true;
    triangle.filled = true;
    triangle.fill = "#00ff00";
    document.AddSymbol("made here", {triangle});
    document.AddSymbol("made here", {triangle});
    document.selectedSymbol = 1;
    document.AddInstance(1, {20, 15});
    Path unfilled = triangle;
    unfilled.filled = false;
    document.AddPath(unfilled);

    pugi::xml_document out;
    ASSERT_TRUE(out.load_string(host::WriteSvg(svg).c_str()));
    const pugi::xml_node defs = out.child("svg").child("defs");
    const pugi::xml_node first = Child(defs, "symbol", 0);
    const pugi::xml_node second = Child(defs, "symbol", 1);
    // Names that are no usable id, or taken, give way to numbered ids.
    EXPECT_STREQ(first.attribute("id").value(), "symbol-1");
    EXPECT_STREQ(second.attribute("id").value(), "symbol-2");
    EXPECT_STREQ(second.attribute("data-kadrelle-selected").value(), "true");
    EXPECT_FALSE(first.attribute("data-kadrelle-selected"));
    // Host symbol y up is SVG y down.
    EXPECT_STREQ(first.child("path").attribute("d").value(), "M0,-10 L8,6 L-8,6 Z");
    EXPECT_STREQ(first.child("path").attribute("fill").value(), "#00ff00");
    const pugi::xml_node layer = out.child("svg").child("g");
    EXPECT_STREQ(layer.child("use").attribute("href").value(), "#symbol-2");
    // The centre (0, 2) of the symbol's bounds goes to host (20, 15): SVG (20, 15).
    EXPECT_STREQ(layer.child("use").attribute("transform").value(), "matrix(1 0 0 1 20 17)");
    // Page art: y turned on the page 30 high; unfilled is drawn unfilled.
    EXPECT_STREQ(layer.child("path").attribute("d").value(), "M0,20 L8,36 L-8,36 Z");
    EXPECT_STREQ(layer.child("path").attribute("fill").value(), "none");
}

TEST(SvgExport, LeavesOutArtThatHasNoPlaceOnThePage)
{
    SvgDocument svg = Load(Page(kArrow));
    Document& document = *svg.document;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    document.SetMatrix(document.AddInstance(0, {10, 10}), {1, 0, 0, 1, nan, 0});
    document.AddInstance(0, {20, 20});
    const ArtId far = document.AddInstance(0, {30, 30});
    document.SetMatrix(far, {infinity, 0, 0, 1, 0, 0});
    document.Expand(far);
    Path broken;
    broken.points = {{{0, nan}, {0, 0}, {0, 0}}};
    document.AddPath(broken);
    document.AddText("far", {0, infinity, 1, 0});

    pugi::xml_document out;
    ASSERT_TRUE(out.load_string(host::WriteSvg(svg).c_str()));
    std::vector<std::string> written;
    for (pugi::xml_node child : out.child("svg").child("g").children()) written.emplace_back(child.name());
    EXPECT_EQ(written, std::vector<std::string>{"use"});
}

TEST(SvgExport, WritesTheSameBytesEveryTime)
{
    SvgDocument svg = Load(Page(std::string("<defs>") + kArrow + kTriangle + "</defs>" +
                                R"~(<rect x="1" y="2" width="3" height="4" rx="1"/><text>x</text>)~"));
    Document& document = *svg.document;
    for (int i = 0; i < 20; ++i) {
        const float f = static_cast<float>(i);
        const ArtId art = document.AddInstance(static_cast<host::SymbolId>(i % 2), {5.0f * f, 3.0f * f});
        const float angle = 0.3f * f;
        document.SetMatrix(art, {std::cos(angle), std::sin(angle), -std::sin(angle), std::cos(angle), 5.0f * f, 3.0f * f});
        if (i % 7 == 0) document.Expand(art);
    }
    const std::string once = host::WriteSvg(svg);
    std::ostringstream stream;
    host::WriteSvg(svg, stream);
    EXPECT_EQ(stream.str(), once);
    EXPECT_EQ(host::WriteSvg(svg), once);
    // What was written reads back to a document that writes the same.
    EXPECT_EQ(host::WriteSvg(host::LoadSvgText(once)), host::WriteSvg(host::LoadSvgText(host::WriteSvg(host::LoadSvgText(once)))));
}

}  // namespace
