#pragma once
// The tool's options dialog, "Tool Dialog 0": its init procedure creates
// every control from the settings; the notify procedures below answer the
// controls that act at once (OK, the page buttons and the four controls
// that others depend on). The presets and Tumble are in settings/.
#include "shell/host_types.h"

// The dialog's init procedure, called once by the dialog manager when the
// dialog opens. Returns 0.
HostError InitOptionsDialog(DialogRef dialog);

// Notify procedure of "OK": ends the dialog with 1, reads every control back
// into the settings and saves the dialog's bounds.
void CommitOptions(ItemRef item, NotifierRef notifier);

// Notify procedure of the page buttons: shows the button's page, hides the
// others, makes its caption bold and remembers the page in dialogPage.
void SwitchPage(ItemRef item, NotifierRef notifier);

// Notify procedure of the four controls that others depend on: default
// handling, then the enabling rules.
void UpdateDependentControls(ItemRef item, NotifierRef notifier);

// The enabling rules alone: read the four deciding controls into their
// fields and enable or disable their dependents.
void ApplyDependencyRules(DialogRef dialog);

// After the settings were rewritten while the dialog is open: every control
// that shows an option gets its field's value (the preset popup excepted),
// then the enabling rules run once.
void ShowSettingsInDialog(DialogRef dialog);
