#pragma once
// The part of the Win32 resource script language that kadrelle.rc uses,
// read into plain data. Anything outside that part is rejected with the
// file and line, never skipped.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace rcgen {

// A problem in an input file. what() is the complete message, starting with
// "file:line: error: " where a line is known.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string FormatError(const std::string& file, int line, const std::string& message);

struct StringEntry {
    std::int32_t id = 0;
    std::string text;
    int line = 0;
};

struct DialogItem {
    std::int32_t id = 0;
    std::string itemType;   // the dialog manager's item type name
    std::int32_t left = 0, top = 0, width = 0, height = 0;
    std::string text;
};

struct Dialog {
    std::int32_t id = 0;
    std::optional<std::string> caption;
    std::int32_t width = 0, height = 0;
    std::optional<std::string> fontName;
    std::int32_t fontSize = 0;
    std::vector<DialogItem> items;
    int line = 0;
};

// An ICON or CURSOR statement: the group id and the file it names.
struct ImageFileRef {
    std::int32_t id = 0;
    std::string fileName;   // as written in the script
    int line = 0;
};

struct UserData {
    std::string type;       // as written, e.g. "PIPL"
    std::int32_t id = 0;
    std::vector<std::uint8_t> bytes;
    int line = 0;
};

struct Script {
    std::vector<StringEntry> strings;   // in script order
    std::vector<Dialog> dialogs;        // in script order
    std::vector<UserData> userData;     // PIPL resources, in script order
    std::vector<ImageFileRef> icons;
    std::vector<ImageFileRef> cursors;
};

// Parses the script text. fileName is used in error messages only.
// Throws InputError.
Script ParseScript(const std::string& text, const std::string& fileName);

// The item type for a CONTROL statement of the given window class and style,
// or nullopt for a combination the host has no item for.
std::optional<std::string> ControlItemType(const std::string& windowClass, std::uint32_t style);

}  // namespace rcgen
