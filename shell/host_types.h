#pragma once
// The plain types that the host's suites pass back and forth: result codes,
// reals, points, rectangles, matrices and the opaque references the host
// hands out. Nothing here has behaviour; the suites are in the headers beside
// this one.
#include <cstdint>

// A host result code: 0 is success, anything else an error. Many codes are
// four-character codes, the first character in the most significant byte.
using HostError = std::int32_t;

constexpr HostError FourCharCode(char a, char b, char c, char d)
{
    return static_cast<HostError>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                  (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                  (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                  static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr HostError kNoErr = 0;
// The options dialog was left without OK; passed to the host, never reported.
constexpr HostError kStopErr = FourCharCode('S', 'T', 'O', 'P');
// A suite the host does not have; returned to the host without an error dialog.
constexpr HostError kSuiteNotFoundErr = FourCharCode('S', '!', 'F', 'd');
// The tool's icon cannot be used (its type is the dialog manager's "unknown").
constexpr HostError kBadIconErr = FourCharCode('!', 'i', 'c', 'o');
// A tool or dialog message arrived while no settings block exists.
constexpr HostError kNoSettingsErr = FourCharCode('!', 'g', 'l', 'b');
// The host ran out of memory.
constexpr HostError kOutOfMemoryErr = -108;
// A host operation was given an argument it cannot use.
constexpr HostError kBadParameterErr = FourCharCode('P', 'A', 'R', 'M');
// A resource (string, dialog, icon, cursor) that the module does not carry.
constexpr HostError kResourceNotFoundErr = FourCharCode('!', 'R', 'e', 's');

// All geometry is in 32-bit floats, in points; v grows upward.
using HostReal = float;

struct HostPoint {
    float h;
    float v;
};

// An art object's bounds.
struct HostRect {
    float left;
    float top;
    float right;
    float bottom;
};

// A two-dimensional affine transformation: a point (x, y) goes to
// (a x + c y + tx, b x + d y + ty).
struct HostMatrix {
    float a;
    float b;
    float c;
    float d;
    float tx;
    float ty;
};

// A dialog's bounds in screen coordinates, or a control's rectangle in its
// dialog's coordinates (origin at the top left).
struct ScreenRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Opaque references. The plug-in never looks inside them.
using PluginRef = struct PluginOpaque*;
using AccessRef = struct AccessOpaque*;
using ToolHandle = struct ToolOpaque*;
using DocumentHandle = struct DocumentOpaque*;
using ViewHandle = struct ViewOpaque*;
using ArtHandle = struct ArtOpaque*;
using SymbolHandle = struct SymbolOpaque*;
using LayerHandle = struct LayerOpaque*;
using HitRef = struct HitOpaque*;
using DialogRef = struct DialogOpaque*;
using ItemRef = struct ItemOpaque*;
using ListRef = struct ListOpaque*;
using EntryRef = struct EntryOpaque*;
using IconRef = struct IconOpaque*;
using NotifierRef = struct NotifierOpaque*;
using TrackerRef = struct TrackerOpaque*;
