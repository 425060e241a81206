#include "dialog/options_dialog.h"

#include "dialog/controls.h"
#include "settings/globals.h"
#include "settings/options.h"
#include "shell/suites.h"

namespace {

constexpr std::int32_t kNoUnits = 0;
constexpr std::int32_t kRealDecimalPlaces = 2;

ItemRef ItemOf(DialogRef dialog, std::int32_t id) { return Suite<DialogSuite>()->GetItem(dialog, id); }

const OptionInfo& OptionOf(const ControlInfo& control) { return kOptionTable[control.option]; }

// Field to control, for every kind of value control. A popup selects the
// entry at the position held in the field; a field with no such entry
// leaves the selection as it is.
void WriteControl(DialogRef dialog, const ControlInfo& control, const Globals& globals)
{
    const ItemSuite* items = Suite<ItemSuite>();
    ItemRef item = ItemOf(dialog, control.id);
    const OptionInfo& option = OptionOf(control);
    switch (control.kind) {
    case ControlKind::RealSpin:
        items->SetFloatValue(item, OptionValue(globals, option));
        break;
    case ControlKind::WholeSpin:
        items->SetIntValue(item, OptionInt(globals, option));
        break;
    case ControlKind::CheckBox:
        items->SetBooleanValue(item, OptionInt(globals, option) != 0 ? 1 : 0);
        break;
    case ControlKind::Popup:
        if (EntryRef entry = Suite<ListSuite>()->IndexEntry(items->GetList(item), OptionInt(globals, option))) {
            Suite<EntrySuite>()->Select(entry, 1);
        }
        break;
    default:
        break;
    }
}

// Control to field. A popup without a selected entry leaves its field alone.
void ReadControl(DialogRef dialog, const ControlInfo& control, Globals& globals)
{
    const ItemSuite* items = Suite<ItemSuite>();
    ItemRef item = ItemOf(dialog, control.id);
    const OptionInfo& option = OptionOf(control);
    switch (control.kind) {
    case ControlKind::RealSpin:
        SetOptionValue(globals, option, items->GetFloatValue(item));
        break;
    case ControlKind::WholeSpin:
        SetOptionInt(globals, option, items->GetIntValue(item));
        break;
    case ControlKind::CheckBox:
        SetOptionInt(globals, option, items->GetBooleanValue(item) != 0 ? 1 : 0);
        break;
    case ControlKind::Popup:
        if (EntryRef entry = Suite<ListSuite>()->GetActiveEntry(items->GetList(item))) {
            SetOptionInt(globals, option, Suite<EntrySuite>()->GetID(entry));
        }
        break;
    default:
        break;
    }
}

// A new control, set up as its row says, with its value from the settings.
void CreateControl(DialogRef dialog, const ControlInfo& control, const Globals& globals)
{
    const ItemSuite* items = Suite<ItemSuite>();
    ItemRef item =
        Suite<DialogSuite>()->CreateItem(dialog, control.id, ItemTypeOf(control.kind), &control.rect, nullptr, nullptr);
    switch (control.kind) {
    case ControlKind::RealSpin: {
        const OptionInfo& option = OptionOf(control);
        if (control.id == kInterpolationAmountControl) {
            // The interpolation amount gets its value before its range and units.
            WriteControl(dialog, control, globals);
            items->SetMinFloatValue(item, option.minimum);
            items->SetMaxFloatValue(item, option.maximum);
            items->SetUnits(item, kNoUnits);
        } else {
            items->SetUnits(item, kNoUnits);
            items->SetMinFloatValue(item, option.minimum);
            items->SetMaxFloatValue(item, option.maximum);
            WriteControl(dialog, control, globals);
        }
        items->SetPrecision(item, kRealDecimalPlaces);
        break;
    }
    case ControlKind::WholeSpin: {
        const OptionInfo& option = OptionOf(control);
        items->SetUnits(item, kNoUnits);
        items->SetMinIntValue(item, static_cast<std::int32_t>(option.minimum));
        items->SetMaxIntValue(item, static_cast<std::int32_t>(option.maximum));
        WriteControl(dialog, control, globals);
        break;
    }
    case ControlKind::CheckBox:
        WriteControl(dialog, control, globals);
        items->SetText(item, control.caption);
        break;
    case ControlKind::Caption:
    case ControlKind::TextButton:
        items->SetText(item, control.caption);
        break;
    case ControlKind::Popup:       // filled once every control exists
    case ControlKind::PageButton:  // no picture is assigned
        break;
    }
    if (control.page != kFramePage && control.page != 1) items->Show(item, 0);
    if (control.notify != nullptr) items->SetNotifyProc(item, control.notify);
}

// Insert the popup's entries, IDs equal to positions, and select the one
// its field holds.
void FillPopup(DialogRef dialog, const ControlInfo& control, const Globals& globals)
{
    const ListSuite* lists = Suite<ListSuite>();
    const EntrySuite* entries = Suite<EntrySuite>();
    ListRef list = Suite<ItemSuite>()->GetList(ItemOf(dialog, control.id));
    const auto labels = OptionOf(control).labels;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        const auto position = static_cast<std::int32_t>(i);
        EntryRef entry = lists->InsertEntry(list, position);
        entries->SetText(entry, labels[i]);
        entries->SetID(entry, position);
    }
    WriteControl(dialog, control, globals);
}

// The page button that shows the page, button 100 for a page outside 1 to 5.
std::int32_t PageButtonOf(std::int32_t page)
{
    const auto pages = OptionsDialogPages();
    const bool known = page >= 1 && page <= kPageCount;
    return pages[static_cast<std::size_t>(known ? page - 1 : 0)].button;
}

}  // namespace

HostError InitOptionsDialog(DialogRef dialog)
{
    const DialogSuite* dialogs = Suite<DialogSuite>();
    const ItemSuite* items = Suite<ItemSuite>();
    Globals& globals = *gGlobals;

    if (globals.dialogBoundsValid != 0) {
        const ScreenRect bounds{globals.dialogBoundsLeft, globals.dialogBoundsTop, globals.dialogBoundsRight,
                                globals.dialogBoundsBottom};
        dialogs->SetBoundsRect(dialog, &bounds);
    }
    dialogs->Size(dialog, kOptionsDialogWidth, kOptionsDialogHeight);

    for (const ControlInfo& control : OptionsDialogControls()) CreateControl(dialog, control, globals);
    for (std::int32_t id : PopupFillOrder()) FillPopup(dialog, *FindControl(id), globals);

    ApplyDependencyRules(dialog);

    ItemRef first = ItemOf(dialog, kFirstFocusControl);
    items->Activate(first, 1);
    items->SelectAll(first);

    items->SendNotify(ItemOf(dialog, PageButtonOf(globals.dialogPage)), kUserChangedNotifier);
    return kNoErr;
}

void CommitOptions(ItemRef item, NotifierRef notifier)
{
    DialogRef dialog = Suite<ItemSuite>()->GetDialog(item);
    // Ends the dialog with 1; the controls stay readable until this returns.
    Suite<ItemSuite>()->DefaultNotify(item, notifier);

    Globals& globals = *gGlobals;
    for (const ControlInfo& control : OptionsDialogControls()) {
        if (control.option != kNoOption) ReadControl(dialog, control, globals);
    }

    ScreenRect bounds{};
    Suite<DialogSuite>()->GetBoundsRect(dialog, &bounds);
    globals.dialogBoundsLeft = bounds.left;
    globals.dialogBoundsTop = bounds.top;
    globals.dialogBoundsRight = bounds.right;
    globals.dialogBoundsBottom = bounds.bottom;
    globals.dialogBoundsValid = 1;
}

void SwitchPage(ItemRef item, NotifierRef /*notifier*/)
{
    const ItemSuite* items = Suite<ItemSuite>();
    DialogRef dialog = items->GetDialog(item);
    const auto pages = OptionsDialogPages();

    for (const PageInfo& page : pages) items->SetFont(ItemOf(dialog, page.caption), kDialogFont);

    std::int32_t chosen = 0;  // none
    for (std::int32_t page = 1; page <= kPageCount; ++page) {
        const PageInfo& info = pages[static_cast<std::size_t>(page - 1)];
        if (ItemOf(dialog, info.button) != item) continue;
        chosen = page;
        gGlobals->dialogPage = page;
        items->SetFont(ItemOf(dialog, info.caption), kBoldDialogFont);
        break;
    }

    for (std::int32_t page = 1; page <= kPageCount; ++page) {
        for (std::int32_t id : pages[static_cast<std::size_t>(page - 1)].members) {
            items->Show(ItemOf(dialog, id), page == chosen ? 1 : 0);
        }
    }
}

void UpdateDependentControls(ItemRef item, NotifierRef notifier)
{
    DialogRef dialog = Suite<ItemSuite>()->GetDialog(item);
    Suite<ItemSuite>()->DefaultNotify(item, notifier);
    ApplyDependencyRules(dialog);
}

void ApplyDependencyRules(DialogRef dialog)
{
    Globals& globals = *gGlobals;
    for (std::int32_t id : DecidingControlReadOrder()) ReadControl(dialog, *FindControl(id), globals);

    const ItemSuite* items = Suite<ItemSuite>();
    for (const DependencyRule& rule : DependencyRules()) {
        const bool nonZero = OptionValue(globals, OptionOf(*FindControl(rule.decidingControl))) != 0.0f;
        const bool enabled = rule.enabledWhenZero ? !nonZero : nonZero;
        for (std::int32_t id : rule.dependents) items->Enable(ItemOf(dialog, id), enabled ? 1 : 0);
    }
}

void ShowSettingsInDialog(DialogRef dialog)
{
    const Globals& globals = *gGlobals;
    for (const ControlInfo& control : OptionsDialogControls()) {
        if (control.option != kNoOption && control.id != kPresetPopup) WriteControl(dialog, control, globals);
    }
    ApplyDependencyRules(dialog);
}
