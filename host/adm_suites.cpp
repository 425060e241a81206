// The stand-in host's dialog-manager suites over the DialogManager's model.
// Every operation counts itself, checks that its suite is held and can be
// made to fail; a failed operation without a result code changes nothing.
#include <algorithm>
#include <cstring>

#include "host/host.h"
#include "host/resources.h"

namespace host {
namespace {

StandInHost& H() { return StandInHost::Current(); }
Dialog* D(DialogRef dialog) { return reinterpret_cast<Dialog*>(dialog); }
Item* I(ItemRef item) { return reinterpret_cast<Item*>(item); }
List* L(ListRef list) { return reinterpret_cast<List*>(list); }
Entry* E(EntryRef entry) { return reinterpret_cast<Entry*>(entry); }

bool Ok(const char* suite, const char* op) { return H().Enter(suite, op) == kNoErr; }

// ---- ADM Basic Suite ------------------------------------------------------------------
constexpr const char* kBasic = "ADM Basic Suite";
HostError GetIndexString(PluginRef plugin, std::int32_t listId, std::int32_t index, char* buffer,
                         std::int32_t bufferSize)
{
    if (buffer == nullptr || bufferSize <= 0) return kBadParameterErr;
    buffer[0] = '\0';
    if (HostError error = H().Enter(kBasic, "GetIndexString")) return error;
    if (plugin != H().Plugin()) return kBadParameterErr;
    const char* text = FindResourceString(listId + index);
    if (text == nullptr) return kResourceNotFoundErr;
    const std::size_t length = std::min(std::strlen(text), static_cast<std::size_t>(bufferSize - 1));
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return kNoErr;
}
void MessageAlert(const char* text)
{
    if (Ok(kBasic, "MessageAlert")) H().RecordAlert(text != nullptr ? text : "");
}

// ---- ADM Dialog Suite -----------------------------------------------------------------
constexpr const char* kDialog = "ADM Dialog Suite";
std::int32_t Modal(PluginRef plugin, const char* name, std::int32_t resourceId, std::int32_t /*style*/,
                   DialogInitProc init, void* userData)
{
    if (!Ok(kDialog, "Modal") || plugin != H().Plugin()) return DialogManager::kNotRunResult;
    return H().Dialogs().Modal(name, resourceId, init, userData);
}
void* GetUserData(DialogRef dialog)
{
    if (!Ok(kDialog, "GetUserData") || dialog == nullptr) return nullptr;
    return D(dialog)->userData;
}
void SetBoundsRect(DialogRef dialog, const ScreenRect* bounds)
{
    if (Ok(kDialog, "SetBoundsRect") && dialog != nullptr && bounds != nullptr) D(dialog)->bounds = *bounds;
}
void GetBoundsRect(DialogRef dialog, ScreenRect* bounds)
{
    if (Ok(kDialog, "GetBoundsRect") && dialog != nullptr && bounds != nullptr) *bounds = D(dialog)->bounds;
}
void Size(DialogRef dialog, std::int32_t width, std::int32_t height)
{
    if (!Ok(kDialog, "Size") || dialog == nullptr) return;
    ScreenRect& bounds = D(dialog)->bounds;
    bounds.right = ScreenSum(bounds.left, width);
    bounds.bottom = ScreenSum(bounds.top, height);
}
ItemRef GetItem(DialogRef dialog, std::int32_t id)
{
    if (!Ok(kDialog, "GetItem") || dialog == nullptr) return nullptr;
    return reinterpret_cast<ItemRef>(D(dialog)->Find(id));
}
ItemRef CreateItem(DialogRef dialog, std::int32_t id, const char* itemType, const ScreenRect* bounds,
                   ItemInitProc init, void* /*userData*/)
{
    if (!Ok(kDialog, "CreateItem") || dialog == nullptr || bounds == nullptr) return nullptr;
    auto item = reinterpret_cast<ItemRef>(H().Dialogs().CreateItem(*D(dialog), id, itemType, *bounds));
    if (init != nullptr) init(item);
    return item;
}

// ---- ADM Item Suite -------------------------------------------------------------------
constexpr const char* kItem = "ADM Item Suite";
// Run op on the item when the call goes through and the item exists.
template <class F> void WithItem(ItemRef item, const char* op, F&& f)
{
    if (Ok(kItem, op) && item != nullptr) f(*I(item));
}

void SetNotifyProc(ItemRef item, NotifyProc proc)
{
    WithItem(item, "SetNotifyProc", [&](Item& i) { i.notify = proc; });
}
void DefaultNotify(ItemRef item, NotifierRef /*notifier*/)
{
    WithItem(item, "DefaultNotify", [&](Item& i) { H().Dialogs().DefaultNotify(i); });
}
void SendNotify(ItemRef item, const char* notifierType)
{
    WithItem(item, "SendNotify", [&](Item& i) { H().Dialogs().Notify(i, notifierType); });
}
DialogRef GetDialog(ItemRef item)
{
    DialogRef dialog = nullptr;
    WithItem(item, "GetDialog", [&](Item& i) { dialog = reinterpret_cast<DialogRef>(i.dialog); });
    return dialog;
}
ListRef GetList(ItemRef item)
{
    ListRef list = nullptr;
    WithItem(item, "GetList", [&](Item& i) { list = reinterpret_cast<ListRef>(&i.list); });
    return list;
}
void Show(ItemRef item, std::int32_t show) { WithItem(item, "Show", [&](Item& i) { i.visible = show != 0; }); }
void Enable(ItemRef item, std::int32_t enable) { WithItem(item, "Enable", [&](Item& i) { i.enabled = enable != 0; }); }
void Activate(ItemRef item, std::int32_t activate)
{
    WithItem(item, "Activate", [&](Item& i) {
        if (activate != 0 && i.dialog != nullptr) {
            for (auto& other : i.dialog->items) other->focused = false;
        }
        i.focused = activate != 0;
    });
}
void SetFont(ItemRef item, std::int32_t font) { WithItem(item, "SetFont", [&](Item& i) { i.font = font; }); }
void SetText(ItemRef item, const char* text)
{
    WithItem(item, "SetText", [&](Item& i) { i.text = text != nullptr ? text : ""; });
}
void SelectAll(ItemRef item) { WithItem(item, "SelectAll", [&](Item& i) { i.textSelected = true; }); }
void SetUnits(ItemRef item, std::int32_t units) { WithItem(item, "SetUnits", [&](Item& i) { i.units = units; }); }
void SetPrecision(ItemRef item, std::int32_t places)
{
    WithItem(item, "SetPrecision", [&](Item& i) { i.precision = places; });
}
void SetBooleanValue(ItemRef item, std::int32_t value)
{
    WithItem(item, "SetBooleanValue", [&](Item& i) { i.value = value != 0 ? 1.0 : 0.0; });
}
std::int32_t GetBooleanValue(ItemRef item)
{
    std::int32_t value = 0;
    WithItem(item, "GetBooleanValue", [&](Item& i) { value = i.BooleanValue(); });
    return value;
}
void SetIntValue(ItemRef item, std::int32_t value)
{
    WithItem(item, "SetIntValue", [&](Item& i) { i.value = value; });
}
std::int32_t GetIntValue(ItemRef item)
{
    std::int32_t value = 0;
    WithItem(item, "GetIntValue", [&](Item& i) { value = i.IntValue(); });
    return value;
}
void SetFloatValue(ItemRef item, float value)
{
    WithItem(item, "SetFloatValue", [&](Item& i) { i.value = value; });
}
float GetFloatValue(ItemRef item)
{
    float value = 0.0f;
    WithItem(item, "GetFloatValue", [&](Item& i) { value = i.FloatValue(); });
    return value;
}
// A control has one range, set through its integer or its float operations.
void SetMinIntValue(ItemRef item, std::int32_t value)
{
    WithItem(item, "SetMinIntValue", [&](Item& i) {
        i.hasMinimum = true;
        i.minimum = value;
    });
}
void SetMaxIntValue(ItemRef item, std::int32_t value)
{
    WithItem(item, "SetMaxIntValue", [&](Item& i) {
        i.hasMaximum = true;
        i.maximum = value;
    });
}
void SetMinFloatValue(ItemRef item, float value)
{
    WithItem(item, "SetMinFloatValue", [&](Item& i) {
        i.hasMinimum = true;
        i.minimum = value;
    });
}
void SetMaxFloatValue(ItemRef item, float value)
{
    WithItem(item, "SetMaxFloatValue", [&](Item& i) {
        i.hasMaximum = true;
        i.maximum = value;
    });
}

// ---- ADM List and Entry Suites --------------------------------------------------------
constexpr const char* kList = "ADM List Suite";
EntryRef InsertEntry(ListRef list, std::int32_t index)
{
    if (!Ok(kList, "InsertEntry") || list == nullptr) return nullptr;
    auto& entries = L(list)->entries;
    const auto at = static_cast<std::size_t>(std::clamp<std::int32_t>(index, 0, static_cast<std::int32_t>(entries.size())));
    auto inserted = entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(at), std::make_unique<Entry>());
    (*inserted)->list = L(list);
    return reinterpret_cast<EntryRef>(inserted->get());
}
EntryRef IndexEntry(ListRef list, std::int32_t index)
{
    if (!Ok(kList, "IndexEntry") || list == nullptr) return nullptr;
    auto& entries = L(list)->entries;
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) return nullptr;
    return reinterpret_cast<EntryRef>(entries[static_cast<std::size_t>(index)].get());
}
EntryRef GetActiveEntry(ListRef list)
{
    if (!Ok(kList, "GetActiveEntry") || list == nullptr) return nullptr;
    for (auto& entry : L(list)->entries) {
        if (entry->selected) return reinterpret_cast<EntryRef>(entry.get());
    }
    return nullptr;
}

constexpr const char* kEntry = "ADM Entry Suite";
void SetID(EntryRef entry, std::int32_t id)
{
    if (Ok(kEntry, "SetID") && entry != nullptr) E(entry)->id = id;
}
std::int32_t GetID(EntryRef entry)
{
    if (!Ok(kEntry, "GetID") || entry == nullptr) return 0;
    return E(entry)->id;
}
void SelectEntry(EntryRef entry, std::int32_t select)
{
    if (!Ok(kEntry, "Select") || entry == nullptr) return;
    // A popup list has one selected entry.
    if (select != 0 && E(entry)->list != nullptr) {
        for (auto& other : E(entry)->list->entries) other->selected = false;
    }
    E(entry)->selected = select != 0;
}
void SetEntryText(EntryRef entry, const char* text)
{
    if (Ok(kEntry, "SetText") && entry != nullptr) E(entry)->text = text != nullptr ? text : "";
}

// ---- ADM Icon and Tracker Suites ------------------------------------------------------
constexpr const char* kIcon = "ADM Icon Suite";
IconRef GetFromResource(PluginRef plugin, std::int32_t iconId, std::int32_t index)
{
    if (!Ok(kIcon, "GetFromResource") || plugin != H().Plugin()) return nullptr;
    return H().LoadIcon(iconId + index);
}
std::int32_t GetType(IconRef icon)
{
    if (!Ok(kIcon, "GetType") || icon == nullptr) return kUnknownIconType;
    return H().IconType(icon);
}

std::int32_t GetModifiers(TrackerRef /*tracker*/)
{
    if (!Ok("ADM Tracker Suite", "GetModifiers")) return 0;
    return H().modifiers;
}

}  // namespace

extern const AdmBasicSuite kAdmBasicSuite = {.GetIndexString = GetIndexString, .MessageAlert = MessageAlert};
extern const DialogSuite kDialogSuite = {
    .Modal = Modal,
    .GetUserData = GetUserData,
    .SetBoundsRect = SetBoundsRect,
    .GetBoundsRect = GetBoundsRect,
    .Size = Size,
    .GetItem = GetItem,
    .CreateItem = CreateItem,
};
extern const ItemSuite kItemSuite = {
    .SetNotifyProc = SetNotifyProc,
    .DefaultNotify = DefaultNotify,
    .SendNotify = SendNotify,
    .GetDialog = GetDialog,
    .GetList = GetList,
    .Show = Show,
    .Enable = Enable,
    .Activate = Activate,
    .SetFont = SetFont,
    .SetText = SetText,
    .SelectAll = SelectAll,
    .SetUnits = SetUnits,
    .SetPrecision = SetPrecision,
    .SetBooleanValue = SetBooleanValue,
    .GetBooleanValue = GetBooleanValue,
    .SetIntValue = SetIntValue,
    .GetIntValue = GetIntValue,
    .SetFloatValue = SetFloatValue,
    .GetFloatValue = GetFloatValue,
    .SetMinIntValue = SetMinIntValue,
    .SetMaxIntValue = SetMaxIntValue,
    .SetMinFloatValue = SetMinFloatValue,
    .SetMaxFloatValue = SetMaxFloatValue,
};
extern const ListSuite kListSuite = {.InsertEntry = InsertEntry, .IndexEntry = IndexEntry, .GetActiveEntry = GetActiveEntry};
extern const EntrySuite kEntrySuite = {.SetID = SetID, .GetID = GetID, .Select = SelectEntry, .SetText = SetEntryText};
extern const IconSuite kIconSuite = {.GetFromResource = GetFromResource, .GetType = GetType};
extern const TrackerSuite kTrackerSuite = {.GetModifiers = GetModifiers};
extern const NotifierSuite kNotifierSuite = {.reserved = nullptr};

}  // namespace host
