#pragma once
// A picture of an open dialog as SVG text, so that a person can look at any
// page of it: every visible control at its rectangle with its caption or
// value, disabled controls greyed, bold captions in bold, popup lists with
// their selected entry, check boxes ticked or not, the focused control
// outlined.
#include <string>

#include "host/dialog_manager.h"

namespace host {

std::string DialogSvg(const Dialog& dialog);

}  // namespace host
