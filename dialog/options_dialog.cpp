#include "dialog/options_dialog.h"

// The options dialog's template is empty: its controls are created here
// from the settings when it opens.
HostError InitOptionsDialog(DialogRef /*dialog*/) { return kNoErr; }
