// The stand-in host's "SP" and "AI" suites: each operation counts itself,
// checks that its suite is held, can be made to fail, and then does what the
// real host would.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string_view>
#include <unordered_map>

#include "host/host.h"
#include "host/resources.h"

namespace host {
namespace {

StandInHost& H() { return StandInHost::Current(); }

// ---- SP Blocks Suite ---------------------------------------------------------
HostError AllocateBlock(std::size_t size, const char* debugName, void** block)
{
    return H().AllocateBlock(size, debugName, block);
}
HostError FreeBlock(void* block) { return H().FreeBlock(block); }
constexpr BlocksSuite kBlocksSuite = {.AllocateBlock = AllocateBlock, .FreeBlock = FreeBlock};

// ---- SP Access Suite -------------------------------------------------------------
constexpr const char* kAccess = "SP Access Suite";
// The access reference of the host's one plug-in.
int gAccessToken;
AccessRef TheAccess() { return reinterpret_cast<AccessRef>(&gAccessToken); }

HostError GetPluginAccess(PluginRef plugin, AccessRef* access)
{
    if (HostError error = H().Enter(kAccess, "GetPluginAccess")) return error;
    if (access == nullptr || plugin != H().Plugin()) return kBadParameterErr;
    *access = TheAccess();
    return kNoErr;
}
HostError GetAccessInfo(AccessRef access, PlatformAccessInfo* info)
{
    if (HostError error = H().Enter(kAccess, "GetAccessInfo")) return error;
    if (info == nullptr || access != TheAccess()) return kBadParameterErr;
    void* module = H().moduleInstance != nullptr ? H().moduleInstance : H().Module();
    info->moduleInstance = module;
    info->resourceAccess = module;
    return kNoErr;
}
constexpr AccessSuite kAccessSuite = {.GetPluginAccess = GetPluginAccess, .GetAccessInfo = GetAccessInfo};

// ---- AI Plugin Suite ---------------------------------------------------------------
constexpr const char* kPlugin = "AI Plugin Suite";
HostError GetPluginOptions(PluginRef plugin, std::int32_t* options)
{
    if (HostError error = H().Enter(kPlugin, "GetPluginOptions")) return error;
    if (options == nullptr || plugin != H().Plugin()) return kBadParameterErr;
    *options = H().pluginOptions;
    return kNoErr;
}
HostError SetPluginOptions(PluginRef plugin, std::int32_t options)
{
    if (HostError error = H().Enter(kPlugin, "SetPluginOptions")) return error;
    if (plugin != H().Plugin()) return kBadParameterErr;
    H().pluginOptions = options;
    return kNoErr;
}
constexpr PluginSuite kPluginSuite = {.GetPluginOptions = GetPluginOptions, .SetPluginOptions = SetPluginOptions};

constexpr MdMemorySuite kMdMemorySuite = {.reserved = nullptr};

// ---- AI Real Math Suite ------------------------------------------------------------
constexpr const char* kRealMath = "AI Real Math Suite";
float Cos(float angle)
{
    H().Enter(kRealMath, "Cos");
    return static_cast<float>(std::cos(static_cast<double>(angle)));
}
float Sin(float angle)
{
    H().Enter(kRealMath, "Sin");
    return static_cast<float>(std::sin(static_cast<double>(angle)));
}
float DegreeToRadian(float degrees)
{
    H().Enter(kRealMath, "DegreeToRadian");
    return static_cast<float>(static_cast<double>(degrees) * std::numbers::pi / 180.0);
}
float PointAngle(const HostPoint* a, const HostPoint* b)
{
    H().Enter(kRealMath, "PointAngle");
    if (a == nullptr || b == nullptr) return 0.0f;
    double angle = std::atan2(static_cast<double>(b->v) - a->v, static_cast<double>(b->h) - a->h);
    if (angle < 0.0) angle += 2.0 * std::numbers::pi;
    const auto result = static_cast<float>(angle);
    // Just below a full turn may round up to it; a full turn is 0.
    return result >= static_cast<float>(2.0 * std::numbers::pi) ? 0.0f : result;
}
float Interpolate(float a, float b, float t)
{
    H().Enter(kRealMath, "Interpolate");
    return t * a + (1.0f - t) * b;
}
void InterpolatePoint(const HostPoint* a, const HostPoint* b, float t, HostPoint* result)
{
    H().Enter(kRealMath, "InterpolatePoint");
    if (a == nullptr || b == nullptr || result == nullptr) return;
    result->h = t * a->h + (1.0f - t) * b->h;
    result->v = t * a->v + (1.0f - t) * b->v;
}
void MatrixConcatTranslate(HostMatrix* m, float tx, float ty)
{
    H().Enter(kRealMath, "MatrixConcatTranslate");
    if (m == nullptr) return;
    m->tx += tx;
    m->ty += ty;
}
void MatrixConcatScale(HostMatrix* m, float sx, float sy)
{
    H().Enter(kRealMath, "MatrixConcatScale");
    if (m == nullptr) return;
    m->a *= sx;
    m->c *= sx;
    m->tx *= sx;
    m->b *= sy;
    m->d *= sy;
    m->ty *= sy;
}
void MatrixConcatRotate(HostMatrix* m, float angle)
{
    H().Enter(kRealMath, "MatrixConcatRotate");
    if (m == nullptr) return;
    const auto c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const auto s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const HostMatrix r = *m;
    m->a = r.a * c - r.b * s;
    m->b = r.a * s + r.b * c;
    m->c = r.c * c - r.d * s;
    m->d = r.c * s + r.d * c;
    m->tx = r.tx * c - r.ty * s;
    m->ty = r.tx * s + r.ty * c;
}
constexpr RealMathSuite kRealMathSuite = {
    .Cos = Cos,
    .Sin = Sin,
    .DegreeToRadian = DegreeToRadian,
    .PointAngle = PointAngle,
    .Interpolate = Interpolate,
    .InterpolatePoint = InterpolatePoint,
    .MatrixConcatTranslate = MatrixConcatTranslate,
    .MatrixConcatScale = MatrixConcatScale,
    .MatrixConcatRotate = MatrixConcatRotate,
};

// ---- AI User Suite -------------------------------------------------------------------
constexpr const char* kUser = "AI User Suite";
HostError RealToText(float value, std::int16_t decimalPlaces, unsigned char* text)
{
    if (HostError error = H().Enter(kUser, "RealToText")) return error;
    if (text == nullptr || decimalPlaces < 0 || decimalPlaces > 10) return kBadParameterErr;
    char formatted[256];
    const int length = std::snprintf(formatted, sizeof formatted, "%.*f", static_cast<int>(decimalPlaces),
                                     static_cast<double>(value));
    if (length < 0 || length > 255) return kBadParameterErr;
    text[0] = static_cast<unsigned char>(length);
    std::memcpy(text + 1, formatted, static_cast<std::size_t>(length));
    return kNoErr;
}
HostError TextToReal(const unsigned char* text, float* value)
{
    if (HostError error = H().Enter(kUser, "TextToReal")) return error;
    if (text == nullptr || value == nullptr) return kBadParameterErr;
    char plain[256];
    std::memcpy(plain, text + 1, text[0]);
    plain[text[0]] = '\0';
    char* end = nullptr;
    const double parsed = std::strtod(plain, &end);
    if (end == plain) return kBadParameterErr;
    *value = static_cast<float>(parsed);
    return kNoErr;
}
constexpr UserSuite kUserSuite = {.RealToText = RealToText, .TextToReal = TextToReal};

// ---- AI Undo Suite -------------------------------------------------------------------
HostError SetUndoPoint()
{
    if (HostError error = H().Enter("AI Undo Suite", "SetUndoPoint")) return error;
    ++H().undoCalls;
    return kNoErr;
}
constexpr UndoSuite kUndoSuite = {.SetUndoPoint = SetUndoPoint};

// ---- AI Random Suite -----------------------------------------------------------------
float FloatRandom()
{
    // A failed call still answers with a number: the operation has no
    // result code.
    if (H().Enter("AI Random Suite", "FloatRandom") != kNoErr) return 0.0f;
    return H().random.Next();
}
constexpr RandomSuite kRandomSuite = {.FloatRandom = FloatRandom};

// ---- AI Tool Suite ---------------------------------------------------------------------
constexpr const char* kTool = "AI Tool Suite";
HostError AddTool(PluginRef plugin, const char* name, const AddToolData* data, std::int32_t options, ToolHandle* tool)
{
    if (HostError error = H().Enter(kTool, "AddTool")) return error;
    if (plugin != H().Plugin() || name == nullptr || data == nullptr || tool == nullptr) return kBadParameterErr;
    ToolRecord record;
    record.name = name;
    record.title = data->title != nullptr ? data->title : "";
    record.tooltip = data->tooltip != nullptr ? data->tooltip : "";
    record.helpId = data->helpId;
    record.iconResourceId = H().IconResourceId(data->icon);
    record.sameGroupAs = data->sameGroupAs;
    record.sameToolsetAs = data->sameToolsetAs;
    record.options = options;
    H().RecordTool(std::move(record));
    *tool = reinterpret_cast<ToolHandle>(static_cast<std::uintptr_t>(H().Tools().size()));
    return kNoErr;
}
HostError SystemHasPressure(std::int32_t* hasPressure)
{
    if (HostError error = H().Enter(kTool, "SystemHasPressure")) return error;
    if (hasPressure == nullptr) return kBadParameterErr;
    *hasPressure = H().pressureDevice ? 1 : 0;
    return kNoErr;
}
constexpr ToolSuite kToolSuite = {.AddTool = AddTool, .SystemHasPressure = SystemHasPressure};

}  // namespace

// The document's suites are in document_suites.cpp, the ADM suites' in
// adm_suites.cpp.
extern const ArtSuite kArtSuite;
extern const SymbolSuite kSymbolSuite;
extern const SymbolPaletteSuite kSymbolPaletteSuite;
extern const DocumentSuite kDocumentSuite;
extern const DocumentViewSuite kDocumentViewSuite;
extern const HitTestSuite kHitTestSuite;
extern const LayerSuite kLayerSuite;
extern const AdmBasicSuite kAdmBasicSuite;
extern const DialogSuite kDialogSuite;
extern const ItemSuite kItemSuite;
extern const IconSuite kIconSuite;
extern const TrackerSuite kTrackerSuite;
extern const ListSuite kListSuite;
extern const EntrySuite kEntrySuite;
extern const NotifierSuite kNotifierSuite;

namespace {

struct SuiteEntry {
    const char* name;
    std::int32_t version;
    const void* table;
};

const SuiteEntry kSuites[] = {
    {"SP Blocks Suite", 2, &kBlocksSuite},
    {"SP Access Suite", 3, &kAccessSuite},
    {"AI Plugin Suite", 3, &kPluginSuite},
    {"AI MdMemory Suite", 1, &kMdMemorySuite},
    {"AI Real Math Suite", 1, &kRealMathSuite},
    {"AI Art Suite", 9, &kArtSuite},
    {"AI User Suite", 5, &kUserSuite},
    {"AI Undo Suite", 4, &kUndoSuite},
    {"AI Random Suite", 3, &kRandomSuite},
    {"AI Symbol Suite", 1, &kSymbolSuite},
    {"AI Symbol Palette Suite", 1, &kSymbolPaletteSuite},
    {"AI Document Suite", 7, &kDocumentSuite},
    {"AI Document View Suite", 7, &kDocumentViewSuite},
    {"AI Hit Test Suite", 1, &kHitTestSuite},
    {"AI Layer Suite", 9, &kLayerSuite},
    {"AI Tool Suite", 9, &kToolSuite},
    {"ADM Basic Suite", 2, &kAdmBasicSuite},
    {"ADM Dialog Suite", 3, &kDialogSuite},
    {"ADM Item Suite", 4, &kItemSuite},
    {"ADM Icon Suite", 1, &kIconSuite},
    {"ADM Tracker Suite", 1, &kTrackerSuite},
    {"ADM List Suite", 1, &kListSuite},
    {"ADM Entry Suite", 2, &kEntrySuite},
    {"ADM Notifier Suite", 1, &kNotifierSuite},
};
static_assert(std::size(kSuites) == kSuiteCount);

}  // namespace

int SuiteIndex(std::string_view name)
{
    // Every acquisition and release asks by name: one hash instead of a
    // comparison with each entry.
    static const std::unordered_map<std::string_view, int> byName = [] {
        std::unordered_map<std::string_view, int> names;
        for (int i = 0; i < kSuiteCount; ++i) names.emplace(kSuites[i].name, i);
        return names;
    }();
    const auto it = byName.find(name);
    return it == byName.end() ? -1 : it->second;
}

int SuiteIndexOf(const char* name)
{
    struct Seen {
        const char* name = nullptr;
        int index = -1;
    };
    // Hosts come and go (one per test, one per fuzz input); the names stay.
    // Many more slots than suites, so that two names seldom share one.
    thread_local std::array<Seen, 512> seen{};
    const std::uint64_t address = reinterpret_cast<std::uintptr_t>(name);
    Seen& slot = seen[static_cast<std::size_t>((address * 0x9E3779B97F4A7C15ull) >> 55)];
    // The text at an address may have changed since: one comparison
    // confirms it.
    if (slot.name == name && std::strcmp(name, kSuites[slot.index].name) == 0) return slot.index;
    const int index = SuiteIndex(name);
    if (index >= 0) slot = {name, index};
    return index;
}

const char* SuiteName(int index) { return kSuites[index].name; }

const void* SuiteTable(int index, std::int32_t version)
{
    if (index < 0 || index >= kSuiteCount || kSuites[index].version != version) return nullptr;
    return kSuites[index].table;
}

}  // namespace host
