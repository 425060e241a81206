#include "shell/tool.h"

#include "dialog/options_dialog.h"
#include "settings/globals.h"
#include "shell/platform.h"
#include "shell/suites.h"

namespace {
constexpr std::int32_t kTextSize = 256;
}

HostError RegisterTool(HostMessage* message)
{
    if (!SuitesHeld<AdmBasicSuite, IconSuite, ToolSuite>()) return kSuiteNotFoundErr;
    const AdmBasicSuite* basic = Suite<AdmBasicSuite>();

    char title[kTextSize] = {};
    char tooltip[kTextSize] = {};
    basic->GetIndexString(message->pluginRef, kToolStringList, 1, title, kTextSize);
    basic->GetIndexString(message->pluginRef, kToolStringList, 2, tooltip, kTextSize);

    IconRef icon = Suite<IconSuite>()->GetFromResource(message->pluginRef, kToolIconList, kToolIconIndex);
    if (Suite<IconSuite>()->GetType(icon) == kUnknownIconType) return kBadIconErr;

    const AddToolData data{
        .title = title,
        .tooltip = tooltip,
        .helpId = 0,
        .icon = icon,
        .sameGroupAs = kNoTool,
        .sameToolsetAs = kNoTool,
    };
    return Suite<ToolSuite>()->AddTool(message->pluginRef, title, &data, kAddToolOptions, &gGlobals->toolHandle);
}

HostError TrackCursor(HostMessage* message)
{
    SetPluginCursor(message->pluginRef, kToolCursorId);
    return kNoErr;
}

void SetPluginCursor(PluginRef plugin, std::int32_t cursorId)
{
    const AccessSuite* access = Suite<AccessSuite>();
    if (access == nullptr) return;
    AccessRef accessRef = nullptr;
    if (access->GetPluginAccess(plugin, &accessRef) != kNoErr) return;
    PlatformAccessInfo info{};
    if (access->GetAccessInfo(accessRef, &info) != kNoErr) return;
    PlatformSetCursor(info.moduleInstance, cursorId);
}

HostError OpenOptionsDialog(HostMessage* message)
{
    // The dialog's controls need the item, list and entry suites too (a
    // message sent while another dialog is open finds the suites of the
    // message around it, which may have stopped acquiring before them).
    if (!SuitesHeld<DialogSuite, ItemSuite, ListSuite, EntrySuite>()) return kStopErr;
    const std::int32_t item =
        Suite<DialogSuite>()->Modal(message->pluginRef, "Tool Dialog 0", kOptionsDialogId, 0, InitOptionsDialog, nullptr);
    return item == 1 ? kNoErr : kStopErr;
}
