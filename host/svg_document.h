#pragma once
// SVG in and out for the stand-in host's document.
//
// Coordinates. The host counts points from the page's bottom-left corner
// with v growing upward; SVG's y grows downward. On a page H points high,
// the SVG page point (x, y) is the host point (x, H - y). A symbol's artwork
// is kept in the host's orientation too: the SVG symbol point (sx, sy) is
// the host symbol point (sx, -sy), so a symbol drawn upright in the SVG is
// upright in an instance at angle 0. An instance's host matrix
// (a, b, c, d, tx, ty) takes host symbol points to host page points; the
// same placement in SVG is
//     <use transform="matrix(a, -b, -c, d, tx, H - ty)">
// (flip the symbol point, apply the host matrix, flip the page point).
//
// The page. Its size comes from the root's width and height, in points:
// a number alone or with "pt" is points, "px" 0.75 pt, "pc" 12 pt,
// "in" 72 pt, "cm" 72/2.54 pt, "mm" 72/25.4 pt; percentages and other
// units are refused. Without a viewBox one user unit is one point and the
// page's corner is at user (0, 0). With a viewBox and no width or height,
// the page is the viewBox, one user unit a point, its corner at the
// viewBox's origin. With both, the viewBox is fitted to the page as SVG
// does it (preserveAspectRatio, by default centred and scaled uniformly to
// fit; when the viewBox has the page's proportions that is simply a scale
// of page / viewBox size after a translation by minus the viewBox origin).
// With only one of width and height, the other follows the viewBox's
// proportions. Without a viewBox both width and height are needed.
//
// Symbols. Every <symbol> (anywhere, but not inside another symbol) becomes
// a symbol of the palette, in document order, named by its id, which must
// be present and unique. Its artwork is its drawn children (paths and basic
// shapes, through <g> and <a> with their transforms) in the symbol's own
// coordinates; the symbol's viewBox, x, y, width and height are ignored, and
// the output writes the symbol with overflow="visible" and without them, so
// that a <use> neither scales nor clips it. <text> and <use> inside a symbol
// are kept in its markup but are not part of its artwork.
//
// Existing art. Every drawn element outside <defs> and <symbol> becomes art
// that the hit test sees, with the transforms of itself and of its ancestor
// groups: each subpath of a <path> is one Path art (a path of three
// subpaths gives three arts; a moveto that draws nothing gives none);
// <rect> (rounded corners as quarter ellipses), <circle>, <ellipse>,
// <line>, <polyline> and <polygon> each one Path; <text> one Text whose box
// runs from x (shifted by text-anchor) over textLength, or the number of
// characters × 0.6 × font-size when there is none, and from 0.8 font-size
// above the baseline y to 0.2 below (font-size defaults to 16 user units);
// a <use> of a symbol one symbol instance (its x and y count, its width
// and height do not, as the symbol's viewBox does not). Other elements
// (images, nested <svg>, foreign content) are skipped. Lengths inside the
// drawing are user units, CSS-style: a plain number or "px" is one, "pt"
// 4/3, "in" 96 and so on; percentages are refused. A path is filled when its fill is
// not "none" (SVG's default fill is black); the fill and stroke are read
// from the presentation attributes and from style="..." (which wins), and
// inherited from the groups around. Only fill, stroke and stroke-width are
// kept; stroke-width is scaled by the transforms. A fill rule, opacity,
// dashes and class-based CSS are not kept.
//
// Flags. These attributes, on an element or on any group around it, set
// the art's flags:
//     data-kadrelle-guide="true"     a guide
//     data-kadrelle-locked="true"    locked
//     data-kadrelle-selected="true"  selected
//     data-kadrelle-hidden="true"    hidden (display="none" too)
// and data-kadrelle-selected="true" on a <symbol> makes it the palette's
// selected symbol.
//
// Layers. A top-level <g> with data-kadrelle-layer="Name" (or an Inkscape
// layer: inkscape:groupmode="layer", named by inkscape:label) is a layer;
// the first one names the document's first layer when no art came before
// it, and each further one is inserted above. Art at the top level, outside
// every layer group, goes into the layer opened last (the first layer before
// any), and that layer is the current one after loading. Groups inside a
// layer are plain groups.
//
// Definitions. The children of every <defs> (other than symbols) and the
// paint servers and other definitions found outside <defs> (gradients,
// patterns, clip paths, masks, markers, filters, styles) are copied to the
// output's <defs> as they were, and so are the root's namespace declarations.
//
// Output. <svg width="Wpt" height="Hpt" viewBox="0 0 W H">, so one user
// unit is one point; <defs> with the copied definitions and every symbol
// in palette order (the original children, or the artwork as paths for a
// symbol that came from no SVG); then one <g> per layer in paint order,
// named by the layer (inkscape:label and data-kadrelle-layer; the id is the
// name with whitespace turned into '_', made unique), holding its live art
// in paint order: paths as <path>, texts as <text> (with a textLength that
// keeps the box's width), instances as <use>, expanded art as a
// <g transform="matrix(...)"> with a copy of the symbol's children (ids
// removed, so the document's ids stay unique; it reads back as plain
// paths), with hidden art also display="none". Numbers are the shortest text
// that reads back to the same 32-bit float. The same document always gives
// the same bytes.
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/document.h"

namespace host {

// A file that cannot be read or used. The message says where: the source
// (file name), the line and byte offset where known (an element's offset is
// that of its name, just after the "<"), the element, and the problem:
//     drawing.svg:12 (byte 345): <path>: malformed path data at character 9:
//     expected a number at the end
class SvgError : public std::runtime_error {
public:
    SvgError(const std::string& message, std::string source, long line, long offset)
        : std::runtime_error(message), source_(std::move(source)), line_(line), offset_(offset)
    {
    }
    const std::string& source() const { return source_; }
    long line() const { return line_; }      // from 1; 0 when not known
    long offset() const { return offset_; }  // byte offset from 0; -1 when not known

private:
    std::string source_;
    long line_;
    long offset_;
};

// What the output needs to draw one symbol as the input drew it.
struct SvgSymbolSource {
    std::string id;
    // The <symbol>'s attributes in input order, id included.
    std::vector<std::pair<std::string, std::string>> attributes;
    // Its children as XML text.
    std::string content;
};

struct SvgDocument {
    std::unique_ptr<Document> document;
    // The symbols of the input in palette order; the output finds a
    // document symbol's source by its name.
    std::vector<SvgSymbolSource> symbols;
    // The definitions to copy through, as XML text.
    std::string defs;
    // The root's xmlns and xmlns:prefix declarations, so that copied markup
    // keeps its prefixes bound.
    std::vector<std::pair<std::string, std::string>> namespaces;

    // The symbols' ids in palette order.
    std::vector<std::string> SymbolIds() const;
};

// Read an SVG file; `source` names it in error messages.
SvgDocument LoadSvgFile(const std::filesystem::path& file);
SvgDocument LoadSvgText(std::string_view text, const std::string& source = "<svg text>");

// Write the document as SVG. Art whose matrix or coordinates are not finite
// has no place on a page and is left out.
void WriteSvg(const SvgDocument& svg, std::ostream& out);
std::string WriteSvg(const SvgDocument& svg);

}  // namespace host
