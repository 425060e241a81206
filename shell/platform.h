#pragma once
// The few calls the plug-in makes to the operating system itself, behind one
// small layer: on Windows they are the system's own; elsewhere the module
// instance that the host reports is a PosixModule, through which the host
// stands in for them.
#include <cstdint>

struct PosixModule {
    // Stands in for LoadCursorA: the cursor resource with this id of the
    // module, or nullptr when the module has none.
    void* (*LoadCursor)(PosixModule* module, std::uint16_t cursorId);
    // Stands in for SetCursor: make the cursor current.
    void (*SetCursor)(PosixModule* module, void* cursor);
};

// Load cursor resource cursorId (its low 16 bits, as a numeric resource
// name) of the module and make it the current cursor. Nothing changes when
// there is no module or no such cursor.
void PlatformSetCursor(void* moduleInstance, std::int32_t cursorId);
