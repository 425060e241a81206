#include "shell/errors.h"

#include <cmath>
#include <cstring>

#include "shell/suites.h"

namespace {

constexpr std::size_t kTextSize = 256;

// Read entry index of the error list, zero-terminated, into text.
bool ReadErrorEntry(HostMessage* message, std::int32_t index, char* text, std::int32_t size)
{
    text[0] = '\0';
    return Suite<AdmBasicSuite>()->GetIndexString(message->pluginRef, kErrorStringList, index, text, size) ==
           kNoErr;
}

// Notify procedure of the dialogs' OK buttons: only the default handling.
void DefaultOnlyNotify(ItemRef item, NotifierRef notifier) { Suite<ItemSuite>()->DefaultNotify(item, notifier); }

HostError InitErrorDialog(DialogRef dialog)
{
    const DialogSuite* dialogs = Suite<DialogSuite>();
    const ItemSuite* items = Suite<ItemSuite>();
    const char* texts = static_cast<const char*>(dialogs->GetUserData(dialog));
    items->SetNotifyProc(dialogs->GetItem(dialog, 1), DefaultOnlyNotify);
    // Without its texts (the host did not hand them back) the dialog shows
    // what its template holds.
    if (texts == nullptr) return kNoErr;
    items->SetText(dialogs->GetItem(dialog, 2), texts);
    items->SetText(dialogs->GetItem(dialog, 3), texts + kTextSize);
    return kNoErr;
}

HostError InitAboutDialog(DialogRef dialog)
{
    Suite<ItemSuite>()->SetNotifyProc(Suite<DialogSuite>()->GetItem(dialog, 1), DefaultOnlyNotify);
    return kNoErr;
}

bool NumericCodeText(const char* text) { return text[0] == '-' || (text[0] >= '0' && text[0] <= '9'); }

}  // namespace

bool ToLengthPrefixed(char* buffer)
{
    const std::size_t length = std::strlen(buffer);
    if (length >= kTextSize) return false;
    std::memmove(buffer + 1, buffer, length);
    buffer[0] = static_cast<char>(static_cast<unsigned char>(length));
    return true;
}

void FromLengthPrefixed(char* buffer)
{
    const std::size_t length = static_cast<unsigned char>(buffer[0]);
    std::memmove(buffer, buffer + 1, length);
    buffer[length] = '\0';
}

void NumberToText(HostError code, char* buffer)
{
    // A failed conversion leaves the empty text.
    buffer[0] = '\0';
    Suite<UserSuite>()->RealToText(static_cast<float>(code), 0, reinterpret_cast<unsigned char*>(buffer));
    FromLengthPrefixed(buffer);
}

void FourCharToText(HostError code, char* buffer)
{
    const auto bits = static_cast<std::uint32_t>(code);
    buffer[0] = 4;
    for (int i = 0; i < 4; ++i) buffer[1 + i] = static_cast<char>((bits >> (24 - 8 * i)) & 0xFF);
    FromLengthPrefixed(buffer);
}

HostError TextToCode(const char* text)
{
    if (!NumericCodeText(text)) {
        std::uint32_t bits = 0;
        bool ended = false;
        for (int i = 0; i < 4; ++i) {
            ended = ended || text[i] == '\0';
            bits = (bits << 8) | (ended ? 0u : static_cast<unsigned char>(text[i]));
        }
        return static_cast<HostError>(bits);
    }
    char prefixed[kTextSize + 1] = {};
    std::strncpy(prefixed, text, kTextSize);
    if (!ToLengthPrefixed(prefixed)) return kNoErr;
    // A failed conversion leaves 0, which names no reported code.
    float value = 0.0f;
    Suite<UserSuite>()->TextToReal(reinterpret_cast<const unsigned char*>(prefixed), &value);
    // Truncate toward zero, keep the low 16 bits as a signed number, widen.
    const double whole = std::trunc(static_cast<double>(value));
    if (!std::isfinite(whole) || std::fabs(whole) >= 9.0e18) return kNoErr;
    const auto low16 = static_cast<std::uint16_t>(static_cast<std::uint64_t>(static_cast<std::int64_t>(whole)));
    return static_cast<HostError>(static_cast<std::int16_t>(low16));
}

void ReportError(HostMessage* message, HostError code)
{
    if (code == kNoErr || code == kStopErr) return;
    if (!SuitesHeld<AdmBasicSuite, DialogSuite, ItemSuite, UserSuite>()) return;

    // The list holds pairs from entry 1 on: a code text, then its message;
    // it ends at the first empty entry. A read that fails ends it too, so
    // the search never goes on over a stale text.
    char texts[2 * kTextSize] = {};
    char codeText[kTextSize];
    std::int32_t index = 1;
    bool found = false;
    bool read = ReadErrorEntry(message, index, codeText, kTextSize);
    while (read && codeText[0] != '\0') {
        if (TextToCode(codeText) == code) {
            found = true;
            break;
        }
        index += 2;
        read = ReadErrorEntry(message, index, codeText, kTextSize);
    }

    // The pair's message, or the message of the last pair ("<Others>").
    if (!ReadErrorEntry(message, found ? index + 1 : index - 1, texts, kTextSize)) return;

    // Codes from -65536 to 65535 are shown as numbers, others as four characters.
    const auto upper = static_cast<std::uint32_t>(code) >> 16;
    if (upper == 0 || upper == 0xFFFF) {
        NumberToText(code, texts + kTextSize);
    } else {
        FourCharToText(code, texts + kTextSize);
    }
    ShowErrorDialog(message, texts);
}

HostError ShowErrorDialog(HostMessage* message, char* texts)
{
    Suite<DialogSuite>()->Modal(message->pluginRef, "Error Dialog", kErrorDialogId, 0, InitErrorDialog, texts);
    return kNoErr;
}

HostError ShowAboutBox(HostMessage* message)
{
    if (!SuitesHeld<DialogSuite, ItemSuite>()) return kNoErr;
    Suite<DialogSuite>()->Modal(message->pluginRef, "About Dialog", kAboutDialogId, 0, InitAboutDialog, nullptr);
    return kNoErr;
}
