// Path data, transform lists, number lists and lengths: a hand-written
// scanner over the attribute text, since no library we keep reads them.
#include "host/svg_path.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>
#include <system_error>

namespace host::svg {

Affine operator*(const Affine& outer, const Affine& inner)
{
    return {outer.a * inner.a + outer.c * inner.b,
            outer.b * inner.a + outer.d * inner.b,
            outer.a * inner.c + outer.c * inner.d,
            outer.b * inner.c + outer.d * inner.d,
            outer.a * inner.e + outer.c * inner.f + outer.e,
            outer.b * inner.e + outer.d * inner.f + outer.f};
}

Vec2 Apply(const Affine& m, Vec2 p) { return {m.a * p.x + m.c * p.y + m.e, m.b * p.x + m.d * p.y + m.f}; }

double Determinant(const Affine& m) { return m.a * m.d - m.b * m.c; }

Affine Translation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }

Affine Scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

void SinCosDegrees(double degrees, double& sine, double& cosine)
{
    double turn = std::fmod(degrees, 360.0);
    if (turn < 0) turn += 360.0;
    if (turn == 0) {
        sine = 0, cosine = 1;
    } else if (turn == 90) {
        sine = 1, cosine = 0;
    } else if (turn == 180) {
        sine = 0, cosine = -1;
    } else if (turn == 270) {
        sine = -1, cosine = 0;
    } else {
        const double radians = degrees * std::numbers::pi / 180.0;
        sine = std::sin(radians);
        cosine = std::cos(radians);
    }
}

Affine RotationDegrees(double degrees)
{
    double sine = 0;
    double cosine = 1;
    SinCosDegrees(degrees, sine, cosine);
    return {cosine, sine, -sine, cosine, 0, 0};
}

namespace {

// The tangent as sine over cosine: both are linked into every build of the
// program, while tan comes from the system's own library on Windows, so the
// same document gives the same bits everywhere.
double Tangent(double angle) { return std::sin(angle) / std::cos(angle); }


bool IsWhitespace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Reads the attribute text from left to right; every failure names the
// position it stopped at.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::size_t Position() const { return position_; }
    bool AtEnd() const { return position_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[position_]; }
    void Advance() { ++position_; }

    void SkipWhitespace()
    {
        while (!AtEnd() && IsWhitespace(text_[position_])) ++position_;
    }

    // Whitespace, at most one comma, whitespace; true when there was a comma.
    bool SkipCommaWhitespace()
    {
        SkipWhitespace();
        if (Peek() != ',') return false;
        ++position_;
        SkipWhitespace();
        return true;
    }

    bool AtNumber() const
    {
        const char c = Peek();
        return IsDigit(c) || c == '.' || c == '+' || c == '-';
    }

    // A number right here: sign, digits, fraction, exponent. A second point
    // ends the number, so "-.5.5" is two numbers; an "e" not followed by
    // digits is not part of it.
    double Number()
    {
        const std::size_t start = position_;
        std::size_t p = position_;
        const std::size_t n = text_.size();
        if (p < n && (text_[p] == '+' || text_[p] == '-')) ++p;
        const std::size_t integerStart = p;
        while (p < n && IsDigit(text_[p])) ++p;
        const bool integerDigits = p > integerStart;
        bool fractionDigits = false;
        if (p < n && text_[p] == '.') {
            std::size_t q = p + 1;
            while (q < n && IsDigit(text_[q])) ++q;
            fractionDigits = q > p + 1;
            if (integerDigits || fractionDigits) p = q;
        }
        if (!integerDigits && !fractionDigits) Fail(start, Expected("a number"));
        if (p < n && (text_[p] == 'e' || text_[p] == 'E')) {
            std::size_t q = p + 1;
            if (q < n && (text_[q] == '+' || text_[q] == '-')) ++q;
            if (q < n && IsDigit(text_[q])) {
                while (q < n && IsDigit(text_[q])) ++q;
                p = q;
            }
        }
        std::size_t first = start;
        if (text_[first] == '+') ++first;  // from_chars takes no plus sign
        double value = 0;
        const auto [end, error] = std::from_chars(text_.data() + first, text_.data() + p, value);
        if (error != std::errc() || end != text_.data() + p) Fail(start, "number out of range");
        position_ = p;
        return value;
    }

    // An arc flag: one character, 0 or 1, that needs nothing after it.
    bool Flag()
    {
        const char c = Peek();
        if (c != '0' && c != '1') Fail(position_, Expected("an arc flag (0 or 1)"));
        ++position_;
        return c == '1';
    }

    std::string_view Word()
    {
        const std::size_t start = position_;
        while (!AtEnd() && IsLetter(text_[position_])) ++position_;
        return text_.substr(start, position_ - start);
    }

    // "expected X, found 'c'" or "expected X at the end".
    std::string Expected(const std::string& what) const
    {
        if (AtEnd()) return "expected " + what + " at the end";
        return "expected " + what + ", found '" + std::string(1, Peek()) + "'";
    }

    [[noreturn]] void Fail(std::size_t at, const std::string& problem) const { throw SyntaxError(at, problem); }
    [[noreturn]] void Fail(const std::string& problem) const { throw SyntaxError(position_, problem); }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

CubicSegment Line(Vec2 from, Vec2 to) { return {from, to, to}; }

// The quadratic from `from` over `control` to `to`, raised to a cubic.
CubicSegment Quadratic(Vec2 from, Vec2 control, Vec2 to)
{
    return {{from.x + 2.0 / 3.0 * (control.x - from.x), from.y + 2.0 / 3.0 * (control.y - from.y)},
            {to.x + 2.0 / 3.0 * (control.x - to.x), to.y + 2.0 / 3.0 * (control.y - to.y)},
            to};
}

Vec2 Reflect(Vec2 point, Vec2 about) { return {2 * about.x - point.x, 2 * about.y - point.y}; }

// Builds the subpaths while the path data is read.
class PathBuilder {
public:
    void MoveTo(Vec2 p)
    {
        subpaths_.push_back(Subpath{p, {}, false});
        current_ = start_ = p;
        open_ = true;
    }
    void Add(const CubicSegment& segment)
    {
        // Drawing on after a closepath starts a new subpath where it closed.
        if (!open_) MoveTo(current_);
        subpaths_.back().segments.push_back(segment);
        current_ = segment.end;
    }
    void Close()
    {
        subpaths_.back().closed = true;
        current_ = start_;
        open_ = false;
    }
    Vec2 Current() const { return current_; }
    std::vector<Subpath> Take() { return std::move(subpaths_); }

private:
    std::vector<Subpath> subpaths_;
    Vec2 current_;
    Vec2 start_;
    bool open_ = false;
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::vector<Subpath> ParsePathData(std::string_view data)
{
    Scanner in(data);
    PathBuilder path;
    char command = 0;    // the command in force, as written
    char previous = 0;   // the command of the previous segment, upper case
    Vec2 lastCubicControl;
    Vec2 lastQuadraticControl;

    in.SkipWhitespace();
    while (!in.AtEnd()) {
        const std::size_t at = in.Position();
        const char c = in.Peek();
        if (IsLetter(c)) {
            in.Advance();
            in.SkipWhitespace();
            if (command == 0 && c != 'M' && c != 'm') in.Fail(at, "path data must begin with a moveto (M or m)");
            command = c;
        } else if (command == 0) {
            in.Fail(at, in.Expected("a moveto (M or m)"));
        } else if (!in.AtNumber() || Upper(command) == 'Z') {
            in.Fail(at, in.Expected("a command"));
        } else if (command == 'M') {
            command = 'L';  // further pairs after a moveto are linetos
        } else if (command == 'm') {
            command = 'l';
        }

        const bool relative = command >= 'a' && command <= 'z';
        const Vec2 base = relative ? path.Current() : Vec2{};
        const auto point = [&] {
            const double x = in.Number();
            in.SkipCommaWhitespace();
            const double y = in.Number();
            return Vec2{base.x + x, base.y + y};
        };
        const auto next = [&] { in.SkipCommaWhitespace(); };

        const char kind = Upper(command);
        switch (kind) {
        case 'M':
            path.MoveTo(point());
            break;
        case 'L':
            path.Add(Line(path.Current(), point()));
            break;
        case 'H': {
            const double x = in.Number() + base.x;
            path.Add(Line(path.Current(), {x, path.Current().y}));
            break;
        }
        case 'V': {
            const double y = in.Number() + base.y;
            path.Add(Line(path.Current(), {path.Current().x, y}));
            break;
        }
        case 'C': {
            const Vec2 c1 = point();
            next();
            const Vec2 c2 = point();
            next();
            const Vec2 end = point();
            path.Add({c1, c2, end});
            lastCubicControl = c2;
            break;
        }
        case 'S': {
            const Vec2 from = path.Current();
            const Vec2 c1 = previous == 'C' || previous == 'S' ? Reflect(lastCubicControl, from) : from;
            const Vec2 c2 = point();
            next();
            const Vec2 end = point();
            path.Add({c1, c2, end});
            lastCubicControl = c2;
            break;
        }
        case 'Q': {
            const Vec2 control = point();
            next();
            const Vec2 end = point();
            path.Add(Quadratic(path.Current(), control, end));
            lastQuadraticControl = control;
            break;
        }
        case 'T': {
            const Vec2 from = path.Current();
            const Vec2 control =
                previous == 'Q' || previous == 'T' ? Reflect(lastQuadraticControl, from) : from;
            const Vec2 end = point();
            path.Add(Quadratic(from, control, end));
            lastQuadraticControl = control;
            break;
        }
        case 'A': {
            const double rx = in.Number();
            next();
            const double ry = in.Number();
            next();
            const double rotation = in.Number();
            next();
            const bool largeArc = in.Flag();
            next();
            const bool sweep = in.Flag();
            next();
            const Vec2 end = point();
            const Vec2 from = path.Current();
            const std::vector<CubicSegment> arc = ArcToCubics(from, rx, ry, rotation, largeArc, sweep, end);
            for (const CubicSegment& segment : arc) path.Add(segment);
            break;
        }
        case 'Z':
            path.Close();
            break;
        default:
            in.Fail(at, "unknown command '" + std::string(1, command) + "'");
        }
        previous = kind;

        // Between one command's argument groups there may be a comma; after
        // a comma another group must follow.
        if (in.SkipCommaWhitespace() && !in.AtNumber()) in.Fail(in.Expected("a number"));
    }
    return path.Take();
}

std::vector<CubicSegment> ArcToCubics(Vec2 from, double rx, double ry, double xAxisRotationDegrees,
                                      bool largeArc, bool sweep, Vec2 to)
{
    if (from == to) return {};
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx == 0 || ry == 0) return {Line(from, to)};

    // From the end points to the centre (the SVG implementation notes'
    // conversion), in the frame where the ellipse's axes are the x and y axes.
    double sine = 0;
    double cosine = 1;
    SinCosDegrees(xAxisRotationDegrees, sine, cosine);
    const double dx = (from.x - to.x) / 2;
    const double dy = (from.y - to.y) / 2;
    const double x1 = cosine * dx + sine * dy;
    const double y1 = -sine * dx + cosine * dy;
    const double reach = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (reach > 1) {
        rx *= std::sqrt(reach);
        ry *= std::sqrt(reach);
    }
    const double rx2 = rx * rx;
    const double ry2 = ry * ry;
    const double numerator = rx2 * ry2 - rx2 * y1 * y1 - ry2 * x1 * x1;
    const double denominator = rx2 * y1 * y1 + ry2 * x1 * x1;
    double factor = std::sqrt(std::max(0.0, numerator / denominator));
    if (largeArc == sweep) factor = -factor;
    const double cx1 = factor * rx * y1 / ry;
    const double cy1 = -factor * ry * x1 / rx;
    const Vec2 centre{cosine * cx1 - sine * cy1 + (from.x + to.x) / 2, sine * cx1 + cosine * cy1 + (from.y + to.y) / 2};

    const double startAngle = std::atan2((y1 - cy1) / ry, (x1 - cx1) / rx);
    const double endAngle = std::atan2((-y1 - cy1) / ry, (-x1 - cx1) / rx);
    double sweepAngle = endAngle - startAngle;
    if (sweep && sweepAngle < 0) sweepAngle += 2 * std::numbers::pi;
    if (!sweep && sweepAngle > 0) sweepAngle -= 2 * std::numbers::pi;
    // Coordinates too large to compute with: keep at least the end point.
    if (!std::isfinite(sweepAngle) || !std::isfinite(centre.x) || !std::isfinite(centre.y)) return {Line(from, to)};

    // One cubic per quarter turn or less; a cubic whose control arms are
    // 4/3 tan(θ/4) of the radius long follows an arc of θ closely.
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(sweepAngle) / (std::numbers::pi / 2) - 1e-9)));
    const double step = sweepAngle / pieces;
    const double arm = 4.0 / 3.0 * Tangent(step / 4);
    const auto at = [&](double angle) {
        const double x = rx * std::cos(angle);
        const double y = ry * std::sin(angle);
        return Vec2{centre.x + cosine * x - sine * y, centre.y + sine * x + cosine * y};
    };
    const auto tangent = [&](double angle) {
        const double x = -rx * std::sin(angle);
        const double y = ry * std::cos(angle);
        return Vec2{cosine * x - sine * y, sine * x + cosine * y};
    };
    std::vector<CubicSegment> result;
    Vec2 start = from;
    for (int i = 0; i < pieces; ++i) {
        const double a0 = startAngle + step * i;
        const double a1 = i + 1 == pieces ? startAngle + sweepAngle : a0 + step;
        const Vec2 end = i + 1 == pieces ? to : at(a1);
        const Vec2 t0 = tangent(a0);
        const Vec2 t1 = tangent(a1);
        result.push_back({{start.x + arm * t0.x, start.y + arm * t0.y}, {end.x - arm * t1.x, end.y - arm * t1.y}, end});
        start = end;
    }
    return result;
}

Affine ParseTransform(std::string_view text)
{
    Scanner in(text);
    Affine result;
    in.SkipWhitespace();
    while (!in.AtEnd()) {
        const std::size_t at = in.Position();
        const std::string_view name = in.Word();
        if (name.empty()) in.Fail(in.Expected("a transform (matrix, translate, scale, rotate, skewX or skewY)"));
        in.SkipWhitespace();
        if (in.Peek() != '(') in.Fail(in.Expected("'('"));
        in.Advance();
        in.SkipWhitespace();
        std::vector<double> arguments{in.Number()};
        for (;;) {
            const bool comma = in.SkipCommaWhitespace();
            if (!comma && in.Peek() == ')') break;
            if (!comma && !in.AtNumber()) in.Fail(in.Expected("')'"));
            arguments.push_back(in.Number());
        }
        in.Advance();

        const std::size_t n = arguments.size();
        const auto arity = [&](bool ok, const char* counts) {
            if (!ok)
                in.Fail(at, std::string(name) + " takes " + counts + ", not " + std::to_string(n));
        };
        const std::vector<double>& v = arguments;
        Affine step;
        if (name == "matrix") {
            arity(n == 6, "6 numbers");
            step = {v[0], v[1], v[2], v[3], v[4], v[5]};
        } else if (name == "translate") {
            arity(n == 1 || n == 2, "1 or 2 numbers");
            step = Translation(v[0], n == 2 ? v[1] : 0.0);
        } else if (name == "scale") {
            arity(n == 1 || n == 2, "1 or 2 numbers");
            step = Scaling(v[0], n == 2 ? v[1] : v[0]);
        } else if (name == "rotate") {
            arity(n == 1 || n == 3, "1 or 3 numbers");
            step = RotationDegrees(v[0]);
            if (n == 3) step = Translation(v[1], v[2]) * step * Translation(-v[1], -v[2]);
        } else if (name == "skewX") {
            arity(n == 1, "1 number");
            step = {1, 0, Tangent(v[0] * std::numbers::pi / 180.0), 1, 0, 0};
        } else if (name == "skewY") {
            arity(n == 1, "1 number");
            step = {1, Tangent(v[0] * std::numbers::pi / 180.0), 0, 1, 0, 0};
        } else {
            in.Fail(at, "unknown transform \"" + std::string(name) + "\"");
        }
        result = result * step;
        if (in.SkipCommaWhitespace() && in.AtEnd()) in.Fail(in.Expected("a transform"));
    }
    return result;
}

std::vector<double> ParseNumberList(std::string_view text)
{
    Scanner in(text);
    std::vector<double> numbers;
    in.SkipWhitespace();
    while (!in.AtEnd()) {
        numbers.push_back(in.Number());
        if (in.SkipCommaWhitespace() && in.AtEnd()) in.Fail(in.Expected("a number"));
    }
    return numbers;
}

Length ParseLength(std::string_view text)
{
    Scanner in(text);
    in.SkipWhitespace();
    Length length;
    length.value = in.Number();
    if (in.Peek() == '%') {
        in.Advance();
        length.unit = "%";
    } else {
        length.unit = in.Word();
    }
    in.SkipWhitespace();
    if (!in.AtEnd()) in.Fail(in.Expected("the end"));
    return length;
}

}  // namespace host::svg
