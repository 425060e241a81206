// The tool's cursor on Windows: loads QV12_Kadrelle.aip as the host does,
// sends "AI Track Cursor" through its PluginMain with the module's own
// instance handle in the access suite's platform information, and checks
// that the system's current cursor is then the module's cursor resource
// 16001 (32 by 32, hot spot 14, 16), loaded by the plug-in with LoadCursorA
// and made current with SetCursor.
//
//   kadrelle_cursor_check.exe [MODULE]
//
// Prints one line per check and "cursor: N passed, N failed"; exits 1 on a
// failure. Run under Wine by tests/windows/compare_sessions.sh, which reads
// the output rather than the exit status.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app/plugin_module.h"
#include "host/host.h"

namespace {

int passed = 0;
int failed = 0;

void Check(bool ok, const std::string& what)
{
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    (ok ? passed : failed) += 1;
}

// The size and hot spot of a cursor, from its bitmaps.
struct CursorShape {
    bool known = false;
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    bool monochrome = false;
};

CursorShape ShapeOf(HCURSOR cursor)
{
    CursorShape shape;
    ICONINFO info{};
    if (cursor == nullptr || !GetIconInfo(cursor, &info)) return shape;
    BITMAP mask{};
    if (info.hbmMask != nullptr && GetObjectA(info.hbmMask, sizeof mask, &mask) != 0) {
        shape.known = true;
        shape.monochrome = info.hbmColor == nullptr;
        shape.width = mask.bmWidth;
        // A monochrome cursor's mask holds the AND and the XOR halves.
        shape.height = shape.monochrome ? mask.bmHeight / 2 : mask.bmHeight;
        shape.hotX = static_cast<int>(info.xHotspot);
        shape.hotY = static_cast<int>(info.yHotspot);
    }
    if (info.hbmMask != nullptr) DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    return shape;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1) kadrelle::SetPluginModulePath(argv[1]);
    const kadrelle::PluginModule* module = nullptr;
    try {
        module = &kadrelle::LoadedPluginModule();
    } catch (const std::exception& error) {
        std::printf("FAIL %s\ncursor: 0 passed, 1 failed\n", error.what());
        return 1;
    }
    const auto instance = static_cast<HINSTANCE>(module->instance);
    const HCURSOR expected = LoadCursorA(instance, MAKEINTRESOURCEA(16001));
    Check(expected != nullptr, "the module carries cursor resource 16001");

    host::StandInHost host(module->entry);
    host.moduleInstance = module->instance;
    Check(host.Send("SP Interface", "Startup") == 0, "Startup returns 0");

    SetCursor(nullptr);
    Check(GetCursor() == nullptr, "no cursor is current before the tool tracks it");
    const HostError tracked = host.SendTool("AI Track Cursor", {10.0f, 20.0f});
    Check(tracked == 0, "\"AI Track Cursor\" returns 0");
    const HCURSOR current = GetCursor();
    Check(current != nullptr && current == expected, "the current cursor is the module's cursor 16001");
    const CursorShape shape = ShapeOf(current);
    Check(shape.known && shape.width == 32 && shape.height == 32,
          "the cursor is 32 by 32 (" + std::to_string(shape.width) + " by " + std::to_string(shape.height) + ")");
    Check(shape.monochrome, "the cursor is monochrome");
    Check(shape.hotX == 14 && shape.hotY == 16,
          "the hot spot is 14, 16 (" + std::to_string(shape.hotX) + ", " + std::to_string(shape.hotY) + ")");
    Check(host.CursorSets() == 0, "the stand-in module took no cursor call: the system's did");

    Check(host.Send("SP Interface", "Shutdown") == 0, "Shutdown returns 0");
    Check(host.LiveBlocks().empty() && host.SuitesBalanced(), "blocks freed and suites balanced at shutdown");

    std::printf("cursor: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
