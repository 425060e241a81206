#pragma once
// The stand-in host's document: the page, its views, layers in paint order,
// the art on them (paths, texts, symbol instances and the plain art that
// expanding an instance leaves), the symbols of the symbol palette, and the
// hit test at a point. Art is kept in a spatial index, so the hit test does
// not scan every object.
//
// Coordinates are the host's: points, the page's corner at (0, 0), v growing
// upward.
//
// Misuse of the document itself (an unknown id, a matrix set on a path,
// deleted art changed) throws; the suites check their arguments first and
// report misuse to the host instead.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/ai_suites.h"

namespace host {

// Art types the host reports.
constexpr std::int16_t kGroupArtType = 1;
constexpr std::int16_t kPathArtType = 2;
constexpr std::int16_t kTextArtType = 15;
// kSymbolInstanceArtType (13) comes with the suites.

// The parts a hit test can report, in the order of the tool's
// "Paint on ..." list. The hit test tries them in another order; see
// Document::HitTest.
enum class HitPart : std::int16_t {
    AnchorPoint = 0,
    LeadingDirectionEnd = 1,   // the "in" handle of an anchor
    TrailingDirectionEnd = 2,  // the "out" handle of an anchor
    SegmentInterior = 3,
    Fill = 4,
    CentrePoint = 5,
    GuideIntersection = 6,
};

// The hit requests, in the order of the tool's hit-test list.
enum class HitRequest : std::int32_t {
    All = 0,                    // paths and objects anywhere
    BezierPoints = 1,           // anchor points and direction-line ends of paths
    EndPoints = 2,              // only the first or last anchor point of an open path
    Guides = 3,                 // only guides
    PointsOrGuides = 4,         // points of paths, or any part of a guide
    Text = 5,                   // only text objects
    Selected = 6,               // only selected objects
    Paintable = 7,              // non-guide paths, text and instances
    AllNoFill = 8,              // as All, without fills
    PaintableNoFill = 9,        // as Paintable, without fills
    AllNoDirection = 10,        // as All, without direction-line ends
    PaintableNoLocked = 11,     // as Paintable, without locked objects
};

// One anchor of a path with its two direction-line ends; a corner point has
// both at the anchor.
struct PathPoint {
    HostPoint anchor{};
    HostPoint in{};    // the leading direction-line end (toward the previous anchor)
    HostPoint out{};   // the trailing direction-line end (toward the next anchor)
};

// A path of cubic Bézier segments.
struct Path {
    std::vector<PathPoint> points;
    bool closed = false;
    bool filled = false;
    std::string fill = "none";     // an SVG paint for export: "#rrggbb", "none"
    std::string stroke = "#000000";
    float strokeWidth = 1.0f;
};

// Flags an art object carries.
struct ArtFlags {
    bool guide : 1 = false;
    bool locked : 1 = false;
    bool selected : 1 = false;
    bool hidden : 1 = false;
};

using ArtId = std::uint32_t;
using SymbolId = std::uint32_t;
using LayerId = std::uint32_t;

struct Symbol {
    std::string name;          // e.g. the SVG id of the <symbol>
    std::vector<Path> artwork; // in the symbol's own coordinates
    HostRect bounds{};         // of the artwork (left, top, right, bottom; top > bottom)
    bool valid = true;         // an invalid symbol is refused by the validity test
};

enum class ArtKind : std::uint8_t { Path, Text, Instance, Expanded };

// An art object's record. It is small, because a stroke places millions of
// instances: a path's points and a text's content are kept beside it (see
// Document::PathOf and Document::TextOf), and its id is its place in the
// document.
struct Art {
    HostMatrix matrix{1, 0, 0, 1, 0, 0};  // Instance and Expanded: placement of the symbol's artwork
    LayerId layer = 0;
    SymbolId symbol = 0;                  // Instance and Expanded: the symbol
    ArtKind kind = ArtKind::Path;
    ArtFlags flags;
    bool deleted = false;
    // Where the art stands with the hit test's index (the document's own
    // bookkeeping).
    std::uint8_t indexState = 0;
};

// A text object: its content and its box.
struct TextArt {
    std::string text;
    HostRect box{};
};

struct Layer {
    LayerId id = 0;
    std::string name;
    std::vector<ArtId> art;      // in paint order, bottom first (deleted art removed)
};

// What a hit test found.
struct HitResult {
    bool hit = false;
    HitPart part = HitPart::AnchorPoint;
    ArtId art = 0;
};

class Document {
public:
    Document(float width, float height);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // --- The page and views ----------------------------------------------
    DocumentSetup Setup() const { return setup_; }
    void SetPageSize(float width, float height);
    // View 0 is made with the document, centred on the page.
    std::size_t ViewCount() const;
    HostPoint ViewCentre(std::size_t view) const;
    void SetViewCentre(std::size_t view, HostPoint centre);
    std::size_t AddView(HostPoint centre);

    // --- Symbols ---------------------------------------------------------
    // Adds a symbol at the end of the palette; its bounds come from the
    // artwork (an empty artwork has empty bounds at the origin).
    SymbolId AddSymbol(std::string name, std::vector<Path> artwork);
    std::size_t SymbolCount() const;
    // The symbol at palette position n, or nullopt.
    std::optional<SymbolId> NthSymbol(std::size_t n) const;
    const Symbol& GetSymbol(SymbolId symbol) const;
    // For the name and validity. The artwork and bounds are changed only
    // through SetSymbolArtwork, which keeps the instances' indexed bounds
    // right.
    Symbol& GetSymbol(SymbolId symbol);
    // Replace a symbol's artwork and bounds; its instances and expanded art
    // keep their matrices and take the new artwork.
    void SetSymbolArtwork(SymbolId symbol, std::vector<Path> artwork);
    // The palette's selected symbol, or nullopt.
    std::optional<SymbolId> selectedSymbol;

    // --- Layers ----------------------------------------------------------
    // A document starts with one layer, "Layer 1", which is current.
    const std::vector<Layer>& Layers() const;   // paint order, bottom first
    LayerId CurrentLayer() const;
    // Make a layer current: new art goes on top of it, which is still below
    // the art of every layer above it.
    void SetCurrentLayer(LayerId layer);
    // Insert a new layer above all others, named "Layer n"; it becomes
    // current, so new art goes into it.
    LayerId InsertLayerAbove();
    // Rename a layer; names need not be unique.
    void SetLayerName(LayerId layer, std::string name);

    // --- Art -------------------------------------------------------------
    // Each adds on top of the current layer and returns the new art. Adding
    // costs O(1): the hit test's index takes new and moved art in when a hit
    // test next asks (O(log n) each, or a rebuild of the index when most of
    // it is new). Deleting also takes the art out of its layer's list, which
    // is linear in that layer.
    ArtId AddPath(Path path, ArtFlags flags = {});
    ArtId AddText(std::string text, HostRect box, ArtFlags flags = {});
    // A new instance whose bounds are centred on centre: its matrix is the
    // translation that takes the centre of the symbol's bounds to centre.
    ArtId AddInstance(SymbolId symbol, HostPoint centre);
    // Add the instance's artwork as plain art (kind Expanded, same symbol
    // and matrix) right on top of the current layer; the instance stays.
    ArtId Expand(ArtId instance);
    // Remove the art from its layer and the index; its id stays known as
    // deleted.
    void Delete(ArtId art);

    bool Knows(ArtId art) const;             // made by this document, deleted or not
    bool Exists(ArtId art) const;            // known and not deleted
    const Art& GetArt(ArtId art) const;      // also deleted art
    // A path's points and paint; a text's content and box. Throws for art
    // of another kind.
    const Path& PathOf(ArtId art) const;
    const TextArt& TextOf(ArtId art) const;
    // Guide, locked, selected, hidden: the hit test reads them.
    void SetFlags(ArtId art, ArtFlags flags);
    // Only for a live instance.
    void SetMatrix(ArtId instance, const HostMatrix& matrix);
    // The art's bounds: a path's control points (anchors and both direction
    // ends), a text's box, an instance's or expanded art's artwork control
    // points transformed by its matrix. Art without points has empty bounds
    // where its origin is.
    HostRect Bounds(ArtId art) const;
    std::int16_t ArtType(ArtId art) const;
    // Live art objects, all layers, in paint order.
    std::size_t ArtCount() const;

    // --- Hit test ----------------------------------------------------------
    // Distance in points within which a point, handle or segment is hit.
    static constexpr float kTolerance = 2.0f;
    // The topmost art at point that the request admits, and the part hit.
    //
    // Only live art that is not hidden is hit. The art is tried from the top
    // of the paint order down (a higher layer above a lower one, later art
    // above earlier art in a layer); the first one hit wins, even when art
    // below would be hit on a part that comes earlier.
    //
    // An instance or expanded art is hit through its symbol's artwork
    // transformed by its matrix, as if that were its own paths. A text's only
    // part is its box, which counts as its fill.
    //
    // The parts of one art object are tried in this order, within kTolerance
    // unless said otherwise, and the first one hit is reported:
    //   AnchorPoint          an anchor;
    //   LeadingDirectionEnd  an "in" end that is not at its anchor;
    //   TrailingDirectionEnd an "out" end that is not at its anchor;
    //   CentrePoint          the centre of the bounds of a filled closed
    //                        path, an instance or expanded art;
    //   GuideIntersection    the crossing of a straight segment of this guide
    //                        (a segment whose direction ends are at its
    //                        anchors) with one of another live, shown guide;
    //   SegmentInterior      the curve of a segment, the closing one of a
    //                        closed path included;
    //   Fill                 inside a filled closed path by the non-zero
    //                        winding rule (no tolerance), or inside a text's
    //                        box (edges included).
    // A guide intersection comes before the segment interior because every
    // point near a crossing is also near both segments.
    //
    // What each request admits (any part unless said otherwise):
    //   All                everything;
    //   BezierPoints       anchors and direction ends of non-guide paths,
    //                      instances and expanded art;
    //   EndPoints          the first and last anchor of an open path (a
    //                      guide's too), nothing of instances;
    //   Guides             guides;
    //   PointsOrGuides     what BezierPoints admits, and guides;
    //   Text               texts;
    //   Selected           selected art;
    //   Paintable          non-guide art: paths, texts, instances, expanded;
    //   AllNoFill          as All, without fills (so no text);
    //   PaintableNoFill    as Paintable, without fills;
    //   AllNoDirection     as All, without direction ends;
    //   PaintableNoLocked  as Paintable, without locked art.
    // Locked art is hit by every other request. A request outside these hits
    // nothing.
    HitResult HitTest(HostPoint point, HitRequest request) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    DocumentSetup setup_{};
};

}  // namespace host
