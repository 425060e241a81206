#pragma once
// The stand-in host's dialog manager: modal dialogs built from the plug-in's
// dialog templates or created control by control, controls with their
// values, popup lists, notify procedures with default handling, and a
// script of what the user does while a dialog is open.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
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
};

struct Item {
    std::int32_t id = 0;
    std::string type;       // the item type name
    ScreenRect rect{};
    std::string text;
    bool visible = true;
    bool enabled = true;
    bool focused = false;
    bool textSelected = false;
    std::int32_t font = kDialogFont;
    std::int32_t units = -1;        // -1: never set
    std::int32_t precision = -1;    // -1: never set
    std::int32_t booleanValue = 0;
    std::int32_t intValue = 0;
    float floatValue = 0.0f;
    bool hasIntRange = false;
    std::int32_t minInt = 0;
    std::int32_t maxInt = 0;
    bool hasFloatRange = false;
    float minFloat = 0.0f;
    float maxFloat = 0.0f;
    NotifyProc notify = nullptr;
    List list;                      // the entries of a popup list
    Dialog* dialog = nullptr;
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
    std::int32_t font = 0;
    std::int32_t booleanValue = 0;
    std::int32_t intValue = 0;
    float floatValue = 0.0f;
    std::vector<Entry> entries;
};

// One modal run of a dialog, as it was when it closed.
struct DialogRun {
    std::string name;
    std::int32_t resourceId = 0;
    std::string caption;
    std::int32_t result = 0;
    ScreenRect bounds{};
    std::vector<ItemState> items;

    const ItemState* Find(std::int32_t id) const;
};

class DialogManager;

// What the user can do while a dialog is open.
class DialogSession {
public:
    DialogSession(DialogManager& manager, Dialog& dialog) : manager_(manager), dialog_(dialog) {}
    Dialog& dialog() { return dialog_; }
    // Click a push button (or any control): its notify procedure runs, or
    // the default handling when it has none.
    void Press(std::int32_t id);
    // Close the dialog by its close box: it ends with 2, like Cancel.
    void Close();

private:
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

    // Queue what the user does in the next dialogs, in order. When a dialog
    // is open and nothing is queued, the user closes it.
    void Script(UserAction action) { script_.push_back(std::move(action)); }
    std::size_t ScriptLeft() const { return script_.size(); }

    const std::vector<DialogRun>& Runs() const { return runs_; }
    // The dialogs open right now, innermost last.
    const std::vector<Dialog*>& Open() const { return open_; }

    // --- For the suites ---------------------------------------------------
    std::int32_t Modal(const char* name, std::int32_t resourceId, DialogInitProc init, void* userData);
    Item* CreateItem(Dialog& dialog, std::int32_t id, const char* type, const ScreenRect& rect);
    void Notify(Item& item, const char* notifierType);
    void DefaultNotify(Item& item);

private:
    std::deque<UserAction> script_;
    std::vector<DialogRun> runs_;
    std::vector<Dialog*> open_;
};

// The notification that a notify procedure receives.
struct Notifier {
    std::string type;
};

}  // namespace host
