#pragma once
// The small languages inside SVG attributes: path data (`d`), transform
// lists (`transform`), number lists (`points`, `viewBox`) and lengths. All
// work in SVG's own coordinates (y down) and in doubles; the importer turns
// the results into the host's orientation.
//
// Every curve comes out as cubic Bézier segments: lines as cubics whose
// control points sit at their ends, quadratics raised exactly to cubics,
// elliptical arcs as one cubic per quarter turn or less.
//
// Syntax errors throw SyntaxError with the character position in the text
// where reading stopped, counting from 0.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host::svg {

struct Vec2 {
    double x = 0;
    double y = 0;
    friend bool operator==(const Vec2&, const Vec2&) = default;
};

// An affine map as SVG writes it, matrix(a b c d e f):
// (x, y) goes to (a x + c y + e, b x + d y + f).
struct Affine {
    double a = 1;
    double b = 0;
    double c = 0;
    double d = 1;
    double e = 0;
    double f = 0;
    friend bool operator==(const Affine&, const Affine&) = default;
};

// outer * inner: first inner, then outer (as "outer inner" in a transform list).
Affine operator*(const Affine& outer, const Affine& inner);
Vec2 Apply(const Affine& m, Vec2 p);
double Determinant(const Affine& m);
Affine Translation(double tx, double ty);
Affine Scaling(double sx, double sy);
// Counter-clockwise in a y-up system, clockwise on an SVG screen; exact at
// multiples of 90°.
Affine RotationDegrees(double degrees);

// sin and cos of an angle in degrees, exact (0, ±1) at multiples of 90°.
void SinCosDegrees(double degrees, double& sine, double& cosine);

class SyntaxError : public std::runtime_error {
public:
    SyntaxError(std::size_t position, const std::string& problem)
        : std::runtime_error(problem), position_(position)
    {
    }
    // Where in the text the problem is, counting from 0.
    std::size_t position() const { return position_; }

private:
    std::size_t position_;
};

// A cubic segment from the end of the previous one (or the subpath's start).
struct CubicSegment {
    Vec2 c1;
    Vec2 c2;
    Vec2 end;
    friend bool operator==(const CubicSegment&, const CubicSegment&) = default;
};

// One subpath: a moveto and what follows it up to the next moveto. A closed
// subpath's closing line (from its last end back to start) is implied, not
// listed; when the data draws back to the start itself, the last segment
// ends at start.
struct Subpath {
    Vec2 start;
    std::vector<CubicSegment> segments;
    bool closed = false;
};

// The full path data grammar: M m L l H h V v C c S s Q q T t A a Z z,
// repeated arguments after one command letter (extra moveto pairs are
// linetos), numbers such as "1e-3", "-.5.5" (two numbers) and arc flags
// written without separators ("1 0 1" or "10"). An empty text, or one of
// whitespace only, has no subpaths. A moveto that nothing follows gives a
// subpath without segments.
std::vector<Subpath> ParsePathData(std::string_view data);

// The elliptical arc from `from` to `to` as in the path data's A command:
// radii made positive and scaled up when too small to reach, a zero radius
// giving a straight line and coincident ends giving nothing. Each returned
// cubic spans at most 90° of the ellipse; the last ends exactly at `to`.
std::vector<CubicSegment> ArcToCubics(Vec2 from, double rx, double ry, double xAxisRotationDegrees,
                                      bool largeArc, bool sweep, Vec2 to);

// A transform list: matrix(a b c d e f), translate(tx [ty]), scale(sx [sy]),
// rotate(angle [cx cy]), skewX(angle), skewY(angle), separated by
// whitespace and/or a comma; angles in degrees. The first listed applies
// last. An empty list is the identity.
Affine ParseTransform(std::string_view text);

// Numbers separated by whitespace and/or a comma, as in `points` and
// `viewBox`.
std::vector<double> ParseNumberList(std::string_view text);

// A number and the unit written right after it ("12", "3.5mm", "50%"); the
// unit is empty, letters, or "%". Whitespace around it is allowed.
struct Length {
    double value = 0;
    std::string unit;
};
Length ParseLength(std::string_view text);

}  // namespace host::svg
