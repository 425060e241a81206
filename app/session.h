#pragma once
// A painting session: the document to open, the host's state, the settings
// to apply (a preset, Tumble, fields, actions in the options dialog) and the
// strokes to replay, read from a JSON file.
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "shell/host_types.h"

namespace kadrelle {

// Bad input: the message names the file and the place.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct SessionPoint {
    float h = 0.0f;
    float v = 0.0f;
    std::int16_t pressure = 255;
    std::int32_t modifiers = 0;
};

// An action in the options dialog.
struct DialogAction {
    enum class Kind : std::uint8_t { Click, Set };
    Kind kind = Kind::Click;
    std::int32_t id = 0;
    double value = 0.0;  // Set: the typed number, 0/1 for a box, the entry ID for a popup
};

struct RandomSetting {
    enum class Kind : std::uint8_t { Seed, Sequence, Constant };
    Kind kind = Kind::Seed;
    std::uint64_t seed = 1;
    std::vector<float> sequence;
    bool repeat = false;
    float constant = 0.0f;
};

// Which symbol the palette has selected.
struct SymbolSelection {
    enum class Kind : std::uint8_t { First, None, Id, Index };
    Kind kind = Kind::First;
    std::string id;
    std::int64_t index = 0;
};

// An entry of the session's strokes: a stroke, or what the user did between
// two strokes (one opening of the options dialog, or another symbol chosen
// in the palette). Exactly one of the three is given.
struct SessionStroke {
    std::vector<SessionPoint> points;  // the mouse down, then one drag each
    std::vector<DialogAction> dialog;  // ending with OK or Cancel
    std::optional<SymbolSelection> selectedSymbol;
};

struct Session {
    std::string source;                           // the file, for messages
    std::optional<std::filesystem::path> document;  // resolved against the session's folder
    std::optional<std::array<float, 2>> page;
    std::optional<HostPoint> viewCentre;
    SymbolSelection selectedSymbol;
    bool pressureDevice = false;
    RandomSetting random;
    std::optional<std::int32_t> preset;
    bool tumble = false;
    std::vector<std::pair<std::string, double>> settings;  // field names are checked
    std::vector<DialogAction> dialog;
    std::vector<SessionStroke> strokes;
};

// Read a session from JSON text; source names it in messages, baseDir is
// where a relative document path starts. Throws InputError.
Session ParseSession(const std::string& text, const std::string& source, const std::filesystem::path& baseDir);

// The session as JSON that ParseSession reads back to the same session; the
// document's path is written absolute.
std::string SessionJson(const Session& session);

// Parts of a session read from JSON, for readers of the same notation; where
// names the place in messages. Each throws InputError.
SessionPoint ParsePoint(const nlohmann::json& j, const std::string& where);
DialogAction ParseDialogAction(const nlohmann::json& j, const std::string& where);
SymbolSelection ParseSymbolSelection(const nlohmann::json& j, const std::string& where);

// A preset by its id ("5") or its label, with or without the leading blank.
// Throws InputError naming what.
std::int32_t FindPreset(const std::string& text, const std::string& what);

// Check a settings value for its field and return it as a number: a number
// for reals and integers (whole, in range for integers), true/false or 0/1
// for flags. Throws InputError naming what.
double SettingValue(const std::string& field, const std::string& text, const std::string& what);

}  // namespace kadrelle
