// Prints the resource tables that the stand-in host reads (generated from
// resources/kadrelle.rc by rcgen), one fact a line, so that
// tests/windows/check_module.py can hold the Windows module's resources,
// compiled by windres, against them.
#include <cstdio>

#include "host/resources.h"

namespace {

// Text between quotes, with backslash, quote and bytes outside printable
// ASCII escaped as \xHH.
void PrintText(const char* text)
{
    std::putchar('"');
    for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
        const auto u = static_cast<unsigned char>(*c);
        if (u == '"' || u == '\\' || u < 0x20 || u >= 0x7F) {
            std::printf("\\x%02x", u);
        } else {
            std::putchar(*c);
        }
    }
    std::putchar('"');
}

}  // namespace

int main()
{
    const host::PluginResources& resources = host::PluginResourceData();
    std::printf("pipl ");
    for (const std::uint8_t byte : resources.pipl) std::printf("%02x", byte);
    std::printf("\n");
    for (const host::ResourceString& string : resources.strings) {
        std::printf("string %d ", static_cast<int>(string.id));
        PrintText(string.text);
        std::printf("\n");
    }
    for (const host::DialogTemplate& dialog : resources.dialogs) {
        std::printf("dialog %d %d %d %d ", static_cast<int>(dialog.id), static_cast<int>(dialog.width),
                    static_cast<int>(dialog.height), static_cast<int>(dialog.fontSize));
        PrintText(dialog.fontName);
        std::printf(" ");
        PrintText(dialog.caption);
        std::printf(" %zu\n", dialog.items.size());
        for (const host::DialogItemTemplate& item : dialog.items) {
            std::printf("item %d %d ", static_cast<int>(dialog.id), static_cast<int>(item.id));
            PrintText(item.itemType);
            std::printf(" %d %d %d %d ", static_cast<int>(item.left), static_cast<int>(item.top),
                        static_cast<int>(item.width), static_cast<int>(item.height));
            PrintText(item.text);
            std::printf("\n");
        }
    }
    for (const host::IconResource& icon : resources.icons) {
        std::printf("icon %d %d %d %d\n", static_cast<int>(icon.id), static_cast<int>(icon.width),
                    static_cast<int>(icon.height), static_cast<int>(icon.bitCount));
    }
    for (const host::CursorResource& cursor : resources.cursors) {
        std::printf("cursor %d %d %d %d %d\n", static_cast<int>(cursor.id), static_cast<int>(cursor.width),
                    static_cast<int>(cursor.height), static_cast<int>(cursor.hotX), static_cast<int>(cursor.hotY));
    }
    return 0;
}
