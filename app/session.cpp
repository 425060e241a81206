#include "app/session.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>

#include <nlohmann/json.hpp>

#include "app/artwork_json.h"
#include "settings/options.h"
#include "shell/adm_suites.h"

namespace kadrelle {
namespace {

using Json = nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& problem)
{
    throw InputError(where + ": " + problem);
}

std::string TypeName(const Json& j)
{
    return j.is_null() ? "null" : std::string(j.type_name());
}

double Number(const Json& j, const std::string& where)
{
    if (!j.is_number()) Fail(where, "expected a number, found " + TypeName(j));
    const double value = j.get<double>();
    if (!std::isfinite(value)) Fail(where, "expected a finite number");
    return value;
}

float Real(const Json& j, const std::string& where)
{
    const double value = Number(j, where);
    if (std::fabs(value) > 3.0e38) Fail(where, "number out of range");
    return static_cast<float>(value);
}

std::int64_t Whole(const Json& j, const std::string& where, std::int64_t low, std::int64_t high)
{
    const double value = Number(j, where);
    if (value != std::floor(value)) Fail(where, "expected a whole number, found " + j.dump());
    if (value < static_cast<double>(low) || value > static_cast<double>(high))
        Fail(where, "expected a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                        ", found " + j.dump());
    return static_cast<std::int64_t>(value);
}

void OnlyKeys(const Json& object, const std::string& where, std::initializer_list<const char*> keys)
{
    if (!object.is_object()) Fail(where, "expected an object, found " + TypeName(object));
    const std::set<std::string> known(keys.begin(), keys.end());
    for (const auto& [key, value] : object.items()) {
        if (known.count(key) == 0) Fail(where, "unknown key \"" + key + "\"");
    }
}

HostPoint Pair(const Json& j, const std::string& where)
{
    if (!j.is_array() || j.size() != 2) Fail(where, "expected [h, v]");
    return HostPoint{Real(j[0], where + "[0]"), Real(j[1], where + "[1]")};
}

std::int32_t Modifiers(const Json& j, const std::string& where)
{
    if (j.is_number()) return static_cast<std::int32_t>(Whole(j, where, 0, 0x7FFFFFFF));
    if (!j.is_array()) Fail(where, "expected a bit mask or a list of \"shrink\", \"pause\", \"targetOnly\"");
    std::int32_t mask = 0;
    for (std::size_t i = 0; i < j.size(); ++i) {
        const std::string at = where + "[" + std::to_string(i) + "]";
        if (!j[i].is_string()) Fail(at, "expected a modifier name");
        const std::string name = j[i].get<std::string>();
        if (name == "shrink") {
            mask |= kShrinkModifier;
        } else if (name == "pause") {
            mask |= kPauseModifier;
        } else if (name == "targetOnly") {
            mask |= kTargetOnlyModifier;
        } else {
            Fail(at, "unknown modifier \"" + name + "\" (use shrink, pause or targetOnly)");
        }
    }
    return mask;
}

}  // namespace

SessionPoint ParsePoint(const Json& j, const std::string& where)
{
    SessionPoint p;
    if (j.is_array()) {
        if (j.size() != 2 && j.size() != 3) Fail(where, "expected [h, v] or [h, v, pressure]");
        p.h = Real(j[0], where + "[0]");
        p.v = Real(j[1], where + "[1]");
        if (j.size() == 3) p.pressure = static_cast<std::int16_t>(Whole(j[2], where + "[2]", 0, 255));
        return p;
    }
    OnlyKeys(j, where, {"h", "v", "pressure", "modifiers"});
    if (!j.contains("h") || !j.contains("v")) Fail(where, "a point needs \"h\" and \"v\"");
    p.h = Real(j["h"], where + ".h");
    p.v = Real(j["v"], where + ".v");
    if (j.contains("pressure")) p.pressure = static_cast<std::int16_t>(Whole(j["pressure"], where + ".pressure", 0, 255));
    if (j.contains("modifiers")) p.modifiers = Modifiers(j["modifiers"], where + ".modifiers");
    return p;
}

namespace {

RandomSetting Random(const Json& j, const std::string& where)
{
    OnlyKeys(j, where, {"seed", "sequence", "repeat", "constant"});
    RandomSetting random;
    const int kinds = (j.contains("seed") ? 1 : 0) + (j.contains("sequence") ? 1 : 0) + (j.contains("constant") ? 1 : 0);
    if (kinds != 1) Fail(where, "give exactly one of \"seed\", \"sequence\" or \"constant\"");
    auto unit = [&](const Json& value, const std::string& at) {
        const float u = Real(value, at);
        if (!(u >= 0.0f && u < 1.0f)) Fail(at, "a random number must lie in [0, 1)");
        return u;
    };
    if (j.contains("seed")) {
        random.kind = RandomSetting::Kind::Seed;
        random.seed = static_cast<std::uint64_t>(Whole(j["seed"], where + ".seed", 0, 9007199254740991LL));
    } else if (j.contains("sequence")) {
        random.kind = RandomSetting::Kind::Sequence;
        const Json& sequence = j["sequence"];
        if (!sequence.is_array() || sequence.empty()) Fail(where + ".sequence", "expected a list of numbers");
        for (std::size_t i = 0; i < sequence.size(); ++i)
            random.sequence.push_back(unit(sequence[i], where + ".sequence[" + std::to_string(i) + "]"));
        if (j.contains("repeat")) {
            if (!j["repeat"].is_boolean()) Fail(where + ".repeat", "expected true or false");
            random.repeat = j["repeat"].get<bool>();
        }
    } else {
        random.kind = RandomSetting::Kind::Constant;
        random.constant = unit(j["constant"], where + ".constant");
    }
    if (j.contains("repeat") && random.kind != RandomSetting::Kind::Sequence)
        Fail(where + ".repeat", "\"repeat\" belongs to a \"sequence\"");
    return random;
}

}  // namespace

DialogAction ParseDialogAction(const Json& j, const std::string& where)
{
    OnlyKeys(j, where, {"click", "set"});
    DialogAction action;
    if (j.contains("click") == j.contains("set")) Fail(where, "an action is {\"click\": ID} or {\"set\": {\"ID\": value}}");
    if (j.contains("click")) {
        action.kind = DialogAction::Kind::Click;
        action.id = static_cast<std::int32_t>(Whole(j["click"], where + ".click", 1, 999));
        return action;
    }
    const Json& set = j["set"];
    if (!set.is_object() || set.size() != 1) Fail(where + ".set", "expected {\"ID\": value}");
    const auto entry = set.begin();
    const std::string key = entry.key();
    const Json& value = entry.value();
    std::int32_t id = 0;
    const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), id);
    if (error != std::errc{} || end != key.data() + key.size() || id <= 0)
        Fail(where + ".set", "\"" + key + "\" is not a control ID");
    action.kind = DialogAction::Kind::Set;
    action.id = id;
    if (value.is_boolean()) {
        action.value = value.get<bool>() ? 1.0 : 0.0;
    } else {
        action.value = Number(value, where + ".set." + key);
    }
    return action;
}

SymbolSelection ParseSymbolSelection(const Json& j, const std::string& where)
{
    SymbolSelection selection;
    if (j.is_null()) {
        selection.kind = SymbolSelection::Kind::None;
    } else if (j.is_string()) {
        selection.kind = SymbolSelection::Kind::Id;
        selection.id = j.get<std::string>();
    } else {
        selection.kind = SymbolSelection::Kind::Index;
        selection.index = Whole(j, where, 0, 1 << 30);
    }
    return selection;
}

namespace {

// One opening of the options dialog: actions ending with OK or Cancel.
std::vector<DialogAction> DialogActions(const Json& j, const std::string& where)
{
    if (!j.is_array()) Fail(where, "expected a list of actions");
    std::vector<DialogAction> actions;
    for (std::size_t i = 0; i < j.size(); ++i)
        actions.push_back(ParseDialogAction(j[i], where + "[" + std::to_string(i) + "]"));
    if (actions.empty() || actions.back().kind != DialogAction::Kind::Click ||
        (actions.back().id != 1 && actions.back().id != 2))
        Fail(where, "the actions must end with {\"click\": 1} (OK) or {\"click\": 2} (Cancel)");
    return actions;
}

}  // namespace

std::int32_t FindPreset(const std::string& text, const std::string& what)
{
    const OptionInfo* presets = FindOption("presetIndex");
    std::int32_t id = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error == std::errc{} && end == text.data() + text.size()) {
        if (id < 0 || static_cast<std::size_t>(id) >= presets->labels.size())
            Fail(what, "no preset " + text + " (the presets are 0 to " + std::to_string(presets->labels.size() - 1) + ")");
        return id;
    }
    for (std::size_t i = 0; i < presets->labels.size(); ++i) {
        const std::string label = presets->labels[i];
        if (label == text || label == " " + text) return static_cast<std::int32_t>(i);
    }
    Fail(what, "unknown preset \"" + text + "\" (kadrelle presets lists them)");
}

double SettingValue(const std::string& field, const std::string& text, const std::string& what)
{
    Json value;
    if (text == "true" || text == "false") {
        value = text == "true";
    } else {
        double number = 0.0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (error != std::errc{} || end != text.data() + text.size()) Fail(what, "\"" + text + "\" is not a number");
        value = number;
    }
    const OptionInfo* option = FindOption(field.c_str());
    if (option == nullptr) Fail(what, "unknown field \"" + field + "\" (kadrelle settings lists them)");
    if (option->kind == OptionKind::Flag) {
        if (value.is_boolean()) return value.get<bool>() ? 1.0 : 0.0;
        return static_cast<double>(Whole(value, what, 0, 1));
    }
    if (value.is_boolean()) Fail(what, "expected a number for " + field + ", found a boolean");
    if (option->kind == OptionKind::Real) return Real(value, what);
    return static_cast<double>(Whole(value, what, INT32_MIN, INT32_MAX));
}

Session ParseSession(const std::string& text, const std::string& source, const std::filesystem::path& baseDir)
{
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& error) {
        throw InputError(source + ": malformed JSON at byte " + std::to_string(error.byte) + ": " + error.what());
    } catch (const Json::out_of_range& error) {
        // A number too large for any type, such as 1e999.
        throw InputError(source + ": malformed JSON: " + error.what());
    }
    OnlyKeys(root, source, {"document", "page", "view", "selectedSymbol", "pressureDevice", "random", "preset",
                            "tumble", "settings", "dialog", "strokes"});

    Session session;
    session.source = source;
    if (root.contains("document")) {
        if (!root["document"].is_string()) Fail(source + ": document", "expected the path of an SVG file");
        session.document = baseDir / root["document"].get<std::string>();
    }
    if (root.contains("page")) {
        const HostPoint page = Pair(root["page"], source + ": page");
        if (!(page.h > 0.0f && page.v > 0.0f)) Fail(source + ": page", "the page's width and height must be positive");
        session.page = std::array<float, 2>{page.h, page.v};
    }
    if (root.contains("view")) {
        OnlyKeys(root["view"], source + ": view", {"centre"});
        if (!root["view"].contains("centre")) Fail(source + ": view", "expected {\"centre\": [h, v]}");
        session.viewCentre = Pair(root["view"]["centre"], source + ": view.centre");
    }
    if (root.contains("selectedSymbol"))
        session.selectedSymbol = ParseSymbolSelection(root["selectedSymbol"], source + ": selectedSymbol");
    if (root.contains("pressureDevice")) {
        if (!root["pressureDevice"].is_boolean()) Fail(source + ": pressureDevice", "expected true or false");
        session.pressureDevice = root["pressureDevice"].get<bool>();
    }
    if (root.contains("random")) session.random = Random(root["random"], source + ": random");
    if (root.contains("preset")) {
        const Json& preset = root["preset"];
        if (preset.is_string()) {
            session.preset = FindPreset(preset.get<std::string>(), source + ": preset");
        } else {
            session.preset = FindPreset(std::to_string(Whole(preset, source + ": preset", 0, 1000)), source + ": preset");
        }
    }
    if (root.contains("tumble")) {
        if (!root["tumble"].is_boolean()) Fail(source + ": tumble", "expected true or false");
        session.tumble = root["tumble"].get<bool>();
    }
    if (root.contains("settings")) {
        const Json& settings = root["settings"];
        if (!settings.is_object()) Fail(source + ": settings", "expected {fieldName: value, ...}");
        for (const auto& [field, value] : settings.items()) {
            const std::string where = source + ": settings." + field;
            if (FindOption(field.c_str()) == nullptr)
                Fail(source + ": settings", "unknown field \"" + field + "\" (kadrelle settings lists them)");
            if (!value.is_boolean() && !value.is_number())
                Fail(where, "expected a number or true/false, found " + TypeName(value));
            session.settings.emplace_back(field, SettingValue(field, value.dump(), where));
        }
    }
    if (root.contains("dialog")) {
        const Json& dialog = root["dialog"];
        // An empty list: no dialog is opened.
        if (!dialog.is_array() || !dialog.empty()) session.dialog = DialogActions(dialog, source + ": dialog");
    }
    if (root.contains("strokes")) {
        const Json& strokes = root["strokes"];
        if (!strokes.is_array()) Fail(source + ": strokes", "expected a list of strokes");
        for (std::size_t s = 0; s < strokes.size(); ++s) {
            const std::string where = source + ": strokes[" + std::to_string(s) + "]";
            OnlyKeys(strokes[s], where, {"points", "dialog", "selectedSymbol"});
            const Json& entry = strokes[s];
            SessionStroke stroke;
            if (entry.size() != 1)
                Fail(where, "a stroke is {\"points\": [...]}; between strokes, {\"dialog\": [...]} or "
                            "{\"selectedSymbol\": ...}");
            if (entry.contains("dialog")) {
                stroke.dialog = DialogActions(entry["dialog"], where + ".dialog");
            } else if (entry.contains("selectedSymbol")) {
                stroke.selectedSymbol = ParseSymbolSelection(entry["selectedSymbol"], where + ".selectedSymbol");
            } else {
                const Json& points = entry["points"];
                if (!points.is_array() || points.empty()) Fail(where, "a stroke needs a non-empty list \"points\"");
                for (std::size_t p = 0; p < points.size(); ++p)
                    stroke.points.push_back(ParsePoint(points[p], where + ".points[" + std::to_string(p) + "]"));
            }
            session.strokes.push_back(std::move(stroke));
        }
    }
    return session;
}

// ---- Writing ------------------------------------------------------------------------

namespace {

using OrderedJson = nlohmann::ordered_json;

// A float as its shortest text, which reads back to the same float.
OrderedJson FloatJson(float value) { return std::strtod(FloatText(value).c_str(), nullptr); }

OrderedJson PairJson(float h, float v) { return OrderedJson::array({FloatJson(h), FloatJson(v)}); }

OrderedJson SelectionJson(const SymbolSelection& selection)
{
    switch (selection.kind) {
    case SymbolSelection::Kind::None:
        return nullptr;
    case SymbolSelection::Kind::Id:
        return selection.id;
    case SymbolSelection::Kind::Index:
        return selection.index;
    case SymbolSelection::Kind::First:
        break;
    }
    return 0;
}

OrderedJson RandomJson(const RandomSetting& random)
{
    OrderedJson j = OrderedJson::object();
    switch (random.kind) {
    case RandomSetting::Kind::Seed:
        j["seed"] = random.seed;
        break;
    case RandomSetting::Kind::Sequence: {
        OrderedJson sequence = OrderedJson::array();
        for (float u : random.sequence) sequence.push_back(FloatJson(u));
        j["sequence"] = std::move(sequence);
        j["repeat"] = random.repeat;
        break;
    }
    case RandomSetting::Kind::Constant:
        j["constant"] = FloatJson(random.constant);
        break;
    }
    return j;
}

OrderedJson DialogJson(const std::vector<DialogAction>& actions)
{
    OrderedJson list = OrderedJson::array();
    for (const DialogAction& action : actions) {
        if (action.kind == DialogAction::Kind::Click) {
            list.push_back({{"click", action.id}});
        } else {
            list.push_back({{"set", {{std::to_string(action.id), action.value}}}});
        }
    }
    return list;
}

OrderedJson PointJson(const SessionPoint& p)
{
    if (p.modifiers == 0) return OrderedJson::array({FloatJson(p.h), FloatJson(p.v), p.pressure});
    OrderedJson point = {{"h", FloatJson(p.h)}, {"v", FloatJson(p.v)}, {"pressure", p.pressure}};
    constexpr std::int32_t kNamed = kShrinkModifier | kPauseModifier | kTargetOnlyModifier;
    if ((p.modifiers & ~kNamed) != 0) {
        point["modifiers"] = p.modifiers;
        return point;
    }
    OrderedJson names = OrderedJson::array();
    if ((p.modifiers & kShrinkModifier) != 0) names.push_back("shrink");
    if ((p.modifiers & kPauseModifier) != 0) names.push_back("pause");
    if ((p.modifiers & kTargetOnlyModifier) != 0) names.push_back("targetOnly");
    point["modifiers"] = std::move(names);
    return point;
}

OrderedJson StrokeJson(const SessionStroke& stroke)
{
    if (!stroke.dialog.empty()) return {{"dialog", DialogJson(stroke.dialog)}};
    if (stroke.selectedSymbol) return {{"selectedSymbol", SelectionJson(*stroke.selectedSymbol)}};
    OrderedJson points = OrderedJson::array();
    for (const SessionPoint& point : stroke.points) points.push_back(PointJson(point));
    return {{"points", std::move(points)}};
}

}  // namespace

std::string SessionJson(const Session& session)
{
    OrderedJson root = OrderedJson::object();
    if (session.document) root["document"] = std::filesystem::absolute(*session.document).lexically_normal().string();
    if (session.page) root["page"] = PairJson((*session.page)[0], (*session.page)[1]);
    if (session.viewCentre) root["view"] = {{"centre", PairJson(session.viewCentre->h, session.viewCentre->v)}};
    if (session.selectedSymbol.kind != SymbolSelection::Kind::First)
        root["selectedSymbol"] = SelectionJson(session.selectedSymbol);
    root["pressureDevice"] = session.pressureDevice;
    root["random"] = RandomJson(session.random);
    if (session.preset) root["preset"] = *session.preset;
    if (session.tumble) root["tumble"] = true;
    if (!session.settings.empty()) {
        OrderedJson settings = OrderedJson::object();
        for (const auto& [field, value] : session.settings) {
            const OptionInfo* option = FindOption(field.c_str());
            if (option != nullptr && option->kind == OptionKind::Real) {
                settings[field] = FloatJson(static_cast<float>(value));
            } else {
                settings[field] = static_cast<std::int64_t>(value);
            }
        }
        root["settings"] = std::move(settings);
    }
    if (!session.dialog.empty()) root["dialog"] = DialogJson(session.dialog);
    OrderedJson strokes = OrderedJson::array();
    for (const SessionStroke& stroke : session.strokes) strokes.push_back(StrokeJson(stroke));
    root["strokes"] = std::move(strokes);
    return root.dump(2) + "\n";
}

}  // namespace kadrelle
