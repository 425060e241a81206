#pragma once
// The suite table: the 24 host suites that the plug-in uses, with their
// names and versions, and the program-wide pointers that hold them while a
// message is being handled.
#include <cstdint>
#include <span>

#include "shell/adm_suites.h"
#include "shell/ai_suites.h"
#include "shell/sp_suites.h"

// The rows of the suite table, in table order, which is also the order of
// acquiring and releasing.
enum class SuiteId : std::uint8_t {
    Blocks,
    Access,
    Plugin,
    MdMemory,
    RealMath,
    Art,
    User,
    Undo,
    Random,
    Symbol,
    SymbolPalette,
    Document,
    DocumentView,
    HitTest,
    Layer,
    Tool,
    AdmBasic,
    Dialog,
    Item,
    Icon,
    Tracker,
    List,
    Entry,
    Notifier,
    Count
};

constexpr std::size_t kSuiteCount = static_cast<std::size_t>(SuiteId::Count);

struct SuiteRow {
    const char* name;      // the host's exact name
    std::int32_t version;
};

// The table, indexed by SuiteId.
std::span<const SuiteRow, kSuiteCount> SuiteTable();

// The acquired suite of each row, empty while not held.
extern const void* gSuitePointers[kSuiteCount];

// How many messages are being handled right now. Suites are acquired when it
// goes from 0 to 1 and released when it goes from 1 to 0.
extern std::int16_t gSuiteNesting;

// Which row holds each suite's function table.
template <class S> struct SuiteRowOf;
template <> struct SuiteRowOf<BlocksSuite> { static constexpr SuiteId id = SuiteId::Blocks; };
template <> struct SuiteRowOf<AccessSuite> { static constexpr SuiteId id = SuiteId::Access; };
template <> struct SuiteRowOf<PluginSuite> { static constexpr SuiteId id = SuiteId::Plugin; };
template <> struct SuiteRowOf<MdMemorySuite> { static constexpr SuiteId id = SuiteId::MdMemory; };
template <> struct SuiteRowOf<RealMathSuite> { static constexpr SuiteId id = SuiteId::RealMath; };
template <> struct SuiteRowOf<ArtSuite> { static constexpr SuiteId id = SuiteId::Art; };
template <> struct SuiteRowOf<UserSuite> { static constexpr SuiteId id = SuiteId::User; };
template <> struct SuiteRowOf<UndoSuite> { static constexpr SuiteId id = SuiteId::Undo; };
template <> struct SuiteRowOf<RandomSuite> { static constexpr SuiteId id = SuiteId::Random; };
template <> struct SuiteRowOf<SymbolSuite> { static constexpr SuiteId id = SuiteId::Symbol; };
template <> struct SuiteRowOf<SymbolPaletteSuite> { static constexpr SuiteId id = SuiteId::SymbolPalette; };
template <> struct SuiteRowOf<DocumentSuite> { static constexpr SuiteId id = SuiteId::Document; };
template <> struct SuiteRowOf<DocumentViewSuite> { static constexpr SuiteId id = SuiteId::DocumentView; };
template <> struct SuiteRowOf<HitTestSuite> { static constexpr SuiteId id = SuiteId::HitTest; };
template <> struct SuiteRowOf<LayerSuite> { static constexpr SuiteId id = SuiteId::Layer; };
template <> struct SuiteRowOf<ToolSuite> { static constexpr SuiteId id = SuiteId::Tool; };
template <> struct SuiteRowOf<AdmBasicSuite> { static constexpr SuiteId id = SuiteId::AdmBasic; };
template <> struct SuiteRowOf<DialogSuite> { static constexpr SuiteId id = SuiteId::Dialog; };
template <> struct SuiteRowOf<ItemSuite> { static constexpr SuiteId id = SuiteId::Item; };
template <> struct SuiteRowOf<IconSuite> { static constexpr SuiteId id = SuiteId::Icon; };
template <> struct SuiteRowOf<TrackerSuite> { static constexpr SuiteId id = SuiteId::Tracker; };
template <> struct SuiteRowOf<ListSuite> { static constexpr SuiteId id = SuiteId::List; };
template <> struct SuiteRowOf<EntrySuite> { static constexpr SuiteId id = SuiteId::Entry; };
template <> struct SuiteRowOf<NotifierSuite> { static constexpr SuiteId id = SuiteId::Notifier; };

// The held suite S, or nullptr when it is not held.
template <class S> inline const S* Suite()
{
    return static_cast<const S*>(gSuitePointers[static_cast<std::size_t>(SuiteRowOf<S>::id)]);
}

// True when every one of the suites S... is held.
template <class... S> inline bool SuitesHeld() { return ((Suite<S>() != nullptr) && ...); }

// Acquire the whole table under the nesting count (only when it goes from 0
// to 1). A failure after the dialog manager's basic suite is held shows the
// suite-loading alert and stops. Returns the result of the last row tried.
HostError AcquireSuites(const BasicSuite* basic);

// Release the whole table when the outermost message ends. Returns the last
// release's code.
HostError ReleaseSuites(const BasicSuite* basic);
