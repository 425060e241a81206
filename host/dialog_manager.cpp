#include "host/dialog_manager.h"

#include "host/resources.h"

namespace host {

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

void DialogSession::Press(std::int32_t id)
{
    if (Item* item = dialog_.Find(id)) manager_.Notify(*item, kUserChangedNotifier);
}

void DialogSession::Close()
{
    dialog_.ended = true;
    dialog_.result = DialogManager::kClosedResult;
}

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
    state.font = item.font;
    state.booleanValue = item.booleanValue;
    state.intValue = item.intValue;
    state.floatValue = item.floatValue;
    for (const auto& entry : item.list.entries) state.entries.push_back(*entry);
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
    // A first dialog opens at the manager's own place, its template's size.
    dialog.bounds = ScreenRect{100, 100, 100 + form->width, 100 + form->height};
    for (const DialogItemTemplate& control : form->items) {
        const ScreenRect rect{control.left, control.top, control.left + control.width, control.top + control.height};
        Item* item = CreateItem(dialog, control.id, control.itemType, rect);
        item->text = control.text != nullptr ? control.text : "";
    }

    open_.push_back(&dialog);
    if (init != nullptr) init(reinterpret_cast<DialogRef>(&dialog));
    while (!dialog.ended) {
        if (script_.empty()) {
            DialogSession(*this, dialog).Close();
            break;
        }
        UserAction action = std::move(script_.front());
        script_.pop_front();
        DialogSession session(*this, dialog);
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
    // OK ends a modal dialog with 1, Cancel with 2.
    if (item.dialog == nullptr || item.dialog->ended) return;
    if (item.id == 1 || item.id == 2) {
        item.dialog->ended = true;
        item.dialog->result = item.id;
    }
}

}  // namespace host
