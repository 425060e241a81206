#pragma once
// The tool: its registration at startup, its cursor, and the options request.
#include <cstdint>

#include "shell/messages.h"

constexpr std::int32_t kToolStringList = 16100;
constexpr std::int32_t kToolIconList = 16050;
constexpr std::int32_t kToolIconIndex = 1;
constexpr std::int32_t kToolCursorId = 16001;
constexpr std::int32_t kOptionsDialogId = 16101;
constexpr std::int32_t kAddToolOptions = 1;

// Register the one tool: name and tooltip from string list 16100, the icon
// of the module. Returns "!ico" for an icon the dialog manager cannot use, or
// the add-tool operation's code.
HostError RegisterTool(HostMessage* message);

// "AI Track Cursor": set the tool's cursor. Returns 0.
HostError TrackCursor(HostMessage* message);

// Load a cursor resource of the plug-in's own module and make it current.
void SetPluginCursor(PluginRef plugin, std::int32_t cursorId);

// "AI Edit Options": run the options dialog. Returns 0 when it was closed
// with OK, "STOP" otherwise.
HostError OpenOptionsDialog(HostMessage* message);
