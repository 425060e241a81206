#include "shell/platform.h"

#include <windows.h>

void PlatformSetCursor(void* moduleInstance, std::int32_t cursorId)
{
    HCURSOR cursor = LoadCursorA(static_cast<HINSTANCE>(moduleInstance),
                                 MAKEINTRESOURCEA(static_cast<WORD>(cursorId & 0xFFFF)));
    if (cursor != nullptr) SetCursor(cursor);
}
