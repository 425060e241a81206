#pragma once
// The host's "SP" suites: the basic suite that every message carries, memory
// blocks, and access to the plug-in's own module.
#include <cstddef>

#include "shell/host_types.h"

// The basic suite, reached through every message. It hands out the other
// suites by exact name and version.
struct BasicSuite {
    // Acquire the suite with this name and version; *suite receives its
    // function table, valid until the matching release. Returns "S!Fd" when
    // the host has no such suite (name or version).
    HostError (*AcquireSuite)(const char* name, std::int32_t version, const void** suite);
    // Release one acquisition of the suite with this name and version.
    HostError (*ReleaseSuite)(const char* name, std::int32_t version);
    // Non-zero when the two host strings are equal. Callers and selectors are
    // compared only with this.
    std::int32_t (*IsEqual)(const char* a, const char* b);
};

// "SP Blocks Suite" version 2: memory owned by the host.
struct BlocksSuite {
    // Allocate size bytes; debugName labels the block in the host's accounting.
    // *block receives the memory (contents unspecified) or nullptr on failure.
    HostError (*AllocateBlock)(std::size_t size, const char* debugName, void** block);
    // Free a block that AllocateBlock gave.
    HostError (*FreeBlock)(void* block);
};

// What the host knows of the plug-in's module on this platform.
struct PlatformAccessInfo {
    // The module's instance handle: on Windows the HINSTANCE of the library.
    void* moduleInstance;
    // The handle through which the module's resources are read.
    void* resourceAccess;
};

// "SP Access Suite" version 3: the plug-in's loaded module.
struct AccessSuite {
    // The access reference of the plug-in, by its plug-in reference.
    HostError (*GetPluginAccess)(PluginRef plugin, AccessRef* access);
    // The platform information of an access reference.
    HostError (*GetAccessInfo)(AccessRef access, PlatformAccessInfo* info);
};
