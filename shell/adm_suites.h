#pragma once
// The dialog manager's "ADM" suites: modal dialogs and their controls, popup
// lists, string lists, the tool icon and the modifier keys. Dialogs,
// controls, lists and entries are opaque references owned by the dialog
// manager; a control is found by its dialog and its ID.
#include "shell/host_types.h"

// A dialog's init procedure, called once when the dialog opens.
using DialogInitProc = HostError (*)(DialogRef dialog);
// A control's notify procedure, called whenever the control notifies.
using NotifyProc = void (*)(ItemRef item, NotifierRef notifier);
// A control's own init procedure (the tool never gives one).
using ItemInitProc = HostError (*)(ItemRef item);

// The one notification type that the tool sends.
inline constexpr const char* kUserChangedNotifier = "ADM User Changed Notifier";

// Item type names.
inline constexpr const char* kSpinEditType = "ADM Spin Edit Type";
inline constexpr const char* kTextStaticType = "ADM Text Static Type";
inline constexpr const char* kTextCheckBoxType = "ADM Text Check Box Type";
inline constexpr const char* kPopupListType = "ADM Popup List Type";
inline constexpr const char* kTextPushButtonType = "ADM Text Push Button Type";
inline constexpr const char* kPicturePushButtonType = "ADM Picture Push Button Type";
inline constexpr const char* kFrameType = "ADM Frame Type";

// Font codes.
constexpr std::int32_t kDialogFont = 0;
constexpr std::int32_t kBoldDialogFont = 5;

// "ADM Dialog Suite" version 3.
struct DialogSuite {
    // Run a dialog modally: the plug-in, the dialog's name and resource ID,
    // style 0, its init procedure and user data. Returns the ID of the
    // control that ended it (1 for OK; control 2 ends it by default with a
    // result other than 1); a dialog that cannot be run returns -1.
    std::int32_t (*Modal)(PluginRef plugin, const char* name, std::int32_t resourceId, std::int32_t style,
                          DialogInitProc init, void* userData);
    // The user data given to Modal.
    void* (*GetUserData)(DialogRef dialog);
    // The dialog's bounds in screen coordinates; a get reports what was set.
    void (*SetBoundsRect)(DialogRef dialog, const ScreenRect* bounds);
    void (*GetBoundsRect)(DialogRef dialog, ScreenRect* bounds);
    void (*Size)(DialogRef dialog, std::int32_t width, std::int32_t height);
    // The control with this ID, or nullptr.
    ItemRef (*GetItem)(DialogRef dialog, std::int32_t id);
    // Create a control of an item type at a rectangle of the dialog.
    ItemRef (*CreateItem)(DialogRef dialog, std::int32_t id, const char* itemType, const ScreenRect* bounds,
                          ItemInitProc init, void* userData);
};

// "ADM Item Suite" version 4.
struct ItemSuite {
    void (*SetNotifyProc)(ItemRef item, NotifyProc proc);
    // The dialog manager's default handling of a notification: for control 1
    // of a modal dialog it ends the dialog with 1, for control 2 with 2. The
    // controls stay readable until the notify procedure returns.
    void (*DefaultNotify)(ItemRef item, NotifierRef notifier);
    // Send a notification of this type; the control's notify procedure runs
    // before this returns.
    void (*SendNotify)(ItemRef item, const char* notifierType);
    DialogRef (*GetDialog)(ItemRef item);
    // A popup's list.
    ListRef (*GetList)(ItemRef item);
    void (*Show)(ItemRef item, std::int32_t show);
    void (*Enable)(ItemRef item, std::int32_t enable);
    // Give the control the keyboard focus.
    void (*Activate)(ItemRef item, std::int32_t activate);
    void (*SetFont)(ItemRef item, std::int32_t font);
    void (*SetText)(ItemRef item, const char* text);
    void (*SelectAll)(ItemRef item);
    // Units shown beside a number: 0, none.
    void (*SetUnits)(ItemRef item, std::int32_t units);
    void (*SetPrecision)(ItemRef item, std::int32_t decimalPlaces);
    void (*SetBooleanValue)(ItemRef item, std::int32_t value);
    std::int32_t (*GetBooleanValue)(ItemRef item);
    void (*SetIntValue)(ItemRef item, std::int32_t value);
    std::int32_t (*GetIntValue)(ItemRef item);
    void (*SetFloatValue)(ItemRef item, float value);
    float (*GetFloatValue)(ItemRef item);
    void (*SetMinIntValue)(ItemRef item, std::int32_t value);
    void (*SetMaxIntValue)(ItemRef item, std::int32_t value);
    void (*SetMinFloatValue)(ItemRef item, float value);
    void (*SetMaxFloatValue)(ItemRef item, float value);
};

// "ADM List Suite" version 1.
struct ListSuite {
    // Insert a new entry at position index; returns it.
    EntryRef (*InsertEntry)(ListRef list, std::int32_t index);
    // The entry at position index, or nullptr.
    EntryRef (*IndexEntry)(ListRef list, std::int32_t index);
    // The selected entry, or nullptr.
    EntryRef (*GetActiveEntry)(ListRef list);
};

// "ADM Entry Suite" version 2.
struct EntrySuite {
    void (*SetID)(EntryRef entry, std::int32_t id);
    std::int32_t (*GetID)(EntryRef entry);
    void (*Select)(EntryRef entry, std::int32_t select);
    void (*SetText)(EntryRef entry, const char* text);
};

// "ADM Basic Suite" version 2.
struct AdmBasicSuite {
    // Copy string index of string list listId (string resource listId +
    // index) into buffer, at most bufferSize - 1 characters and a zero. When
    // the module has no such string the buffer gets the empty string and the
    // result is an error.
    HostError (*GetIndexString)(PluginRef plugin, std::int32_t listId, std::int32_t index, char* buffer,
                                std::int32_t bufferSize);
    // Show a message alert with this text.
    void (*MessageAlert)(const char* text);
};

// Icon type that the dialog manager reports for an icon it cannot use.
constexpr std::int32_t kUnknownIconType = 6;

// "ADM Icon Suite" version 1.
struct IconSuite {
    // The icon resource iconId + index of the plug-in's module.
    IconRef (*GetFromResource)(PluginRef plugin, std::int32_t iconId, std::int32_t index);
    std::int32_t (*GetType)(IconRef icon);
};

// Modifier-key bits of the tracker's modifier word that the tool reads.
constexpr std::int32_t kShrinkModifier = 0x20;
constexpr std::int32_t kTargetOnlyModifier = 0x80;
constexpr std::int32_t kPauseModifier = 0x200;

// "ADM Tracker Suite" version 1.
struct TrackerSuite {
    // The current modifier-key bit mask; the tool asks without a tracker.
    std::int32_t (*GetModifiers)(TrackerRef tracker);
};

// "ADM Notifier Suite" version 1: acquired with the others; the tool calls
// none of its operations.
struct NotifierSuite {
    void* reserved;
};
