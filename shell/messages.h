#pragma once
// The message records that the host passes to PluginMain, and the callers
// and selectors that name the messages.
#include <cstddef>
#include <cstdint>

#include "shell/host_types.h"
#include "shell/sp_suites.h"

// The head of every message record.
struct HostMessage {
    std::uint32_t checkWord;
    // Identifies this plug-in to the host.
    PluginRef pluginRef;
    // The slot that the host keeps for the plug-in while its code is unloaded.
    void* savedGlobals;
    const BasicSuite* basicSuite;
};

// The record of the tool messages: mouse down, drag and up, and the others.
struct ToolMessage {
    HostMessage d;
    ToolHandle tool;
    // The pointer, in artwork coordinates.
    HostPoint cursor;
    // Pen pressure, 0 to 255 from a pressure device.
    std::int16_t pressure;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
// The 32-bit host lays the records out so.
static_assert(sizeof(void*) == 4);
static_assert(offsetof(HostMessage, pluginRef) == 4);
static_assert(offsetof(HostMessage, savedGlobals) == 8);
static_assert(offsetof(HostMessage, basicSuite) == 12);
static_assert(sizeof(HostMessage) == 16);
static_assert(offsetof(ToolMessage, tool) == 16);
static_assert(offsetof(ToolMessage, cursor) == 20);
static_assert(offsetof(ToolMessage, cursor) + offsetof(HostPoint, v) == 24);
static_assert(offsetof(ToolMessage, pressure) == 28);
#endif

// Callers.
inline constexpr const char* kSPAccessCaller = "SP Access";
inline constexpr const char* kSPInterfaceCaller = "SP Interface";
inline constexpr const char* kToolCaller = "AI Tool";

// Selectors.
inline constexpr const char* kUnloadSelector = "Unload";
inline constexpr const char* kReloadSelector = "Reload";
inline constexpr const char* kStartupSelector = "Startup";
inline constexpr const char* kAboutSelector = "About";
inline constexpr const char* kShutdownSelector = "Shutdown";
inline constexpr const char* kEditOptionsSelector = "AI Edit Options";
inline constexpr const char* kTrackCursorSelector = "AI Track Cursor";
inline constexpr const char* kMouseDownSelector = "AI Mouse Down";
inline constexpr const char* kMouseDragSelector = "AI Mouse Drag";
inline constexpr const char* kMouseUpSelector = "AI Mouse Up";
inline constexpr const char* kSelectSelector = "AI Select";
inline constexpr const char* kDeselectSelector = "AI Deselect";
