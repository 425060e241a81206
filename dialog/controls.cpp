#include "dialog/controls.h"

#include <algorithm>
#include <array>

#include "dialog/options_dialog.h"
#include "settings/options.h"
#include "settings/presets.h"
#include "settings/tumble.h"

namespace {

using enum ControlKind;

constexpr ControlInfo Row(std::int32_t id, ControlKind kind, const char* caption, ScreenRect rect, std::int32_t page,
                          NotifyProc notify = nullptr)
{
    return ControlInfo{id, kind, caption, rect, page, notify, OptionIndexOfControl(id)};
}

// Every control in the order of creation: the spin edits, their captions,
// the popup lists, the check boxes, the push buttons, the page buttons and
// the page captions. The options a control shows, with their ranges, are in
// the options table under the control's ID.
constexpr ControlInfo kControls[] = {
    // Spin edits.
    Row(17, RealSpin, nullptr, {170, 60, 230, 80}, 1),     // initialSize
    Row(18, RealSpin, nullptr, {170, 82, 230, 102}, 1),    // initialAngle
    Row(15, RealSpin, nullptr, {170, 104, 230, 124}, 1),   // dabShrinkPerDab
    Row(3, RealSpin, nullptr, {170, 130, 230, 150}, 1),    // dabResizeHMin
    Row(4, RealSpin, nullptr, {235, 130, 295, 150}, 1),    // dabResizeHMax
    Row(5, RealSpin, nullptr, {170, 152, 230, 172}, 1),    // dabResizeVMin
    Row(6, RealSpin, nullptr, {235, 152, 295, 172}, 1),    // dabResizeVMax
    Row(7, RealSpin, nullptr, {170, 174, 230, 194}, 1),    // dabAngleMin
    Row(8, RealSpin, nullptr, {235, 174, 295, 195}, 1),    // dabAngleMax
    Row(9, RealSpin, nullptr, {170, 196, 230, 216}, 1),    // dabJitterHMin
    Row(10, RealSpin, nullptr, {235, 196, 295, 216}, 1),   // dabJitterHMax
    Row(11, RealSpin, nullptr, {170, 218, 230, 238}, 1),   // dabJitterVMin
    Row(12, RealSpin, nullptr, {235, 218, 295, 238}, 1),   // dabJitterVMax
    Row(19, WholeSpin, nullptr, {170, 140, 230, 160}, 2),  // dabsPerLayer
    Row(20, WholeSpin, nullptr, {170, 162, 230, 182}, 2),  // dabsApplyRate
    Row(13, RealSpin, nullptr, {170, 190, 230, 210}, 2),   // alternateAngle
    Row(14, RealSpin, nullptr, {170, 212, 230, 232}, 2),   // twistAngle
    Row(16, RealSpin, nullptr, {170, 234, 230, 254}, 2),   // shrinkFactorOrdered
    Row(30, RealSpin, nullptr, {170, 256, 230, 276}, 2, UpdateDependentControls),  // interpolationAmount
    Row(21, WholeSpin, nullptr, {170, 60, 230, 80}, 3, UpdateDependentControls),   // bristlesPerDab
    Row(24, RealSpin, nullptr, {170, 82, 230, 102}, 3),    // edgeResize
    Row(25, RealSpin, nullptr, {170, 104, 230, 124}, 3),   // coreResize
    Row(26, RealSpin, nullptr, {170, 126, 230, 146}, 3),   // bristleResizeH
    Row(27, RealSpin, nullptr, {170, 148, 230, 168}, 3),   // bristleResizeV
    Row(22, RealSpin, nullptr, {170, 60, 230, 80}, 4),     // brushWidth
    Row(23, RealSpin, nullptr, {170, 82, 230, 102}, 4),    // brushHeight
    Row(29, RealSpin, nullptr, {170, 104, 230, 124}, 4),   // brushSlant
    Row(28, RealSpin, nullptr, {170, 126, 230, 146}, 4),   // brushResize
    // Captions of the spin edits.
    Row(125, Caption, "Initial size (%)", {10, 60, 165, 80}, 1),
    Row(126, Caption, "Initial angle (o)", {10, 82, 165, 102}, 1),
    Row(127, Caption, "Dab shrink/per dab", {10, 104, 165, 124}, 1),
    Row(120, Caption, "Dab resize[R] (%)", {10, 140, 165, 160}, 1),
    Row(122, Caption, "Dab angle (o)", {10, 174, 165, 194}, 1),
    Row(123, Caption, "Dab jitter[R] (p)", {10, 206, 165, 226}, 1),
    Row(128, Caption, "Dabs per layer", {10, 140, 165, 160}, 2),
    Row(129, Caption, "Dabs apply rate", {10, 162, 165, 182}, 2),
    Row(130, Caption, "+ Alternate angle (o)", {10, 190, 165, 210}, 2),
    Row(131, Caption, "+ Twist angle (o)", {10, 212, 165, 232}, 2),
    Row(132, Caption, "Shrink factor / ordered", {10, 234, 165, 254}, 2),
    Row(133, Caption, "Bristles per dab", {10, 60, 165, 80}, 3),
    Row(136, Caption, "Edge resize (%)", {10, 82, 165, 102}, 3),
    Row(137, Caption, "Core resize (%)", {10, 104, 165, 124}, 3),
    Row(138, Caption, "Bristle resize (%)", {10, 136, 165, 156}, 3),
    Row(134, Caption, "Brush width (p)", {10, 60, 165, 80}, 4),
    Row(135, Caption, "Brush height (p)", {10, 82, 165, 102}, 4),
    Row(140, Caption, "Brush slant (o)", {10, 104, 165, 124}, 4),
    Row(141, Caption, "Brush resize (%)", {10, 126, 165, 146}, 4),
    // Popup lists, created empty.
    Row(81, Popup, nullptr, {320, 100, 400, 120}, kFramePage, ApplyPreset),  // presetIndex
    Row(85, Popup, nullptr, {10, 256, 160, 276}, 1),    // mirrorMode
    Row(84, Popup, nullptr, {10, 256, 160, 276}, 2),    // interpolationTarget
    Row(82, Popup, nullptr, {10, 60, 200, 80}, 2),      // paintOnTarget
    Row(83, Popup, nullptr, {10, 82, 200, 102}, 2),     // hitTestMode
    Row(80, Popup, nullptr, {10, 200, 200, 220}, 4),    // brushShape
    // Check boxes.
    Row(42, CheckBox, "Paint anywhere", {10, 110, 160, 124}, 2, UpdateDependentControls),
    Row(41, CheckBox, "Overlap paint", {160, 110, 300, 124}, 2),
    Row(48, CheckBox, "Number of bristles [R]", {10, 179, 210, 193}, 3),
    Row(49, CheckBox, "Bristles random symbols", {10, 196, 210, 208}, 3),
    Row(50, CheckBox, "Brush width [R]", {10, 160, 210, 174}, 4),
    Row(51, CheckBox, "Brush height [R]", {10, 177, 210, 191}, 4),
    Row(40, CheckBox, "Dab link v/h resize", {10, 60, 210, 74}, 5),
    Row(43, CheckBox, "Dab align to direction", {10, 77, 210, 91}, 5),
    Row(44, CheckBox, "Dab random symbols", {10, 94, 210, 108}, 5),
    Row(45, CheckBox, "Dab in palette order", {10, 111, 210, 125}, 5, UpdateDependentControls),
    Row(52, CheckBox, "Align angle / endpoint", {10, 128, 210, 142}, 5),
    Row(47, CheckBox, "Apply bristles AND dab", {10, 145, 210, 159}, 5),
    Row(53, CheckBox, "Align bristles to dab", {10, 163, 210, 177}, 5),
    Row(46, CheckBox, "Sync brush to dab", {10, 180, 210, 194}, 5),
    Row(54, CheckBox, "Expand symbol + delete", {10, 197, 210, 211}, 5),
    Row(55, CheckBox, "Create [R]", {10, 214, 210, 228}, 5),
    Row(56, CheckBox, "Pen pressure-dabsize", {10, 231, 210, 245}, 5),
    Row(60, CheckBox, "Pen pressure-dabshift", {10, 248, 210, 262}, 5),
    Row(57, CheckBox, "Pen pressure-bristles", {10, 265, 210, 279}, 5),
    Row(58, CheckBox, "Pen pressure-width", {10, 282, 210, 296}, 5),
    Row(59, CheckBox, "Pen pressure-twist", {10, 299, 210, 313}, 5),
    // Push buttons.
    Row(1, TextButton, "OK", {320, 10, 400, 30}, kFramePage, CommitOptions),
    Row(2, TextButton, "Cancel", {320, 40, 400, 60}, kFramePage),
    Row(150, TextButton, "Tumble", {320, 70, 400, 90}, kFramePage, TumbleSettings),
    // Page buttons and page captions.
    Row(100, PageButton, nullptr, {10, 5, 60, 35}, kFramePage, SwitchPage),
    Row(101, PageButton, nullptr, {70, 5, 120, 35}, kFramePage, SwitchPage),
    Row(102, PageButton, nullptr, {130, 5, 180, 35}, kFramePage, SwitchPage),
    Row(103, PageButton, nullptr, {190, 5, 240, 35}, kFramePage, SwitchPage),
    Row(104, PageButton, nullptr, {250, 5, 300, 35}, kFramePage, SwitchPage),
    Row(105, Caption, "Dab", {18, 40, 68, 55}, kFramePage),
    Row(106, Caption, "Apply", {76, 40, 126, 55}, kFramePage),
    Row(107, Caption, "Edge", {133, 40, 183, 55}, kFramePage),
    Row(108, Caption, "Brush", {192, 40, 242, 55}, kFramePage),
    Row(109, Caption, "Setting", {250, 40, 300, 55}, kFramePage),
};

constexpr std::int32_t kPopupFillOrder[] = {82, 85, 83, 80, 84, 81};

// Each page's members, in the order in which a page switch shows or hides them.
constexpr std::int32_t kPage1[] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 18, 15, 120, 122, 123, 125, 126, 127, 85};
constexpr std::int32_t kPage2[] = {82, 83, 42, 41, 19, 20, 13, 14, 16, 128, 129, 130, 131, 132, 30, 84};
constexpr std::int32_t kPage3[] = {21, 24, 25, 26, 27, 133, 136, 137, 138, 48, 49};
constexpr std::int32_t kPage4[] = {22, 23, 29, 28, 134, 135, 140, 141, 50, 51, 80};
constexpr std::int32_t kPage5[] = {40, 43, 44, 45, 52, 47, 53, 46, 54, 56, 57, 58, 59, 60, 55};

constexpr std::array<PageInfo, kPageCount> kPages = {{
    {100, 105, kPage1},  // "Dab"
    {101, 106, kPage2},  // "Apply"
    {102, 107, kPage3},  // "Edge"
    {103, 108, kPage4},  // "Brush"
    {104, 109, kPage5},  // "Setting"
}};

// Rule 3 reaches beyond page 3: the brush controls of page 4 and six check
// boxes of page 5 also depend on there being bristles.
constexpr std::int32_t kInterpolationDependents[] = {84};
constexpr std::int32_t kPaintAnywhereDependents[] = {82, 83};
constexpr std::int32_t kBristleDependents[] = {24,  25,  26,  27,  22,  23,  80,  29, 28, 48, 49, 50, 51,
                                               136, 137, 138, 134, 135, 140, 141, 47, 53, 46, 52, 57, 58};
constexpr std::int32_t kPaletteOrderDependents[] = {16, 132};

constexpr DependencyRule kRules[] = {
    {30, false, kInterpolationDependents},  // an interpolation amount other than exactly 0
    {42, true, kPaintAnywhereDependents},   // "Paint anywhere" off
    {21, false, kBristleDependents},        // at least one bristle
    {45, false, kPaletteOrderDependents},   // "Dab in palette order" on
};

constexpr std::int32_t kDecidingReadOrder[] = {42, 21, 45, 30};

// ---- Consistency of the tables, checked when compiling -------------------------------

constexpr const ControlInfo* Find(std::int32_t id)
{
    for (const ControlInfo& control : kControls) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

constexpr bool IsValueControl(ControlKind kind)
{
    return kind == RealSpin || kind == WholeSpin || kind == CheckBox || kind == Popup;
}

constexpr bool HasCaption(ControlKind kind) { return kind == Caption || kind == CheckBox || kind == TextButton; }

constexpr OptionKind OptionKindOf(ControlKind kind)
{
    switch (kind) {
    case RealSpin: return OptionKind::Real;
    case WholeSpin: return OptionKind::Integer;
    case CheckBox: return OptionKind::Flag;
    default: return OptionKind::Index;
    }
}

static_assert(std::size(kControls) == 87);

constexpr bool ControlsConsistent()
{
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const ControlInfo& control = kControls[i];
        for (std::size_t j = 0; j < i; ++j) {
            if (kControls[j].id == control.id) return false;  // an ID twice
        }
        if (HasCaption(control.kind) != (control.caption != nullptr)) return false;
        if (control.page < kFramePage || control.page > kPageCount) return false;
        // A value control shows exactly one option, of its own kind.
        if (IsValueControl(control.kind) != (control.option != kNoOption)) return false;
        if (control.option != kNoOption && kOptionTable[control.option].kind != OptionKindOf(control.kind)) return false;
    }
    // Every option with a control ID has that control.
    for (const OptionInfo& option : kOptionTable) {
        if (option.controlId != 0 && Find(option.controlId) == nullptr) return false;
    }
    return true;
}
static_assert(ControlsConsistent(), "the control table and the options table disagree");

// The page tables list exactly the controls whose row names their page.
constexpr bool PagesConsistent()
{
    for (std::int32_t page = 1; page <= kPageCount; ++page) {
        const PageInfo& info = kPages[static_cast<std::size_t>(page - 1)];
        if (info.button != 99 + page || info.caption != 104 + page) return false;
        for (std::int32_t id : {info.button, info.caption}) {
            if (Find(id) == nullptr || Find(id)->page != kFramePage) return false;
        }
        std::size_t rows = 0;
        for (const ControlInfo& control : kControls) rows += control.page == page ? 1 : 0;
        if (rows != info.members.size()) return false;
        for (std::int32_t id : info.members) {
            if (Find(id) == nullptr || Find(id)->page != page) return false;
        }
    }
    return true;
}
static_assert(PagesConsistent(), "the page tables and the control table disagree");

constexpr bool PopupFillOrderConsistent()
{
    std::size_t popups = 0;
    for (const ControlInfo& control : kControls) popups += control.kind == Popup ? 1 : 0;
    if (popups != std::size(kPopupFillOrder)) return false;
    for (std::int32_t id : kPopupFillOrder) {
        if (Find(id) == nullptr || Find(id)->kind != Popup) return false;
        if (std::count(std::begin(kPopupFillOrder), std::end(kPopupFillOrder), id) != 1) return false;
    }
    return true;
}
static_assert(PopupFillOrderConsistent(), "every popup list is filled once");

constexpr bool RulesConsistent()
{
    if (std::size(kDecidingReadOrder) != std::size(kRules)) return false;
    for (const DependencyRule& rule : kRules) {
        const ControlInfo* deciding = Find(rule.decidingControl);
        if (deciding == nullptr || deciding->option == kNoOption) return false;
        if (deciding->notify != UpdateDependentControls) return false;
        if (std::count(std::begin(kDecidingReadOrder), std::end(kDecidingReadOrder), rule.decidingControl) != 1)
            return false;
        for (std::int32_t id : rule.dependents) {
            if (Find(id) == nullptr) return false;
        }
    }
    return true;
}
static_assert(RulesConsistent(), "each rule's deciding control is read once and notifies the rules");

}  // namespace

const char* ItemTypeOf(ControlKind kind)
{
    switch (kind) {
    case RealSpin:
    case WholeSpin: return kSpinEditType;
    case Caption: return kTextStaticType;
    case CheckBox: return kTextCheckBoxType;
    case Popup: return kPopupListType;
    case TextButton: return kTextPushButtonType;
    case PageButton: return kPicturePushButtonType;
    }
    return kTextStaticType;
}

std::span<const ControlInfo> OptionsDialogControls() { return kControls; }

const ControlInfo* FindControl(std::int32_t id) { return Find(id); }

std::span<const std::int32_t> PopupFillOrder() { return kPopupFillOrder; }

std::span<const PageInfo, kPageCount> OptionsDialogPages() { return kPages; }

std::span<const DependencyRule> DependencyRules() { return kRules; }

std::span<const std::int32_t> DecidingControlReadOrder() { return kDecidingReadOrder; }
