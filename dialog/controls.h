#pragma once
// The options dialog's layout as data: every control with its ID, kind,
// caption, rectangle, page and notify procedure, in the order in which the
// dialog creates them; the five pages with their members; the four enabling
// rules. A control that shows an option takes its field and range from the
// options table (settings/options.h), which names the control by its ID.
#include <cstddef>
#include <cstdint>
#include <span>

#include "shell/adm_suites.h"

enum class ControlKind : std::uint8_t {
    RealSpin,       // spin edit of a 32-bit float, two decimal places
    WholeSpin,      // spin edit of a 32-bit integer, no precision set
    Caption,        // static text
    CheckBox,
    Popup,          // popup list; entry IDs equal positions
    TextButton,     // text push button
    PageButton,     // picture push button without a picture
};

// The item type name of each kind.
const char* ItemTypeOf(ControlKind kind);

// Page 0 is the dialog frame, shown on every page.
constexpr std::int32_t kFramePage = 0;
constexpr std::int32_t kPageCount = 5;

struct ControlInfo {
    std::int32_t id;
    ControlKind kind;
    const char* caption;    // the text of captions, check boxes and text buttons; nullptr otherwise
    ScreenRect rect;        // left, top, right, bottom in the dialog's coordinates
    std::int32_t page;      // 1 to 5, or kFramePage
    NotifyProc notify;      // nullptr: none
    std::size_t option;     // the row of the option it shows in the options table; kNoOption: none
};

// Every control, in the order of creation.
std::span<const ControlInfo> OptionsDialogControls();

// The control with this ID, or nullptr.
const ControlInfo* FindControl(std::int32_t id);

// The popup lists, in the order in which they are filled.
std::span<const std::int32_t> PopupFillOrder();

struct PageInfo {
    std::int32_t button;                    // picture push button that shows the page
    std::int32_t caption;                   // static text naming it
    std::span<const std::int32_t> members;  // in the order in which the page is shown or hidden
};

// Pages 1 to 5, at positions 0 to 4.
std::span<const PageInfo, kPageCount> OptionsDialogPages();

// A control that decides whether others are enabled: they are enabled when
// its option's value is non-zero (or, with enabledWhenZero, when it is 0).
struct DependencyRule {
    std::int32_t decidingControl;
    bool enabledWhenZero;
    std::span<const std::int32_t> dependents;
};

// Rules 1 to 4, in the order in which they are applied.
std::span<const DependencyRule> DependencyRules();

// The deciding controls, in the order in which they are read back into
// their fields before the rules are applied.
std::span<const std::int32_t> DecidingControlReadOrder();

// The dialog's size, set every time it opens.
constexpr std::int32_t kOptionsDialogWidth = 410;
constexpr std::int32_t kOptionsDialogHeight = 340;

// The controls the init procedure treats on its own.
constexpr std::int32_t kOkButton = 1;
constexpr std::int32_t kCancelButton = 2;
constexpr std::int32_t kTumbleButton = 150;
constexpr std::int32_t kPresetPopup = 81;
constexpr std::int32_t kFirstFocusControl = 3;
constexpr std::int32_t kInterpolationAmountControl = 30;
