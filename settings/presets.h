#pragma once
// The 27 named presets of the options dialog's preset popup: choosing one
// puts most options back to their defaults and then sets a few of them.
// Their names are the presetIndex popup's texts (settings/options.h).
#include <cstdint>

#include "settings/globals.h"
#include "shell/host_types.h"

constexpr std::int32_t kPresetCount = 27;

// Write the presets' reset values, then, for an index from 0 to 26, that
// preset's own values. Any other index writes the reset values only.
// presetIndex, dialogPage, the saved dialog bounds and the stroke state are
// left alone.
void WritePreset(Globals& globals, std::int32_t index);

// Notify procedure of the preset popup: stores the chosen entry's ID in
// presetIndex, writes that preset and shows the settings in the dialog. The
// new values are in force at once, whatever ends the dialog.
void ApplyPreset(ItemRef item, NotifierRef notifier);
