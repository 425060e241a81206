#include "app/serve_session.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <functional>
#include <future>
#include <iostream>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/artwork_json.h"
#include "app/paint.h"
#include "host/resources.h"
#include "shell/adm_suites.h"

namespace kadrelle {
namespace {

using Json = nlohmann::json;

constexpr int kOk = 200;
constexpr int kBadRequest = 400;
constexpr int kNotFound = 404;
constexpr int kMethodNotAllowed = 405;
constexpr int kConflict = 409;
constexpr int kTooLarge = 413;
constexpr int kServerError = 500;
constexpr int kUnavailable = 503;

// Pointer events in one request, and art in one reply of changes (beyond
// it the page loads the whole painting instead).
constexpr std::size_t kMaxEvents = 10000;
constexpr std::size_t kMaxChangedArt = 50000;
constexpr std::size_t kMaxClientName = 64;

// A request the session turns down, with the reply's status.
struct Refusal : std::runtime_error {
    Refusal(int code, const std::string& message) : std::runtime_error(message), status(code) {}
    int status;
};

[[noreturn]] void Refuse(int status, const std::string& message) { throw Refusal(status, message); }

// A float as the number its shortest text reads as.
Json FloatJson(float value) { return std::strtod(FloatText(value).c_str(), nullptr); }

std::string JsonText(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

ApiReply JsonReply(const Json& j, int status = kOk) { return ApiReply{status, JsonText(j), "application/json", ""}; }

ApiReply ErrorReply(int status, const std::string& message) { return JsonReply(Json{{"error", message}}, status); }

Json ParseBody(const std::string& body)
{
    Json j;
    try {
        j = Json::parse(body);
    } catch (const Json::exception& error) {
        Refuse(kBadRequest, std::string("malformed JSON: ") + error.what());
    }
    if (!j.is_object()) Refuse(kBadRequest, "expected a JSON object");
    return j;
}

// The keys of an object: these and no others; the required ones present.
void CheckKeys(const Json& j, const std::string& where, std::initializer_list<const char*> required,
               std::initializer_list<const char*> optional = {})
{
    if (!j.is_object()) Refuse(kBadRequest, where + ": expected an object");
    for (const auto& item : j.items()) {
        const std::string& key = item.key();
        const auto named = [&key](const char* name) { return key == name; };
        if (std::none_of(required.begin(), required.end(), named) && std::none_of(optional.begin(), optional.end(), named))
            Refuse(kBadRequest, where + ": unknown key \"" + key + "\"");
    }
    for (const char* key : required) {
        if (!j.contains(key)) Refuse(kBadRequest, where + ": \"" + key + "\" is missing");
    }
}

std::uint64_t Count(const Json& j, const std::string& where)
{
    if (!j.is_number_unsigned()) Refuse(kBadRequest, where + ": expected a whole number from 0");
    return j.get<std::uint64_t>();
}

std::uint64_t CountText(const std::map<std::string, std::string>& query, const std::string& key)
{
    const auto found = query.find(key);
    if (found == query.end()) Refuse(kBadRequest, "the parameter \"" + key + "\" is missing");
    const std::string& text = found->second;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        Refuse(kBadRequest, "the parameter \"" + key + "\" must be a whole number from 0, not \"" + text + "\"");
    return value;
}

// A 32-bit float as the SVG writer writes it: its shortest text, no "-0".
std::string SvgNumber(float value) { return FloatText(value == 0.0f ? 0.0f : value); }

// An instance's placement as the SVG writer writes it: the host matrix
// between the flipped symbol and page coordinates.
std::string UseTransform(const HostMatrix& m, float pageHeight)
{
    const float ty = static_cast<float>(static_cast<double>(pageHeight) - static_cast<double>(m.ty));
    return "matrix(" + SvgNumber(m.a) + " " + SvgNumber(-m.b) + " " + SvgNumber(-m.c) + " " + SvgNumber(m.d) + " " +
           SvgNumber(m.tx) + " " + SvgNumber(ty) + ")";
}

bool Finite(const HostMatrix& m)
{
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

// The cursor the tool set, as the page shows it (its picture is served by
// the web server), or null when it set none.
Json CursorJson(std::int32_t id)
{
    for (const host::CursorResource& cursor : host::PluginResourceData().cursors) {
        if (cursor.id == id)
            return {{"id", id}, {"url", "/cursor/" + std::to_string(id) + ".svg"}, {"hot", {cursor.hotX, cursor.hotY}}};
    }
    return nullptr;
}

const char* KindName(host::ItemKind kind)
{
    switch (kind) {
    case host::ItemKind::TextPushButton: return "button";
    case host::ItemKind::PicturePushButton: return "picture";
    case host::ItemKind::StaticText: return "static";
    case host::ItemKind::CheckBox: return "check";
    case host::ItemKind::SpinEdit: return "spin";
    case host::ItemKind::PopupList: return "popup";
    case host::ItemKind::Frame: return "frame";
    case host::ItemKind::Other: break;
    }
    return "other";
}

// The dialog as the page draws it: every control as the dialog manager holds
// it, in the order of creation.
Json DialogJson(const host::Dialog& dialog)
{
    Json items = Json::array();
    for (const auto& control : dialog.items) {
        const host::Item& item = *control;
        const ScreenRect& r = item.rect;
        Json j = {{"id", item.id},
                  {"kind", KindName(item.kind)},
                  {"rect", {r.left, r.top, r.right, r.bottom}},
                  {"text", item.text},
                  {"visible", item.visible},
                  {"enabled", item.enabled},
                  {"bold", item.font == kBoldDialogFont},
                  {"focused", item.focused}};
        if (item.kind == host::ItemKind::SpinEdit) {
            j["value"] = item.value;
            j["valueText"] = item.ValueText();
            if (item.hasMinimum) j["minimum"] = item.minimum;
            if (item.hasMaximum) j["maximum"] = item.maximum;
        } else if (item.kind == host::ItemKind::CheckBox) {
            j["checked"] = item.BooleanValue() != 0;
        } else if (item.kind == host::ItemKind::PopupList) {
            Json entries = Json::array();
            std::int64_t selected = -1;
            for (std::size_t i = 0; i < item.list.entries.size(); ++i) {
                entries.push_back(item.list.entries[i]->text);
                if (item.list.entries[i]->selected) selected = static_cast<std::int64_t>(i);
            }
            j["entries"] = std::move(entries);
            j["selected"] = selected;
        }
        items.push_back(std::move(j));
    }
    const ScreenRect& b = dialog.bounds;
    return {{"caption", dialog.caption},
            {"width", host::ScreenSum(b.right, -std::int64_t{b.left})},
            {"height", host::ScreenSum(b.bottom, -std::int64_t{b.top})},
            {"items", std::move(items)}};
}

// What a page has of the painting: the epoch of the picture it loaded, the
// highest art it has and how many layers.
struct Mark {
    std::uint64_t epoch = 0;
    std::uint64_t art = 0;
    std::uint64_t layers = 0;
};

Mark ParseMark(const Json& j, const std::string& where)
{
    CheckKeys(j, where, {"epoch", "art", "layers"});
    return Mark{Count(j["epoch"], where + ".epoch"), Count(j["art"], where + ".art"), Count(j["layers"], where + ".layers")};
}

// One reply, given once from the host's thread; the request's thread waits
// for it.
class Reply {
public:
    std::future<ApiReply> Future() { return state_->promise.get_future(); }
    void Give(ApiReply reply) const
    {
        if (state_->given) return;
        state_->given = true;
        state_->promise.set_value(std::move(reply));
    }
    bool Given() const { return state_->given; }

private:
    struct State {
        std::promise<ApiReply> promise;
        bool given = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

struct PointerEvent {
    enum class Kind : std::uint8_t { Down, Drag, Up };
    Kind kind = Kind::Drag;
    SessionPoint point;
    bool pen = false;
};

}  // namespace

struct ServeSession::Impl {
    // ---- The host's thread: jobs run one at a time, in order --------------------------
    // A job is run with false, or with true when the session stops before
    // it could run (it then only answers).
    using Job = std::function<void(bool cancelled)>;

    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> jobs;
    bool stopping = false;
    std::thread thread;

    bool Post(Job job)
    {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (stopping) return false;
            jobs.push_back(std::move(job));
        }
        wake.notify_one();
        return true;
    }

    // Run the jobs as they come until done() holds or the session stops. A
    // job that waits for the person (the open options dialog) runs the jobs
    // posted after it here, as a host's modal loop does.
    void RunJobsUntil(const std::function<bool()>& done)
    {
        while (!done()) {
            Job job;
            {
                std::unique_lock<std::mutex> lock(mutex);
                wake.wait(lock, [this] { return stopping || !jobs.empty(); });
                if (stopping) return;
                job = std::move(jobs.front());
                jobs.pop_front();
            }
            job(false);
        }
    }

    // Run f on the host's thread and wait for it; its exception comes back.
    void Call(const std::function<void()>& f)
    {
        auto promise = std::make_shared<std::promise<void>>();
        std::future<void> done = promise->get_future();
        const bool posted = Post([&f, promise](bool cancelled) {
            try {
                if (cancelled) throw std::runtime_error("the session has stopped");
                f();
                promise->set_value();
            } catch (...) {
                promise->set_exception(std::current_exception());
            }
        });
        if (!posted) throw std::runtime_error("the session has stopped");
        done.get();
    }

    // ---- On the host's thread only ------------------------------------------------------
    Session recording;
    std::unique_ptr<PaintRun> run;
    std::map<host::SymbolId, std::size_t> paletteIndex;
    // The open options dialog and what the person did in it.
    host::DialogSession* dialog = nullptr;
    std::vector<DialogAction> dialogActions;
    bool dialogEndedByPerson = false;
    // The stroke under way: the page that draws it and its entry in the
    // recording.
    struct OpenStroke {
        std::string client;
        std::size_t entry = 0;
        bool pen = false;
    };
    std::optional<OpenStroke> stroke;
    // What the pages are told of: a new epoch means "load the whole
    // painting"; within one, art only comes on top of the layers.
    std::uint64_t epoch = 0;
    host::ArtId knownArt = 0;
    std::size_t knownCount = 0;

    host::Document& Document() const { return *run->svg.document; }

    // Replay the recording into a fresh host.
    void Rebuild()
    {
        stroke.reset();
        run.reset();
        paletteIndex.clear();
        auto fresh = std::make_unique<PaintRun>(recording);
        fresh->ApplySettings(recording);
        fresh->Replay(recording);
        // The person has the tool in hand.
        fresh->host.SendTool("AI Select");
        run = std::move(fresh);
        for (std::size_t i = 0; i < Document().SymbolCount(); ++i) paletteIndex[*Document().NthSymbol(i)] = i;
        ++epoch;
        knownArt = 0;
        knownCount = 0;
        Observe();
    }

    // Take in what the last messages did to the document. New instances on
    // top of the layers reach the pages as changes; anything else (art
    // deleted, art of another kind) starts a new epoch.
    void Observe()
    {
        const host::Document& document = Document();
        std::size_t fresh = 0;
        host::ArtId highest = knownArt;
        bool drawable = true;
        for (const host::Layer& layer : document.Layers()) {
            for (auto id = layer.art.rbegin(); id != layer.art.rend() && *id > knownArt; ++id) {
                ++fresh;
                highest = std::max(highest, *id);
                const host::ArtKind kind = document.GetArt(*id).kind;
                drawable = drawable && (kind == host::ArtKind::Instance || kind == host::ArtKind::Expanded);
            }
        }
        if (!drawable || document.ArtCount() != knownCount + fresh) ++epoch;
        knownArt = highest;
        knownCount = document.ArtCount();
    }

    Json MarkJson() const
    {
        return {{"epoch", epoch}, {"art", knownArt}, {"layers", Document().Layers().size()}};
    }

    // What changed since the page's mark: new layers (above the others) and
    // the new art of each layer in paint order, as [layer, palette index,
    // transform, expanded]; or "full" when the page must load it all.
    Json Changes(const Mark& since) const
    {
        Json changes = {{"mark", MarkJson()}};
        const host::Document& document = Document();
        const std::vector<host::Layer>& layers = document.Layers();
        if (since.epoch != epoch || since.art > knownArt || since.layers > layers.size()) {
            changes["full"] = true;
            return changes;
        }
        Json newLayers = Json::array();
        for (std::size_t i = since.layers; i < layers.size(); ++i) newLayers.push_back(layers[i].name);
        Json art = Json::array();
        const float height = document.Setup().height;
        for (std::size_t l = 0; l < layers.size(); ++l) {
            const std::vector<host::ArtId>& ids = layers[l].art;
            auto first = ids.end();
            while (first != ids.begin() && *(first - 1) > since.art) --first;
            if (art.size() + static_cast<std::size_t>(ids.end() - first) > kMaxChangedArt) {
                changes["full"] = true;
                return changes;
            }
            for (auto id = first; id != ids.end(); ++id) {
                const host::Art& a = document.GetArt(*id);
                // The SVG leaves out what has no place on the page.
                if (!Finite(a.matrix)) continue;
                art.push_back(Json::array({l, paletteIndex.at(a.symbol), UseTransform(a.matrix, height),
                                           a.kind == host::ArtKind::Expanded ? 1 : 0}));
            }
        }
        changes["layers"] = std::move(newLayers);
        changes["art"] = std::move(art);
        return changes;
    }

    std::size_t StrokeCount() const
    {
        return static_cast<std::size_t>(std::count_if(recording.strokes.begin(), recording.strokes.end(),
                                                      [](const SessionStroke& s) { return !s.points.empty(); }));
    }

    Json SelectedJson() const
    {
        const std::optional<host::SymbolId>& selected = Document().selectedSymbol;
        if (!selected) return nullptr;
        return paletteIndex.at(*selected);
    }

    Json Status() const
    {
        return {{"strokes", StrokeCount()},
                {"strokeOpen", stroke.has_value()},
                {"dialogOpen", dialog != nullptr},
                {"selectedSymbol", SelectedJson()}};
    }

    void RefuseWhileBusy(const std::string& what) const
    {
        if (dialog != nullptr) Refuse(kConflict, what + ": the options dialog is open (OK or Cancel closes it)");
        if (stroke) Refuse(kConflict, what + ": a stroke is under way");
    }

    // ---- The requests ---------------------------------------------------------------------
    ApiReply State(const ApiRequest&, const Reply&)
    {
        Json symbols = Json::array();
        for (std::size_t i = 0; i < Document().SymbolCount(); ++i)
            symbols.push_back(Document().GetSymbol(*Document().NthSymbol(i)).name);
        const DocumentSetup page = Document().Setup();
        return JsonReply({{"mark", MarkJson()},
                          {"page", {FloatJson(page.width), FloatJson(page.height)}},
                          {"svg", host::WriteSvg(run->svg)},
                          {"symbols", std::move(symbols)},
                          {"dialog", dialog != nullptr ? DialogJson(dialog->dialog()) : Json(nullptr)},
                          {"cursor", CursorJson(run->host.CurrentCursor())},
                          {"status", Status()}});
    }

    ApiReply ChangesSince(const ApiRequest& request, const Reply&)
    {
        const Mark since{CountText(request.query, "epoch"), CountText(request.query, "art"),
                         CountText(request.query, "layers")};
        return JsonReply({{"changes", Changes(since)}, {"status", Status()}});
    }

    ApiReply Pointer(const ApiRequest& request, const Reply&)
    {
        const Json body = ParseBody(request.body);
        CheckKeys(body, "the request", {"client", "since", "events"});
        if (!body["client"].is_string() || body["client"].get<std::string>().empty() ||
            body["client"].get<std::string>().size() > kMaxClientName)
            Refuse(kBadRequest, "client: expected the page's name, 1 to " + std::to_string(kMaxClientName) + " characters");
        const std::string client = body["client"].get<std::string>();
        const Mark since = ParseMark(body["since"], "since");
        const Json& list = body["events"];
        if (!list.is_array() || list.empty() || list.size() > kMaxEvents)
            Refuse(kBadRequest, "events: expected a list of 1 to " + std::to_string(kMaxEvents) + " events");

        // Read and check them all before any is sent.
        std::vector<PointerEvent> events;
        bool open = stroke && stroke->client == client;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string where = "events[" + std::to_string(i) + "]";
            const Json& j = list[i];
            PointerEvent event;
            if (j.is_object() && j.contains("down")) {
                CheckKeys(j, where, {"down"}, {"pen"});
                if (j.contains("pen") && !j["pen"].is_boolean()) Refuse(kBadRequest, where + ".pen: expected true or false");
                event.kind = PointerEvent::Kind::Down;
                event.point = ParsePoint(j["down"], where + ".down");
                event.pen = j.value("pen", false);
                if (open) Refuse(kBadRequest, where + ": a stroke is already under way; {\"up\": null} ends it");
                open = true;
            } else if (j.is_object() && j.contains("drag")) {
                CheckKeys(j, where, {"drag"});
                event.kind = PointerEvent::Kind::Drag;
                event.point = ParsePoint(j["drag"], where + ".drag");
            } else {
                CheckKeys(j, where + " (one of {\"down\": point}, {\"drag\": point}, {\"up\": null})", {"up"});
                event.kind = PointerEvent::Kind::Up;
            }
            if (event.kind != PointerEvent::Kind::Down && !open)
                Refuse(kConflict, where + ": no stroke of this page is under way (another page may have ended it)");
            if (event.kind == PointerEvent::Kind::Up) open = false;
            events.push_back(event);
        }
        if (dialog != nullptr) Refuse(kConflict, "the options dialog is open (OK or Cancel closes it)");

        for (const PointerEvent& event : events) {
            switch (event.kind) {
            case PointerEvent::Kind::Down:
                // Another page's stroke ends where it was.
                if (stroke) EndStroke();
                StartStroke(client, event);
                break;
            case PointerEvent::Kind::Drag: {
                SessionPoint point = PointOf(event, stroke->pen);
                recording.strokes[stroke->entry].points.push_back(point);
                run->Send("AI Mouse Drag", point);
                break;
            }
            case PointerEvent::Kind::Up:
                EndStroke();
                break;
            }
        }
        Observe();
        return JsonReply({{"changes", Changes(since)}, {"status", Status()}});
    }

    // A pointer without a pressure device has no pressure: it is recorded
    // as full pressure, which a session with a pressure device reads as the
    // same factor, 1.
    static SessionPoint PointOf(const PointerEvent& event, bool pen)
    {
        SessionPoint point = event.point;
        if (!pen) point.pressure = 255;
        return point;
    }

    void StartStroke(const std::string& client, const PointerEvent& event)
    {
        if (event.pen && !recording.pressureDevice) {
            // From now on the replay has a pressure device: the strokes
            // before it had none, so their points get full pressure.
            for (SessionStroke& entry : recording.strokes) {
                for (SessionPoint& point : entry.points) point.pressure = 255;
            }
            recording.pressureDevice = true;
        }
        run->host.pressureDevice = event.pen;
        const SessionPoint point = PointOf(event, event.pen);
        SessionStroke entry;
        entry.points.push_back(point);
        recording.strokes.push_back(std::move(entry));
        stroke = OpenStroke{client, recording.strokes.size() - 1, event.pen};
        run->Send("AI Mouse Down", point);
    }

    // The mouse up of the stroke under way, at its last point, as a replay
    // sends it.
    void EndStroke()
    {
        const SessionPoint last = recording.strokes[stroke->entry].points.back();
        stroke.reset();
        run->Send("AI Mouse Up", last);
    }

    ApiReply ChooseSymbol(const ApiRequest& request, const Reply&)
    {
        const Json body = ParseBody(request.body);
        CheckKeys(body, "the request", {"symbol"});
        SymbolSelection selection;
        selection.kind = SymbolSelection::Kind::None;
        if (!body["symbol"].is_null()) {
            const std::uint64_t index = Count(body["symbol"], "symbol");
            if (index >= Document().SymbolCount())
                Refuse(kBadRequest, "symbol: the palette has " + std::to_string(Document().SymbolCount()) +
                                        " symbols, none at " + std::to_string(index));
            selection.kind = SymbolSelection::Kind::Index;
            selection.index = static_cast<std::int64_t>(index);
        }
        RefuseWhileBusy("the palette");
        SelectSymbol(Document(), selection, "the palette");
        // Before the first stroke the session's own selection says it;
        // after, an entry, and the last of several in a row.
        if (recording.strokes.empty()) {
            recording.selectedSymbol = selection;
        } else if (recording.strokes.back().selectedSymbol) {
            recording.strokes.back().selectedSymbol = selection;
        } else {
            SessionStroke entry;
            entry.selectedSymbol = selection;
            recording.strokes.push_back(std::move(entry));
        }
        return JsonReply({{"status", Status()}});
    }

    ApiReply TrackCursor(const ApiRequest&, const Reply&)
    {
        RefuseWhileBusy("the cursor");
        run->host.SendTool("AI Track Cursor");
        return JsonReply({{"cursor", CursorJson(run->host.CurrentCursor())}});
    }

    // "AI Edit Options": the dialog opens inside the plug-in's call and
    // stays open while the next requests act on it; this job ends when the
    // dialog does.
    ApiReply OpenOptions(const ApiRequest&, const Reply& reply)
    {
        RefuseWhileBusy("the options");
        auto current = std::make_shared<bool>(true);
        dialogActions.clear();
        dialogEndedByPerson = false;
        run->host.Dialogs().Script([this, reply, current](host::DialogSession& user) {
            if (!*current) {
                user.Close();
                return;
            }
            dialog = &user;
            reply.Give(JsonReply({{"dialog", DialogJson(user.dialog())}, {"status", Status()}}));
            RunJobsUntil([&user] { return user.dialog().ended; });
            dialog = nullptr;
            if (!user.dialog().ended) user.Close();
        });
        run->host.SendTool("AI Edit Options");
        *current = false;
        if (!reply.Given()) Refuse(kServerError, "the options dialog did not open");
        if (dialogEndedByPerson) {
            // Before the first stroke the session's own dialog holds it.
            if (recording.strokes.empty() && recording.dialog.empty()) {
                recording.dialog = dialogActions;
            } else {
                SessionStroke entry;
                entry.dialog = dialogActions;
                recording.strokes.push_back(std::move(entry));
            }
        }
        // Answered when the dialog opened.
        return {};
    }

    ApiReply OptionsNow(const ApiRequest&, const Reply&)
    {
        return JsonReply({{"dialog", dialog != nullptr ? DialogJson(dialog->dialog()) : Json(nullptr)}});
    }

    ApiReply OptionsAction(const ApiRequest& request, const Reply&)
    {
        const Json body = ParseBody(request.body);
        const DialogAction action = ParseDialogAction(body, "the action");
        if (action.kind == DialogAction::Kind::Set && !(std::fabs(action.value) <= FLT_MAX))
            Refuse(kBadRequest, "the action: the value is out of range");
        if (dialog == nullptr) Refuse(kConflict, "the options dialog is not open");
        std::string failure;
        if (!DoDialogAction(*dialog, action, failure)) Refuse(kBadRequest, "the action: " + failure);
        dialogActions.push_back(action);
        const host::Dialog& open = dialog->dialog();
        if (!open.ended) return JsonReply({{"dialog", DialogJson(open)}, {"status", Status()}});
        dialogEndedByPerson = true;
        Json status = Status();
        status["dialogOpen"] = false;
        return JsonReply({{"dialog", nullptr}, {"result", open.result}, {"status", std::move(status)}});
    }

    ApiReply Undo(const ApiRequest&, const Reply& reply)
    {
        RefuseWhileBusy("undo");
        const auto last = std::find_if(recording.strokes.rbegin(), recording.strokes.rend(),
                                       [](const SessionStroke& s) { return !s.points.empty(); });
        if (last == recording.strokes.rend()) Refuse(kConflict, "undo: there is no stroke to undo");
        recording.strokes.erase(std::next(last).base());
        Replay();
        return State(ApiRequest{}, reply);
    }

    ApiReply Clear(const ApiRequest&, const Reply& reply)
    {
        RefuseWhileBusy("clear");
        const std::size_t before = recording.strokes.size();
        std::erase_if(recording.strokes, [](const SessionStroke& s) { return !s.points.empty(); });
        if (recording.strokes.size() != before) Replay();
        return State(ApiRequest{}, reply);
    }

    // The recording changed under the painting: paint it again.
    void Replay()
    {
        try {
            Rebuild();
        } catch (const std::exception& error) {
            // The recording came from this painting; it replays unless
            // something is badly wrong.
            throw std::runtime_error(std::string("the painting could not be replayed: ") + error.what());
        }
    }

    ApiReply Save(const ApiRequest& request, const Reply&)
    {
        const auto format = request.query.find("format");
        const std::string kind = format == request.query.end() ? "" : format->second;
        if (kind != "svg" && kind != "json" && kind != "session")
            Refuse(kBadRequest, "format: expected svg, json or session");
        RefuseWhileBusy("save");
        if (kind == "svg") return ApiReply{kOk, host::WriteSvg(run->svg), "image/svg+xml", "kadrelle.svg"};
        if (kind == "json")
            return ApiReply{kOk, ArtworkJson(Document(), run->Settings(), run->host.undoCalls), "application/json",
                            "kadrelle.json"};
        return ApiReply{kOk, SessionJson(recording), "application/json", "kadrelle-session.json"};
    }

    struct Route {
        const char* method;
        const char* path;
        ApiReply (Impl::*handler)(const ApiRequest&, const Reply&);
    };

    static constexpr Route kRoutes[] = {
        {"GET", "/api/state", &Impl::State},
        {"GET", "/api/changes", &Impl::ChangesSince},
        {"POST", "/api/pointer", &Impl::Pointer},
        {"POST", "/api/symbol", &Impl::ChooseSymbol},
        {"POST", "/api/cursor", &Impl::TrackCursor},
        {"POST", "/api/options/open", &Impl::OpenOptions},
        {"GET", "/api/options", &Impl::OptionsNow},
        {"POST", "/api/options/action", &Impl::OptionsAction},
        {"POST", "/api/undo", &Impl::Undo},
        {"POST", "/api/clear", &Impl::Clear},
        {"GET", "/api/save", &Impl::Save},
    };
};

ServeSession::ServeSession(Session session) : impl_(std::make_unique<Impl>())
{
    impl_->recording = std::move(session);
    impl_->thread = std::thread([impl = impl_.get()] {
        impl->RunJobsUntil([] { return false; });
        // Stopping: the dialog has closed; the plug-in shuts down here, on
        // the thread it ran on.
        impl->run.reset();
    });
    try {
        impl_->Call([impl = impl_.get()] { impl->Rebuild(); });
    } catch (...) {
        Stop();
        throw;
    }
}

ServeSession::~ServeSession() { Stop(); }

void ServeSession::Stop()
{
    std::deque<Impl::Job> left;
    {
        const std::lock_guard<std::mutex> lock(impl_->mutex);
        impl_->stopping = true;
    }
    impl_->wake.notify_all();
    if (impl_->thread.joinable()) impl_->thread.join();
    {
        const std::lock_guard<std::mutex> lock(impl_->mutex);
        left.swap(impl_->jobs);
    }
    for (Impl::Job& job : left) job(true);
}

ApiReply ServeSession::Handle(const ApiRequest& request)
{
    const Impl::Route* route = nullptr;
    bool pathKnown = false;
    for (const Impl::Route& candidate : Impl::kRoutes) {
        if (request.path != candidate.path) continue;
        pathKnown = true;
        if (request.method == candidate.method) route = &candidate;
    }
    if (route == nullptr) {
        if (pathKnown) return ErrorReply(kMethodNotAllowed, request.method + " " + request.path + ": not allowed here");
        return ErrorReply(kNotFound, "no such request: " + request.method + " " + request.path);
    }
    if (request.body.size() > kMaxRequestBody)
        return ErrorReply(kTooLarge, "the request is larger than " + std::to_string(kMaxRequestBody) + " bytes");

    Reply reply;
    std::future<ApiReply> answer = reply.Future();
    Impl* impl = impl_.get();
    const bool posted = impl->Post([impl, route, request, reply](bool cancelled) {
        if (cancelled) {
            reply.Give(ErrorReply(kUnavailable, "the server is stopping"));
            return;
        }
        try {
            reply.Give((impl->*(route->handler))(request, reply));
        } catch (const Refusal& refusal) {
            reply.Give(ErrorReply(refusal.status, refusal.what()));
        } catch (const InputError& error) {
            reply.Give(ErrorReply(kBadRequest, error.what()));
        } catch (const std::exception& error) {
            if (reply.Given()) std::cerr << "kadrelle serve: " << error.what() << "\n";
            reply.Give(ErrorReply(kServerError, error.what()));
        }
    });
    if (!posted) return ErrorReply(kUnavailable, "the server is stopping");
    return answer.get();
}

}  // namespace kadrelle
