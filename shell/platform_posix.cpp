#include "shell/platform.h"

void PlatformSetCursor(void* moduleInstance, std::int32_t cursorId)
{
    auto* module = static_cast<PosixModule*>(moduleInstance);
    if (module == nullptr) return;
    void* cursor = module->LoadCursor(module, static_cast<std::uint16_t>(cursorId & 0xFFFF));
    if (cursor != nullptr) module->SetCursor(module, cursor);
}
