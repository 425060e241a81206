// The stand-in host's document.
//
// Every live art object is kept in a spatial index under its bounds grown by
// a little more than the hit tolerance, so a hit test asks the index which
// objects can be near the point and examines only those, from the top of the
// paint order down. The index takes new and changed art in when a hit test
// asks, not when the art is made, so art whose matrix is set right after it
// is made has its bounds worked out once.
//
// Paint order: a layer's id is its position in the stack, because layers are
// only ever added on top; and art only ever goes on top of a layer, so within
// a layer art ids rise in paint order. The paint-order key of an art object
// is therefore (layer id, art id), and no list has to be searched to compare
// two objects.
#include "host/document.h"
#include "host/spatial_index.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <iterator>
#include <limits>
#include <memory>
#include <new>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace host {
namespace {

// How far an art object's indexed box reaches beyond its bounds: the hit
// tolerance, and a little more so that rounding the box to floats never
// leaves out a point that is just within the tolerance.
constexpr float kIndexMargin = Document::kTolerance + 0.01f;

// ---- Geometry, in doubles ----------------------------------------------------------

struct Vec {
    double x;
    double y;
};

Vec ToVec(HostPoint p) { return {static_cast<double>(p.h), static_cast<double>(p.v)}; }
bool Same(HostPoint a, HostPoint b) { return a.h == b.h && a.v == b.v; }
// The same bits: transformed, the two points give the same bits.
bool SameBits(HostPoint a, HostPoint b)
{
    return std::bit_cast<std::uint32_t>(a.h) == std::bit_cast<std::uint32_t>(b.h) &&
           std::bit_cast<std::uint32_t>(a.v) == std::bit_cast<std::uint32_t>(b.v);
}
Vec Mid(Vec a, Vec b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }
double Distance(Vec a, Vec b) { return std::hypot(a.x - b.x, a.y - b.y); }
// The z of (b - a) × (c - a): positive when c is left of the line from a to b.
double Cross(Vec a, Vec b, Vec c) { return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y); }

double DistanceToSegment(Vec p, Vec a, Vec b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return Distance(p, {a.x + t * dx, a.y + t * dy});
}

// The point where segments ab and cd cross, if they do at one point.
std::optional<Vec> Crossing(Vec a, Vec b, Vec c, Vec d)
{
    const Vec r{b.x - a.x, b.y - a.y};
    const Vec s{d.x - c.x, d.y - c.y};
    const double denominator = r.x * s.y - r.y * s.x;
    if (denominator == 0) return std::nullopt;  // parallel or degenerate
    const Vec ac{c.x - a.x, c.y - a.y};
    const double t = (ac.x * s.y - ac.y * s.x) / denominator;
    const double u = (ac.x * r.y - ac.y * r.x) / denominator;
    if (t < 0 || t > 1 || u < 0 || u > 1) return std::nullopt;
    return Vec{a.x + t * r.x, a.y + t * r.y};
}

// A cubic Bézier segment: anchor, its "out" end, the next "in" end, the next anchor.
struct Cubic {
    Vec p0;
    Vec p1;
    Vec p2;
    Vec p3;
};

std::pair<Cubic, Cubic> Halves(const Cubic& c)
{
    const Vec p01 = Mid(c.p0, c.p1);
    const Vec p12 = Mid(c.p1, c.p2);
    const Vec p23 = Mid(c.p2, c.p3);
    const Vec p012 = Mid(p01, p12);
    const Vec p123 = Mid(p12, p23);
    const Vec middle = Mid(p012, p123);
    return {Cubic{c.p0, p01, p012, middle}, Cubic{middle, p123, p23, c.p3}};
}

// A curve whose inner control points lie this close to its chord lies this
// close to the chord (it stays in the hull of its control points) and, since
// it runs from one end of the chord to the other, comes this close to every
// point of the chord: it is taken as its chord.
constexpr double kFlatness = 1e-3;
// Halving this often makes any curve of sane size flat.
constexpr int kMaxDepth = 24;

bool IsFlat(const Cubic& c)
{
    return DistanceToSegment(c.p1, c.p0, c.p3) <= kFlatness && DistanceToSegment(c.p2, c.p0, c.p3) <= kFlatness;
}

// The distance from p to the box around the curve's control points, which
// holds the curve.
double DistanceToHull(Vec p, const Cubic& c)
{
    const double left = std::min({c.p0.x, c.p1.x, c.p2.x, c.p3.x});
    const double right = std::max({c.p0.x, c.p1.x, c.p2.x, c.p3.x});
    const double bottom = std::min({c.p0.y, c.p1.y, c.p2.y, c.p3.y});
    const double top = std::max({c.p0.y, c.p1.y, c.p2.y, c.p3.y});
    const double dx = std::max({left - p.x, 0.0, p.x - right});
    const double dy = std::max({bottom - p.y, 0.0, p.y - top});
    return std::hypot(dx, dy);
}

// Whether the curve passes within tolerance of p: halve it until each piece
// is flat, skipping pieces whose hull is out of reach.
bool CurveWithin(Vec p, const Cubic& c, double tolerance, int depth = 0)
{
    if (DistanceToHull(p, c) > tolerance) return false;
    if (depth == kMaxDepth || IsFlat(c)) return DistanceToSegment(p, c.p0, c.p3) <= tolerance;
    const auto [first, second] = Halves(c);
    return CurveWithin(p, first, tolerance, depth + 1) || CurveWithin(p, second, tolerance, depth + 1);
}

// How the edge from a to b crosses the ray from p towards +h: +1 upwards
// with p on its left, -1 downwards with p on its right, else 0 (a point on
// p's row counts as below it). Summed over a closed polygon's edges, this is
// its winding number around p.
int RayCrossing(Vec p, Vec a, Vec b)
{
    if (a.y <= p.y) return b.y > p.y && Cross(a, b, p) > 0 ? 1 : 0;
    return b.y <= p.y && Cross(a, b, p) < 0 ? -1 : 0;
}

// The crossings of the curve, as the polyline that halving it until each
// piece is flat makes of it. Only pieces whose box holds p are halved
// further: the polyline of any other piece crosses the ray as its chord
// does (the piece lies beside p's row, so neither crosses it; or wholly on
// one side of p, so each crossing of p's row counts the same, and the
// polyline's add up to the chord's). A curve too large to flatten then costs
// a few pieces at each depth, not 2^depth.
int Crossings(Vec p, const Cubic& c, int depth = 0)
{
    if (depth < kMaxDepth && !IsFlat(c)) {
        const double left = std::min({c.p0.x, c.p1.x, c.p2.x, c.p3.x});
        const double right = std::max({c.p0.x, c.p1.x, c.p2.x, c.p3.x});
        const double bottom = std::min({c.p0.y, c.p1.y, c.p2.y, c.p3.y});
        const double top = std::max({c.p0.y, c.p1.y, c.p2.y, c.p3.y});
        if (left <= p.x && p.x <= right && bottom <= p.y && p.y < top) {
            const auto [first, second] = Halves(c);
            return Crossings(p, first, depth + 1) + Crossings(p, second, depth + 1);
        }
    }
    return RayCrossing(p, c.p0, c.p3);
}

// ---- Paths ---------------------------------------------------------------------------

std::size_t SegmentCount(const Path& path)
{
    const std::size_t n = path.points.size();
    if (n < 2) return 0;
    return path.closed ? n : n - 1;
}

// Segment i runs from anchor i to anchor i + 1; a closed path's last one
// runs back to anchor 0.
Cubic SegmentAt(const Path& path, std::size_t i)
{
    const PathPoint& from = path.points[i];
    const PathPoint& to = path.points[(i + 1) % path.points.size()];
    return {ToVec(from.anchor), ToVec(from.out), ToVec(to.in), ToVec(to.anchor)};
}

bool IsStraight(const Path& path, std::size_t i)
{
    const PathPoint& from = path.points[i];
    const PathPoint& to = path.points[(i + 1) % path.points.size()];
    return Same(from.out, from.anchor) && Same(to.in, to.anchor);
}

// Whether a filled closed path holds p, by the non-zero rule over the
// polygon of its flattened segments.
bool Inside(Vec p, const Path& path)
{
    if (!path.closed || !path.filled || path.points.size() < 2) return false;
    int winding = 0;
    for (std::size_t i = 0; i < SegmentCount(path); ++i) winding += Crossings(p, SegmentAt(path, i));
    return winding != 0;
}

HostPoint Apply(const HostMatrix& m, HostPoint p)
{
    const double x = p.h;
    const double y = p.v;
    return {static_cast<float>(m.a * x + m.c * y + m.tx), static_cast<float>(m.b * x + m.d * y + m.ty)};
}

Path Transformed(const Path& path, const HostMatrix& m)
{
    Path result = path;
    for (PathPoint& point : result.points) {
        point.anchor = Apply(m, point.anchor);
        point.in = Apply(m, point.in);
        point.out = Apply(m, point.out);
    }
    return result;
}

// The smallest rectangle around points added to it.
class Extent {
public:
    void Add(HostPoint p)
    {
        left_ = std::min(left_, p.h);
        right_ = std::max(right_, p.h);
        bottom_ = std::min(bottom_, p.v);
        top_ = std::max(top_, p.v);
        empty_ = false;
    }
    void Add(const Path& path)
    {
        for (const PathPoint& point : path.points) {
            Add(point.anchor);
            Add(point.in);
            Add(point.out);
        }
    }
    // The points transformed by m.
    void Add(const std::vector<HostPoint>& points, const HostMatrix& m)
    {
        for (const HostPoint point : points) Add(Apply(m, point));
    }
    // Empty: the empty rectangle at where.
    HostRect Rect(HostPoint where = {0.0f, 0.0f}) const
    {
        if (empty_) return {where.h, where.v, where.h, where.v};
        return {left_, top_, right_, bottom_};
    }

private:
    bool empty_ = true;
    float left_ = std::numeric_limits<float>::max();
    float top_ = std::numeric_limits<float>::lowest();
    float right_ = std::numeric_limits<float>::lowest();
    float bottom_ = std::numeric_limits<float>::max();
};

// The control points of artwork in order, each anchor with the direction
// ends that are not at it (a corner's ends land where the anchor does, so
// they add nothing to the bounds).
std::vector<HostPoint> ControlPoints(const std::vector<Path>& artwork)
{
    std::vector<HostPoint> points;
    for (const Path& path : artwork) {
        for (const PathPoint& point : path.points) {
            points.push_back(point.anchor);
            if (!SameBits(point.in, point.anchor)) points.push_back(point.in);
            if (!SameBits(point.out, point.anchor)) points.push_back(point.out);
        }
    }
    return points;
}

HostRect BoundsOfArtwork(const std::vector<Path>& artwork)
{
    Extent extent;
    for (const Path& path : artwork) extent.Add(path);
    return extent.Rect();
}

Vec Centre(const HostRect& r)
{
    return {(static_cast<double>(r.left) + r.right) / 2, (static_cast<double>(r.top) + r.bottom) / 2};
}

IndexBox BoxAround(const HostRect& r)
{
    return {r.left - kIndexMargin, r.bottom - kIndexMargin, r.right + kIndexMargin, r.top + kIndexMargin};
}

// ---- What a request admits ----------------------------------------------------------

using PartSet = unsigned;
constexpr PartSet Bit(HitPart part) { return 1u << static_cast<unsigned>(part); }
constexpr PartSet kAllParts = 0x7F;
constexpr PartSet kPointParts =
    Bit(HitPart::AnchorPoint) | Bit(HitPart::LeadingDirectionEnd) | Bit(HitPart::TrailingDirectionEnd);
constexpr PartSet kDirectionParts = Bit(HitPart::LeadingDirectionEnd) | Bit(HitPart::TrailingDirectionEnd);

struct Admission {
    PartSet parts = 0;       // none: the art is not admitted at all
    bool endsOnly = false;   // anchors only at the ends of open paths
};

// See Document::HitTest for the rules. path: the art's own path, for a path.
Admission Admit(HitRequest request, const Art& art, const Path* path)
{
    const bool guide = art.flags.guide;
    const bool text = art.kind == ArtKind::Text;
    switch (request) {
    case HitRequest::All: return {kAllParts};
    case HitRequest::BezierPoints: return {!guide && !text ? kPointParts : 0};
    case HitRequest::EndPoints:
        if (path != nullptr && !path->closed) return {Bit(HitPart::AnchorPoint), true};
        return {};
    case HitRequest::Guides: return {guide ? kAllParts : 0};
    case HitRequest::PointsOrGuides: return {guide ? kAllParts : !text ? kPointParts : 0};
    case HitRequest::Text: return {text ? kAllParts : 0};
    case HitRequest::Selected: return {art.flags.selected ? kAllParts : 0};
    case HitRequest::Paintable: return {!guide ? kAllParts : 0};
    case HitRequest::AllNoFill: return {kAllParts & ~Bit(HitPart::Fill)};
    case HitRequest::PaintableNoFill: return {!guide ? kAllParts & ~Bit(HitPart::Fill) : 0};
    case HitRequest::AllNoDirection: return {kAllParts & ~kDirectionParts};
    case HitRequest::PaintableNoLocked: return {!guide && !art.flags.locked ? kAllParts : 0};
    }
    return {};
}

constexpr HitPart kPartOrder[] = {
    HitPart::AnchorPoint, HitPart::LeadingDirectionEnd, HitPart::TrailingDirectionEnd, HitPart::CentrePoint,
    HitPart::GuideIntersection, HitPart::SegmentInterior, HitPart::Fill,
};

// Art that a hit test examines: its id, record and, for a path, its path.
struct Candidate {
    ArtId id = 0;
    const Art* art = nullptr;
    const Path* path = nullptr;
};

// Where an art object stands with the hit test's index.
enum IndexState : std::uint8_t {
    kWaiting = 0,  // new or changed since the index last took art in
    kIndexed = 1,  // in the index under the box its bounds give now
    kOffPage = 2,  // its bounds are not finite: never in the index, never hit
};

bool Finite(const IndexBox& box)
{
    return std::isfinite(box.left) && std::isfinite(box.bottom) && std::isfinite(box.right) &&
           std::isfinite(box.top) && box.left <= box.right && box.bottom <= box.top;
}

// Art records in chunks of a fixed size: a record never moves once made, and
// growing never copies the records or holds more than one chunk unused.
class ArtStore {
public:
    std::size_t size() const { return size_; }
    Art& operator[](std::size_t i) { return chunks_[i >> kShift].get()[i & kMask]; }
    const Art& operator[](std::size_t i) const { return chunks_[i >> kShift].get()[i & kMask]; }
    void push_back(const Art& a)
    {
        // A chunk's records are made as art arrives: a small document touches
        // only the memory it uses.
        if ((size_ & kMask) == 0) chunks_.emplace_back(static_cast<Art*>(::operator new(kChunk * sizeof(Art))));
        ::new (&(*this)[size_]) Art(a);
        ++size_;
    }

private:
    static_assert(std::is_trivially_destructible_v<Art>, "chunks free their records without destroying them");
    struct FreeChunk {
        void operator()(Art* chunk) const { ::operator delete(chunk); }
    };
    static constexpr std::size_t kShift = 12;
    static constexpr std::size_t kChunk = std::size_t{1} << kShift;
    static constexpr std::size_t kMask = kChunk - 1;
    std::vector<std::unique_ptr<Art, FreeChunk>> chunks_;
    std::size_t size_ = 0;
};

// What some kinds of art keep beside their record, by art id: ids rise as
// art is made, so a binary search finds it.
template <typename T>
class Beside {
public:
    void Add(ArtId id, T item)
    {
        ids_.push_back(id);
        items_.push_back(std::move(item));
    }
    const T* Find(ArtId id) const
    {
        // Art of one kind is mostly made in a run (the paths of a document
        // as it is read): where the ids from the first on have no gap, the
        // id's place is its distance from the first.
        if (!ids_.empty() && id >= ids_.front()) {
            const std::size_t guess = id - ids_.front();
            if (guess < ids_.size() && ids_[guess] == id) return &items_[guess];
        }
        const auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
        if (it == ids_.end() || *it != id) return nullptr;
        return &items_[static_cast<std::size_t>(it - ids_.begin())];
    }

private:
    std::vector<ArtId> ids_;
    std::vector<T> items_;
};

}  // namespace

struct Document::Impl {
    std::vector<HostPoint> views;
    std::vector<Symbol> symbols;
    std::vector<std::vector<HostPoint>> symbolPoints;  // ControlPoints of each symbol's artwork
    std::vector<Layer> layers;
    LayerId currentLayer = 0;
    ArtStore art;                // art[id - 1]
    Beside<Path> paths;          // of the paths
    Beside<TextArt> texts;       // of the texts
    std::size_t live = 0;

    // The hit test's index takes art in only when a hit test asks, so that
    // painting without the hit test never pays for it: art made after
    // indexedUpTo, and the older art in `changed`, is waiting (kWaiting).
    SpatialIndex index;
    ArtId indexedUpTo = 0;
    std::vector<ArtId> changed;

    // A hit test's working lists, kept from one test to the next so that a
    // test allocates nothing once they have grown.
    struct HitScratch {
        std::vector<ArtId> found;
        std::vector<Candidate> candidates;
        std::vector<Candidate> guides;  // that may cross at the point
        std::vector<Path> made;         // an instance's outline
    };
    mutable HitScratch scratch;

    const Art& At(ArtId id) const
    {
        if (id == 0 || id > art.size()) throw std::out_of_range("unknown art " + std::to_string(id));
        return art[id - 1];
    }
    Art& At(ArtId id) { return const_cast<Art&>(std::as_const(*this).At(id)); }

    const Symbol& SymbolAt(SymbolId id) const
    {
        if (id >= symbols.size()) throw std::out_of_range("unknown symbol " + std::to_string(id));
        return symbols[id];
    }

    const Path& PathAt(ArtId id) const
    {
        const Path* path = At(id).kind == ArtKind::Path ? paths.Find(id) : nullptr;
        if (path == nullptr) throw std::invalid_argument("art " + std::to_string(id) + " is not a path");
        return *path;
    }

    const TextArt& TextAt(ArtId id) const
    {
        const TextArt* text = At(id).kind == ArtKind::Text ? texts.Find(id) : nullptr;
        if (text == nullptr) throw std::invalid_argument("art " + std::to_string(id) + " is not a text");
        return *text;
    }

    HostRect Bounds(ArtId id, const Art& a) const
    {
        switch (a.kind) {
        case ArtKind::Path: {
            Extent extent;
            extent.Add(PathAt(id));
            return extent.Rect();
        }
        case ArtKind::Text: {
            const HostRect& box = TextAt(id).box;
            return {std::min(box.left, box.right), std::max(box.top, box.bottom), std::max(box.left, box.right),
                    std::min(box.top, box.bottom)};
        }
        case ArtKind::Instance:
        case ArtKind::Expanded: {
            const Symbol& symbol = SymbolAt(a.symbol);
            Extent extent;
            extent.Add(symbolPoints[a.symbol], a.matrix);
            const Vec centre = Centre(symbol.bounds);
            return extent.Rect(Apply(a.matrix, {static_cast<float>(centre.x), static_cast<float>(centre.y)}));
        }
        }
        return {};
    }

    // The paths through which the art is hit, in document coordinates: a
    // path's own (not copied), an instance's symbol artwork through its
    // matrix (made into `made`).
    std::span<const Path> Outline(const Candidate& c, std::vector<Path>& made) const
    {
        switch (c.art->kind) {
        case ArtKind::Path: return {c.path, 1};
        case ArtKind::Text: return {};
        case ArtKind::Instance:
        case ArtKind::Expanded:
            made.clear();
            for (const Path& path : SymbolAt(c.art->symbol).artwork) made.push_back(Transformed(path, c.art->matrix));
            return made;
        }
        return {};
    }

    ArtId Add(Art a)
    {
        a.layer = currentLayer;
        a.indexState = kWaiting;
        art.push_back(a);
        const auto id = static_cast<ArtId>(art.size());
        layers[currentLayer].art.push_back(id);
        ++live;
        return id;
    }

    // Before art's bounds change or it is deleted: take it out of the index,
    // under the box its bounds give now.
    void TakeOut(ArtId id)
    {
        Art& a = art[id - 1];
        if (a.indexState == kIndexed) index.Remove(BoxAround(Bounds(id, a)), id);
        if (id <= indexedUpTo && a.indexState != kWaiting) changed.push_back(id);
        a.indexState = kWaiting;
    }

    // Take the waiting art into the index.
    void TakeInWaitingArt()
    {
        const auto takeIn = [&](ArtId id) {
            Art& a = art[id - 1];
            if (a.deleted || a.indexState != kWaiting) return;
            const IndexBox box = BoxAround(Bounds(id, a));
            if (!Finite(box)) {
                a.indexState = kOffPage;
                return;
            }
            a.indexState = kIndexed;
            index.Insert(box, id);
        };
        for (ArtId id : changed) takeIn(id);
        for (auto id = static_cast<ArtId>(indexedUpTo + 1); id <= art.size(); ++id) takeIn(id);
        changed = {};
        indexedUpTo = static_cast<ArtId>(art.size());
    }

    bool PartHit(const Candidate& c, HitPart part, Vec p, bool endsOnly, std::span<const Path> outline,
                 const std::vector<Candidate>& guides) const;
};

// Whether point p is on the given part of art a, whose outline is given.
bool Document::Impl::PartHit(const Candidate& c, HitPart part, Vec p, bool endsOnly,
                             std::span<const Path> outline, const std::vector<Candidate>& guides) const
{
    constexpr double tolerance = kTolerance;
    const Art& a = *c.art;
    switch (part) {
    case HitPart::AnchorPoint:
        for (const Path& path : outline) {
            for (std::size_t i = 0; i < path.points.size(); ++i) {
                const bool end = !path.closed && (i == 0 || i + 1 == path.points.size());
                if (endsOnly && !end) continue;
                if (Distance(p, ToVec(path.points[i].anchor)) <= tolerance) return true;
            }
        }
        return false;
    case HitPart::LeadingDirectionEnd:
    case HitPart::TrailingDirectionEnd:
        for (const Path& path : outline) {
            for (const PathPoint& point : path.points) {
                const HostPoint end = part == HitPart::LeadingDirectionEnd ? point.in : point.out;
                if (!Same(end, point.anchor) && Distance(p, ToVec(end)) <= tolerance) return true;
            }
        }
        return false;
    case HitPart::CentrePoint: {
        const bool hasCentre = a.kind == ArtKind::Instance || a.kind == ArtKind::Expanded ||
                               (c.path != nullptr && c.path->closed && c.path->filled);
        return hasCentre && Distance(p, Centre(Bounds(c.id, a))) <= tolerance;
    }
    case HitPart::GuideIntersection:
        if (c.path == nullptr || !a.flags.guide) return false;
        for (const Candidate& other : guides) {
            if (other.id == c.id) continue;
            for (std::size_t i = 0; i < SegmentCount(*c.path); ++i) {
                if (!IsStraight(*c.path, i)) continue;
                const Cubic mine = SegmentAt(*c.path, i);
                for (std::size_t j = 0; j < SegmentCount(*other.path); ++j) {
                    if (!IsStraight(*other.path, j)) continue;
                    const Cubic theirs = SegmentAt(*other.path, j);
                    const std::optional<Vec> crossing = Crossing(mine.p0, mine.p3, theirs.p0, theirs.p3);
                    if (crossing && Distance(p, *crossing) <= tolerance) return true;
                }
            }
        }
        return false;
    case HitPart::SegmentInterior:
        for (const Path& path : outline) {
            for (std::size_t i = 0; i < SegmentCount(path); ++i) {
                if (CurveWithin(p, SegmentAt(path, i), tolerance)) return true;
            }
        }
        return false;
    case HitPart::Fill:
        if (a.kind == ArtKind::Text) {
            const HostRect box = Bounds(c.id, a);
            return p.x >= box.left && p.x <= box.right && p.y >= box.bottom && p.y <= box.top;
        }
        return std::any_of(outline.begin(), outline.end(), [&](const Path& path) { return Inside(p, path); });
    }
    return false;
}

Document::Document(float width, float height) : impl_(std::make_unique<Impl>()), setup_{width, height}
{
    impl_->views.push_back({width / 2, height / 2});
    impl_->layers.push_back(Layer{0, "Layer 1", {}});
}

Document::~Document() = default;

void Document::SetPageSize(float width, float height) { setup_ = {width, height}; }

std::size_t Document::ViewCount() const { return impl_->views.size(); }
HostPoint Document::ViewCentre(std::size_t view) const { return impl_->views.at(view); }
void Document::SetViewCentre(std::size_t view, HostPoint centre) { impl_->views.at(view) = centre; }
std::size_t Document::AddView(HostPoint centre)
{
    impl_->views.push_back(centre);
    return impl_->views.size() - 1;
}

SymbolId Document::AddSymbol(std::string name, std::vector<Path> artwork)
{
    Symbol symbol;
    symbol.name = std::move(name);
    symbol.bounds = BoundsOfArtwork(artwork);
    symbol.artwork = std::move(artwork);
    impl_->symbolPoints.push_back(ControlPoints(symbol.artwork));
    impl_->symbols.push_back(std::move(symbol));
    return static_cast<SymbolId>(impl_->symbols.size() - 1);
}

std::size_t Document::SymbolCount() const { return impl_->symbols.size(); }

std::optional<SymbolId> Document::NthSymbol(std::size_t n) const
{
    if (n >= impl_->symbols.size()) return std::nullopt;
    return static_cast<SymbolId>(n);
}

const Symbol& Document::GetSymbol(SymbolId symbol) const { return impl_->SymbolAt(symbol); }
Symbol& Document::GetSymbol(SymbolId symbol) { return const_cast<Symbol&>(impl_->SymbolAt(symbol)); }

void Document::SetSymbolArtwork(SymbolId symbol, std::vector<Path> artwork)
{
    Symbol& changed = GetSymbol(symbol);
    // Its art leaves the index under the bounds the old artwork gives.
    for (std::size_t i = 0; i < impl_->art.size(); ++i) {
        const Art& a = impl_->art[i];
        const bool usesSymbol = a.kind == ArtKind::Instance || a.kind == ArtKind::Expanded;
        if (usesSymbol && a.symbol == symbol && !a.deleted) impl_->TakeOut(static_cast<ArtId>(i + 1));
    }
    changed.bounds = BoundsOfArtwork(artwork);
    impl_->symbolPoints[symbol] = ControlPoints(artwork);
    changed.artwork = std::move(artwork);
}

const std::vector<Layer>& Document::Layers() const { return impl_->layers; }
LayerId Document::CurrentLayer() const { return impl_->currentLayer; }

void Document::SetCurrentLayer(LayerId layer)
{
    if (layer >= impl_->layers.size()) throw std::out_of_range("unknown layer " + std::to_string(layer));
    impl_->currentLayer = layer;
}

LayerId Document::InsertLayerAbove()
{
    // Layers only ever go on top, so a layer's id is its position.
    const auto id = static_cast<LayerId>(impl_->layers.size());
    impl_->layers.push_back(Layer{id, "Layer " + std::to_string(id + 1), {}});
    impl_->currentLayer = id;
    return id;
}

void Document::SetLayerName(LayerId layer, std::string name)
{
    if (layer >= impl_->layers.size()) throw std::out_of_range("unknown layer " + std::to_string(layer));
    impl_->layers[layer].name = std::move(name);
}

ArtId Document::AddPath(Path path, ArtFlags flags)
{
    Art a;
    a.kind = ArtKind::Path;
    a.flags = flags;
    const ArtId id = impl_->Add(a);
    impl_->paths.Add(id, std::move(path));
    return id;
}

ArtId Document::AddText(std::string text, HostRect box, ArtFlags flags)
{
    Art a;
    a.kind = ArtKind::Text;
    a.flags = flags;
    const ArtId id = impl_->Add(a);
    impl_->texts.Add(id, TextArt{std::move(text), box});
    return id;
}

ArtId Document::AddInstance(SymbolId symbol, HostPoint centre)
{
    const Vec symbolCentre = Centre(impl_->SymbolAt(symbol).bounds);
    Art a;
    a.kind = ArtKind::Instance;
    a.symbol = symbol;
    a.matrix = {1, 0, 0, 1, static_cast<float>(centre.h - symbolCentre.x),
                static_cast<float>(centre.v - symbolCentre.y)};
    return impl_->Add(a);
}

ArtId Document::Expand(ArtId instance)
{
    const Art& source = impl_->At(instance);
    if (source.kind != ArtKind::Instance || source.deleted)
        throw std::invalid_argument("only a live symbol instance can be expanded");
    Art a;
    a.kind = ArtKind::Expanded;
    a.symbol = source.symbol;
    a.matrix = source.matrix;
    return impl_->Add(a);
}

void Document::Delete(ArtId art)
{
    Art& a = impl_->At(art);
    if (a.deleted) throw std::logic_error("art " + std::to_string(art) + " deleted twice");
    std::vector<ArtId>& layerArt = impl_->layers[a.layer].art;
    // A layer's art is in rising id order.
    layerArt.erase(std::lower_bound(layerArt.begin(), layerArt.end(), art));
    impl_->TakeOut(art);
    a.deleted = true;
    --impl_->live;
}

bool Document::Knows(ArtId art) const { return art != 0 && art <= impl_->art.size(); }
bool Document::Exists(ArtId art) const { return Knows(art) && !impl_->art[art - 1].deleted; }
const Art& Document::GetArt(ArtId art) const { return impl_->At(art); }
const Path& Document::PathOf(ArtId art) const { return impl_->PathAt(art); }
const TextArt& Document::TextOf(ArtId art) const { return impl_->TextAt(art); }
void Document::SetFlags(ArtId art, ArtFlags flags) { impl_->At(art).flags = flags; }

void Document::SetMatrix(ArtId instance, const HostMatrix& matrix)
{
    Art& a = impl_->At(instance);
    if (a.kind != ArtKind::Instance || a.deleted)
        throw std::invalid_argument("a matrix is set only on a live symbol instance");
    impl_->TakeOut(instance);
    a.matrix = matrix;
}

HostRect Document::Bounds(ArtId art) const { return impl_->Bounds(art, impl_->At(art)); }

std::int16_t Document::ArtType(ArtId art) const
{
    switch (impl_->At(art).kind) {
    case ArtKind::Path: return kPathArtType;
    case ArtKind::Text: return kTextArtType;
    case ArtKind::Instance: return kSymbolInstanceArtType;
    case ArtKind::Expanded: return kGroupArtType;
    }
    return 0;
}

std::size_t Document::ArtCount() const { return impl_->live; }

HitResult Document::HitTest(HostPoint point, HitRequest request) const
{
    impl_->TakeInWaitingArt();
    Impl::HitScratch& scratch = impl_->scratch;
    std::vector<ArtId>& found = scratch.found;
    std::vector<Candidate>& candidates = scratch.candidates;
    std::vector<Candidate>& guides = scratch.guides;
    found.clear();
    candidates.clear();
    guides.clear();
    impl_->index.Query(point.h, point.v, found);

    for (const ArtId id : found) {
        const Art& a = impl_->art[id - 1];
        if (a.flags.hidden) continue;
        const Candidate candidate{id, &a, a.kind == ArtKind::Path ? &impl_->PathAt(id) : nullptr};
        candidates.push_back(candidate);
        if (candidate.path != nullptr && a.flags.guide) guides.push_back(candidate);
    }
    // Paint order: a higher layer above a lower one, later art above earlier
    // art in a layer.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& x, const Candidate& y) {
        return std::pair(x.art->layer, x.id) > std::pair(y.art->layer, y.id);
    });

    const Vec p = ToVec(point);
    for (const Candidate& c : candidates) {
        const Admission admission = Admit(request, *c.art, c.path);
        if (admission.parts == 0) continue;
        const std::span<const Path> outline = impl_->Outline(c, scratch.made);
        for (HitPart part : kPartOrder) {
            if ((admission.parts & Bit(part)) == 0) continue;
            if (impl_->PartHit(c, part, p, admission.endsOnly, outline, guides)) return {true, part, c.id};
        }
    }
    return {};
}

}  // namespace host
