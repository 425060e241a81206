#pragma once
// "Tumble": gives the tool a random new look. A group of options goes back
// to its defaults; then, option group by option group, a random gate decides
// whether the group gets random values.
#include "settings/globals.h"
#include "shell/host_types.h"

// One uniform draw, 0 <= u < 1.
using UniformDraw = float (*)();

// Rewrite the options that Tumble touches, drawing every random value from
// draw, in order. Every other option keeps its value.
void TumbleOptions(Globals& globals, UniformDraw draw);

// Notify procedure of the "Tumble" button: tumbles the settings with the
// host's random numbers and shows them in the dialog. The new values are in
// force at once, whatever ends the dialog. Without the host's random numbers
// it changes nothing.
void TumbleSettings(ItemRef item, NotifierRef notifier);
