#pragma once
// Telling the user: the Error Dialog for a failed message, the About
// Dialog, and the small conversions between zero-terminated strings and the
// host's length-prefixed ones.
#include <cstdint>

#include "shell/messages.h"

// String lists of the plug-in's resources: entry n of list L is string L + n.
constexpr std::int32_t kErrorStringList = 16050;
constexpr std::int32_t kErrorDialogId = 16051;
constexpr std::int32_t kAboutDialogId = 16050;

// Show the Error Dialog for the code: the message that the error list gives
// it (or the "<Others>" message) and the code as text. Nothing for 0 and
// "STOP", nor when the dialog manager is not held.
void ReportError(HostMessage* message, HostError code);

// Run the Error Dialog with a 512-character buffer: the message text in the
// first 256, the code's text in the second 256. Returns 0.
HostError ShowErrorDialog(HostMessage* message, char* texts);

// Run the About Dialog. Returns 0.
HostError ShowAboutBox(HostMessage* message);

// Turn a zero-terminated string into a length-prefixed one in the same
// buffer. A string of 256 or more characters is left as it is and false is
// returned.
bool ToLengthPrefixed(char* buffer);

// Turn a length-prefixed string into a zero-terminated one in the same
// buffer.
void FromLengthPrefixed(char* buffer);

// The code as a decimal number, through the host's number-to-text operation,
// zero-terminated into buffer (256 characters).
void NumberToText(HostError code, char* buffer);

// The code's four bytes, most significant first, zero-terminated into
// buffer (at least 5 characters); a zero byte ends the text early.
void FourCharToText(HostError code, char* buffer);

// The code that a code text of the error list stands for: a text beginning
// with "-" or a digit is a number, truncated and reduced to 16 bits; any
// other text is a four-character code.
HostError TextToCode(const char* text);
