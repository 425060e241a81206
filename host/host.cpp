#include "host/host.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "host/resources.h"

namespace host {

namespace {


// The plug-in reference that this host gives its one plug-in.
int gPluginToken;

HostError BasicAcquire(const char* name, std::int32_t version, const void** suite)
{
    return StandInHost::Current().Acquire(name, version, suite);
}

HostError BasicRelease(const char* name, std::int32_t version)
{
    return StandInHost::Current().Release(name, version);
}

std::int32_t BasicIsEqual(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr) return 0;
    return std::strcmp(a, b) == 0 ? 1 : 0;
}

constexpr BasicSuite kBasicSuite = {
    .AcquireSuite = BasicAcquire,
    .ReleaseSuite = BasicRelease,
    .IsEqual = BasicIsEqual,
};

void* ModuleLoadCursor(PosixModule* /*module*/, std::uint16_t id) { return StandInHost::Current().LoadCursor(id); }
void ModuleSetCursor(PosixModule* /*module*/, void* cursor) { StandInHost::Current().SetCursor(cursor); }

}  // namespace

StandInHost::StandInHost(PluginEntry entry) : entry_(entry), previous_(current_)
{
    module_.LoadCursor = ModuleLoadCursor;
    module_.SetCursor = ModuleSetCursor;
    current_ = this;
}

StandInHost::~StandInHost()
{
    for (auto& [block, record] : blocks_) std::free(const_cast<void*>(block));
    current_ = previous_;
}

void StandInHost::NoCurrentHost() { throw std::logic_error("no stand-in host is current"); }

PluginRef StandInHost::Plugin() const { return reinterpret_cast<PluginRef>(&gPluginToken); }

const BasicSuite* StandInHost::Basic() const { return &kBasicSuite; }

HostError StandInHost::Send(const char* caller, const char* selector)
{
    HostMessage message{0, Plugin(), savedGlobals_, &kBasicSuite};
    ++sending_;
    const HostError result = entry_(caller, selector, &message);
    if (--sending_ == 0) hits_.clear();
    savedGlobals_ = message.savedGlobals;
    return result;
}

HostError StandInHost::SendTool(const char* selector, HostPoint pointer, std::int16_t pressure)
{
    ToolMessage message{};
    message.d = HostMessage{0, Plugin(), savedGlobals_, &kBasicSuite};
    message.tool = tools_.empty() ? nullptr : reinterpret_cast<ToolHandle>(&tools_.front());
    message.cursor = pointer;
    message.pressure = pressure;
    ++sending_;
    const HostError result = entry_("AI Tool", selector, &message);
    if (--sending_ == 0) hits_.clear();
    savedGlobals_ = message.d.savedGlobals;
    return result;
}

std::map<std::string, int> StandInHost::HeldSuites() const
{
    std::map<std::string, int> held;
    for (int i = 0; i < kSuiteCount; ++i) {
        if (held_[i] != 0) held.emplace(SuiteName(i), held_[i]);
    }
    return held;
}

bool StandInHost::SuitesBalanced() const
{
    for (const int count : held_) {
        if (count != 0) return false;
    }
    return acquisitions_ == releases_;
}

void StandInHost::FailNthCall(std::uint64_t n, HostError code)
{
    failCallAt_ = calls_ + n;
    failCallCode_ = code;
}

void StandInHost::ClearFaults()
{
    faults_.clear();
    faultCounts_.clear();
    failCallAt_ = 0;
    failCallCode_ = kNoErr;
}

HostError StandInHost::InjectedOrTraced(const char* first, const char* second)
{
    const auto operationName = [&] {
        const std::string_view a(first);
        const std::string_view b(second);
        std::string operation;
        operation.reserve(a.size() + 1 + b.size());
        operation.append(a).append("/").append(b);
        return operation;
    };
    if (tracing_) trace_.push_back(operationName());
    if (failCallAt_ != 0 && calls_ == failCallAt_) return failCallCode_;
    if (faults_.empty()) return kNoErr;
    const std::string operation = operationName();
    faultCounts_.resize(faults_.size(), 0);
    for (std::size_t i = 0; i < faults_.size(); ++i) {
        if (faults_[i].operation != operation) continue;
        const int count = ++faultCounts_[i];
        if (faults_[i].occurrence == 0 || faults_[i].occurrence == count) return faults_[i].code;
    }
    return kNoErr;
}

const int* StandInHost::FindHeldCount(const char* suite)
{
    const int index = SuiteIndex(suite);
    if (index < 0) return nullptr;
    heldByAddress_[HeldSlot(suite)] = {suite, &held_[index]};
    return &held_[index];
}

void StandInHost::NotHeld(const char* suite, const char* op)
{
    Violation(std::string(suite) + " used while not held (" + op + ")");
}

HostError StandInHost::Acquire(const char* name, std::int32_t version, const void** suite)
{
    if (suite == nullptr) return kBadParameterErr;
    *suite = nullptr;
    if (name == nullptr) return kSuiteNotFoundErr;
    if (HostError error = Injected("acquire", name)) return error;
    const int index = SuiteIndexOf(name);
    const void* table = SuiteTable(index, version);
    if (table == nullptr) return kSuiteNotFoundErr;
    *suite = table;
    ++held_[index];
    ++acquisitions_;
    return kNoErr;
}

HostError StandInHost::Release(const char* name, std::int32_t version)
{
    if (name == nullptr) return kSuiteNotFoundErr;
    const int index = SuiteIndexOf(name);
    if (SuiteTable(index, version) == nullptr) return kSuiteNotFoundErr;
    if (HostError error = Injected("release", name)) return error;
    if (held_[index] <= 0) {
        Violation(std::string("released ") + name + " that was not acquired");
        return kBadParameterErr;
    }
    --held_[index];
    ++releases_;
    return kNoErr;
}

HostError StandInHost::AllocateBlock(std::size_t size, const char* debugName, void** block)
{
    if (block == nullptr) return kBadParameterErr;
    *block = nullptr;
    if (HostError error = Enter("SP Blocks Suite", "AllocateBlock")) return error;
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) return kOutOfMemoryErr;
    // New blocks hold garbage, as a real host's do.
    std::memset(memory, 0xCD, size);
    blocks_[memory] = BlockRecord{size, debugName != nullptr ? debugName : ""};
    ++blocksAllocated_;
    *block = memory;
    return kNoErr;
}

HostError StandInHost::FreeBlock(void* block)
{
    if (HostError error = Enter("SP Blocks Suite", "FreeBlock")) return error;
    auto it = blocks_.find(block);
    if (it == blocks_.end()) {
        Violation(block == nullptr ? "freed a null block" : "freed a block that is not allocated (freed twice?)");
        return kBadParameterErr;
    }
    std::free(block);
    blocks_.erase(it);
    return kNoErr;
}

HitRef StandInHost::KeepHit(const HitResult& hit)
{
    hits_.push_back(hit);
    return reinterpret_cast<HitRef>(&hits_.back());
}

const HitResult* StandInHost::FindHit(HitRef hit) const
{
    for (const HitResult& kept : hits_) {
        if (reinterpret_cast<HitRef>(const_cast<HitResult*>(&kept)) == hit) return &kept;
    }
    return nullptr;
}

IconRef StandInHost::LoadIcon(std::int32_t resourceId)
{
    icons_.push_back(resourceId);
    return reinterpret_cast<IconRef>(&icons_.back());
}

std::int32_t StandInHost::IconResourceId(IconRef icon) const
{
    for (const std::int32_t& id : icons_) {
        if (reinterpret_cast<IconRef>(const_cast<std::int32_t*>(&id)) == icon) return id;
    }
    return 0;
}

std::int32_t StandInHost::IconType(IconRef icon) const
{
    if (iconTypeOverride >= 0) return iconTypeOverride;
    const std::int32_t id = IconResourceId(icon);
    for (const IconResource& resource : PluginResourceData().icons) {
        if (resource.id == id) return kWindowsIconType;
    }
    return kUnknownIconType;
}

void* StandInHost::LoadCursor(std::uint16_t id)
{
    if (cursorHidden_) return nullptr;
    for (const CursorResource& cursor : PluginResourceData().cursors) {
        if (cursor.id == id) return const_cast<CursorResource*>(&cursor);
    }
    return nullptr;
}

void StandInHost::SetCursor(void* cursor)
{
    if (cursor == nullptr) return;
    currentCursor_ = static_cast<const CursorResource*>(cursor)->id;
    ++cursorSets_;
}

}  // namespace host
