#include "host/dialog_svg.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string_view>

namespace host {
namespace {

constexpr int kTitleHeight = 22;
constexpr int kFontSize = 11;
constexpr int kBoxSize = 12;       // a check box's square
constexpr int kArrowWidth = 12;    // a spin edit's or popup's arrow column

constexpr const char* kFace = "#ece9d8";
constexpr const char* kInk = "#000000";
constexpr const char* kGreyInk = "#a0a0a0";
constexpr const char* kEdge = "#7f9db9";
constexpr const char* kGreyEdge = "#c8c8c8";
constexpr const char* kButtonFace = "#f6f6f2";

std::string Escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string Num(std::int32_t value) { return std::to_string(value); }

struct Canvas {
    std::string svg;

    void Rect(int x, int y, int w, int h, const char* fill, const char* stroke, int radius = 0)
    {
        svg += "<rect x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" width=\"" + Num(std::max(w, 0)) + "\" height=\"" +
               Num(std::max(h, 0)) + "\" fill=\"" + fill + "\" stroke=\"" + stroke + "\"";
        if (radius > 0) svg += " rx=\"" + Num(radius) + "\"";
        svg += "/>\n";
    }

    // Text with its baseline at y; anchor "start", "middle" or "end".
    void Text(int x, int y, std::string_view text, const char* ink, bool bold, const char* anchor = "start")
    {
        svg += "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\" fill=\"" + ink + "\" text-anchor=\"" + anchor + "\"";
        if (bold) svg += " font-weight=\"bold\"";
        svg += " xml:space=\"preserve\">" + Escaped(text) + "</text>\n";
    }

    void Path(const std::string& d, const char* fill, const char* stroke, double width = 1.0)
    {
        char w[16];
        std::snprintf(w, sizeof w, "%.1f", width);
        svg += "<path d=\"" + d + "\" fill=\"" + fill + "\" stroke=\"" + stroke + "\" stroke-width=\"" + w + "\"/>\n";
    }
};

// The baseline that centres one line of text in a rectangle.
int Baseline(const ScreenRect& r) { return (r.top + r.bottom) / 2 + kFontSize * 4 / 11; }

void DrawItem(Canvas& c, const Item& item, std::size_t index)
{
    const ScreenRect& r = item.rect;
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    const char* ink = item.enabled ? kInk : kGreyInk;
    const char* edge = item.enabled ? kEdge : kGreyEdge;
    const bool bold = item.font == kBoldDialogFont;

    // Everything a control draws stays inside its rectangle.
    const std::string clip = "clip" + std::to_string(index);
    c.svg += "<clipPath id=\"" + clip + "\"><rect x=\"" + Num(r.left) + "\" y=\"" + Num(r.top) + "\" width=\"" +
             Num(std::max(w, 0)) + "\" height=\"" + Num(std::max(h, 0)) + "\"/></clipPath>\n";
    c.svg += "<g id=\"item" + Num(item.id) + "\" clip-path=\"url(#" + clip + ")\"" +
             (item.enabled ? "" : " class=\"disabled\"") + ">\n";

    switch (item.kind) {
    case ItemKind::TextPushButton:
        c.Rect(r.left, r.top, w - 1, h - 1, kButtonFace, item.enabled ? "#555555" : kGreyEdge, 3);
        c.Text((r.left + r.right) / 2, Baseline(r), item.text, ink, bold, "middle");
        break;
    case ItemKind::PicturePushButton:
        // No picture is assigned: an empty button face.
        c.Rect(r.left, r.top, w - 1, h - 1, kButtonFace, item.enabled ? "#555555" : kGreyEdge, 3);
        break;
    case ItemKind::StaticText:
        c.Text(r.left, Baseline(r), item.text, ink, bold);
        break;
    case ItemKind::CheckBox: {
        const int y = r.top + (h - kBoxSize) / 2;
        c.Rect(r.left, y, kBoxSize, kBoxSize, "#ffffff", edge);
        if (item.BooleanValue() != 0) {
            c.Path("M" + Num(r.left + 3) + " " + Num(y + 6) + " L" + Num(r.left + 5) + " " + Num(y + 9) + " L" +
                       Num(r.left + 10) + " " + Num(y + 3),
                   "none", item.enabled ? "#21a121" : kGreyInk, 2.0);
        }
        c.Text(r.left + kBoxSize + 5, Baseline(r), item.text, ink, bold);
        break;
    }
    case ItemKind::SpinEdit: {
        c.Rect(r.left, r.top, w - 1, h - 1, "#ffffff", edge);
        const int arrows = r.right - 1 - kArrowWidth;
        c.Rect(arrows, r.top, kArrowWidth, h - 1, kButtonFace, edge);
        const int mid = (r.top + r.bottom) / 2;
        c.Path("M" + Num(arrows + 3) + " " + Num(mid - 2) + " L" + Num(arrows + 6) + " " + Num(mid - 6) + " L" +
                   Num(arrows + 9) + " " + Num(mid - 2) + " Z",
               ink, "none");
        c.Path("M" + Num(arrows + 3) + " " + Num(mid + 2) + " L" + Num(arrows + 6) + " " + Num(mid + 6) + " L" +
                   Num(arrows + 9) + " " + Num(mid + 2) + " Z",
               ink, "none");
        c.Text(arrows - 3, Baseline(r), item.ValueText(), ink, bold, "end");
        break;
    }
    case ItemKind::PopupList: {
        c.Rect(r.left, r.top, w - 1, h - 1, "#ffffff", edge);
        // The selected entry's text, cut off where the arrow column begins.
        if (const Entry* selected = item.list.Selected()) c.Text(r.left + 2, Baseline(r), selected->text, ink, bold);
        const int arrows = r.right - 1 - kArrowWidth;
        c.Rect(arrows, r.top, kArrowWidth + 1, h - 1, kButtonFace, edge);
        const int mid = (r.top + r.bottom) / 2;
        c.Path("M" + Num(arrows + 3) + " " + Num(mid - 2) + " L" + Num(arrows + 9) + " " + Num(mid - 2) + " L" +
                   Num(arrows + 6) + " " + Num(mid + 2) + " Z",
               ink, "none");
        break;
    }
    case ItemKind::Frame:
        c.Rect(r.left, r.top, w - 1, h - 1, "none", "#404040");
        break;
    case ItemKind::Other:
        c.Rect(r.left, r.top, w - 1, h - 1, "none", "#b00000");
        c.Text(r.left + 2, Baseline(r), item.text.empty() ? item.type : item.text, ink, bold);
        break;
    }
    c.svg += "</g>\n";

    if (item.focused) {
        c.svg += "<rect class=\"focus\" x=\"" + Num(r.left - 2) + "\" y=\"" + Num(r.top - 2) + "\" width=\"" +
                 Num(w + 3) + "\" height=\"" + Num(h + 3) + "\" fill=\"none\" stroke=\"#3060c0\" stroke-dasharray=\"2 2\"/>\n";
    }
}

}  // namespace

std::string DialogSvg(const Dialog& dialog)
{
    const int width = std::max(ScreenSum(dialog.bounds.right, -std::int64_t{dialog.bounds.left}), 1);
    // Room for the title bar below the largest coordinate.
    const int height = std::clamp(ScreenSum(dialog.bounds.bottom, -std::int64_t{dialog.bounds.top}), 1,
                                  INT32_MAX - kTitleHeight);
    Canvas c;
    c.svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width) + "\" height=\"" +
            Num(height + kTitleHeight) + "\" viewBox=\"0 0 " + Num(width) + " " + Num(height + kTitleHeight) +
            "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\" font-size=\"" + Num(kFontSize) + "\">\n";
    // The window: title bar with the caption, then the client area.
    c.Rect(0, 0, width, height + kTitleHeight, kFace, "#0a246a");
    c.Rect(0, 0, width, kTitleHeight, "#0a246a", "#0a246a");
    c.Text(8, 15, dialog.caption, "#ffffff", true);
    c.svg += "<g transform=\"translate(0 " + Num(kTitleHeight) + ")\">\n";
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        if (dialog.items[i]->visible) DrawItem(c, *dialog.items[i], i);
    }
    c.svg += "</g>\n</svg>\n";
    return c.svg;
}

}  // namespace host
