#include "shell/plugin.h"

#include <cstring>

#include "engine/stroke.h"
#include "settings/globals.h"
#include "shell/errors.h"
#include "shell/suites.h"
#include "shell/tool.h"

namespace {

using Handler = HostError (*)(HostMessage* message);

struct HandlerRow {
    const char* selector;
    Handler handler;        // nullptr: the message is answered with 0
    bool needsSettings;     // the handler reads or writes the settings block
};

HostError StartStrokeHandler(HostMessage* message) { return StartStroke(reinterpret_cast<ToolMessage*>(message)); }
HostError DragStepHandler(HostMessage* message) { return DragStep(reinterpret_cast<ToolMessage*>(message)); }
HostError EndStrokeHandler(HostMessage* message) { return EndStroke(reinterpret_cast<ToolMessage*>(message)); }

// The messages of the "SP Interface" caller.
constexpr HandlerRow kInterfaceHandlers[] = {
    {kStartupSelector, StartupPlugin, false},
    {kAboutSelector, ShowAboutBox, false},
    {kShutdownSelector, ShutdownPlugin, false},
};

// The tool's messages, in the order in which they are compared.
constexpr HandlerRow kToolHandlers[] = {
    {kEditOptionsSelector, OpenOptionsDialog, true},
    {kTrackCursorSelector, TrackCursor, false},
    {kMouseDownSelector, StartStrokeHandler, true},
    {kMouseDragSelector, DragStepHandler, true},
    {kMouseUpSelector, EndStrokeHandler, true},
    {kSelectSelector, nullptr, false},
    {kDeselectSelector, nullptr, false},
};

template <std::size_t N>
HostError Dispatch(const HandlerRow (&rows)[N], const char* selector, HostMessage* message)
{
    for (const HandlerRow& row : rows) {
        if (!message->basicSuite->IsEqual(selector, row.selector)) continue;
        if (row.handler == nullptr) return kNoErr;
        // Without a settings block (a failed startup) there is nothing to work on.
        if (row.needsSettings && gGlobals == nullptr) return kNoSettingsErr;
        return row.handler(message);
    }
    return kNoErr;
}

}  // namespace

extern "C" HostError PluginMain(const char* caller, const char* selector, void* messageData)
{
    auto* message = static_cast<HostMessage*>(messageData);
    if (message == nullptr || message->basicSuite == nullptr || caller == nullptr || selector == nullptr)
        return kBadParameterErr;
    const BasicSuite* basic = message->basicSuite;

    if (basic->IsEqual(caller, kSPAccessCaller)) {
        if (basic->IsEqual(selector, kUnloadSelector)) return UnloadPlugin(message);
        if (basic->IsEqual(selector, kReloadSelector)) return ReloadPlugin(message);
        return kNoErr;
    }

    HostError result = AcquireSuites(basic);
    if (result == kNoErr) {
        if (basic->IsEqual(caller, kSPInterfaceCaller)) {
            result = Dispatch(kInterfaceHandlers, selector, message);
        } else if (basic->IsEqual(caller, kToolCaller)) {
            result = Dispatch(kToolHandlers, selector, message);
        }
    } else if (basic->IsEqual(caller, kSPInterfaceCaller) && basic->IsEqual(selector, kShutdownSelector)) {
        // Shutdown needs nothing from the table (it acquires its own blocks
        // suite), so the settings block is freed even when the table's pass
        // stopped; the message answers with the pass's failure.
        ShutdownPlugin(message);
    }
    if (result != kNoErr && result != kSuiteNotFoundErr) ReportError(message, result);
    ReleaseSuites(basic);
    return result;
}

HostError StartupPlugin(HostMessage* message)
{
    if (!SuitesHeld<BlocksSuite, PluginSuite>()) return kSuiteNotFoundErr;

    void* block = nullptr;
    if (HostError error = Suite<BlocksSuite>()->AllocateBlock(sizeof(Globals), "globals", &block)) return error;
    if (block == nullptr) return kOutOfMemoryErr;
    std::memset(block, 0, sizeof(Globals));
    gGlobals = static_cast<Globals*>(block);

    std::int32_t options = 0;
    if (HostError error = Suite<PluginSuite>()->GetPluginOptions(message->pluginRef, &options)) return error;
    options |= kPluginWantsGlobalsOption;
    if (HostError error = Suite<PluginSuite>()->SetPluginOptions(message->pluginRef, options)) return error;

    if (HostError error = RegisterTool(message)) return error;
    SetDefaults(*gGlobals);
    return kNoErr;
}

HostError UnloadPlugin(HostMessage* message)
{
    message->savedGlobals = gGlobals;
    return kNoErr;
}

HostError ReloadPlugin(HostMessage* message)
{
    gSuiteNesting = 0;
    gGlobals = static_cast<Globals*>(message->savedGlobals);
    return kNoErr;
}

HostError ShutdownPlugin(HostMessage* message)
{
    const SuiteRow& row = SuiteTable()[static_cast<std::size_t>(SuiteId::Blocks)];
    const void* blocks = nullptr;
    const HostError result = message->basicSuite->AcquireSuite(row.name, row.version, &blocks);
    if (result == kNoErr) {
        // After a startup that failed to allocate there is no block to free.
        if (gGlobals != nullptr) static_cast<const BlocksSuite*>(blocks)->FreeBlock(gGlobals);
        gGlobals = nullptr;
        message->basicSuite->ReleaseSuite(row.name, row.version);
    }
    message->savedGlobals = nullptr;
    return result;
}
