#include "app/artwork_json.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <ostream>
#include <string_view>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "settings/options.h"

namespace kadrelle {

namespace {

// Where nlohmann's number writer switches to exponent notation: below
// 10^-4 and from 10^15 on (its dump's settings for doubles).
constexpr int kJsonMinExponent = -4;
constexpr int kJsonMaxExponent = std::numeric_limits<double>::digits10;

// a × b exactly, as hi + lo (Dekker's product; the build contracts no
// multiply-add, so each operation rounds once).
void ExactProduct(double a, double b, double& hi, double& lo)
{
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const auto split = [](double x, double& high, double& low) {
        const double c = kSplitter * x;
        high = c - (c - x);
        low = x - high;
    };
    double aHigh = 0, aLow = 0, bHigh = 0, bLow = 0;
    split(a, aHigh, aLow);
    split(b, bHigh, bLow);
    hi = a * b;
    lo = ((aHigh * bHigh - hi) + aHigh * bLow + aLow * bHigh) + aLow * bLow;
}

// Whether nlohmann's number writer, given the double nearest to
// digits × 10^exponent (FloatText's text of the positive normal float
// `value`, at most 15 digits), writes exactly those digits. Its writer
// finds the shortest digits inside a slightly narrowed rounding interval of
// the double, and no other decimal of that few digits lies inside it, so it
// does when the decimal lies well inside that interval; near the interval's
// ends (a few in a hundred) this says no and the caller asks the writer
// itself.
bool WrittenAsItsDigits(float value, std::uint64_t digits, int exponent)
{
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr int kMaxPower = 22;
    // Subnormal floats, powers of two (whose interval is lopsided) and
    // exponents beyond the exact powers of ten go the long way.
    if (!(value >= std::numeric_limits<float>::min()) || (std::bit_cast<std::uint32_t>(value) & 0x7fffffu) == 0 ||
        exponent < -kMaxPower || exponent > kMaxPower)
        return false;
    const double x = value;
    // The spacing of doubles at x (a normal float's exponent, 52 bits
    // further down); the double read from the text is x + n × ulp for the n
    // nearest to (decimal - x) / ulp.
    const std::uint64_t floatExponent = std::bit_cast<std::uint32_t>(value) >> 23;
    const double ulp = std::bit_cast<double>((floatExponent - 127 - 52 + 1023) << 52);
    double difference = 0.0;  // (decimal - x) × scale, to within 2^-52 of itself
    double unit = ulp;        // ulp × scale, exactly
    double high = 0.0;
    double low = 0.0;
    if (exponent >= 0) {
        ExactProduct(static_cast<double>(digits), kPowersOfTen[exponent], high, low);
        difference = (high - x) + low;  // high - x is exact: they are within a factor of 2
    } else {
        const double scale = kPowersOfTen[-exponent];
        ExactProduct(x, scale, high, low);
        difference = (static_cast<double>(digits) - high) - low;
        unit = ulp * scale;
    }
    // Where the decimal lies between the doubles: well away from the middle.
    const double steps = difference / unit;  // |steps| < 2^29
    const double beyond = std::fabs(steps - static_cast<double>(static_cast<std::int64_t>(steps)));
    return beyond < 0.5 - 1.0 / 32.0 || beyond > 0.5 + 1.0 / 32.0;
}

}  // namespace

char* JsonRealText(char* out, float value)
{
    char* const end = out + kJsonRealTextSize;
    if (std::signbit(value)) {
        *out++ = '-';
        value = -value;
    }
    if (value == 0.0f) {
        std::memcpy(out, "0.0", 3);
        return out + 3;
    }
    // FloatText's text (fixed or with an exponent), as its digits without
    // leading or trailing zeros and the exponent of the last of them.
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text - 1, value);  // room for a NUL
    const char* const textEnd = written.ptr;
    const char* const mantissaEnd = std::find(static_cast<const char*>(text), textEnd, 'e');
    int exponent = 0;
    if (mantissaEnd != textEnd) std::from_chars(mantissaEnd + (mantissaEnd[1] == '+' ? 2 : 1), textEnd, exponent);
    const char* first = text;
    while (*first == '0' || *first == '.') ++first;  // a value below 1 in fixed notation: "0.00ddd"
    const char* last = mantissaEnd;
    while (last[-1] == '0' || last[-1] == '.') --last;
    const char* const point = std::find(static_cast<const char*>(text), mantissaEnd, '.');
    // The last digit kept counts in units of 10^exponent: down by the
    // fraction's digits kept, up by the whole number's zeros left off.
    exponent += static_cast<int>(point - last) + (last > point ? 1 : 0);
    char* digitsEnd = out;
    std::uint64_t digits = 0;
    for (const char* p = first; p != last; ++p) {
        if (*p == '.') continue;
        *digitsEnd++ = *p;
        digits = digits * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    const int length = static_cast<int>(digitsEnd - out);
    if (WrittenAsItsDigits(value, digits, exponent))
        return nlohmann::detail::dtoa_impl::format_buffer(out, length, exponent, kJsonMinExponent, kJsonMaxExponent);
    *written.ptr = '\0';
    return nlohmann::detail::to_chars(out, end, std::strtod(text, nullptr));
}

std::string FloatText(float value)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc{} ? std::string(text, end) : std::string("0");
}

namespace {

// The artwork is written straight into one string (or, given a stream, into
// a buffer that goes to the stream whenever it is full), laid out as
// nlohmann::ordered_json's dump(2) lays out the same tree: two spaces a
// level, "key": value, one array element or object member a line, and []
// or {} when empty. Strings go through nlohmann's own escaping, so that the
// bytes (and the refusal of text that is not UTF-8) stay those of its dump.
class JsonWriter {
public:
    explicit JsonWriter(std::size_t reserve) { Room(reserve); }
    explicit JsonWriter(std::ostream& sink) : sink_(&sink) { out_.resize(kFlushSize); }

    std::string Take()
    {
        out_.resize(used_);
        return std::move(out_);
    }

    // Hands what is written so far to the stream.
    void Flush()
    {
        sink_->write(out_.data(), static_cast<std::streamsize>(used_));
        used_ = 0;
    }

    // Makes room for `size` more bytes: every write but String needs it
    // made first.
    void Room(std::size_t size)
    {
        if (out_.size() - used_ >= size) return;
        if (sink_ != nullptr) {
            Flush();
            if (out_.size() >= size) return;
        }
        out_.resize(std::max(out_.size() * 2, used_ + size));
    }

    void Raw(std::string_view text)
    {
        std::memcpy(out_.data() + used_, text.data(), text.size());
        used_ += text.size();
    }

    void String(std::string_view quoted)
    {
        Room(quoted.size());
        Raw(quoted);
    }

    static std::string Quoted(const std::string& text) { return nlohmann::json(text).dump(); }

    // A float as the JSON number of the double that its shortest decimal
    // text reads as (see JsonRealText). A value that is not finite has no
    // JSON number: null. The texts of the last values written are kept, for
    // the matrix entries and centres that repeat each other.
    void Real(float value)
    {
        if (!std::isfinite(value)) {
            Raw("null");
            return;
        }
        std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
        if ((bits & kSignBit) != 0) {
            Raw("-");
            bits &= ~kSignBit;
        }
        CachedText& cached = cache_[(bits * 0x9E3779B1u) >> (32 - kCacheBits)];
        if (cached.bits != bits) {
            cached.bits = bits;
            cached.length = static_cast<std::uint8_t>(JsonRealText(cached.text, std::bit_cast<float>(bits)) - cached.text);
        }
        Raw(std::string_view(cached.text, cached.length));
    }

    template <typename Whole>
    void Integer(Whole value)
    {
        const std::to_chars_result written = std::to_chars(out_.data() + used_, out_.data() + out_.size(), value);
        used_ = static_cast<std::size_t>(written.ptr - out_.data());
    }

    // [x, y] as an array one level in (the page and lastPoint).
    void Point(HostPoint p)
    {
        Raw("[\n    ");
        Real(p.h);
        Raw(",\n    ");
        Real(p.v);
        Raw("\n  ]");
    }

private:
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
    static constexpr std::uint32_t kSignBit = 0x80000000u;
    static constexpr int kCacheBits = 4;
    struct CachedText {
        std::uint32_t bits = 0x7f800000u;  // infinity: never looked up
        std::uint8_t length = 0;
        char text[kJsonRealTextSize];
    };

    std::ostream* sink_ = nullptr;
    std::string out_;
    std::size_t used_ = 0;
    CachedText cache_[1u << kCacheBits];
};

// Room for a few fragments and two numbers.
constexpr std::size_t kFragmentRoom = 64 + 2 * kJsonRealTextSize;
// Room for an art object but its symbol's name, and what one takes, about,
// with short names and numbers.
constexpr std::size_t kArtRoom = 256 + 8 * kJsonRealTextSize;
constexpr std::size_t kArtSize = 340;

const char* QuotedTypeOf(host::ArtKind kind)
{
    switch (kind) {
    case host::ArtKind::Instance:
        return "\"instance\"";
    case host::ArtKind::Expanded:
        return "\"expanded\"";
    case host::ArtKind::Text:
        return "\"text\"";
    case host::ArtKind::Path:
        break;
    }
    return "\"path\"";
}

// One art object, three levels in (an element of layers[n].art).
void WriteArt(JsonWriter& json, const host::Document& document, host::ArtId id,
              std::unordered_map<host::SymbolId, std::string>& symbolNames)
{
    const host::Art& a = document.GetArt(id);
    const bool placed = a.kind == host::ArtKind::Instance || a.kind == host::ArtKind::Expanded;
    const std::string* name = nullptr;
    if (placed) {
        // Escaped when first written, so that a name that is not UTF-8 is
        // refused where the dump of the whole tree would refuse it.
        auto found = symbolNames.find(a.symbol);
        if (found == symbolNames.end())
            found = symbolNames.emplace(a.symbol, JsonWriter::Quoted(document.GetSymbol(a.symbol).name)).first;
        name = &found->second;
    }
    json.Room(kArtRoom + (name != nullptr ? name->size() : 0));
    json.Raw("{\n          \"type\": ");
    json.Raw(QuotedTypeOf(a.kind));
    json.Raw(",\n          \"symbol\": ");
    json.Raw(name != nullptr ? std::string_view(*name) : std::string_view("null"));
    if (placed) {
        const float matrix[] = {a.matrix.a, a.matrix.b, a.matrix.c, a.matrix.d, a.matrix.tx, a.matrix.ty};
        json.Raw(",\n          \"matrix\": [");
        for (std::size_t i = 0; i < std::size(matrix); ++i) {
            json.Raw(i == 0 ? "\n            " : ",\n            ");
            json.Real(matrix[i]);
        }
        json.Raw("\n          ],\n          \"centre\": [\n            ");
    } else {
        json.Raw(",\n          \"matrix\": null,\n          \"centre\": [\n            ");
    }
    const HostRect bounds = document.Bounds(id);
    json.Real((bounds.left + bounds.right) / 2.0f);
    json.Raw(",\n            ");
    json.Real((bounds.top + bounds.bottom) / 2.0f);
    json.Raw("\n          ]\n        }");
}

void WriteArtwork(JsonWriter& json, const host::Document& document, const Globals& settings, std::uint64_t undoCalls)
{
    const std::vector<host::Layer>& layers = document.Layers();
    const DocumentSetup setup = document.Setup();
    json.Room(kFragmentRoom);
    json.Raw("{\n  \"page\": ");
    json.Point(HostPoint{setup.width, setup.height});
    json.Raw(",\n  \"layers\": ");
    if (layers.empty()) {
        json.Raw("[]");
    } else {
        std::unordered_map<host::SymbolId, std::string> symbolNames;
        json.Raw("[");
        for (std::size_t n = 0; n < layers.size(); ++n) {
            const host::Layer& layer = layers[n];
            json.Room(kFragmentRoom);
            json.Raw(n > 0 ? ",\n    {\n      \"name\": " : "\n    {\n      \"name\": ");
            json.String(JsonWriter::Quoted(layer.name));
            json.Room(kFragmentRoom);
            json.Raw(",\n      \"art\": ");
            if (layer.art.empty()) {
                json.Raw("[]");
            } else {
                json.Raw("[");
                for (std::size_t i = 0; i < layer.art.size(); ++i) {
                    json.Room(kFragmentRoom);
                    json.Raw(i > 0 ? ",\n        " : "\n        ");
                    WriteArt(json, document, layer.art[i], symbolNames);
                }
                json.Room(kFragmentRoom);
                json.Raw("\n      ]");
            }
            json.Raw("\n    }");
        }
        json.Room(kFragmentRoom);
        json.Raw("\n  ]");
    }
    json.Raw(",\n  \"settings\": ");
    // Each option once, in the table's order (the names are distinct).
    bool first = true;
    for (const OptionInfo& option : Options()) {
        json.Room(kFragmentRoom);
        json.Raw(first ? "{\n    " : ",\n    ");
        first = false;
        json.String(JsonWriter::Quoted(option.name));
        json.Room(kFragmentRoom);
        json.Raw(": ");
        const float value = OptionValue(settings, option);
        if (option.kind == OptionKind::Real) {
            json.Real(value);
        } else {
            json.Integer(static_cast<std::int32_t>(value));
        }
    }
    json.Room(kFragmentRoom);
    json.Raw(first ? "{}" : "\n  }");
    json.Raw(",\n  \"lastPoint\": ");
    json.Point(settings.lastPoint);
    json.Room(kFragmentRoom);
    json.Raw(",\n  \"undoCalls\": ");
    json.Integer(undoCalls);
    json.Raw("\n}\n");
}

}  // namespace

std::string ArtworkJson(const host::Document& document, const Globals& settings, std::uint64_t undoCalls)
{
    std::size_t artCount = 0;
    for (const host::Layer& layer : document.Layers()) artCount += layer.art.size();
    JsonWriter json(4096 + artCount * kArtSize);
    WriteArtwork(json, document, settings, undoCalls);
    return json.Take();
}

void WriteArtworkJson(std::ostream& out, const host::Document& document, const Globals& settings,
                      std::uint64_t undoCalls)
{
    JsonWriter json(out);
    WriteArtwork(json, document, settings, undoCalls);
    json.Flush();
}

}  // namespace kadrelle
