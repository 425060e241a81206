// Writing the stand-in host's document as SVG; the rules are in
// svg_document.h. The output is built as a pugixml tree and saved with a
// fixed indentation, so the same document always gives the same bytes.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include <pugixml.hpp>

#include "host/svg_document.h"

namespace host {
namespace {

constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";
constexpr const char* kXlinkNamespace = "http://www.w3.org/1999/xlink";
constexpr const char* kInkscapeNamespace = "http://www.inkscape.org/namespaces/inkscape";

// The shortest text that reads back to the same float; no "-0".
std::string Number(float value)
{
    if (value == 0.0f) value = 0.0f;
    char text[32];
    const auto [end, error] = std::to_chars(std::begin(text), std::end(text), value);
    return std::string(text, end);
}

std::string Number(double value) { return Number(static_cast<float>(value)); }

bool Finite(HostPoint p) { return std::isfinite(p.h) && std::isfinite(p.v); }

bool Finite(const HostMatrix& m)
{
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

bool Finite(const Path& path)
{
    for (const PathPoint& point : path.points) {
        if (!Finite(point.anchor) || !Finite(point.in) || !Finite(point.out)) return false;
    }
    return std::isfinite(path.strokeWidth);
}

bool Same(HostPoint a, HostPoint b) { return a.h == b.h && a.v == b.v; }

void Set(pugi::xml_node node, const char* name, const std::string& value)
{
    node.append_attribute(name).set_value(value.c_str());
}

// Path data for a host path, each point's v turned to flip - v (the page
// height for art on the page, 0 for a symbol's artwork).
std::string PathData(const Path& path, float flip)
{
    const auto point = [&](HostPoint p) {
        return Number(p.h) + "," + Number(static_cast<double>(flip) - static_cast<double>(p.v));
    };
    const std::vector<PathPoint>& points = path.points;
    if (points.empty()) return "";
    std::string data = "M" + point(points[0].anchor);
    const std::size_t segments = points.size() < 2 ? 0 : path.closed ? points.size() : points.size() - 1;
    for (std::size_t i = 0; i < segments; ++i) {
        const PathPoint& from = points[i];
        const PathPoint& to = points[(i + 1) % points.size()];
        const bool closing = i + 1 == points.size();
        const bool straight = Same(from.out, from.anchor) && Same(to.in, to.anchor);
        if (closing && straight) break;  // the Z draws it
        data += straight ? " L" + point(to.anchor)
                         : " C" + point(from.out) + " " + point(to.in) + " " + point(to.anchor);
    }
    if (path.closed) data += " Z";
    return data;
}

std::string MatrixText(const HostMatrix& m, float height)
{
    // The host matrix maps host symbol points to host page points; in SVG
    // both ends are flipped: symbol (x, y) is host (x, -y), page (x, y) is
    // host (x, H - y). Composed: matrix(a, -b, -c, d, tx, H - ty).
    return "matrix(" + Number(m.a) + " " + Number(-m.b) + " " + Number(-m.c) + " " + Number(m.d) + " " +
           Number(m.tx) + " " + Number(static_cast<double>(height) - static_cast<double>(m.ty)) + ")";
}

void SetPaint(pugi::xml_node node, const Path& path)
{
    // The fill the hit test uses decides: an unfilled path is drawn unfilled.
    const std::string fill = !path.filled ? "none" : path.fill == "none" ? "#000000" : path.fill;
    Set(node, "fill", fill);
    Set(node, "stroke", path.stroke);
    Set(node, "stroke-width", Number(path.strokeWidth));
}

void SetFlags(pugi::xml_node node, const ArtFlags& flags)
{
    if (flags.guide) Set(node, "data-kadrelle-guide", "true");
    if (flags.locked) Set(node, "data-kadrelle-locked", "true");
    if (flags.selected) Set(node, "data-kadrelle-selected", "true");
    if (flags.hidden) {
        Set(node, "data-kadrelle-hidden", "true");
        Set(node, "display", "none");
    }
}

void RemoveIds(pugi::xml_node node)
{
    for (pugi::xml_node child : node.children()) {
        child.remove_attribute("id");
        RemoveIds(child);
    }
}

bool HasWhitespace(std::string_view text) { return text.find_first_of(" \t\r\n\f") != std::string_view::npos; }

class Writer {
public:
    explicit Writer(const SvgDocument& svg) : svg_(svg), document_(*svg.document), height_(document_.Setup().height)
    {
        for (const SvgSymbolSource& symbol : svg.symbols) sources_.emplace(symbol.id, &symbol);
    }

    void Write(std::ostream& out)
    {
        pugi::xml_document xml;
        pugi::xml_node declaration = xml.append_child(pugi::node_declaration);
        Set(declaration, "version", "1.0");
        Set(declaration, "encoding", "UTF-8");

        pugi::xml_node root = xml.append_child("svg");
        Set(root, "xmlns", kSvgNamespace);
        Set(root, "xmlns:xlink", kXlinkNamespace);
        Set(root, "xmlns:inkscape", kInkscapeNamespace);
        for (const auto& [name, uri] : svg_.namespaces) {
            if (name != "xmlns" && name != "xmlns:xlink" && name != "xmlns:inkscape") Set(root, name.c_str(), uri);
        }
        const DocumentSetup page = document_.Setup();
        Set(root, "width", Number(page.width) + "pt");
        Set(root, "height", Number(page.height) + "pt");
        Set(root, "viewBox", "0 0 " + Number(page.width) + " " + Number(page.height));

        pugi::xml_node defs = root.append_child("defs");
        if (!svg_.defs.empty()) AppendMarkup(defs, svg_.defs, "the copied definitions");
        ChooseSymbolIds();
        for (std::size_t n = 0; n < document_.SymbolCount(); ++n) Symbol(defs, *document_.NthSymbol(n));

        for (const Layer& layer : document_.Layers()) {
            pugi::xml_node group = root.append_child("g");
            std::string id = layer.name;
            for (char& c : id) {
                if (HasWhitespace(std::string_view(&c, 1))) c = '_';
            }
            Set(group, "id", Unique(id.empty() ? "layer" : id));
            Set(group, "inkscape:groupmode", "layer");
            Set(group, "inkscape:label", layer.name);
            Set(group, "data-kadrelle-layer", layer.name);
            for (ArtId art : layer.art) Art(group, art);
        }
        xml.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
    }

private:
    // A symbol keeps its name as its id when that is a usable, unused id.
    void ChooseSymbolIds()
    {
        for (std::size_t n = 0; n < document_.SymbolCount(); ++n) {
            const SymbolId symbol = *document_.NthSymbol(n);
            const std::string& name = document_.GetSymbol(symbol).name;
            const bool usable = !name.empty() && !HasWhitespace(name) && used_.count(name) == 0;
            symbolIds_[symbol] = Unique(usable ? name : "symbol-" + std::to_string(n + 1));
        }
    }

    std::string Unique(const std::string& base)
    {
        std::string id = base;
        for (int n = 2; used_.count(id) != 0; ++n) id = base + "-" + std::to_string(n);
        used_.insert(id);
        return id;
    }

    const SvgSymbolSource* SourceOf(SymbolId symbol) const
    {
        const auto found = sources_.find(document_.GetSymbol(symbol).name);
        return found == sources_.end() ? nullptr : found->second;
    }

    static void AppendMarkup(pugi::xml_node parent, const std::string& markup, const std::string& what)
    {
        if (!parent.append_buffer(markup.data(), markup.size(), pugi::parse_default))
            throw std::invalid_argument(what + " are not well-formed XML");
    }

    // The symbol's children: its original markup, or its artwork as paths.
    void SymbolContent(pugi::xml_node parent, SymbolId symbol) const
    {
        if (const SvgSymbolSource* source = SourceOf(symbol)) {
            if (!source->content.empty())
                AppendMarkup(parent, source->content, "the children of symbol \"" + source->id + "\"");
            return;
        }
        for (const Path& path : document_.GetSymbol(symbol).artwork) {
            if (!Finite(path)) continue;
            pugi::xml_node element = parent.append_child("path");
            Set(element, "d", PathData(path, 0.0f));
            SetPaint(element, path);
        }
    }

    void Symbol(pugi::xml_node defs, SymbolId symbol)
    {
        pugi::xml_node element = defs.append_child("symbol");
        Set(element, "id", symbolIds_.at(symbol));
        if (const SvgSymbolSource* source = SourceOf(symbol)) {
            // Placement and clipping attributes would move or cut the
            // artwork away from what the hit test sees.
            static const std::set<std::string> kDropped = {"id", "viewBox", "preserveAspectRatio", "x", "y",
                                                           "width", "height", "overflow", "data-kadrelle-selected"};
            for (const auto& [name, value] : source->attributes) {
                if (kDropped.count(name) == 0) Set(element, name.c_str(), value);
            }
        }
        Set(element, "overflow", "visible");
        if (document_.selectedSymbol == symbol) Set(element, "data-kadrelle-selected", "true");
        SymbolContent(element, symbol);
    }

    // Art whose matrix or coordinates are not finite has no place on the
    // page and is left out.
    void Art(pugi::xml_node layer, ArtId id)
    {
        const host::Art& art = document_.GetArt(id);
        if (art.deleted) return;
        switch (art.kind) {
        case ArtKind::Path: {
            const Path& path = document_.PathOf(id);
            if (!Finite(path)) return;
            pugi::xml_node element = layer.append_child("path");
            Set(element, "d", PathData(path, height_));
            SetPaint(element, path);
            SetFlags(element, art.flags);
            return;
        }
        case ArtKind::Text: {
            const TextArt& text = document_.TextOf(id);
            const HostRect& b = text.box;
            if (!Finite(HostPoint{b.left, b.top}) || !Finite(HostPoint{b.right, b.bottom})) return;
            const float left = std::min(b.left, b.right);
            const float width = std::max(b.left, b.right) - left;
            const float bottom = std::min(b.top, b.bottom);
            const float size = std::max(b.top, b.bottom) - bottom;
            // The box reaches 0.2 font sizes below the baseline; the
            // importer reads it back the same way.
            const double baseline = static_cast<double>(bottom) + 0.2 * static_cast<double>(size);
            pugi::xml_node element = layer.append_child("text");
            Set(element, "x", Number(left));
            Set(element, "y", Number(static_cast<double>(height_) - baseline));
            Set(element, "font-size", Number(size));
            if (width > 0 && !text.text.empty()) {
                Set(element, "textLength", Number(width));
                Set(element, "lengthAdjust", "spacingAndGlyphs");
            }
            SetFlags(element, art.flags);
            element.append_child(pugi::node_pcdata).set_value(text.text.c_str());
            return;
        }
        case ArtKind::Instance: {
            if (!Finite(art.matrix)) return;
            pugi::xml_node element = layer.append_child("use");
            const std::string reference = "#" + symbolIds_.at(art.symbol);
            Set(element, "href", reference);
            Set(element, "xlink:href", reference);
            Set(element, "transform", MatrixText(art.matrix, height_));
            SetFlags(element, art.flags);
            return;
        }
        case ArtKind::Expanded: {
            if (!Finite(art.matrix)) return;
            pugi::xml_node element = layer.append_child("g");
            Set(element, "transform", MatrixText(art.matrix, height_));
            SetFlags(element, art.flags);
            SymbolContent(element, art.symbol);
            // The copy must not repeat the ids of the symbol's children.
            RemoveIds(element);
            return;
        }
        }
    }

    const SvgDocument& svg_;
    const Document& document_;
    const float height_;
    std::map<std::string, const SvgSymbolSource*> sources_;
    std::map<SymbolId, std::string> symbolIds_;
    std::set<std::string> used_;
};

}  // namespace

void WriteSvg(const SvgDocument& svg, std::ostream& out) { Writer(svg).Write(out); }

std::string WriteSvg(const SvgDocument& svg)
{
    std::ostringstream out;
    WriteSvg(svg, out);
    return out.str();
}

}  // namespace host
