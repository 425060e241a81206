#pragma once
// The tool's options dialog, "Tool Dialog 0": its init procedure creates
// every control from the settings.
#include "shell/host_types.h"

// The dialog's init procedure, called once by the dialog manager when the
// dialog opens. Returns 0.
HostError InitOptionsDialog(DialogRef dialog);
