#include "patterns/mirror.h"

#include "settings/globals.h"
#include "shell/suites.h"

namespace {

// Where a mode's reference point R lies.
enum class Reference : std::uint8_t { None, ViewCentre, PageCentre, StartPoint, LastPoint };

// One translation step of a copy: each component is one term, a share of d
// (R - Q) or of the page's width or height.
struct MirrorStep {
    float dx;   // × dx
    float w;    // × W
    float dy;   // × dy
    float h;    // × H
};

struct MirrorMode {
    Reference reference;
    bool strokeRandom;          // d is first scaled by 4r, r drawn at mouse down
    std::size_t count;
    MirrorStep steps[kMaxMirrorCopies];
};

// The 23 modes, in the order of the mirror popup. Steps accumulate: copy i
// is the source moved by the sum of steps 1 to i.
constexpr MirrorMode kMirrorModes[] = {
    /*  0 No mirror */ {Reference::None, false, 0, {}},
    /*  1 vertical view centre */ {Reference::ViewCentre, false, 1, {{2, 0, 0, 0}}},
    /*  2 horizontal view centre */ {Reference::ViewCentre, false, 1, {{0, 0, 2, 0}}},
    /*  3 close to vertical centre */ {Reference::ViewCentre, false, 1, {{-2, 0, 0, 0}}},
    /*  4 tile around view centre */
    {Reference::ViewCentre, false, 3, {{2, 0, 0, 0}, {0, 0, 2, 0}, {-2, 0, 0, 0}}},
    /*  5 diagonal about view centre */ {Reference::ViewCentre, false, 1, {{2, 0, 2, 0}}},
    /*  6 triangular */ {Reference::ViewCentre, false, 2, {{2, 0, 0, 0}, {-1, 0, 2, 0}}},
    /*  7 tile around document centre */
    {Reference::PageCentre, false, 3, {{2, 0, 0, 0}, {0, 0, 2, 0}, {-2, 0, 0, 0}}},
    /*  8 four about vertical view centre */
    {Reference::ViewCentre, false, 3, {{0.5f, 0, 0, 0}, {1, 0, 0, 0}, {0.5f, 0, 0, 0}}},
    /*  9 four about horizontal view centre */
    {Reference::ViewCentre, false, 3, {{0, 0, 0.5f, 0}, {0, 0, 1, 0}, {0, 0, 0.5f, 0}}},
    /* 10 horizontal view centre variant */
    {Reference::ViewCentre, false, 3, {{0, 0.05f, 0.5f, 0}, {0, 0.1f, 1, 0}, {0, 0.15f, 0.5f, 0}}},
    /* 11 four diagonal about view centre */
    {Reference::ViewCentre, false, 3, {{0.5f, 0, 0.5f, 0}, {1, 0, 1, 0}, {0.5f, 0, 0.5f, 0}}},
    /* 12 eight about horizontal view centre */
    {Reference::ViewCentre,
     false,
     7,
     {{0, 0, 0.25f, 0},
      {0, 0, 0.25f, 0},
      {0, 0, 0.25f, 0},
      {0, 0, 0.5f, 0},
      {0, 0, 0.25f, 0},
      {0, 0, 0.25f, 0},
      {0, 0, 0.25f, 0}}},
    /* 13 vertical start point */ {Reference::StartPoint, false, 1, {{2, 0, 0, 0}}},
    /* 14 horizontal start point */ {Reference::StartPoint, false, 1, {{0, 0, 2, 0}}},
    /* 15 vertical start point [R] */ {Reference::StartPoint, true, 1, {{1, 0, 0, 0}}},
    /* 16 horizontal start point [R] */ {Reference::StartPoint, true, 1, {{0, 0, 1, 0}}},
    /* 17 tile around start point */
    {Reference::StartPoint, false, 3, {{2, 0, 0, 0}, {0, 0, 2, 0}, {-2, 0, 0, 0}}},
    /* 18 vertical last point */ {Reference::LastPoint, false, 1, {{2, 0, 0, 0}}},
    /* 19 vertical start point + */ {Reference::StartPoint, false, 1, {{2, 0, 0, 0.05f}}},
    /* 20 horizontal start point + */ {Reference::StartPoint, false, 1, {{0, 0.05f, 2, 0}}},
    /* 21 4 - horizontal start point + */
    {Reference::StartPoint, false, 3, {{0, 0.05f, 2, 0}, {0, 0.05f, 0, 0}, {0, 0.05f, 0, 0}}},
    /* 22 reversed */ {Reference::StartPoint, false, 1, {{2, 0, 2, 0}}},
};
static_assert(std::size(kMirrorModes) == 23, "one row per entry of the mirror popup");

const MirrorMode& ModeOf(std::int32_t mirrorMode)
{
    if (mirrorMode < 0 || mirrorMode >= static_cast<std::int32_t>(std::size(kMirrorModes))) return kMirrorModes[0];
    return kMirrorModes[mirrorMode];
}

// One component of a step: the single term it names.
float Term(float share, float of, float shareOfPage, float page)
{
    if (share != 0.0f) return share * of;
    if (shareOfPage != 0.0f) return shareOfPage * page;
    return 0.0f;
}

HostPoint ReferencePoint(Reference reference, const StepValues& step)
{
    Globals& g = *gGlobals;
    switch (reference) {
    case Reference::ViewCentre:
        return step.viewCentre;
    case Reference::PageCentre:
        return HostPoint{step.documentWidth / 2.0f, step.documentHeight / 2.0f};
    case Reference::StartPoint:
        return g.startPoint;
    case Reference::LastPoint:
        // Before the first stroke has ended, the start point stands in;
        // the replacement stays in the settings block.
        if (g.lastPoint.h == kNoLastPoint) g.lastPoint.h = g.startPoint.h;
        if (g.lastPoint.v == kNoLastPoint) g.lastPoint.v = g.startPoint.v;
        return g.lastPoint;
    case Reference::None:
        break;
    }
    return HostPoint{};
}

}  // namespace

std::size_t MirrorCopyCount(std::int32_t mirrorMode) { return ModeOf(mirrorMode).count; }

MirrorCopies CreateMirrorCopies(SymbolHandle symbol, HostPoint point)
{
    MirrorCopies copies;
    copies.count = MirrorCopyCount(gGlobals->mirrorMode);
    for (std::size_t i = 0; i < copies.count; ++i) {
        Suite<SymbolSuite>()->NewInstanceCenteredOnPoint(symbol, point, kPlaceAboveAll, nullptr, &copies.art[i]);
    }
    return copies;
}

void PlaceMirrorCopies(const MirrorCopies& copies, const HostMatrix& sourceMatrix, const StepValues& step)
{
    const MirrorMode& mode = ModeOf(gGlobals->mirrorMode);
    if (mode.count == 0 || copies.count == 0) return;

    // Copy 1 still stands where it was made: its centre is the pointer.
    HostRect bounds{};
    Suite<ArtSuite>()->GetArtBounds(copies.art[0], &bounds);
    const HostPoint q{(bounds.left + bounds.right) / 2.0f, (bounds.top + bounds.bottom) / 2.0f};
    const HostPoint r = ReferencePoint(mode.reference, step);
    float dx = r.h - q.h;
    float dy = r.v - q.v;
    if (mode.strokeRandom) {
        const float factor = 4.0f * gGlobals->strokeRandom;
        dx = factor * dx;
        dy = factor * dy;
    }

    HostMatrix running = sourceMatrix;
    for (std::size_t i = 0; i < mode.count && i < copies.count; ++i) {
        const MirrorStep& s = mode.steps[i];
        Suite<RealMathSuite>()->MatrixConcatTranslate(&running, Term(s.dx, dx, s.w, step.documentWidth),
                                                      Term(s.dy, dy, s.h, step.documentHeight));
        Suite<SymbolSuite>()->SetInstanceMatrix(copies.art[i], &running);
    }
}
