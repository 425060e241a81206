// The stand-in host's document suites, over the current host's document.
//
// Every operation counts itself, checks that its suite is held and can be
// made to fail (it then changes nothing and leaves its out-parameters
// alone). With no document open it clears its out-parameters and answers
// kNoDocumentErr. A query without somewhere to put its answer is refused
// with kBadParameterErr; an operation that makes art or a layer may be given
// nullptr for the new object's handle.
//
// Handles: an art handle is the art's id (from 1); a symbol handle is its
// palette index + 1; a layer handle its id + 1; a view handle its index + 1;
// the document handle is the Document itself. nullptr is none.
#include <cstdint>
#include <limits>
#include <optional>

#include "host/host.h"

namespace host {
namespace {

StandInHost& H() { return StandInHost::Current(); }
Document* Doc() { return H().document; }

ArtHandle ToArtHandle(ArtId id) { return reinterpret_cast<ArtHandle>(static_cast<std::uintptr_t>(id)); }
SymbolHandle ToSymbolHandle(SymbolId id) { return reinterpret_cast<SymbolHandle>(static_cast<std::uintptr_t>(id) + 1); }
LayerHandle ToLayerHandle(LayerId id) { return reinterpret_cast<LayerHandle>(static_cast<std::uintptr_t>(id) + 1); }
ViewHandle ToViewHandle(std::size_t view)
{
    return reinterpret_cast<ViewHandle>(static_cast<std::uintptr_t>(view) + 1);
}

// The id an art handle carries; 0 for none, or for what cannot be an id.
ArtId ArtIdOf(ArtHandle art)
{
    const auto value = reinterpret_cast<std::uintptr_t>(art);
    return value <= std::numeric_limits<ArtId>::max() ? static_cast<ArtId>(value) : 0;
}

// The live art a handle names; otherwise the caller answers kBadParameterErr.
// No art (nullptr) is simply refused: the tool asks the type of whatever the
// hit test found, which may be nothing. Art that was never made or has been
// deleted is the plug-in's misuse, and is recorded.
std::optional<ArtId> LiveArt(ArtHandle art)
{
    if (art == nullptr) return std::nullopt;
    const ArtId id = ArtIdOf(art);
    if (!Doc()->Knows(id)) {
        H().Violation("unknown art");
        return std::nullopt;
    }
    if (!Doc()->Exists(id)) {
        H().Violation("art used after it was deleted");
        return std::nullopt;
    }
    return id;
}

// The document's symbol a handle names, valid or not.
std::optional<SymbolId> SymbolOf(SymbolHandle symbol)
{
    const auto value = reinterpret_cast<std::uintptr_t>(symbol);
    if (value == 0 || value > Doc()->SymbolCount()) return std::nullopt;
    return static_cast<SymbolId>(value - 1);
}

// A document argument names the open document; nullptr stands for it too.
bool IsOpenDocument(DocumentHandle document)
{
    return document == nullptr || document == reinterpret_cast<DocumentHandle>(Doc());
}

// New art can go only above all art, on top of the current layer.
bool OnTop(std::int16_t paintOrder, ArtHandle prep) { return paintOrder == kPlaceAboveAll && prep == nullptr; }

constexpr HostMatrix kIdentity{1, 0, 0, 1, 0, 0};

// ---- AI Art Suite ----------------------------------------------------------------------
constexpr const char* kArt = "AI Art Suite";
HostError DisposeArt(ArtHandle art)
{
    if (HostError error = H().Enter(kArt, "DisposeArt")) return error;
    if (Doc() == nullptr) return kNoDocumentErr;
    const std::optional<ArtId> id = LiveArt(art);
    if (!id) return kBadParameterErr;
    Doc()->Delete(*id);
    return kNoErr;
}
HostError GetArtType(ArtHandle art, std::int16_t* type)
{
    if (HostError error = H().Enter(kArt, "GetArtType")) return error;
    if (type == nullptr) return kBadParameterErr;
    *type = 0;
    if (Doc() == nullptr) return kNoDocumentErr;
    const std::optional<ArtId> id = LiveArt(art);
    if (!id) return kBadParameterErr;
    *type = Doc()->ArtType(*id);
    return kNoErr;
}
HostError GetArtBounds(ArtHandle art, HostRect* bounds)
{
    if (HostError error = H().Enter(kArt, "GetArtBounds")) return error;
    if (bounds == nullptr) return kBadParameterErr;
    *bounds = HostRect{};
    if (Doc() == nullptr) return kNoDocumentErr;
    const std::optional<ArtId> id = LiveArt(art);
    if (!id) return kBadParameterErr;
    *bounds = Doc()->Bounds(*id);
    return kNoErr;
}

// ---- AI Symbol Suite -------------------------------------------------------------------
constexpr const char* kSymbol = "AI Symbol Suite";
HostError CountSymbols(std::int32_t* count, DocumentHandle document)
{
    if (HostError error = H().Enter(kSymbol, "CountSymbols")) return error;
    if (count == nullptr) return kBadParameterErr;
    *count = 0;
    if (Doc() == nullptr) return kNoDocumentErr;
    if (!IsOpenDocument(document)) return kBadParameterErr;
    *count = static_cast<std::int32_t>(Doc()->SymbolCount());
    return kNoErr;
}
HostError GetNthSymbol(std::int32_t n, SymbolHandle* symbol, DocumentHandle document)
{
    if (HostError error = H().Enter(kSymbol, "GetNthSymbol")) return error;
    if (symbol == nullptr) return kBadParameterErr;
    *symbol = nullptr;
    if (Doc() == nullptr) return kNoDocumentErr;
    if (!IsOpenDocument(document) || n < 0) return kBadParameterErr;
    const std::optional<SymbolId> id = Doc()->NthSymbol(static_cast<std::size_t>(n));
    if (!id) return kBadParameterErr;
    *symbol = ToSymbolHandle(*id);
    return kNoErr;
}
std::int32_t ValidateSymbol(SymbolHandle symbol)
{
    if (H().Enter(kSymbol, "ValidateSymbol") != kNoErr || Doc() == nullptr) return 0;
    const std::optional<SymbolId> id = SymbolOf(symbol);
    return id && Doc()->GetSymbol(*id).valid ? 1 : 0;
}
HostError NewInstanceCenteredOnPoint(SymbolHandle symbol, HostPoint centre, std::int16_t paintOrder, ArtHandle prep,
                                     ArtHandle* art)
{
    if (HostError error = H().Enter(kSymbol, "NewInstanceCenteredOnPoint")) return error;
    if (art != nullptr) *art = nullptr;
    if (Doc() == nullptr) return kNoDocumentErr;
    const std::optional<SymbolId> id = SymbolOf(symbol);
    if (!id || !Doc()->GetSymbol(*id).valid || !OnTop(paintOrder, prep)) return kBadParameterErr;
    const ArtId instance = Doc()->AddInstance(*id, centre);
    if (art != nullptr) *art = ToArtHandle(instance);
    return kNoErr;
}
HostError GetInstanceMatrix(ArtHandle instance, HostMatrix* matrix)
{
    if (HostError error = H().Enter(kSymbol, "GetInstanceMatrix")) return error;
    if (matrix == nullptr) return kBadParameterErr;
    *matrix = kIdentity;
    if (Doc() == nullptr) return kNoDocumentErr;
    const std::optional<ArtId> id = LiveArt(instance);
    if (!id) return kBadParameterErr;
    if (Doc()->GetArt(*id).kind != ArtKind::Instance) {
        H().Violation("matrix read from art that is not a symbol instance");
        return kBadParameterErr;
    }
    *matrix = Doc()->GetArt(*id).matrix;
    return kNoErr;
}
HostError SetInstanceMatrix(ArtHandle instance, const HostMatrix* matrix)
{
    if (HostError error = H().Enter(kSymbol, "SetInstanceMatrix")) return error;
    if (Doc() == nullptr) return kNoDocumentErr;
    if (matrix == nullptr) return kBadParameterErr;
    const std::optional<ArtId> id = LiveArt(instance);
    if (!id) return kBadParameterErr;
    if (Doc()->GetArt(*id).kind != ArtKind::Instance) {
        H().Violation("matrix set on art that is not a symbol instance");
        return kBadParameterErr;
    }
    Doc()->SetMatrix(*id, *matrix);
    return kNoErr;
}
HostError ExpandInstance(ArtHandle instance, std::int16_t paintOrder, ArtHandle prep, ArtHandle* expanded)
{
    if (HostError error = H().Enter(kSymbol, "ExpandInstance")) return error;
    if (expanded != nullptr) *expanded = nullptr;
    if (Doc() == nullptr) return kNoDocumentErr;
    const std::optional<ArtId> id = LiveArt(instance);
    if (!id) return kBadParameterErr;
    if (Doc()->GetArt(*id).kind != ArtKind::Instance) {
        H().Violation("expanded art that is not a symbol instance");
        return kBadParameterErr;
    }
    if (!OnTop(paintOrder, prep)) return kBadParameterErr;
    const ArtId art = Doc()->Expand(*id);
    if (expanded != nullptr) *expanded = ToArtHandle(art);
    return kNoErr;
}

// ---- AI Symbol Palette Suite -------------------------------------------------------------
HostError GetCurrentSymbol(SymbolHandle* symbol)
{
    if (HostError error = H().Enter("AI Symbol Palette Suite", "GetCurrentSymbol")) return error;
    if (symbol == nullptr) return kBadParameterErr;
    *symbol = nullptr;
    if (Doc() == nullptr) return kNoDocumentErr;
    if (Doc()->selectedSymbol) *symbol = ToSymbolHandle(*Doc()->selectedSymbol);
    return kNoErr;
}

// ---- AI Document Suite -------------------------------------------------------------------
constexpr const char* kDocument = "AI Document Suite";
HostError GetDocument(DocumentHandle* document)
{
    if (HostError error = H().Enter(kDocument, "GetDocument")) return error;
    if (document == nullptr) return kBadParameterErr;
    *document = reinterpret_cast<DocumentHandle>(Doc());
    return Doc() == nullptr ? kNoDocumentErr : kNoErr;
}
HostError GetDocumentSetup(DocumentSetup* setup)
{
    if (HostError error = H().Enter(kDocument, "GetDocumentSetup")) return error;
    if (setup == nullptr) return kBadParameterErr;
    *setup = DocumentSetup{};
    if (Doc() == nullptr) return kNoDocumentErr;
    *setup = Doc()->Setup();
    return kNoErr;
}

// ---- AI Document View Suite --------------------------------------------------------------
constexpr const char* kDocumentView = "AI Document View Suite";
HostError GetNthDocumentView(std::int32_t n, ViewHandle* view)
{
    if (HostError error = H().Enter(kDocumentView, "GetNthDocumentView")) return error;
    if (view == nullptr) return kBadParameterErr;
    *view = nullptr;
    if (Doc() == nullptr) return kNoDocumentErr;
    if (n < 0 || static_cast<std::size_t>(n) >= Doc()->ViewCount()) return kBadParameterErr;
    *view = ToViewHandle(static_cast<std::size_t>(n));
    return kNoErr;
}
HostError GetDocumentViewCenter(ViewHandle view, HostPoint* centre)
{
    if (HostError error = H().Enter(kDocumentView, "GetDocumentViewCenter")) return error;
    if (centre == nullptr) return kBadParameterErr;
    *centre = HostPoint{};
    if (Doc() == nullptr) return kNoDocumentErr;
    const auto value = reinterpret_cast<std::uintptr_t>(view);
    if (value == 0 || value > Doc()->ViewCount()) return kBadParameterErr;
    *centre = Doc()->ViewCentre(value - 1);
    return kNoErr;
}

// ---- AI Hit Test Suite -------------------------------------------------------------------
constexpr const char* kHitTest = "AI Hit Test Suite";
// Only the whole document is tested (art nullptr). A request outside 0 to 11
// hits nothing.
HostError HitTest(ArtHandle art, const HostPoint* point, std::int32_t request, HitRef* hit)
{
    if (HostError error = H().Enter(kHitTest, "HitTest")) return error;
    if (hit == nullptr) return kBadParameterErr;
    *hit = nullptr;
    if (Doc() == nullptr) return kNoDocumentErr;
    if (art != nullptr || point == nullptr) return kBadParameterErr;
    constexpr auto kLastRequest = static_cast<std::int32_t>(HitRequest::PaintableNoLocked);
    HitResult result;
    if (request >= 0 && request <= kLastRequest) result = Doc()->HitTest(*point, static_cast<HitRequest>(request));
    *hit = H().KeepHit(result);
    return kNoErr;
}
HostError GetHitData(HitRef hit, HitData* data)
{
    if (HostError error = H().Enter(kHitTest, "GetHitData")) return error;
    if (data == nullptr) return kBadParameterErr;
    *data = HitData{};
    if (Doc() == nullptr) return kNoDocumentErr;
    // No hit (a hit test that failed leaves none) is refused but is no
    // misuse: the tool asks for the data of every hit test it makes.
    if (hit == nullptr) return kBadParameterErr;
    const HitResult* result = H().FindHit(hit);
    if (result == nullptr) {
        H().Violation("hit used that the host did not give or no longer keeps");
        return kBadParameterErr;
    }
    data->hit = result->hit ? 1 : 0;
    data->type = static_cast<std::int16_t>(result->part);
    data->object = result->hit ? ToArtHandle(result->art) : nullptr;
    return kNoErr;
}

// ---- AI Layer Suite ----------------------------------------------------------------------
// A new layer goes only above all layers (layer nullptr, kPlaceAboveAll).
HostError InsertLayer(LayerHandle layer, std::int16_t paintOrder, LayerHandle* inserted)
{
    if (HostError error = H().Enter("AI Layer Suite", "InsertLayer")) return error;
    if (inserted != nullptr) *inserted = nullptr;
    if (Doc() == nullptr) return kNoDocumentErr;
    if (layer != nullptr || paintOrder != kPlaceAboveAll) return kBadParameterErr;
    const LayerId id = Doc()->InsertLayerAbove();
    if (inserted != nullptr) *inserted = ToLayerHandle(id);
    return kNoErr;
}

}  // namespace

extern const ArtSuite kArtSuite = {.DisposeArt = DisposeArt, .GetArtType = GetArtType, .GetArtBounds = GetArtBounds};
extern const SymbolSuite kSymbolSuite = {
    .CountSymbols = CountSymbols,
    .GetNthSymbol = GetNthSymbol,
    .ValidateSymbol = ValidateSymbol,
    .NewInstanceCenteredOnPoint = NewInstanceCenteredOnPoint,
    .GetInstanceMatrix = GetInstanceMatrix,
    .SetInstanceMatrix = SetInstanceMatrix,
    .ExpandInstance = ExpandInstance,
};
extern const SymbolPaletteSuite kSymbolPaletteSuite = {.GetCurrentSymbol = GetCurrentSymbol};
extern const DocumentSuite kDocumentSuite = {.GetDocument = GetDocument, .GetDocumentSetup = GetDocumentSetup};
extern const DocumentViewSuite kDocumentViewSuite = {
    .GetNthDocumentView = GetNthDocumentView,
    .GetDocumentViewCenter = GetDocumentViewCenter,
};
extern const HitTestSuite kHitTestSuite = {.HitTest = HitTest, .GetHitData = GetHitData};
extern const LayerSuite kLayerSuite = {.InsertLayer = InsertLayer};

}  // namespace host
