#pragma once
// The stroke engine's handlers of the tool messages: a stroke is one mouse
// down, the drag events while the button is held, and one mouse up.
#include "shell/messages.h"

// "AI Mouse Down": record the start point and turn the options into the
// stroke's values. Returns 0.
HostError StartStroke(ToolMessage* message);

// "AI Mouse Drag": one painting step. Returns 0.
HostError DragStep(ToolMessage* message);

// "AI Mouse Up": keep the end point and close the stroke for undo. Returns
// the undo operation's code.
HostError EndStroke(ToolMessage* message);
