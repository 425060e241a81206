// Writing the stand-in host's document as SVG; the rules are in
// svg_document.h. The head (the root, the definitions and the symbols) is
// built as a pugixml tree and saved with a fixed indentation; the layers,
// which hold nearly all of a painted document, are written straight after it
// in the bytes pugixml would give them (its escaping, two spaces a level,
// "<name ... />" for an empty element), so the same document always gives
// the same bytes.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

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

// The longest text Number gives: "-1.17549435e-38" and the like.
constexpr std::size_t kNumberSize = 32;

// Number's text written at out; returns its end.
char* PutNumber(char* out, float value)
{
    if (value == 0.0f) value = 0.0f;
    return std::to_chars(out, out + kNumberSize, value).ptr;
}

// pugixml's escaping when it saves (with no flags but indentation): in an
// attribute value &, <, " and every control character, in text &, <, > and
// the control characters but tab, line feed and carriage return; a control
// character as "&#" and two decimal digits. A value ends at a NUL, as the C
// string that pugixml is given does.
void AppendEscaped(std::string& out, std::string_view text, bool attribute)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::size_t plain = 0;  // where the text not yet written starts
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::string_view entity;
        char control[5] = {'&', '#', 0, 0, ';'};
        if (c == '&') {
            entity = "&amp;";
        } else if (c == '<') {
            entity = "&lt;";
        } else if (c == '>' && !attribute) {
            entity = "&gt;";
        } else if (c == '"' && attribute) {
            entity = "&quot;";
        } else if (c < 32 && (attribute || (c != '\t' && c != '\n' && c != '\r'))) {
            control[2] = static_cast<char>('0' + c / 10);
            control[3] = static_cast<char>('0' + c % 10);
            entity = std::string_view(control, sizeof control);
        } else {
            continue;
        }
        out.append(text.substr(plain, i - plain));
        out.append(entity);
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

// ` name="value"`, the value escaped.
void AppendAttribute(std::string& out, std::string_view name, std::string_view value)
{
    out += ' ';
    out.append(name);
    out += "=\"";
    AppendEscaped(out, value, true);
    out += '"';
}

// ` name="number"`.
void AppendNumberAttribute(std::string& out, std::string_view name, float value)
{
    char text[kNumberSize];
    out += ' ';
    out.append(name);
    out += "=\"";
    out.append(text, PutNumber(text, value));
    out += '"';
}

// A pugixml writer that appends to a string.
class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, std::size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

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

// The fill the hit test uses decides: an unfilled path is drawn unfilled.
std::string_view Fill(const Path& path)
{
    return !path.filled ? "none" : path.fill == "none" ? "#000000" : std::string_view(path.fill);
}

void SetPaint(pugi::xml_node node, const Path& path)
{
    Set(node, "fill", std::string(Fill(path)));
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

// The flags as SetFlags sets them, as attribute text.
void AppendFlags(std::string& out, const ArtFlags& flags)
{
    if (flags.guide) out += " data-kadrelle-guide=\"true\"";
    if (flags.locked) out += " data-kadrelle-locked=\"true\"";
    if (flags.selected) out += " data-kadrelle-selected=\"true\"";
    if (flags.hidden) out += " data-kadrelle-hidden=\"true\" display=\"none\"";
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

        std::string text;
        StringWriter head(text);
        xml.save(head, "  ", pugi::format_indent, pugi::encoding_utf8);
        // The head ends with the root's end tag (the root holds at least
        // <defs>); the layers go before it.
        constexpr std::string_view kRootEnd = "</svg>\n";
        if (!std::string_view(text).ends_with(kRootEnd)) throw std::logic_error("the SVG head has no end tag");
        text.resize(text.size() - kRootEnd.size());
        for (const Layer& layer : document_.Layers()) {
            std::string id = layer.name;
            for (char& c : id) {
                if (HasWhitespace(std::string_view(&c, 1))) c = '_';
            }
            text += "  <g";
            AppendAttribute(text, "id", Unique(id.empty() ? "layer" : id));
            text += " inkscape:groupmode=\"layer\"";
            AppendAttribute(text, "inkscape:label", layer.name);
            AppendAttribute(text, "data-kadrelle-layer", layer.name);
            bool empty = true;
            for (ArtId art : layer.art) {
                if (!Drawn(art)) continue;
                if (empty) text += ">\n";
                empty = false;
                Art(text, art);
                // Written out in pieces, so that a large document is never
                // held whole.
                if (text.size() >= kFlushSize) {
                    out.write(text.data(), static_cast<std::streamsize>(text.size()));
                    text.clear();
                }
            }
            text += empty ? " />\n" : "  </g>\n";
        }
        text += kRootEnd;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
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
    bool Drawn(ArtId id) const
    {
        const host::Art& art = document_.GetArt(id);
        if (art.deleted) return false;
        switch (art.kind) {
        case ArtKind::Path:
            return Finite(document_.PathOf(id));
        case ArtKind::Text: {
            const HostRect& b = document_.TextOf(id).box;
            return Finite(HostPoint{b.left, b.top}) && Finite(HostPoint{b.right, b.bottom});
        }
        case ArtKind::Instance:
        case ArtKind::Expanded:
            break;
        }
        return Finite(art.matrix);
    }

    // One drawn art object as a child of its layer's group, its line ended.
    void Art(std::string& out, ArtId id)
    {
        const host::Art& art = document_.GetArt(id);
        switch (art.kind) {
        case ArtKind::Path: {
            const Path& path = document_.PathOf(id);
            out += "    <path";
            AppendAttribute(out, "d", PathData(path, height_));
            AppendAttribute(out, "fill", Fill(path));
            AppendAttribute(out, "stroke", path.stroke);
            AppendNumberAttribute(out, "stroke-width", path.strokeWidth);
            AppendFlags(out, art.flags);
            out += " />\n";
            return;
        }
        case ArtKind::Text: {
            const TextArt& text = document_.TextOf(id);
            const HostRect& b = text.box;
            const float left = std::min(b.left, b.right);
            const float width = std::max(b.left, b.right) - left;
            const float bottom = std::min(b.top, b.bottom);
            const float size = std::max(b.top, b.bottom) - bottom;
            // The box reaches 0.2 font sizes below the baseline; the
            // importer reads it back the same way.
            const double baseline = static_cast<double>(bottom) + 0.2 * static_cast<double>(size);
            out += "    <text";
            AppendNumberAttribute(out, "x", left);
            AppendNumberAttribute(out, "y", static_cast<float>(static_cast<double>(height_) - baseline));
            AppendNumberAttribute(out, "font-size", size);
            if (width > 0 && !text.text.empty()) {
                AppendNumberAttribute(out, "textLength", width);
                out += " lengthAdjust=\"spacingAndGlyphs\"";
            }
            AppendFlags(out, art.flags);
            out += '>';
            AppendEscaped(out, text.text, false);
            out += "</text>\n";
            return;
        }
        case ArtKind::Instance: {
            out.append(UseStart(art.symbol));
            // As MatrixText writes it.
            const HostMatrix& m = art.matrix;
            char numbers[6 * (kNumberSize + 1) + 2];
            char* p = numbers;
            p = PutNumber(p, m.a);
            *p++ = ' ';
            p = PutNumber(p, -m.b);
            *p++ = ' ';
            p = PutNumber(p, -m.c);
            *p++ = ' ';
            p = PutNumber(p, m.d);
            *p++ = ' ';
            p = PutNumber(p, m.tx);
            *p++ = ' ';
            p = PutNumber(p, static_cast<float>(static_cast<double>(height_) - static_cast<double>(m.ty)));
            *p++ = ')';
            *p++ = '"';
            out.append(numbers, p);
            AppendFlags(out, art.flags);
            out += " />\n";
            return;
        }
        case ArtKind::Expanded: {
            // The copy of the symbol's markup keeps pugixml's own layout.
            pugi::xml_document copy;
            pugi::xml_node element = copy.append_child("g");
            Set(element, "transform", MatrixText(art.matrix, height_));
            SetFlags(element, art.flags);
            SymbolContent(element, art.symbol);
            // The copy must not repeat the ids of the symbol's children.
            RemoveIds(element);
            StringWriter writer(out);
            element.print(writer, "  ", pugi::format_indent, pugi::encoding_utf8, 2);
            return;
        }
        }
    }

    // `    <use href="#id" xlink:href="#id" transform="matrix(` for an
    // instance of the symbol.
    const std::string& UseStart(SymbolId symbol)
    {
        auto found = useStarts_.find(symbol);
        if (found == useStarts_.end()) {
            const std::string reference = "#" + symbolIds_.at(symbol);
            std::string start = "    <use";
            AppendAttribute(start, "href", reference);
            AppendAttribute(start, "xlink:href", reference);
            start += " transform=\"matrix(";
            found = useStarts_.emplace(symbol, std::move(start)).first;
        }
        return found->second;
    }

    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;

    const SvgDocument& svg_;
    const Document& document_;
    const float height_;
    std::map<std::string, const SvgSymbolSource*> sources_;
    std::map<SymbolId, std::string> symbolIds_;
    std::unordered_map<SymbolId, std::string> useStarts_;
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
