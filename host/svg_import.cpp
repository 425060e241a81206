// Reading an SVG file into the stand-in host's document; the rules are in
// svg_document.h. pugixml reads the XML; svg_path reads the attribute
// languages.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>

#include <pugixml.hpp>

#include "host/svg_document.h"
#include "host/svg_path.h"

namespace host {
namespace {

using svg::Affine;
using svg::Vec2;

// The control arm of a quarter ellipse drawn as one cubic, as a fraction of
// the radius: 4/3 (√2 - 1).
constexpr double kQuarterArm = 0.5522847498307936;

// The text box estimate: characters are 0.6 font sizes wide, the box runs
// from 0.8 font sizes above the baseline to 0.2 below.
constexpr double kCharacterWidth = 0.6;
constexpr double kAscent = 0.8;
constexpr double kDescent = 0.2;
constexpr double kDefaultFontSize = 16;

std::string Trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool Is(pugi::xml_node node, std::string_view name) { return name == node.name(); }

std::vector<pugi::xml_node> Elements(pugi::xml_node parent)
{
    std::vector<pugi::xml_node> elements;
    for (pugi::xml_node child : parent.children()) {
        if (child.type() == pugi::node_element) elements.push_back(child);
    }
    return elements;
}

// Names the place of a problem: the source, and the line and byte offset of
// an element.
class Source {
public:
    Source(std::string name, std::string_view text) : name_(std::move(name)), text_(text) {}

    long LineAt(std::ptrdiff_t offset) const
    {
        if (offset < 0) return 0;
        const auto end = text_.begin() + std::min<std::ptrdiff_t>(offset, static_cast<std::ptrdiff_t>(text_.size()));
        return 1 + static_cast<long>(std::count(text_.begin(), end, '\n'));
    }

    [[noreturn]] void Fail(pugi::xml_node node, const std::string& problem) const
    {
        FailAt(node.offset_debug(), "<" + std::string(node.name()) + ">: " + problem);
    }

    [[noreturn]] void FailAt(std::ptrdiff_t offset, const std::string& problem) const
    {
        std::string where = name_;
        const long line = LineAt(offset);
        if (offset >= 0) where += ":" + std::to_string(line) + " (byte " + std::to_string(offset) + ")";
        throw SvgError(where + ": " + problem, name_, line, offset >= 0 ? static_cast<long>(offset) : -1);
    }

private:
    std::string name_;
    std::string_view text_;
};

// ---- Lengths -------------------------------------------------------------------

struct Unit {
    std::string_view name;
    double size;
};

// The page's units in points: a plain number is a point.
constexpr Unit kPageUnits[] = {{"", 1.0}, {"pt", 1.0}, {"px", 0.75}, {"pc", 12.0},
                               {"in", 72.0}, {"cm", 72.0 / 2.54}, {"mm", 72.0 / 25.4}};
// Units inside the drawing, in user units (CSS pixels).
constexpr Unit kUserUnits[] = {{"", 1.0}, {"px", 1.0}, {"pt", 4.0 / 3.0}, {"pc", 16.0},
                               {"in", 96.0}, {"cm", 96.0 / 2.54}, {"mm", 96.0 / 25.4}};

template <std::size_t N>
double LengthIn(const Source& source, pugi::xml_node node, const char* name, const Unit (&units)[N])
{
    const std::string text = node.attribute(name).value();
    svg::Length length;
    try {
        length = svg::ParseLength(text);
    } catch (const svg::SyntaxError& error) {
        source.Fail(node, std::string("bad ") + name + " \"" + text + "\": " + error.what());
    }
    if (length.unit == "%") source.Fail(node, std::string("bad ") + name + " \"" + text + "\": percentages are not supported");
    for (const Unit& unit : units) {
        if (unit.name == length.unit) {
            const double value = length.value * unit.size;
            if (!std::isfinite(value)) source.Fail(node, std::string("bad ") + name + " \"" + text + "\": out of range");
            return value;
        }
    }
    source.Fail(node, std::string("bad ") + name + " \"" + text + "\": unknown unit \"" + length.unit + "\"");
}

std::optional<double> OptionalLength(const Source& source, pugi::xml_node node, const char* name)
{
    if (!node.attribute(name)) return std::nullopt;
    return LengthIn(source, node, name, kUserUnits);
}

double Length(const Source& source, pugi::xml_node node, const char* name, double fallback = 0)
{
    return OptionalLength(source, node, name).value_or(fallback);
}

// A length that must not be negative.
double Size(const Source& source, pugi::xml_node node, const char* name)
{
    const double value = Length(source, node, name);
    if (value < 0) source.Fail(node, std::string("negative ") + name);
    return value;
}

std::vector<double> Numbers(const Source& source, pugi::xml_node node, const char* name)
{
    const std::string text = node.attribute(name).value();
    try {
        return svg::ParseNumberList(text);
    } catch (const svg::SyntaxError& error) {
        source.Fail(node, std::string("bad ") + name + " at character " + std::to_string(error.position()) + ": " +
                              error.what());
    }
}

Affine TransformOf(const Source& source, pugi::xml_node node)
{
    const pugi::xml_attribute attribute = node.attribute("transform");
    if (!attribute) return {};
    try {
        return svg::ParseTransform(attribute.value());
    } catch (const svg::SyntaxError& error) {
        source.Fail(node, "bad transform at character " + std::to_string(error.position()) + ": " + error.what());
    }
}

// ---- The page ---------------------------------------------------------------------

struct Page {
    double width = 0;
    double height = 0;
    Affine view;  // user units to page points, SVG orientation
};

std::optional<double> PageLength(const Source& source, pugi::xml_node root, const char* name)
{
    if (!root.attribute(name)) return std::nullopt;
    const double value = LengthIn(source, root, name, kPageUnits);
    if (!(value > 0)) source.Fail(root, std::string("bad ") + name + " \"" + root.attribute(name).value() + "\": it must be positive");
    return value;
}

// Where the viewBox goes on a page of this size, by preserveAspectRatio.
Affine FitViewBox(const Source& source, pugi::xml_node root, const double (&box)[4], double width, double height)
{
    const double sx = width / box[2];
    const double sy = height / box[3];
    std::istringstream words(root.attribute("preserveAspectRatio").value());
    std::string align = "xMidYMid";
    std::string meetOrSlice = "meet";
    std::string word;
    if (words >> word) {
        if (word == "defer" && !(words >> word)) word = align;
        align = word;
        if (words >> word) meetOrSlice = word;
    }
    const auto bad = [&] {
        source.Fail(root, std::string("bad preserveAspectRatio \"") + root.attribute("preserveAspectRatio").value() + "\"");
    };
    if (meetOrSlice != "meet" && meetOrSlice != "slice") bad();
    if (align == "none") return Affine{sx, 0, 0, sy, -box[0] * sx, -box[1] * sy};
    if (align.size() != 8 || align[0] != 'x' || align[4] != 'Y') bad();
    const double scale = meetOrSlice == "meet" ? std::min(sx, sy) : std::max(sx, sy);
    const auto placed = [&](std::string_view how, double room) {
        if (how == "Min") return 0.0;
        if (how == "Mid") return room / 2;
        if (how == "Max") return room;
        bad();
        return 0.0;
    };
    const double dx = placed(std::string_view(align).substr(1, 3), width - box[2] * scale);
    const double dy = placed(std::string_view(align).substr(5, 3), height - box[3] * scale);
    return Affine{scale, 0, 0, scale, dx - box[0] * scale, dy - box[1] * scale};
}

Page PageOf(const Source& source, pugi::xml_node root)
{
    std::optional<double> width = PageLength(source, root, "width");
    std::optional<double> height = PageLength(source, root, "height");
    if (!root.attribute("viewBox")) {
        if (!width || !height) source.Fail(root, "the page size needs width and height, or a viewBox");
        return {*width, *height, {}};
    }
    const std::vector<double> numbers = Numbers(source, root, "viewBox");
    const std::string text = root.attribute("viewBox").value();
    if (numbers.size() != 4) source.Fail(root, "bad viewBox \"" + text + "\": it needs 4 numbers");
    const double box[4] = {numbers[0], numbers[1], numbers[2], numbers[3]};
    if (!(box[2] > 0 && box[3] > 0)) source.Fail(root, "bad viewBox \"" + text + "\": its width and height must be positive");
    if (!width && !height) return {box[2], box[3], svg::Translation(-box[0], -box[1])};
    if (!width) width = *height * box[2] / box[3];
    if (!height) height = *width * box[3] / box[2];
    return {*width, *height, FitViewBox(source, root, box, *width, *height)};
}

// ---- Style -------------------------------------------------------------------------

// The properties that pass from a group to what it holds.
struct Style {
    std::string fill = "#000000";
    std::string stroke = "none";
    double strokeWidth = 1;
    double fontSize = kDefaultFontSize;
    std::string textAnchor = "start";
    ArtFlags flags;
};

// A property from style="..." or else from its presentation attribute;
// nothing when absent or "inherit".
std::optional<std::string> Property(pugi::xml_node node, std::string_view name)
{
    std::optional<std::string> value;
    std::string_view style = node.attribute("style").value();
    while (!style.empty()) {
        const std::size_t end = std::min(style.find(';'), style.size());
        const std::string_view declaration = style.substr(0, end);
        style.remove_prefix(std::min(end + 1, style.size()));
        const std::size_t colon = declaration.find(':');
        if (colon == std::string_view::npos || Trimmed(declaration.substr(0, colon)) != name) continue;
        std::string text = Trimmed(declaration.substr(colon + 1));
        const std::size_t important = text.find("!important");
        if (important != std::string::npos) text = Trimmed(std::string_view(text).substr(0, important));
        value = text;
    }
    if (!value) {
        const pugi::xml_attribute attribute = node.attribute(std::string(name).c_str());
        if (attribute) value = Trimmed(attribute.value());
    }
    if (value == "inherit") return std::nullopt;
    return value;
}

// A length property in user units; nothing when it cannot be read, so the
// inherited value stays.
std::optional<double> LengthProperty(pugi::xml_node node, std::string_view name)
{
    const std::optional<std::string> text = Property(node, name);
    if (!text) return std::nullopt;
    try {
        const svg::Length length = svg::ParseLength(*text);
        for (const Unit& unit : kUserUnits) {
            if (unit.name == length.unit && length.value >= 0) return length.value * unit.size;
        }
    } catch (const svg::SyntaxError&) {
    }
    return std::nullopt;
}

bool FlagAttribute(pugi::xml_node node, const char* name) { return std::string_view(node.attribute(name).value()) == "true"; }

Style Cascade(pugi::xml_node node, const Style& outer)
{
    Style style = outer;
    if (auto fill = Property(node, "fill")) style.fill = *fill;
    if (auto stroke = Property(node, "stroke")) style.stroke = *stroke;
    if (auto width = LengthProperty(node, "stroke-width")) style.strokeWidth = *width;
    if (auto size = LengthProperty(node, "font-size")) style.fontSize = *size;
    if (auto anchor = Property(node, "text-anchor")) style.textAnchor = *anchor;
    style.flags.guide = style.flags.guide || FlagAttribute(node, "data-kadrelle-guide");
    style.flags.locked = style.flags.locked || FlagAttribute(node, "data-kadrelle-locked");
    style.flags.selected = style.flags.selected || FlagAttribute(node, "data-kadrelle-selected");
    style.flags.hidden = style.flags.hidden || FlagAttribute(node, "data-kadrelle-hidden") || Property(node, "display") == "none";
    return style;
}

// ---- Shapes ------------------------------------------------------------------------

bool IsShape(pugi::xml_node node)
{
    static constexpr std::string_view kShapes[] = {"path", "rect", "circle", "ellipse", "line", "polyline", "polygon"};
    return std::find(std::begin(kShapes), std::end(kShapes), node.name()) != std::end(kShapes);
}

svg::CubicSegment Straight(Vec2 from, Vec2 to) { return {from, to, to}; }

// A quarter ellipse from `from` to `to` that bulges toward `corner`.
svg::CubicSegment Quarter(Vec2 from, Vec2 corner, Vec2 to)
{
    return {{from.x + kQuarterArm * (corner.x - from.x), from.y + kQuarterArm * (corner.y - from.y)},
            {to.x + kQuarterArm * (corner.x - to.x), to.y + kQuarterArm * (corner.y - to.y)},
            to};
}

svg::Subpath Ellipse(double cx, double cy, double rx, double ry)
{
    svg::Subpath ellipse{{cx + rx, cy}, {}, true};
    ellipse.segments = {Quarter({cx + rx, cy}, {cx + rx, cy + ry}, {cx, cy + ry}),
                        Quarter({cx, cy + ry}, {cx - rx, cy + ry}, {cx - rx, cy}),
                        Quarter({cx - rx, cy}, {cx - rx, cy - ry}, {cx, cy - ry}),
                        Quarter({cx, cy - ry}, {cx + rx, cy - ry}, {cx + rx, cy})};
    return ellipse;
}

svg::Subpath Rectangle(const Source& source, pugi::xml_node node)
{
    const double x = Length(source, node, "x");
    const double y = Length(source, node, "y");
    const double w = Size(source, node, "width");
    const double h = Size(source, node, "height");
    std::optional<double> rx = OptionalLength(source, node, "rx");
    std::optional<double> ry = OptionalLength(source, node, "ry");
    if (rx && *rx < 0) source.Fail(node, "negative rx");
    if (ry && *ry < 0) source.Fail(node, "negative ry");
    if (!rx) rx = ry;
    if (!ry) ry = rx;
    const double rX = std::min(rx.value_or(0.0), w / 2);
    const double rY = std::min(ry.value_or(0.0), h / 2);
    if (rX == 0 || rY == 0) {
        return {{x, y}, {Straight({x, y}, {x + w, y}), Straight({x + w, y}, {x + w, y + h}), Straight({x + w, y + h}, {x, y + h})}, true};
    }
    svg::Subpath rect{{x + rX, y}, {}, true};
    Vec2 at = rect.start;
    const auto line = [&](Vec2 to) {
        if (!(to == at)) rect.segments.push_back(Straight(at, to));
        at = to;
    };
    const auto corner = [&](Vec2 c, Vec2 to) {
        rect.segments.push_back(Quarter(at, c, to));
        at = to;
    };
    line({x + w - rX, y});
    corner({x + w, y}, {x + w, y + rY});
    line({x + w, y + h - rY});
    corner({x + w, y + h}, {x + w - rX, y + h});
    line({x + rX, y + h});
    corner({x, y + h}, {x, y + h - rY});
    line({x, y + rY});
    corner({x, y}, {x + rX, y});
    return rect;
}

// The subpaths of a shape element in its own user units. Zero sizes draw
// nothing, as in SVG.
std::vector<svg::Subpath> ShapeOf(const Source& source, pugi::xml_node node)
{
    const std::string_view name = node.name();
    if (name == "path") {
        try {
            return svg::ParsePathData(node.attribute("d").value());
        } catch (const svg::SyntaxError& error) {
            source.Fail(node, "malformed path data at character " + std::to_string(error.position()) + ": " + error.what());
        }
    }
    if (name == "rect") {
        if (Size(source, node, "width") == 0 || Size(source, node, "height") == 0) return {};
        return {Rectangle(source, node)};
    }
    if (name == "circle") {
        const double r = Size(source, node, "r");
        if (r == 0) return {};
        return {Ellipse(Length(source, node, "cx"), Length(source, node, "cy"), r, r)};
    }
    if (name == "ellipse") {
        const double rx = Size(source, node, "rx");
        const double ry = Size(source, node, "ry");
        if (rx == 0 || ry == 0) return {};
        return {Ellipse(Length(source, node, "cx"), Length(source, node, "cy"), rx, ry)};
    }
    if (name == "line") {
        const Vec2 from{Length(source, node, "x1"), Length(source, node, "y1")};
        const Vec2 to{Length(source, node, "x2"), Length(source, node, "y2")};
        return {svg::Subpath{from, {Straight(from, to)}, false}};
    }
    // polyline, polygon
    const std::vector<double> numbers = Numbers(source, node, "points");
    if (numbers.size() % 2 != 0) source.Fail(node, "points has an odd number of coordinates");
    if (numbers.size() < 4) return {};
    svg::Subpath poly{{numbers[0], numbers[1]}, {}, name == "polygon"};
    for (std::size_t i = 2; i < numbers.size(); i += 2) {
        const Vec2 from = i == 2 ? poly.start : poly.segments.back().end;
        poly.segments.push_back(Straight(from, {numbers[i], numbers[i + 1]}));
    }
    return {poly};
}

bool Near(Vec2 p, Vec2 q)
{
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(a)); };
    return near(p.x, q.x) && near(p.y, q.y);
}

// A subpath as a host path: each point through `m`, then y turned to
// `flip - y` (the page height for art, 0 for symbols). A closed subpath
// that draws back to its start keeps its last segment as the closing one.
std::optional<Path> ToPath(const svg::Subpath& subpath, const Affine& m, double flip, const Style& style)
{
    const std::vector<svg::CubicSegment>& segments = subpath.segments;
    if (segments.empty()) return std::nullopt;
    const auto host = [&](Vec2 p) {
        const Vec2 q = svg::Apply(m, p);
        return HostPoint{static_cast<float>(q.x), static_cast<float>(flip - q.y)};
    };
    const std::size_t n = segments.size();
    const bool backToStart = subpath.closed && n >= 2 && Near(segments.back().end, subpath.start);
    Path path;
    path.points.push_back({host(subpath.start), host(subpath.start), host(segments[0].c1)});
    for (std::size_t i = 0; i < n; ++i) {
        if (backToStart && i + 1 == n) {
            path.points[0].in = host(segments[i].c2);
            break;
        }
        PathPoint point;
        point.anchor = host(segments[i].end);
        point.in = host(segments[i].c2);
        point.out = i + 1 < n ? host(segments[i + 1].c1) : point.anchor;
        path.points.push_back(point);
    }
    path.closed = subpath.closed;
    path.fill = style.fill;
    path.filled = style.fill != "none";
    path.stroke = style.stroke;
    path.strokeWidth = static_cast<float>(style.strokeWidth * std::sqrt(std::fabs(svg::Determinant(m))));
    return path;
}

// ---- Definitions and symbols -----------------------------------------------------

bool IsDefinition(pugi::xml_node node)
{
    static constexpr std::string_view kDefinitions[] = {"linearGradient", "radialGradient", "pattern", "clipPath",
                                                        "mask", "marker", "filter", "style"};
    return std::find(std::begin(kDefinitions), std::end(kDefinitions), node.name()) != std::end(kDefinitions);
}

void RemoveSymbols(pugi::xml_node node)
{
    for (pugi::xml_node child = node.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (Is(child, "symbol")) {
            node.remove_child(child);
        } else {
            RemoveSymbols(child);
        }
        child = next;
    }
}

// The element as XML text, without the symbols inside it (they are written
// on their own).
std::string Markup(pugi::xml_node node)
{
    pugi::xml_document copy;
    const pugi::xml_node copied = copy.append_copy(node);
    RemoveSymbols(copied);
    std::ostringstream out;
    copied.print(out, "", pugi::format_raw);
    return out.str();
}

void CollectDefinitions(pugi::xml_node node, std::string& defs)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element || Is(child, "symbol")) continue;
        if (Is(child, "defs")) {
            for (pugi::xml_node definition : child.children()) {
                if (definition.type() == pugi::node_element && !Is(definition, "symbol")) defs += Markup(definition);
            }
        } else if (IsDefinition(child)) {
            defs += Markup(child);
        } else {
            CollectDefinitions(child, defs);
        }
    }
}

void FindSymbols(pugi::xml_node node, std::vector<pugi::xml_node>& symbols)
{
    for (pugi::xml_node child : Elements(node)) {
        if (Is(child, "symbol")) {
            symbols.push_back(child);
        } else {
            FindSymbols(child, symbols);
        }
    }
}

// A symbol's drawn children in its own coordinates, host orientation.
void CollectArtwork(const Source& source, pugi::xml_node parent, const Affine& outer, const Style& outerStyle,
                    std::vector<Path>& artwork)
{
    for (pugi::xml_node child : Elements(parent)) {
        const bool group = Is(child, "g") || Is(child, "a");
        if (!group && !IsShape(child)) continue;
        const Affine m = outer * TransformOf(source, child);
        const Style style = Cascade(child, outerStyle);
        if (group) {
            CollectArtwork(source, child, m, style, artwork);
            continue;
        }
        for (const svg::Subpath& subpath : ShapeOf(source, child)) {
            if (std::optional<Path> path = ToPath(subpath, m, 0.0, style)) artwork.push_back(std::move(*path));
        }
    }
}

// ---- Existing art --------------------------------------------------------------------

void AppendText(pugi::xml_node node, std::string& raw)
{
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) raw += child.value();
        AppendText(child, raw);
    }
}

// The characters of a <text> and its <tspan>s, whitespace collapsed.
std::string TextContent(pugi::xml_node text)
{
    std::string raw;
    AppendText(text, raw);
    std::string collapsed;
    bool space = false;
    for (char c : raw) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            space = true;
            continue;
        }
        if (space && !collapsed.empty()) collapsed += ' ';
        space = false;
        collapsed += c;
    }
    return collapsed;
}

std::size_t CharacterCount(std::string_view utf8)
{
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool IsLayer(pugi::xml_node node)
{
    return Is(node, "g") && (!std::string_view(node.attribute("data-kadrelle-layer").value()).empty() ||
                             std::string_view(node.attribute("inkscape:groupmode").value()) == "layer");
}

class ArtReader {
public:
    ArtReader(const Source& source, Document& document, const Page& page,
              const std::map<std::string, SymbolId>& symbols)
        : source_(source), document_(document), page_(page), symbols_(symbols)
    {
    }

    void Root(pugi::xml_node root)
    {
        const Style style = Cascade(root, Style{});
        for (pugi::xml_node child : Elements(root)) {
            if (IsLayer(child)) {
                OpenLayer(child);
                Children(child, page_.view * TransformOf(source_, child), Cascade(child, style));
            } else {
                Element(child, page_.view, style);
            }
        }
    }

private:
    void OpenLayer(pugi::xml_node group)
    {
        const bool firstUnused = !layerOpened_ && document_.Layers().size() == 1 && document_.Layers()[0].art.empty();
        const LayerId layer = firstUnused ? LayerId{0} : document_.InsertLayerAbove();
        document_.SetCurrentLayer(layer);
        layerOpened_ = true;
        for (const char* attribute : {"data-kadrelle-layer", "inkscape:label", "id"}) {
            const std::string_view name = group.attribute(attribute).value();
            if (!name.empty()) {
                document_.SetLayerName(layer, std::string(name));
                return;
            }
        }
    }

    void Children(pugi::xml_node parent, const Affine& m, const Style& style)
    {
        for (pugi::xml_node child : Elements(parent)) Element(child, m, style);
    }

    void Element(pugi::xml_node node, const Affine& outer, const Style& outerStyle)
    {
        const bool group = Is(node, "g") || Is(node, "a");
        if (!group && !IsShape(node) && !Is(node, "text") && !Is(node, "use")) return;
        const Affine m = outer * TransformOf(source_, node);
        const Style style = Cascade(node, outerStyle);
        if (group) {
            Children(node, m, style);
        } else if (Is(node, "text")) {
            Text(node, m, style);
        } else if (Is(node, "use")) {
            Use(node, m, style);
        } else {
            for (const svg::Subpath& subpath : ShapeOf(source_, node)) {
                if (std::optional<Path> path = ToPath(subpath, m, page_.height, style))
                    document_.AddPath(std::move(*path), style.flags);
            }
        }
    }

    // The first number of a coordinate list such as text's x.
    double FirstCoordinate(pugi::xml_node node, const char* name)
    {
        if (!node.attribute(name)) return 0;
        try {
            const std::vector<double> numbers = svg::ParseNumberList(node.attribute(name).value());
            if (!numbers.empty()) return numbers[0];
        } catch (const svg::SyntaxError&) {
        }
        return Length(source_, node, name);  // one length with a unit, or an error
    }

    void Text(pugi::xml_node node, const Affine& m, const Style& style)
    {
        const std::string content = TextContent(node);
        const double size = style.fontSize;
        const double width = node.attribute("textLength")
                                 ? Size(source_, node, "textLength")
                                 : static_cast<double>(CharacterCount(content)) * kCharacterWidth * size;
        double left = FirstCoordinate(node, "x");
        if (style.textAnchor == "middle") left -= width / 2;
        if (style.textAnchor == "end") left -= width;
        const double baseline = FirstCoordinate(node, "y");
        const Vec2 corners[] = {{left, baseline - kAscent * size}, {left + width, baseline - kAscent * size},
                                {left, baseline + kDescent * size}, {left + width, baseline + kDescent * size}};
        HostRect box{};
        for (std::size_t i = 0; i < std::size(corners); ++i) {
            const Vec2 q = svg::Apply(m, corners[i]);
            const auto h = static_cast<float>(q.x);
            const auto v = static_cast<float>(page_.height - q.y);
            box = i == 0 ? HostRect{h, v, h, v}
                         : HostRect{std::min(box.left, h), std::max(box.top, v), std::max(box.right, h), std::min(box.bottom, v)};
        }
        document_.AddText(content, box, style.flags);
    }

    void Use(pugi::xml_node node, const Affine& outer, const Style& style)
    {
        pugi::xml_attribute href = node.attribute("href");
        if (!href) href = node.attribute("xlink:href");
        if (!href) source_.Fail(node, "a <use> needs an href naming a symbol");
        const std::string_view target = href.value();
        const auto found = target.starts_with('#') ? symbols_.find(std::string(target.substr(1))) : symbols_.end();
        if (found == symbols_.end())
            source_.Fail(node, "refers to \"" + std::string(target) + "\", which is not a symbol of this file");
        // A <use>'s x and y translate after its transform.
        const Affine u = outer * svg::Translation(Length(source_, node, "x"), Length(source_, node, "y"));
        const HostMatrix matrix{static_cast<float>(u.a), static_cast<float>(-u.b), static_cast<float>(-u.c),
                                static_cast<float>(u.d), static_cast<float>(u.e),
                                static_cast<float>(page_.height - u.f)};
        const ArtId instance = document_.AddInstance(found->second, {0.0f, 0.0f});
        document_.SetMatrix(instance, matrix);
        document_.SetFlags(instance, style.flags);
    }

    const Source& source_;
    Document& document_;
    const Page& page_;
    const std::map<std::string, SymbolId>& symbols_;
    bool layerOpened_ = false;
};

}  // namespace

std::vector<std::string> SvgDocument::SymbolIds() const
{
    std::vector<std::string> ids;
    for (const SvgSymbolSource& symbol : symbols) ids.push_back(symbol.id);
    return ids;
}

SvgDocument LoadSvgText(std::string_view text, const std::string& sourceName)
{
    const Source source(sourceName, text);
    pugi::xml_document xml;
    const pugi::xml_parse_result parsed = xml.load_buffer(text.data(), text.size(), pugi::parse_default);
    if (!parsed) source.FailAt(parsed.offset, std::string("malformed XML: ") + parsed.description());
    const pugi::xml_node root = xml.document_element();
    if (!Is(root, "svg")) source.Fail(root, "the root element is not <svg>");

    SvgDocument result;
    const Page page = PageOf(source, root);
    result.document = std::make_unique<Document>(static_cast<float>(page.width), static_cast<float>(page.height));
    Document& document = *result.document;

    for (pugi::xml_attribute attribute : root.attributes()) {
        const std::string_view name = attribute.name();
        if (name == "xmlns" || name.starts_with("xmlns:")) result.namespaces.emplace_back(name, attribute.value());
    }
    CollectDefinitions(root, result.defs);

    std::vector<pugi::xml_node> symbolNodes;
    FindSymbols(root, symbolNodes);
    std::map<std::string, SymbolId> symbols;
    std::map<std::string, pugi::xml_node> firstWithId;
    for (pugi::xml_node node : symbolNodes) {
        const std::string id = node.attribute("id").value();
        if (id.empty()) source.Fail(node, "a symbol needs an id");
        if (const auto first = firstWithId.find(id); first != firstWithId.end())
            source.Fail(node, "duplicate symbol id \"" + id + "\" (first at line " +
                                  std::to_string(source.LineAt(first->second.offset_debug())) + ")");
        firstWithId.emplace(id, node);

        SvgSymbolSource symbolSource;
        symbolSource.id = id;
        for (pugi::xml_attribute attribute : node.attributes())
            symbolSource.attributes.emplace_back(attribute.name(), attribute.value());
        std::ostringstream content;
        for (pugi::xml_node child : Elements(node)) child.print(content, "", pugi::format_raw);
        symbolSource.content = content.str();
        result.symbols.push_back(std::move(symbolSource));

        std::vector<Path> artwork;
        CollectArtwork(source, node, {}, Cascade(node, Style{}), artwork);
        const SymbolId symbol = document.AddSymbol(id, std::move(artwork));
        symbols.emplace(id, symbol);
        if (FlagAttribute(node, "data-kadrelle-selected") && !document.selectedSymbol) document.selectedSymbol = symbol;
    }

    ArtReader(source, document, page, symbols).Root(root);
    return result;
}

SvgDocument LoadSvgFile(const std::filesystem::path& file)
{
    const std::string name = file.string();
    const auto fail = [&](int error) {
        throw SvgError(name + ": cannot read the file: " + std::generic_category().message(error), name, 0, -1);
    };
    std::error_code status;
    if (std::filesystem::is_directory(file, status)) fail(EISDIR);
    std::ifstream in(file, std::ios::binary);
    if (!in) fail(errno != 0 ? errno : EIO);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) fail(errno != 0 ? errno : EIO);
    return LoadSvgText(text, name);
}

}  // namespace host
