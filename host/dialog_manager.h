#pragma once
// The stand-in host's dialog manager: modal dialogs built from the plug-in's
// dialog templates or created control by control, controls with their
// values, popup lists, notify procedures with default handling, and a
// script of what the user does while a dialog is open.
//
// The user is scripted control by control, as a person works a dialog:
// press a button, tick a check box, type into a spin edit, choose a popup
// entry, move the dialog, close it. Each action changes the control as a
// person's input would and then notifies it (its notify procedure runs, or
// the default handling when it has none). A person can only reach a visible,
// enabled control of an open dialog: any other action is refused, returns
// false and is recorded as a violation.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "shell/adm_suites.h"

namespace host {

struct Item;
struct Dialog;

struct List;

struct Entry {
    std::int32_t id = 0;
    std::string text;
    bool selected = false;
    List* list = nullptr;
};

struct List {
    // Stable addresses: entries are handed out as references.
    std::vector<std::unique_ptr<Entry>> entries;

    Entry* Selected() const;
};

// What a control is, from its item type name.
enum class ItemKind : std::uint8_t {
    TextPushButton,
    PicturePushButton,
    StaticText,
    CheckBox,
    SpinEdit,
    PopupList,
    Frame,
    Other,
};

ItemKind ItemKindOf(std::string_view itemType);

// a + b held to the range of a screen coordinate. The bounds a plug-in sets
// may be anything: moving, sizing or drawing a dialog must not overflow.
inline std::int32_t ScreenSum(std::int64_t a, std::int64_t b)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(a + b, INT32_MIN, INT32_MAX));
}

// Decimal places of a control that never had them set.
constexpr std::int32_t kNoPrecision = -1;

struct Item {
    std::int32_t id = 0;
    std::string type;       // the item type name
    ItemKind kind = ItemKind::Other;
    ScreenRect rect{};
    std::string text;
    bool visible = true;
    bool enabled = true;
    bool focused = false;
    bool textSelected = false;
    std::int32_t font = kDialogFont;
    std::int32_t units = -1;                // -1: never set
    std::int32_t precision = kNoPrecision;  // decimal places
    // One value, whichever way it is set or read: a boolean is 0 or 1, an
    // integer read rounds to the nearest whole number, a float read gives
    // the nearest float. A value set by the program is kept as it is, even
    // outside the range; only what the user types is held to the range.
    double value = 0.0;
    bool hasMinimum = false;
    double minimum = 0.0;
    bool hasMaximum = false;
    double maximum = 0.0;
    NotifyProc notify = nullptr;
    List list;                      // the entries of a popup list
    Dialog* dialog = nullptr;

    std::int32_t BooleanValue() const { return value != 0.0 ? 1 : 0; }
    std::int32_t IntValue() const;
    float FloatValue() const { return static_cast<float>(value); }
    // The value as the control shows it: with its decimal places when set,
    // else as few digits as it needs.
    std::string ValueText() const;
};

struct Dialog {
    std::string name;
    std::int32_t resourceId = 0;
    std::string caption;
    void* userData = nullptr;
    ScreenRect bounds{};
    std::vector<std::unique_ptr<Item>> items;
    bool ended = false;
    std::int32_t result = 0;

    Item* Find(std::int32_t id) const;
};

// What a control showed when its dialog closed.
struct ItemState {
    std::int32_t id = 0;
    std::string type;
    ScreenRect rect{};
    std::string text;
    bool visible = true;
    bool enabled = true;
    bool focused = false;
    bool textSelected = false;
    std::int32_t font = 0;
    std::int32_t units = -1;
    std::int32_t precision = kNoPrecision;
    std::int32_t booleanValue = 0;
    std::int32_t intValue = 0;
    float floatValue = 0.0f;
    bool hasMinimum = false;
    double minimum = 0.0;
    bool hasMaximum = false;
    double maximum = 0.0;
    bool hasNotify = false;
    std::vector<Entry> entries;     // list pointers cleared
};

// One modal run of a dialog, as it was when it closed.
struct DialogRun {
    std::string name;
    std::int32_t resourceId = 0;
    std::string caption;
    std::int32_t result = 0;
    ScreenRect bounds{};
    std::vector<ItemState> items;   // in the order of creation

    const ItemState* Find(std::int32_t id) const;
};

class DialogManager;

// What the user can do while a dialog is open. Every action returns true
// when the user could do it; a refused action returns false and is recorded
// in the manager's Violations().
class DialogSession {
public:
    DialogSession(DialogManager& manager, Dialog& dialog) : manager_(manager), dialog_(dialog) {}
    Dialog& dialog() { return dialog_; }
    const Dialog& dialog() const { return dialog_; }

    // Click a push button (text or picture): it notifies.
    bool Press(std::int32_t id);
    // Click a check box until it shows ticked: a click turns it over and
    // notifies; a box already showing ticked is left alone.
    bool Tick(std::int32_t id, bool ticked);
    // Type text into a spin edit and leave the field: the control takes the
    // focus, the number is rounded half away from zero to the control's
    // decimal places (when set) and held to its minimum and maximum (when
    // set), and the control notifies. Text that is not a number is refused
    // by the control, which keeps its value and does not notify (false, but
    // no violation: a person may mistype).
    bool Type(std::int32_t id, std::string_view text);
    // Choose the popup entry with this text, or the entry at this position:
    // it becomes the selected entry and the popup notifies.
    bool Choose(std::int32_t id, std::string_view entryText);
    bool ChooseAt(std::int32_t id, std::int32_t position);
    // Drag the dialog by its title bar: its top left corner goes to (left,
    // top), its size stays.
    bool Move(std::int32_t left, std::int32_t top);
    // Close the dialog by its close box: it ends with 2, like Cancel.
    bool Close();

    // The dialog as it looks right now, as an SVG picture.
    std::string Picture() const;

private:
    // The control with this ID when the user can act on it as kind wants;
    // else nullptr, with the violation recorded.
    Item* Reach(std::int32_t id, ItemKind kind, const char* action);
    bool Refuse(std::string what);

    DialogManager& manager_;
    Dialog& dialog_;
};

using UserAction = std::function<void(DialogSession&)>;

class DialogManager {
public:
    // The result of a dialog closed without a control (close box, Escape).
    static constexpr std::int32_t kClosedResult = 2;
    // The result of a dialog that cannot be run.
    static constexpr std::int32_t kNotRunResult = -1;
    // Where a dialog opens when its init procedure does not place it.
    static constexpr std::int32_t kDefaultLeft = 100;
    static constexpr std::int32_t kDefaultTop = 100;

    // Queue what the user does in the next dialogs, in order. When a dialog
    // is open and nothing is queued, the user closes it.
    void Script(UserAction action) { script_.push_back(std::move(action)); }
    std::size_t ScriptLeft() const { return script_.size(); }

    const std::vector<DialogRun>& Runs() const { return runs_; }
    // The dialogs open right now, innermost last.
    const std::vector<Dialog*>& Open() const { return open_; }
    // User actions that were refused: on a hidden or disabled control, a
    // control of the wrong kind or none, or a dialog already ended.
    const std::vector<std::string>& Violations() const { return violations_; }

    // --- For the suites ---------------------------------------------------
    std::int32_t Modal(const char* name, std::int32_t resourceId, DialogInitProc init, void* userData);
    Item* CreateItem(Dialog& dialog, std::int32_t id, const char* type, const ScreenRect& rect);
    // Send a notification: the control's notify procedure runs, or the
    // default handling when it has none.
    void Notify(Item& item, const char* notifierType);
    // Default handling: control 1 of a modal dialog ends it with 1, control
    // 2 with 2; other controls need nothing more.
    void DefaultNotify(Item& item);

    void RecordViolation(std::string what) { violations_.push_back(std::move(what)); }

private:
    std::deque<UserAction> script_;
    std::vector<DialogRun> runs_;
    std::vector<Dialog*> open_;
    std::vector<std::string> violations_;
};

// The notification that a notify procedure receives.
struct Notifier {
    std::string type;
};

}  // namespace host
