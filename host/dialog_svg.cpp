#include "host/dialog_svg.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
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

// The picture is written straight into one string: each piece is appended
// where it goes, text as it is and whole numbers in decimal.
struct Canvas {
    std::string svg;

    void Put(std::string_view text) { svg += text; }
    void Put(const char* text) { svg += text; }
    void Put(std::int32_t value)
    {
        char digits[12];
        const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
        svg.append(digits, written.ptr);
    }
    template <typename... Pieces>
    void Add(const Pieces&... pieces)
    {
        (Put(pieces), ...);
    }

    void Escaped(std::string_view text)
    {
        for (char c : text) {
            switch (c) {
            case '&': svg += "&amp;"; break;
            case '<': svg += "&lt;"; break;
            case '>': svg += "&gt;"; break;
            case '"': svg += "&quot;"; break;
            case '\'': svg += "&apos;"; break;
            default: svg += c; break;
            }
        }
    }

    void Rect(int x, int y, int w, int h, const char* fill, const char* stroke, int radius = 0)
    {
        Add("<rect x=\"", x, "\" y=\"", y, "\" width=\"", std::max(w, 0), "\" height=\"", std::max(h, 0),
            "\" fill=\"", fill, "\" stroke=\"", stroke, "\"");
        if (radius > 0) Add(" rx=\"", radius, "\"");
        Put("/>\n");
    }

    // Text with its baseline at y; anchor "start", "middle" or "end".
    void Text(int x, int y, std::string_view text, const char* ink, bool bold, const char* anchor = "start")
    {
        Add("<text x=\"", x, "\" y=\"", y, "\" fill=\"", ink, "\" text-anchor=\"", anchor, "\"");
        if (bold) Put(" font-weight=\"bold\"");
        Put(" xml:space=\"preserve\">");
        Escaped(text);
        Put("</text>\n");
    }

    // A path of points, "M" to the first and "L" to each next; closed with
    // " Z" when asked.
    void Path(std::initializer_list<std::int32_t> coordinates, bool closed, const char* fill, const char* stroke,
              double width = 1.0)
    {
        char w[16];
        std::snprintf(w, sizeof w, "%.1f", width);
        Put("<path d=\"");
        const std::int32_t* p = coordinates.begin();
        for (std::size_t i = 0; i + 1 < coordinates.size(); i += 2) Add(i == 0 ? "M" : " L", p[i], " ", p[i + 1]);
        if (closed) Put(" Z");
        Add("\" fill=\"", fill, "\" stroke=\"", stroke, "\" stroke-width=\"", static_cast<const char*>(w), "\"/>\n");
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
    const auto clip = static_cast<std::int32_t>(index);
    c.Add("<clipPath id=\"clip", clip, "\"><rect x=\"", r.left, "\" y=\"", r.top, "\" width=\"", std::max(w, 0),
          "\" height=\"", std::max(h, 0), "\"/></clipPath>\n");
    c.Add("<g id=\"item", item.id, "\" clip-path=\"url(#clip", clip, ")\"", item.enabled ? "" : " class=\"disabled\"",
          ">\n");

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
            c.Path({r.left + 3, y + 6, r.left + 5, y + 9, r.left + 10, y + 3}, false, "none",
                   item.enabled ? "#21a121" : kGreyInk, 2.0);
        }
        c.Text(r.left + kBoxSize + 5, Baseline(r), item.text, ink, bold);
        break;
    }
    case ItemKind::SpinEdit: {
        c.Rect(r.left, r.top, w - 1, h - 1, "#ffffff", edge);
        const int arrows = r.right - 1 - kArrowWidth;
        c.Rect(arrows, r.top, kArrowWidth, h - 1, kButtonFace, edge);
        const int mid = (r.top + r.bottom) / 2;
        c.Path({arrows + 3, mid - 2, arrows + 6, mid - 6, arrows + 9, mid - 2}, true, ink, "none");
        c.Path({arrows + 3, mid + 2, arrows + 6, mid + 6, arrows + 9, mid + 2}, true, ink, "none");
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
        c.Path({arrows + 3, mid - 2, arrows + 9, mid - 2, arrows + 6, mid + 2}, true, ink, "none");
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
    c.Put("</g>\n");

    if (item.focused) {
        c.Add("<rect class=\"focus\" x=\"", r.left - 2, "\" y=\"", r.top - 2, "\" width=\"", w + 3, "\" height=\"", h + 3,
              "\" fill=\"none\" stroke=\"#3060c0\" stroke-dasharray=\"2 2\"/>\n");
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
    c.svg.reserve(512 + dialog.items.size() * 512);
    c.Add("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", width, "\" height=\"", height + kTitleHeight,
          "\" viewBox=\"0 0 ", width, " ", height + kTitleHeight,
          "\" font-family=\"DejaVu Sans, Verdana, Arial, sans-serif\" font-size=\"", kFontSize, "\">\n");
    // The window: title bar with the caption, then the client area.
    c.Rect(0, 0, width, height + kTitleHeight, kFace, "#0a246a");
    c.Rect(0, 0, width, kTitleHeight, "#0a246a", "#0a246a");
    c.Text(8, 15, dialog.caption, "#ffffff", true);
    c.Add("<g transform=\"translate(0 ", kTitleHeight, ")\">\n");
    for (std::size_t i = 0; i < dialog.items.size(); ++i) {
        if (dialog.items[i]->visible) DrawItem(c, *dialog.items[i], i);
    }
    c.Put("</g>\n</svg>\n");
    return c.svg;
}

}  // namespace host
