#include "host/dialog_manager.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "host/dialog_svg.h"
#include "host/resources.h"

namespace host {

// ---- Controls -------------------------------------------------------------------------

Entry* List::Selected() const
{
    for (const auto& entry : entries) {
        if (entry->selected) return entry.get();
    }
    return nullptr;
}

ItemKind ItemKindOf(std::string_view itemType)
{
    struct Name {
        const char* type;
        ItemKind kind;
    };
    static constexpr Name kNames[] = {
        {kTextPushButtonType, ItemKind::TextPushButton}, {kPicturePushButtonType, ItemKind::PicturePushButton},
        {kTextStaticType, ItemKind::StaticText},         {kTextCheckBoxType, ItemKind::CheckBox},
        {kSpinEditType, ItemKind::SpinEdit},             {kPopupListType, ItemKind::PopupList},
        {kFrameType, ItemKind::Frame},
    };
    for (const Name& name : kNames) {
        if (itemType == name.type) return name.kind;
    }
    return ItemKind::Other;
}

std::int32_t Item::IntValue() const
{
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) return 0;
    return static_cast<std::int32_t>(std::lround(std::clamp(value, kLowest, kHighest)));
}

std::string Item::ValueText() const
{
    char shown[64];
    if (precision >= 0) {
        std::snprintf(shown, sizeof shown, "%.*f", static_cast<int>(std::min(precision, 20)), value);
    } else {
        std::snprintf(shown, sizeof shown, "%.9g", value);
    }
    return shown;
}

Item* Dialog::Find(std::int32_t id) const
{
    for (const auto& item : items) {
        if (item->id == id) return item.get();
    }
    return nullptr;
}

const ItemState* DialogRun::Find(std::int32_t id) const
{
    for (const ItemState& item : items) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

// ---- The user -----------------------------------------------------------------------

namespace {

const char* KindName(ItemKind kind)
{
    switch (kind) {
    case ItemKind::TextPushButton:
    case ItemKind::PicturePushButton: return "push button";
    case ItemKind::StaticText: return "static text";
    case ItemKind::CheckBox: return "check box";
    case ItemKind::SpinEdit: return "spin edit";
    case ItemKind::PopupList: return "popup list";
    case ItemKind::Frame: return "frame";
    case ItemKind::Other: break;
    }
    return "control";
}

bool IsPushButton(ItemKind kind) { return kind == ItemKind::TextPushButton || kind == ItemKind::PicturePushButton; }

// A typed number, or nothing when the text is not one.
bool ParseNumber(std::string_view text, double& number)
{
    const std::string copy(text);
    const char* begin = copy.c_str();
    char* end = nullptr;
    errno = 0;
    const double parsed = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE || !std::isfinite(parsed)) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return false;
    number = parsed;
    return true;
}

}  // namespace

bool DialogSession::Refuse(std::string what)
{
    manager_.RecordViolation("dialog \"" + dialog_.name + "\": " + what);
    return false;
}

Item* DialogSession::Reach(std::int32_t id, ItemKind kind, const char* action)
{
    const std::string control = "control " + std::to_string(id);
    if (dialog_.ended) {
        Refuse(std::string(action) + " " + control + " after the dialog ended");
        return nullptr;
    }
    Item* item = dialog_.Find(id);
    if (item == nullptr) {
        Refuse(std::string(action) + " " + control + ", which does not exist");
        return nullptr;
    }
    const bool kindFits = kind == item->kind || (IsPushButton(kind) && IsPushButton(item->kind));
    if (!kindFits) {
        Refuse(std::string(action) + " " + control + ", a " + KindName(item->kind) + ", not a " + KindName(kind));
        return nullptr;
    }
    if (!item->visible) {
        Refuse(std::string(action) + " " + control + ", which is hidden");
        return nullptr;
    }
    if (!item->enabled) {
        Refuse(std::string(action) + " " + control + ", which is disabled");
        return nullptr;
    }
    return item;
}

bool DialogSession::Press(std::int32_t id)
{
    Item* item = Reach(id, ItemKind::TextPushButton, "press");
    if (item == nullptr) return false;
    manager_.Notify(*item, kUserChangedNotifier);
    return true;
}

bool DialogSession::Tick(std::int32_t id, bool ticked)
{
    Item* item = Reach(id, ItemKind::CheckBox, "tick");
    if (item == nullptr) return false;
    if ((item->BooleanValue() != 0) == ticked) return true;
    item->value = ticked ? 1.0 : 0.0;
    manager_.Notify(*item, kUserChangedNotifier);
    return true;
}

bool DialogSession::Type(std::int32_t id, std::string_view text)
{
    Item* item = Reach(id, ItemKind::SpinEdit, "type into");
    if (item == nullptr) return false;
    for (auto& other : dialog_.items) other->focused = false;
    item->focused = true;
    item->textSelected = false;

    double number = 0.0;
    if (!ParseNumber(text, number)) return false;
    if (item->precision >= 0) {
        const double scale = std::pow(10.0, item->precision);
        const double rounded = std::round(number * scale) / scale;
        if (std::isfinite(rounded)) number = rounded;
    }
    if (item->hasMinimum) number = std::max(number, item->minimum);
    if (item->hasMaximum) number = std::min(number, item->maximum);
    item->value = number;
    manager_.Notify(*item, kUserChangedNotifier);
    return true;
}

bool DialogSession::Choose(std::int32_t id, std::string_view entryText)
{
    Item* item = Reach(id, ItemKind::PopupList, "choose in");
    if (item == nullptr) return false;
    for (std::size_t i = 0; i < item->list.entries.size(); ++i) {
        if (item->list.entries[i]->text == entryText) return ChooseAt(id, static_cast<std::int32_t>(i));
    }
    return Refuse("choose \"" + std::string(entryText) + "\" in control " + std::to_string(id) +
                  ", which has no such entry");
}

bool DialogSession::ChooseAt(std::int32_t id, std::int32_t position)
{
    Item* item = Reach(id, ItemKind::PopupList, "choose in");
    if (item == nullptr) return false;
    auto& entries = item->list.entries;
    if (position < 0 || static_cast<std::size_t>(position) >= entries.size()) {
        return Refuse("choose entry " + std::to_string(position) + " of control " + std::to_string(id) + ", which has " +
                      std::to_string(entries.size()) + " entries");
    }
    for (auto& entry : entries) entry->selected = false;
    entries[static_cast<std::size_t>(position)]->selected = true;
    manager_.Notify(*item, kUserChangedNotifier);
    return true;
}

bool DialogSession::Move(std::int32_t left, std::int32_t top)
{
    if (dialog_.ended) return Refuse("move the dialog after it ended");
    ScreenRect& bounds = dialog_.bounds;
    const std::int64_t width = std::int64_t{bounds.right} - bounds.left;
    const std::int64_t height = std::int64_t{bounds.bottom} - bounds.top;
    bounds = ScreenRect{left, top, ScreenSum(left, width), ScreenSum(top, height)};
    return true;
}

bool DialogSession::Close()
{
    if (dialog_.ended) return Refuse("close the dialog after it ended");
    dialog_.ended = true;
    dialog_.result = DialogManager::kClosedResult;
    return true;
}

std::string DialogSession::Picture() const { return DialogSvg(dialog_); }

// ---- Running dialogs ------------------------------------------------------------------

namespace {

ItemState Snapshot(const Item& item)
{
    ItemState state;
    state.id = item.id;
    state.type = item.type;
    state.rect = item.rect;
    state.text = item.text;
    state.visible = item.visible;
    state.enabled = item.enabled;
    state.focused = item.focused;
    state.textSelected = item.textSelected;
    state.font = item.font;
    state.units = item.units;
    state.precision = item.precision;
    state.booleanValue = item.BooleanValue();
    state.intValue = item.IntValue();
    state.floatValue = item.FloatValue();
    state.hasMinimum = item.hasMinimum;
    state.minimum = item.minimum;
    state.hasMaximum = item.hasMaximum;
    state.maximum = item.maximum;
    state.hasNotify = item.notify != nullptr;
    for (const auto& entry : item.list.entries) {
        state.entries.push_back(*entry);
        state.entries.back().list = nullptr;
    }
    return state;
}

}  // namespace

std::int32_t DialogManager::Modal(const char* name, std::int32_t resourceId, DialogInitProc init, void* userData)
{
    const DialogTemplate* form = FindDialogTemplate(resourceId);
    if (form == nullptr) return kNotRunResult;

    Dialog dialog;
    dialog.name = name != nullptr ? name : "";
    dialog.resourceId = resourceId;
    dialog.caption = form->caption != nullptr ? form->caption : "";
    dialog.userData = userData;
    // A dialog opens at the manager's own place, its template's size.
    dialog.bounds = ScreenRect{kDefaultLeft, kDefaultTop, kDefaultLeft + form->width, kDefaultTop + form->height};
    for (const DialogItemTemplate& control : form->items) {
        const ScreenRect rect{control.left, control.top, control.left + control.width, control.top + control.height};
        Item* item = CreateItem(dialog, control.id, control.itemType, rect);
        item->text = control.text != nullptr ? control.text : "";
    }

    open_.push_back(&dialog);
    if (init != nullptr) init(reinterpret_cast<DialogRef>(&dialog));
    while (!dialog.ended) {
        DialogSession session(*this, dialog);
        if (script_.empty()) {
            session.Close();
            break;
        }
        UserAction action = std::move(script_.front());
        script_.pop_front();
        action(session);
    }
    open_.pop_back();

    DialogRun run;
    run.name = dialog.name;
    run.resourceId = resourceId;
    run.caption = dialog.caption;
    run.result = dialog.result;
    run.bounds = dialog.bounds;
    for (const auto& item : dialog.items) run.items.push_back(Snapshot(*item));
    runs_.push_back(std::move(run));
    return dialog.result;
}

Item* DialogManager::CreateItem(Dialog& dialog, std::int32_t id, const char* type, const ScreenRect& rect)
{
    auto item = std::make_unique<Item>();
    item->id = id;
    item->type = type != nullptr ? type : "";
    item->kind = ItemKindOf(item->type);
    item->rect = rect;
    item->dialog = &dialog;
    dialog.items.push_back(std::move(item));
    return dialog.items.back().get();
}

void DialogManager::Notify(Item& item, const char* notifierType)
{
    Notifier notifier{notifierType != nullptr ? notifierType : ""};
    if (item.notify != nullptr) {
        item.notify(reinterpret_cast<ItemRef>(&item), reinterpret_cast<NotifierRef>(&notifier));
    } else {
        DefaultNotify(item);
    }
}

void DialogManager::DefaultNotify(Item& item)
{
    if (item.dialog == nullptr || item.dialog->ended) return;
    if (item.id == 1 || item.id == 2) {
        item.dialog->ended = true;
        item.dialog->result = item.id;
    }
}

}  // namespace host
