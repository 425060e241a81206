#pragma once
// The stand-in host: the least of the drawing application and its dialog
// manager that the plug-in needs, built to run the plug-in on any system and
// to let tests see and steer everything it does.
//
// One StandInHost is current at a time (the suites are plain function tables
// and reach their host through it). It hands out the 24 suites by exact name
// and version, keeps the plug-in's memory blocks with their debug names,
// records alerts, dialogs, tools and cursor calls, and can make any suite
// acquisition or host operation fail with a chosen code.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/dialog_manager.h"
#include "host/document.h"
#include "host/random_source.h"
#include "shell/adm_suites.h"
#include "shell/ai_suites.h"
#include "shell/messages.h"
#include "shell/platform.h"
#include "shell/sp_suites.h"

namespace host {

// The plug-in's entry point, as the host finds it in the module.
using PluginEntry = HostError (*)(const char* caller, const char* selector, void* message);

// What the host answers for a document operation while no document is open.
constexpr HostError kNoDocumentErr = FourCharCode('D', 'O', 'C', '?');

// The icon type of an icon from the module's icon resources.
constexpr std::int32_t kWindowsIconType = 3;

// How many suites the host serves.
inline constexpr int kSuiteCount = 24;

// A failure to inject: the occurrence-th call (counted from when the fault
// was set, from 1) of the operation fails with code; occurrence 0 fails
// every call. An operation is named "Suite name/Operation", for example
// "SP Blocks Suite/AllocateBlock"; acquiring a suite is "acquire/Suite name"
// and releasing it "release/Suite name".
struct Fault {
    std::string operation;
    int occurrence = 1;
    HostError code = kNoErr;
};

struct ToolRecord {
    std::string name;
    std::string title;
    std::string tooltip;
    std::int32_t helpId = 0;
    std::int32_t iconResourceId = 0;
    std::int32_t sameGroupAs = 0;
    std::int32_t sameToolsetAs = 0;
    std::int32_t options = 0;
};

struct BlockRecord {
    std::size_t size = 0;
    std::string debugName;
};

class StandInHost {
public:
    explicit StandInHost(PluginEntry entry);
    ~StandInHost();
    StandInHost(const StandInHost&) = delete;
    StandInHost& operator=(const StandInHost&) = delete;

    // The host that the suites serve right now.
    static StandInHost& Current()
    {
        if (current_ == nullptr) NoCurrentHost();
        return *current_;
    }

    // --- Messages, as the host sends them -------------------------------
    HostError Send(const char* caller, const char* selector);
    HostError SendTool(const char* selector, HostPoint pointer = {0.0f, 0.0f}, std::int16_t pressure = 0);
    // The slot that the host keeps for the plug-in across unload and reload.
    void* SavedGlobals() const { return savedGlobals_; }
    PluginRef Plugin() const;

    // --- Suites ------------------------------------------------------------
    const BasicSuite* Basic() const;
    // Acquisitions not yet released, per suite name (suites held now only).
    std::map<std::string, int> HeldSuites() const;
    bool SuitesBalanced() const;
    std::uint64_t Acquisitions() const { return acquisitions_; }
    std::uint64_t Releases() const { return releases_; }

    // --- Faults --------------------------------------------------------------
    void Inject(Fault fault) { faults_.push_back(std::move(fault)); }
    // Fail the n-th host operation call from now on (from 1), whatever it is.
    void FailNthCall(std::uint64_t n, HostError code);
    void ClearFaults();
    // Host operation calls so far (suite acquisitions and releases included).
    std::uint64_t Calls() const { return calls_; }
    // Record every host operation call from now on, by its name as a fault
    // names it, in order: CallTrace()[i] is the call Calls() counted as i + 1
    // after tracing began.
    void TraceCalls(bool on) { tracing_ = on; }
    const std::vector<std::string>& CallTrace() const { return trace_; }
    // Misuse the host caught: a suite used while not held, a block freed
    // twice, and the like.
    const std::vector<std::string>& Violations() const { return violations_; }

    // --- Memory ------------------------------------------------------------------
    const std::map<const void*, BlockRecord>& LiveBlocks() const { return blocks_; }
    std::uint64_t BlocksAllocated() const { return blocksAllocated_; }

    // --- What the user sees ------------------------------------------------------
    const std::vector<std::string>& Alerts() const { return alerts_; }
    const std::vector<ToolRecord>& Tools() const { return tools_; }
    DialogManager& Dialogs() { return dialogs_; }
    const DialogManager& Dialogs() const { return dialogs_; }
    // Cursor calls: the cursor resource made current, and how often.
    std::int32_t CurrentCursor() const { return currentCursor_; }
    int CursorSets() const { return cursorSets_; }
    // Make the module's cursor resource unavailable (as if missing).
    void HideCursorResource(bool hidden) { cursorHidden_ = hidden; }

    // --- The host's own state that tests set ---------------------------------
    std::int32_t pluginOptions = 0;
    bool pressureDevice = false;
    std::int32_t modifiers = 0;
    // The icon type the dialog manager reports; negative: what the module's
    // resources give (a Windows icon, or "unknown" for a missing one).
    std::int32_t iconTypeOverride = -1;
    RandomSource random;
    std::uint64_t undoCalls = 0;
    // The module instance that the access suite reports: the loaded
    // module's handle where the plug-in is a Windows module; nullptr for
    // this host's stand-in module (Module()), through which the host takes
    // the plug-in's cursor calls.
    void* moduleInstance = nullptr;
    // The current document, or nullptr when none is open (the document
    // operations then fail with kNoDocumentErr). The host does not own it.
    Document* document = nullptr;

    // Hit-test results live until the outermost message ends.
    HitRef KeepHit(const HitResult& hit);
    const HitResult* FindHit(HitRef hit) const;

    // --- For the suites' implementations ----------------------------------
    // Count a call of operation op of suite (its exact name) and check that
    // the suite is held. Returns the injected code, or 0.
    HostError Enter(const char* suite, const char* op)
    {
        if (const int* count = HeldCount(suite); count == nullptr || *count <= 0) NotHeld(suite, op);
        return Injected(suite, op);
    }
    void Violation(std::string what) { violations_.push_back(std::move(what)); }
    HostError Acquire(const char* name, std::int32_t version, const void** suite);
    HostError Release(const char* name, std::int32_t version);
    HostError AllocateBlock(std::size_t size, const char* debugName, void** block);
    HostError FreeBlock(void* block);
    void RecordAlert(const char* text) { alerts_.emplace_back(text); }
    void RecordTool(ToolRecord tool) { tools_.push_back(std::move(tool)); }
    PosixModule* Module() { return &module_; }
    // Icons loaded from the module: the icon of resource id, its resource id
    // and the type the dialog manager reports for it.
    IconRef LoadIcon(std::int32_t resourceId);
    std::int32_t IconResourceId(IconRef icon) const;
    std::int32_t IconType(IconRef icon) const;
    void* LoadCursor(std::uint16_t id);
    void SetCursor(void* cursor);

private:
    // Count a call and answer with the fault set for it: operation is
    // prefix + separator + name.
    // Count a call of operation "first/second" and answer the fault that
    // fails it, or 0.
    // Every call of every suite comes through here, so the common case (no
    // trace, no fault) is decided inline; the operation's name is made only
    // when a trace or a fault needs it.
    HostError Injected(const char* first, const char* second)
    {
        ++calls_;
        if (!tracing_ && failCallAt_ == 0 && faults_.empty()) return kNoErr;
        return InjectedOrTraced(first, second);
    }
    HostError InjectedOrTraced(const char* first, const char* second);
    // The acquisition count of a suite by its name, or nullptr. The suites
    // name themselves with the same few texts every call: a count is found
    // by the text's address first, by its letters once.
    const int* HeldCount(const char* suite)
    {
        const HeldByAddress& slot = heldByAddress_[HeldSlot(suite)];
        return slot.name == suite ? slot.count : FindHeldCount(suite);
    }
    static std::size_t HeldSlot(const char* suite)
    {
        // Names may lie at any stride apart (padded, under a sanitizer): a
        // multiplicative hash spreads them over the slots.
        const std::uint64_t address = reinterpret_cast<std::uintptr_t>(suite);
        return static_cast<std::size_t>((address * 0x9E3779B97F4A7C15ull) >> 58);
    }
    const int* FindHeldCount(const char* suite);
    void NotHeld(const char* suite, const char* op);
    [[noreturn]] static void NoCurrentHost();
    inline static StandInHost* current_ = nullptr;

    PluginEntry entry_;
    void* savedGlobals_ = nullptr;
    // Acquisitions not yet released, by the suite's place in the host's
    // table.
    std::array<int, kSuiteCount> held_{};
    // held_'s counts by the address of a name they were asked by.
    struct HeldByAddress {
        const char* name = nullptr;
        const int* count = nullptr;
    };
    static constexpr std::size_t kHeldSlots = 64;  // HeldSlot keeps the top 6 bits of its hash
    std::array<HeldByAddress, kHeldSlots> heldByAddress_{};
    std::uint64_t acquisitions_ = 0;
    std::uint64_t releases_ = 0;
    std::vector<Fault> faults_;
    std::vector<int> faultCounts_;
    std::uint64_t calls_ = 0;
    std::uint64_t failCallAt_ = 0;
    HostError failCallCode_ = kNoErr;
    bool tracing_ = false;
    std::vector<std::string> trace_;
    std::vector<std::string> violations_;
    std::map<const void*, BlockRecord> blocks_;
    std::uint64_t blocksAllocated_ = 0;
    std::vector<std::string> alerts_;
    std::vector<ToolRecord> tools_;
    DialogManager dialogs_;
    PosixModule module_{};
    std::deque<std::int32_t> icons_;
    std::deque<HitResult> hits_;
    int sending_ = 0;
    std::int32_t currentCursor_ = 0;
    int cursorSets_ = 0;
    bool cursorHidden_ = false;
    StandInHost* previous_ = nullptr;
};

// A suite's place in the host's table by its exact name, or -1; its name;
// its function table when version is the one the host serves, else nullptr.
int SuiteIndex(std::string_view name);
// The same for a name a caller gave: callers ask with the same few texts
// again and again, so the place last found for a text's address is checked
// against the name first.
int SuiteIndexOf(const char* name);
const char* SuiteName(int index);
const void* SuiteTable(int index, std::int32_t version);

}  // namespace host
