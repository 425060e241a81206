// The SVG and JSON writers, byte for byte, on awkward input: names and texts
// with quotes, ampersands, angle brackets, control characters and non-ASCII
// text, art left out for its NaN or infinite numbers, empty layers, many
// layers with the same name, a symbol's markup copied into expanded art, and
// the JSON numbers that are not the float's shortest text.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "app/artwork_json.h"
#include "host/svg_document.h"
#include "settings/globals.h"

namespace {

using host::ArtFlags;
using host::ArtId;
using host::Document;
using host::Path;
using host::SvgDocument;
using host::SymbolId;

host::Path Square(float cx, float cy, float half)
{
    host::Path path;
    for (HostPoint c : {HostPoint{cx - half, cy - half}, HostPoint{cx + half, cy - half}, HostPoint{cx + half, cy + half},
                        HostPoint{cx - half, cy + half}})
        path.points.push_back(host::PathPoint{c, c, c});
    path.closed = true;
    path.filled = true;
    return path;
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Names with quotes, ampersands, angle brackets, control characters and
// non-ASCII text; art left out for its NaN or infinite numbers; an empty
// layer, one whose only art is left out, deleted art, flags.
SvgDocument AwkwardDocument()
{
    SvgDocument svg;
    svg.document = std::make_unique<Document>(200.0f, 100.0f);
    Document& d = *svg.document;
    const SymbolId quoted = d.AddSymbol("a\"b&c<d>'e", {Square(0, 0, 2)});
    const SymbolId spaced = d.AddSymbol("two words", {});
    Path painted = Square(0, 0, 1);
    painted.fill = "#f&0\"";
    painted.stroke = "<x>";
    painted.strokeWidth = 0.1f;
    const SymbolId foreign = d.AddSymbol("\xc3\xa9\x01\xe6\x97\xa5", {painted});
    d.selectedSymbol = foreign;

    d.SetLayerName(d.CurrentLayer(), "Q\"uote & <amp> 'x'\x01 \xc3\xa9");
    Path curve;
    curve.points = {host::PathPoint{{10, 10}, {10, 10}, {20, 5}}, host::PathPoint{{30, 10}, {25, 5}, {30, 10}},
                    host::PathPoint{{30, 30}, {30, 30}, {30, 30}}};
    curve.stroke = "#00ff00";
    curve.strokeWidth = 2.5f;
    d.AddPath(curve, ArtFlags{.guide = true});
    d.AddText("a<b>&\"c\"\x01\t\n \xc3\xa9", HostRect{40, 60, 100, 48}, ArtFlags{.hidden = true});
    const ArtId placed = d.AddInstance(quoted, {50, 50});
    d.SetMatrix(placed, HostMatrix{0.5f, -0.25f, 0.25f, 0.5f, 10.5f, 20.25f});
    d.SetFlags(placed, ArtFlags{.locked = true, .selected = true});
    const ArtId lost = d.AddInstance(spaced, {1, 1});
    d.SetMatrix(lost, HostMatrix{1, 0, 0, 1, kNaN, 0});
    d.Expand(d.AddInstance(foreign, {150, 25}));
    d.AddText("", HostRect{0, 10, 0, 0});
    Path infinite = Square(5, 5, 1);
    infinite.points[1].out.h = kInf;
    d.AddPath(infinite);
    d.Delete(d.AddInstance(quoted, {7, 7}));

    d.InsertLayerAbove();
    d.SetLayerName(d.CurrentLayer(), "");
    const ArtId unplaced = d.AddInstance(quoted, {3, 3});
    d.SetMatrix(unplaced, HostMatrix{kInf, 0, 0, 1, 0, 0});

    d.InsertLayerAbove();
    d.SetLayerName(d.CurrentLayer(), "tab\tname");

    d.InsertLayerAbove();
    d.SetLayerName(d.CurrentLayer(), "a\"b&c<d>'e");
    d.AddInstance(spaced, {-0.0f, 1e-7f});
    return svg;
}

// Twelve layers, two names between them, every third one empty.
SvgDocument ManyLayers()
{
    SvgDocument svg;
    svg.document = std::make_unique<Document>(50.0f, 40.0f);
    Document& d = *svg.document;
    const SymbolId dot = d.AddSymbol("dot", {Square(0, 0, 0.5f)});
    for (int n = 0; n < 12; ++n) {
        if (n > 0) d.InsertLayerAbove();
        d.SetLayerName(d.CurrentLayer(), n % 2 == 0 ? "L" : "L 2");
        if (n % 3 != 2) d.AddInstance(dot, {static_cast<float>(n) * 1.5f, 40.0f - static_cast<float>(n)});
    }
    return svg;
}

// A symbol read from SVG with mixed content, placed and expanded.
SvgDocument ExpandedMarkup()
{
    SvgDocument svg = host::LoadSvgText(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"20\" "
        "height=\"20\"><defs><linearGradient id=\"g\"><stop offset=\"0\"/></linearGradient></defs>"
        "<symbol id=\"m\" viewBox=\"0 0 2 2\" class=\"k\"><g id=\"x\">a &amp; b<path id=\"p\" d=\"M0 0L1 1\"/></g>"
        "<text>t&lt;</text></symbol><use href=\"#m\" x=\"3\" y=\"4\"/></svg>");
    Document& d = *svg.document;
    d.Expand(d.Layers()[0].art[0]);
    return svg;
}

// The JSON artwork with the settings' members left out: what comes before
// them and what comes after.
struct JsonWithoutSettings {
    std::string head;
    std::string tail;
};

void ExpectJson(const std::string& written, const JsonWithoutSettings& expected)
{
    ASSERT_GE(written.size(), expected.head.size() + expected.tail.size());
    EXPECT_EQ(written.substr(0, expected.head.size()), expected.head);
    EXPECT_EQ(written.substr(written.size() - expected.tail.size()), expected.tail);
}

Globals Settings()
{
    Globals settings{};
    SetDefaults(settings);
    settings.lastPoint = HostPoint{-0.0f, 1e20f};
    return settings;
}

TEST(Writers, SvgEscapesNamesAndTextsAndLeavesOutArtWithoutAPlace)
{
    const std::string expected =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"200pt\" height=\"100pt\" viewBox=\"0 0 200 100\">\n"
    "  <defs>\n"
    "    <symbol id=\"a&quot;b&amp;c&lt;d>'e\" overflow=\"visible\">\n"
    "      <path d=\"M-2,2 L2,2 L2,-2 L-2,-2 Z\" fill=\"#000000\" stroke=\"#000000\" stroke-width=\"1\" />\n"
    "    </symbol>\n"
    "    <symbol id=\"symbol-2\" overflow=\"visible\" />\n"
    "    <symbol id=\"é&#01;日\" overflow=\"visible\" data-kadrelle-selected=\"true\">\n"
    "      <path d=\"M-1,1 L1,1 L1,-1 L-1,-1 Z\" fill=\"#f&amp;0&quot;\" stroke=\"&lt;x>\" stroke-width=\"0.1\" />\n"
    "    </symbol>\n"
    "  </defs>\n"
    "  <g id=\"Q&quot;uote_&amp;_&lt;amp>_'x'&#01;_é\" inkscape:groupmode=\"layer\" inkscape:label=\"Q&quot;uote &amp; &lt;amp> 'x'&#01; é\" data-kadrelle-layer=\"Q&quot;uote &amp; &lt;amp> 'x'&#01; é\">\n"
    "    <path d=\"M10,90 C20,95 25,95 30,90 L30,70\" fill=\"none\" stroke=\"#00ff00\" stroke-width=\"2.5\" data-kadrelle-guide=\"true\" />\n"
    "    <text x=\"40\" y=\"49.6\" font-size=\"12\" textLength=\"60\" lengthAdjust=\"spacingAndGlyphs\" data-kadrelle-hidden=\"true\" display=\"none\">a&lt;b&gt;&amp;\"c\"&#01;\t\n"
    " é</text>\n"
    "    <use href=\"#a&quot;b&amp;c&lt;d>'e\" xlink:href=\"#a&quot;b&amp;c&lt;d>'e\" transform=\"matrix(0.5 0.25 -0.25 0.5 10.5 79.75)\" data-kadrelle-locked=\"true\" data-kadrelle-selected=\"true\" />\n"
    "    <use href=\"#é&#01;日\" xlink:href=\"#é&#01;日\" transform=\"matrix(1 0 0 1 150 75)\" />\n"
    "    <g transform=\"matrix(1 0 0 1 150 75)\">\n"
    "      <path d=\"M-1,1 L1,1 L1,-1 L-1,-1 Z\" fill=\"#f&amp;0&quot;\" stroke=\"&lt;x>\" stroke-width=\"0.1\" />\n"
    "    </g>\n"
    "    <text x=\"0\" y=\"98\" font-size=\"10\"></text>\n"
    "  </g>\n"
    "  <g id=\"layer\" inkscape:groupmode=\"layer\" inkscape:label=\"\" data-kadrelle-layer=\"\" />\n"
    "  <g id=\"tab_name\" inkscape:groupmode=\"layer\" inkscape:label=\"tab&#09;name\" data-kadrelle-layer=\"tab&#09;name\" />\n"
    "  <g id=\"a&quot;b&amp;c&lt;d>'e-2\" inkscape:groupmode=\"layer\" inkscape:label=\"a&quot;b&amp;c&lt;d>'e\" data-kadrelle-layer=\"a&quot;b&amp;c&lt;d>'e\">\n"
    "    <use href=\"#symbol-2\" xlink:href=\"#symbol-2\" transform=\"matrix(1 0 0 1 0 100)\" />\n"
    "  </g>\n"
    "</svg>\n";
    EXPECT_EQ(host::WriteSvg(AwkwardDocument()), expected);
    std::ostringstream stream;
    host::WriteSvg(AwkwardDocument(), stream);
    EXPECT_EQ(stream.str(), expected);
}

TEST(Writers, SvgGivesEveryLayerItsGroupAndAnUnusedId)
{
    const std::string expected =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"50pt\" height=\"40pt\" viewBox=\"0 0 50 40\">\n"
    "  <defs>\n"
    "    <symbol id=\"dot\" overflow=\"visible\">\n"
    "      <path d=\"M-0.5,0.5 L0.5,0.5 L0.5,-0.5 L-0.5,-0.5 Z\" fill=\"#000000\" stroke=\"#000000\" stroke-width=\"1\" />\n"
    "    </symbol>\n"
    "  </defs>\n"
    "  <g id=\"L\" inkscape:groupmode=\"layer\" inkscape:label=\"L\" data-kadrelle-layer=\"L\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 0 0)\" />\n"
    "  </g>\n"
    "  <g id=\"L_2\" inkscape:groupmode=\"layer\" inkscape:label=\"L 2\" data-kadrelle-layer=\"L 2\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 1.5 1)\" />\n"
    "  </g>\n"
    "  <g id=\"L-2\" inkscape:groupmode=\"layer\" inkscape:label=\"L\" data-kadrelle-layer=\"L\" />\n"
    "  <g id=\"L_2-2\" inkscape:groupmode=\"layer\" inkscape:label=\"L 2\" data-kadrelle-layer=\"L 2\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 4.5 3)\" />\n"
    "  </g>\n"
    "  <g id=\"L-3\" inkscape:groupmode=\"layer\" inkscape:label=\"L\" data-kadrelle-layer=\"L\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 6 4)\" />\n"
    "  </g>\n"
    "  <g id=\"L_2-3\" inkscape:groupmode=\"layer\" inkscape:label=\"L 2\" data-kadrelle-layer=\"L 2\" />\n"
    "  <g id=\"L-4\" inkscape:groupmode=\"layer\" inkscape:label=\"L\" data-kadrelle-layer=\"L\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 9 6)\" />\n"
    "  </g>\n"
    "  <g id=\"L_2-4\" inkscape:groupmode=\"layer\" inkscape:label=\"L 2\" data-kadrelle-layer=\"L 2\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 10.5 7)\" />\n"
    "  </g>\n"
    "  <g id=\"L-5\" inkscape:groupmode=\"layer\" inkscape:label=\"L\" data-kadrelle-layer=\"L\" />\n"
    "  <g id=\"L_2-5\" inkscape:groupmode=\"layer\" inkscape:label=\"L 2\" data-kadrelle-layer=\"L 2\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 13.5 9)\" />\n"
    "  </g>\n"
    "  <g id=\"L-6\" inkscape:groupmode=\"layer\" inkscape:label=\"L\" data-kadrelle-layer=\"L\">\n"
    "    <use href=\"#dot\" xlink:href=\"#dot\" transform=\"matrix(1 0 0 1 15 10)\" />\n"
    "  </g>\n"
    "  <g id=\"L_2-6\" inkscape:groupmode=\"layer\" inkscape:label=\"L 2\" data-kadrelle-layer=\"L 2\" />\n"
    "</svg>\n";
    EXPECT_EQ(host::WriteSvg(ManyLayers()), expected);
}

TEST(Writers, SvgCopiesASymbolsMarkupIntoExpandedArt)
{
    const std::string expected =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" width=\"20pt\" height=\"20pt\" viewBox=\"0 0 20 20\">\n"
    "  <defs>\n"
    "    <linearGradient id=\"g\">\n"
    "      <stop offset=\"0\" />\n"
    "    </linearGradient>\n"
    "    <symbol id=\"m\" class=\"k\" overflow=\"visible\">\n"
    "      <g id=\"x\">a &amp; b<path id=\"p\" d=\"M0 0L1 1\" />\n"
    "      </g>\n"
    "      <text>t&lt;</text>\n"
    "    </symbol>\n"
    "  </defs>\n"
    "  <g id=\"Layer_1\" inkscape:groupmode=\"layer\" inkscape:label=\"Layer 1\" data-kadrelle-layer=\"Layer 1\">\n"
    "    <use href=\"#m\" xlink:href=\"#m\" transform=\"matrix(1 0 0 1 3 4)\" />\n"
    "    <g transform=\"matrix(1 0 0 1 3 4)\">\n"
    "      <g>a &amp; b<path d=\"M0 0L1 1\" />\n"
    "      </g>\n"
    "      <text>t&lt;</text>\n"
    "    </g>\n"
    "  </g>\n"
    "</svg>\n";
    EXPECT_EQ(host::WriteSvg(ExpandedMarkup()), expected);
}

TEST(Writers, JsonEscapesNamesAndWritesNullForNumbersThatAreNot)
{
    const JsonWithoutSettings expected{
    "{\n"
    "  \"page\": [\n"
    "    200.0,\n"
    "    100.0\n"
    "  ],\n"
    "  \"layers\": [\n"
    "    {\n"
    "      \"name\": \"Q\\\"uote & <amp> 'x'\\u0001 é\",\n"
    "      \"art\": [\n"
    "        {\n"
    "          \"type\": \"path\",\n"
    "          \"symbol\": null,\n"
    "          \"matrix\": null,\n"
    "          \"centre\": [\n"
    "            20.0,\n"
    "            17.5\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"text\",\n"
    "          \"symbol\": null,\n"
    "          \"matrix\": null,\n"
    "          \"centre\": [\n"
    "            70.0,\n"
    "            54.0\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"instance\",\n"
    "          \"symbol\": \"a\\\"b&c<d>'e\",\n"
    "          \"matrix\": [\n"
    "            0.5,\n"
    "            -0.25,\n"
    "            0.25,\n"
    "            0.5,\n"
    "            10.5,\n"
    "            20.25\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            10.5,\n"
    "            20.25\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"instance\",\n"
    "          \"symbol\": \"two words\",\n"
    "          \"matrix\": [\n"
    "            1.0,\n"
    "            0.0,\n"
    "            0.0,\n"
    "            1.0,\n"
    "            null,\n"
    "            0.0\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            null,\n"
    "            0.0\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"instance\",\n"
    "          \"symbol\": \"é\\u0001日\",\n"
    "          \"matrix\": [\n"
    "            1.0,\n"
    "            0.0,\n"
    "            0.0,\n"
    "            1.0,\n"
    "            150.0,\n"
    "            25.0\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            150.0,\n"
    "            25.0\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"expanded\",\n"
    "          \"symbol\": \"é\\u0001日\",\n"
    "          \"matrix\": [\n"
    "            1.0,\n"
    "            0.0,\n"
    "            0.0,\n"
    "            1.0,\n"
    "            150.0,\n"
    "            25.0\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            150.0,\n"
    "            25.0\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"text\",\n"
    "          \"symbol\": null,\n"
    "          \"matrix\": null,\n"
    "          \"centre\": [\n"
    "            0.0,\n"
    "            5.0\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"path\",\n"
    "          \"symbol\": null,\n"
    "          \"matrix\": null,\n"
    "          \"centre\": [\n"
    "            null,\n"
    "            5.0\n"
    "          ]\n"
    "        }\n"
    "      ]\n"
    "    },\n"
    "    {\n"
    "      \"name\": \"\",\n"
    "      \"art\": [\n"
    "        {\n"
    "          \"type\": \"instance\",\n"
    "          \"symbol\": \"a\\\"b&c<d>'e\",\n"
    "          \"matrix\": [\n"
    "            null,\n"
    "            0.0,\n"
    "            0.0,\n"
    "            1.0,\n"
    "            0.0,\n"
    "            0.0\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            null,\n"
    "            0.0\n"
    "          ]\n"
    "        }\n"
    "      ]\n"
    "    },\n"
    "    {\n"
    "      \"name\": \"tab\\tname\",\n"
    "      \"art\": []\n"
    "    },\n"
    "    {\n"
    "      \"name\": \"a\\\"b&c<d>'e\",\n"
    "      \"art\": [\n"
    "        {\n"
    "          \"type\": \"instance\",\n"
    "          \"symbol\": \"two words\",\n"
    "          \"matrix\": [\n"
    "            1.0,\n"
    "            0.0,\n"
    "            0.0,\n"
    "            1.0,\n"
    "            -0.0,\n"
    "            1e-07\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            0.0,\n"
    "            1e-07\n"
    "          ]\n"
    "        }\n"
    "      ]\n"
    "    }\n"
    "  ],\n"
    "  \"settings\": {",
    "\n"
    "  },\n"
    "  \"lastPoint\": [\n"
    "    -0.0,\n"
    "    1e+20\n"
    "  ],\n"
    "  \"undoCalls\": 7\n"
    "}\n"};
    ExpectJson(kadrelle::ArtworkJson(*AwkwardDocument().document, Settings(), 7), expected);
}

TEST(Writers, JsonListsInstancesAndExpandedArtOfMarkup)
{
    const JsonWithoutSettings expected{
    "{\n"
    "  \"page\": [\n"
    "    20.0,\n"
    "    20.0\n"
    "  ],\n"
    "  \"layers\": [\n"
    "    {\n"
    "      \"name\": \"Layer 1\",\n"
    "      \"art\": [\n"
    "        {\n"
    "          \"type\": \"instance\",\n"
    "          \"symbol\": \"m\",\n"
    "          \"matrix\": [\n"
    "            1.0,\n"
    "            -0.0,\n"
    "            -0.0,\n"
    "            1.0,\n"
    "            3.0,\n"
    "            16.0\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            3.5,\n"
    "            15.5\n"
    "          ]\n"
    "        },\n"
    "        {\n"
    "          \"type\": \"expanded\",\n"
    "          \"symbol\": \"m\",\n"
    "          \"matrix\": [\n"
    "            1.0,\n"
    "            -0.0,\n"
    "            -0.0,\n"
    "            1.0,\n"
    "            3.0,\n"
    "            16.0\n"
    "          ],\n"
    "          \"centre\": [\n"
    "            3.5,\n"
    "            15.5\n"
    "          ]\n"
    "        }\n"
    "      ]\n"
    "    }\n"
    "  ],\n"
    "  \"settings\": {",
    "\n"
    "  },\n"
    "  \"lastPoint\": [\n"
    "    -0.0,\n"
    "    1e+20\n"
    "  ],\n"
    "  \"undoCalls\": 0\n"
    "}\n"};
    ExpectJson(kadrelle::ArtworkJson(*ExpandedMarkup().document, Settings(), 0), expected);
}

// Streamed a megabyte at a time, the JSON is the same bytes as in one string:
// art that crosses the buffer's end, and a name longer than the buffer.
TEST(Writers, JsonStreamedIsTheSameTextAsJsonMadeWhole)
{
    SvgDocument svg = ManyLayers();
    Document& d = *svg.document;
    const SymbolId dot = *d.NthSymbol(0);
    for (int i = 0; i < 12000; ++i) {
        const float f = static_cast<float>(i);
        d.AddInstance(dot, {f * 0.37f, f / 7.0f});
    }
    d.SetLayerName(d.Layers()[3].id, std::string(3u << 20, 'n'));
    const std::string whole = kadrelle::ArtworkJson(d, Settings(), 3);
    ASSERT_GT(whole.size(), 6u << 20);
    std::ostringstream streamed;
    kadrelle::WriteArtworkJson(streamed, d, Settings(), 3);
    EXPECT_TRUE(streamed.str() == whole);
}

TEST(Writers, JsonRefusesANameThatIsNotUtf8WhereItIsWritten)
{
    SvgDocument svg = ManyLayers();
    Document& d = *svg.document;
    const SymbolId unused = d.AddSymbol("\xff", {});
    EXPECT_NO_THROW(kadrelle::ArtworkJson(d, Settings(), 0));
    d.AddInstance(unused, {1, 1});
    EXPECT_THROW(kadrelle::ArtworkJson(d, Settings(), 0), nlohmann::json::type_error);
    d.SetLayerName(d.Layers()[0].id, "ok\xe9");
    EXPECT_THROW(kadrelle::ArtworkJson(d, Settings(), 0), nlohmann::json::type_error);
}

// The number of the double that the float's shortest text reads as: mostly
// that text in nlohmann's layout, but 16 or 17 digits where its writer's
// interval leaves the shorter text out.
TEST(Writers, JsonNumbersAreTheDumpOfTheDoubleThatTheFloatsTextReadsAs)
{
    const struct {
        std::uint32_t bits;
        const char* text;
    } cases[] = {
        {std::bit_cast<std::uint32_t>(0.0f), "0.0"},
        {std::bit_cast<std::uint32_t>(-0.0f), "-0.0"},
        {std::bit_cast<std::uint32_t>(1.0f), "1.0"},
        {std::bit_cast<std::uint32_t>(-1.0f), "-1.0"},
        {std::bit_cast<std::uint32_t>(0.1f), "0.1"},
        {std::bit_cast<std::uint32_t>(1e-4f), "0.0001"},
        {std::bit_cast<std::uint32_t>(1e-5f), "1e-05"},
        {std::bit_cast<std::uint32_t>(12345.678f), "12345.678"},
        {std::bit_cast<std::uint32_t>(1e15f), "1e+15"},
        {std::bit_cast<std::uint32_t>(1e16f), "1e+16"},
        {std::bit_cast<std::uint32_t>(1e20f), "1e+20"},
        {std::bit_cast<std::uint32_t>(118609048.0f), "118609048.0"},
        {std::bit_cast<std::uint32_t>(169429975040.0f), "169429975040.0"},
        {std::bit_cast<std::uint32_t>(-8.742278e-08f), "-8.742278e-08"},
        {std::bit_cast<std::uint32_t>(std::numeric_limits<float>::max()), "3.4028235e+38"},
        {std::bit_cast<std::uint32_t>(std::numeric_limits<float>::min()), "1.1754944e-38"},
        {std::bit_cast<std::uint32_t>(std::numeric_limits<float>::denorm_min()), "1e-45"},
        {0x3f0002e9u, "0.5000444000000001"},
        {0x3f001603u, "0.5003358999999999"},
        {0xbf0008bbu, "-0.5001332000000001"},
    };
    for (const auto& c : cases) {
        char text[kadrelle::kJsonRealTextSize];
        char* end = kadrelle::JsonRealText(text, std::bit_cast<float>(c.bits));
        EXPECT_EQ(std::string(text, end), c.text) << std::hex << c.bits;
    }
}

}  // namespace
