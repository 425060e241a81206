// kadrelle serve without a browser: the session's requests and replies, the
// recording it saves, and the HTTP server in front of it.
#include <gtest/gtest.h>

#include <httplib.h>

#include <algorithm>
#include <regex>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/artwork_json.h"
#include "app/paint.h"
#include "app/serve.h"
#include "app/serve_session.h"
#include "app/session.h"

namespace {

using Json = nlohmann::json;
using kadrelle::ApiReply;
using kadrelle::ApiRequest;
using kadrelle::ServeSession;

kadrelle::Session SmallDocument()
{
    kadrelle::Session session;
    session.source = "the test";
    session.document = std::filesystem::path(EXAMPLES_DIR) / "small.svg";
    session.random.seed = 5;
    return session;
}

Json Point(float h, float v, int pressure = 255, std::vector<std::string> modifiers = {})
{
    Json point = {{"h", h}, {"v", v}, {"pressure", pressure}};
    if (!modifiers.empty()) point["modifiers"] = modifiers;
    return point;
}

Json Down(const Json& point, bool pen = false) { return {{"down", point}, {"pen", pen}}; }
Json Drag(const Json& point) { return {{"drag", point}}; }
Json Up() { return {{"up", nullptr}}; }

// A stroke along v = v0: the press at h0, n drags dh apart, the release.
std::vector<Json> Stroke(float h0, float v0, int n, int pressure = 255, bool pen = false)
{
    std::vector<Json> events = {Down(Point(h0, v0, pressure), pen)};
    for (int i = 1; i <= n; ++i) events.push_back(Drag(Point(h0 + 10.0f * static_cast<float>(i), v0, pressure)));
    events.push_back(Up());
    return events;
}

class ServeTest : public ::testing::Test {
public:
    struct Answer {
        int status = 0;
        Json body;
        std::string text;
    };

    Answer Call(const std::string& method, const std::string& path, const std::string& body = "",
                std::map<std::string, std::string> query = {})
    {
        const ApiReply reply = live.Handle(ApiRequest{method, path, std::move(query), body});
        Answer answer{reply.status, Json(), reply.body};
        if (reply.contentType == "application/json") answer.body = Json::parse(reply.body);
        return answer;
    }

    Answer Post(const std::string& path, const Json& body) { return Call("POST", path, body.dump()); }

    Json Mark() { return Call("GET", "/api/state").body["mark"]; }

    Answer Paint(const std::vector<Json>& events, const std::string& client = "page")
    {
        return Post("/api/pointer", {{"client", client}, {"since", Mark()}, {"events", events}});
    }

    std::string Saved(const std::string& format) { return Call("GET", "/api/save", "", {{"format", format}}).text; }

    Json Open()
    {
        const Answer opened = Call("POST", "/api/options/open");
        EXPECT_EQ(opened.status, 200) << opened.text;
        return opened.body["dialog"];
    }

    Answer Act(const Json& action) { return Post("/api/options/action", action); }

    ServeSession live{SmallDocument()};
};

const Json* Control(const Json& dialog, int id)
{
    for (const Json& item : dialog["items"]) {
        if (item["id"] == id) return &item;
    }
    ADD_FAILURE() << "no control " << id;
    static const Json none = Json::object();
    return &none;
}

std::vector<std::string> UseTransforms(const std::string& svg)
{
    std::vector<std::string> transforms;
    const std::regex use(R"re(<use href="[^"]+" xlink:href="[^"]+" transform="([^"]+)")re");
    for (std::sregex_iterator it(svg.begin(), svg.end(), use), end; it != end; ++it) transforms.push_back((*it)[1]);
    return transforms;
}

// The session's picture and artwork, replayed as kadrelle paint does.
std::pair<std::string, std::string> Replayed(const std::string& sessionJson)
{
    const kadrelle::Session session = kadrelle::ParseSession(sessionJson, "the saved session", ".");
    const kadrelle::PaintResult result = kadrelle::Paint(session);
    return {host::WriteSvg(result.svg), kadrelle::ArtworkJson(*result.svg.document, result.settings, result.undoCalls)};
}

TEST_F(ServeTest, MalformedRequestsGetAMessageAndChangeNothing)
{
    ASSERT_EQ(Paint(Stroke(100, 100, 3)).status, 200);
    const std::string svg = Saved("svg");
    const std::string session = Saved("session");
    const Json mark = Mark();
    const std::string since = mark.dump();
    const std::string big(kadrelle::kMaxRequestBody + 1, ' ');

    struct Case {
        const char* method;
        const char* path;
        std::string body;
        std::map<std::string, std::string> query;
        int status;
        const char* message;
    } cases[] = {
        {"POST", "/api/pointer", "{\"client\": ", {}, 400, "malformed JSON"},
        {"POST", "/api/pointer", "[1, 2]", {}, 400, "expected a JSON object"},
        {"POST", "/api/pointer", "{\"client\": \"p\", \"since\": " + since + "}", {}, 400, "\"events\" is missing"},
        {"POST", "/api/pointer", "{\"client\": \"p\", \"since\": " + since + ", \"events\": [], \"x\": 1}", {}, 400,
         "unknown key \"x\""},
        {"POST", "/api/pointer", "{\"client\": \"p\", \"since\": " + since + ", \"events\": []}", {}, 400,
         "a list of 1 to 10000 events"},
        {"POST", "/api/pointer", "{\"client\": \"\", \"since\": " + since + ", \"events\": [{\"up\": null}]}", {}, 400,
         "client: expected the page's name"},
        {"POST", "/api/pointer", "{\"client\": \"p\", \"since\": {\"epoch\": -1, \"art\": 0, \"layers\": 0}, "
                                 "\"events\": [{\"up\": null}]}", {}, 400, "since.epoch"},
        {"POST", "/api/pointer",
         "{\"client\": \"p\", \"since\": " + since +
             ", \"events\": [{\"down\": [1, 2]}, {\"drag\": [3, 4, 256]}, {\"up\": null}]}",
         {}, 400, "events[1].drag[2]: expected a whole number from 0 to 255"},
        {"POST", "/api/pointer",
         "{\"client\": \"p\", \"since\": " + since + ", \"events\": [{\"down\": {\"h\": 1, \"v\": 2, \"modifiers\": "
                                                     "[\"alt\"]}}]}",
         {}, 400, "unknown modifier \"alt\""},
        {"POST", "/api/pointer", "{\"client\": \"p\", \"since\": " + since + ", \"events\": [{\"hover\": [1, 2]}]}", {},
         400, "one of {\"down\": point}"},
        {"POST", "/api/pointer", "{\"client\": \"p\", \"since\": " + since + ", \"events\": [{\"drag\": [1, 2]}]}", {},
         409, "no stroke of this page is under way"},
        {"POST", "/api/pointer",
         "{\"client\": \"p\", \"since\": " + since + ", \"events\": [{\"down\": [1, 2]}, {\"down\": [1, 2]}]}", {}, 400,
         "a stroke is already under way"},
        {"POST", "/api/pointer",
         "{\"client\": \"p\", \"since\": " + since + ", \"events\": [{\"down\": [1, 2], \"pen\": 1}]}", {}, 400,
         "events[0].pen: expected true or false"},
        {"POST", "/api/pointer", big, {}, 413, "larger than 1048576 bytes"},
        {"POST", "/api/symbol", "{\"symbol\": 2}", {}, 400, "the palette has 2 symbols, none at 2"},
        {"POST", "/api/symbol", "{\"symbol\": \"dot\"}", {}, 400, "symbol: expected a whole number"},
        {"POST", "/api/options/action", "{\"click\": 1}", {}, 409, "the options dialog is not open"},
        {"POST", "/api/undo", "", {}, 200, nullptr},  // the stroke itself; undone below
        {"GET", "/api/save", "", {{"format", "png"}}, 400, "format: expected svg, json or session"},
        {"GET", "/api/changes", "", {{"epoch", "1"}, {"art", "x"}, {"layers", "1"}}, 400,
         "\"art\" must be a whole number"},
        {"GET", "/api/changes", "", {{"epoch", "1"}, {"art", "1"}}, 400, "\"layers\" is missing"},
        {"GET", "/api/pointer", "", {}, 405, "not allowed"},
        {"POST", "/api/nothing", "{}", {}, 404, "no such request: POST /api/nothing"},
    };
    for (const Case& c : cases) {
        if (c.message == nullptr) continue;
        SCOPED_TRACE(std::string(c.method) + " " + c.path + " " + c.body.substr(0, 120));
        const Answer answer = Call(c.method, c.path, c.body, c.query);
        EXPECT_EQ(answer.status, c.status) << answer.text;
        ASSERT_TRUE(answer.body.contains("error")) << answer.text;
        EXPECT_NE(answer.body["error"].get<std::string>().find(c.message), std::string::npos) << answer.text;
    }
    EXPECT_EQ(Saved("svg"), svg);
    EXPECT_EQ(Saved("session"), session);
    EXPECT_EQ(Mark(), mark);
}

TEST_F(ServeTest, PointerEventsPaintAndComeBackAsTheSvgDrawsThem)
{
    const Json mark = Mark();
    const Answer painted = Paint(Stroke(100, 150, 4));
    ASSERT_EQ(painted.status, 200) << painted.text;
    const Json& changes = painted.body["changes"];
    EXPECT_FALSE(changes.contains("full"));
    EXPECT_EQ(changes["layers"], Json::array());
    ASSERT_EQ(changes["art"].size(), 4u) << "one dab for each drag";
    const std::vector<std::string> transforms = UseTransforms(Saved("svg"));
    ASSERT_EQ(transforms.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const Json& art = changes["art"][i];
        EXPECT_EQ(art[0], 0) << "the first layer";
        EXPECT_EQ(art[1], 0) << "the palette's first symbol, selected";
        EXPECT_EQ(art[2], transforms[i]);
        EXPECT_EQ(art[3], 0) << "an instance";
    }
    EXPECT_EQ(transforms[0], "matrix(1 0 0 1 110 150)");
    EXPECT_EQ(painted.body["status"], Json({{"strokes", 1}, {"strokeOpen", false}, {"dialogOpen", false},
                                            {"selectedSymbol", 0}}));
    const Json now = changes["mark"];
    EXPECT_EQ(now["epoch"], mark["epoch"]);
    EXPECT_GT(now["art"], mark["art"]);

    struct Case {
        const char* name;
        Json since;
        std::size_t art;
        bool full;
    } cases[] = {
        {"up to date", now, 0, false},
        {"from before the stroke", mark, 4, false},
        {"from another epoch", {{"epoch", 99}, {"art", 0}, {"layers", 1}}, 0, true},
        {"more art than there is", {{"epoch", now["epoch"]}, {"art", 999}, {"layers", 1}}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Answer answer = Call("GET", "/api/changes", "",
                                   {{"epoch", c.since["epoch"].dump()}, {"art", c.since["art"].dump()},
                                    {"layers", c.since["layers"].dump()}});
        ASSERT_EQ(answer.status, 200) << answer.text;
        EXPECT_EQ(answer.body["changes"].value("full", false), c.full);
        if (!c.full) {
            EXPECT_EQ(answer.body["changes"]["art"].size(), c.art);
        }
    }
}

TEST_F(ServeTest, ANewLayerComesBackAsAChange)
{
    Open();
    ASSERT_EQ(Act({{"click", 101}}).status, 200);
    ASSERT_EQ(Act({{"set", {{"19", 2}}}}).status, 200);  // dabs per layer
    ASSERT_EQ(Act({{"click", 1}}).status, 200);
    const Answer painted = Paint(Stroke(50, 50, 5));
    ASSERT_EQ(painted.status, 200) << painted.text;
    const Json& changes = painted.body["changes"];
    EXPECT_EQ(changes["layers"], Json::array({"Layer 2", "Layer 3"}));
    std::vector<std::size_t> layers;
    for (const Json& art : changes["art"]) layers.push_back(art[0].get<std::size_t>());
    EXPECT_EQ(layers, std::vector<std::size_t>({0, 0, 0, 1, 1}));
    EXPECT_EQ(changes["mark"]["layers"], 3);
    // As the document has them.
    const Json artwork = Json::parse(Saved("json"));
    ASSERT_EQ(artwork["layers"].size(), 3u);
    for (std::size_t l = 0; l < 3; ++l) {
        const Json& art = artwork["layers"][l]["art"];
        const auto instances = std::count_if(art.begin(), art.end(), [](const Json& a) { return a["type"] == "instance"; });
        EXPECT_EQ(static_cast<std::size_t>(instances), static_cast<std::size_t>(std::count(layers.begin(), layers.end(), l)));
    }
}

TEST_F(ServeTest, TheOptionsDialogIsDrivenByRequests)
{
    Json dialog = Open();
    EXPECT_EQ(dialog["caption"], "Kadrelle Options");
    EXPECT_EQ(dialog["width"], 410);
    EXPECT_EQ(dialog["height"], 340);
    EXPECT_EQ((*Control(dialog, 105))["bold"], true);
    EXPECT_EQ((*Control(dialog, 17))["visible"], true);
    EXPECT_EQ((*Control(dialog, 17))["rect"], Json::array({170, 60, 230, 80}));
    EXPECT_EQ((*Control(dialog, 3))["focused"], true);
    EXPECT_EQ((*Control(dialog, 85))["entries"].size(), 23u);

    // While it is open the tool, the palette, undo and saving wait.
    struct Busy {
        const char* method;
        const char* path;
        std::string body;
    } busy[] = {
        {"POST", "/api/options/open", ""},
        {"POST", "/api/pointer", Json({{"client", "p"}, {"since", Mark()}, {"events", Stroke(1, 1, 1)}}).dump()},
        {"POST", "/api/symbol", "{\"symbol\": 1}"},
        {"POST", "/api/undo", ""},
        {"GET", "/api/save", ""},
    };
    for (const Busy& b : busy) {
        SCOPED_TRACE(b.path);
        const Answer answer = Call(b.method, b.path, b.body, {{"format", "svg"}});
        EXPECT_EQ(answer.status, 409) << answer.text;
    }

    Answer answer = Act({{"click", 103}});
    ASSERT_EQ(answer.status, 200) << answer.text;
    dialog = answer.body["dialog"];
    EXPECT_EQ((*Control(dialog, 108))["bold"], true);
    EXPECT_EQ((*Control(dialog, 105))["bold"], false);
    EXPECT_EQ((*Control(dialog, 17))["visible"], false);
    EXPECT_EQ((*Control(dialog, 22))["visible"], true);
    EXPECT_EQ((*Control(dialog, 22))["enabled"], false) << "no bristles: no brush";

    answer = Act({{"set", {{"22", 120}}}});
    EXPECT_EQ(answer.status, 400);
    EXPECT_NE(answer.body["error"].get<std::string>().find("control 22 cannot be set now"), std::string::npos);
    answer = Act({{"set", {{"17", 50}}}});
    EXPECT_EQ(answer.status, 400) << "page 1 is hidden";

    answer = Act({{"set", {{"81", 4}}}});  // " Slanted Bristle Brush"
    ASSERT_EQ(answer.status, 200) << answer.text;
    dialog = answer.body["dialog"];
    EXPECT_EQ((*Control(dialog, 81))["selected"], 4);
    EXPECT_EQ((*Control(dialog, 22))["enabled"], true);
    EXPECT_EQ((*Control(dialog, 22))["valueText"], "160.00");
    answer = Act({{"set", {{"22", 120.456}}}});
    ASSERT_EQ(answer.status, 200) << answer.text;
    EXPECT_EQ((*Control(answer.body["dialog"], 22))["valueText"], "120.46");
    EXPECT_EQ((*Control(answer.body["dialog"], 22))["focused"], true);

    answer = Act({{"click", 1}});
    ASSERT_EQ(answer.status, 200) << answer.text;
    EXPECT_EQ(answer.body["dialog"], nullptr);
    EXPECT_EQ(answer.body["result"], 1);
    EXPECT_EQ(Call("GET", "/api/options").body["dialog"], nullptr);

    const Json settings = Json::parse(Saved("json"))["settings"];
    EXPECT_EQ(settings["brushWidth"], 120.46);
    EXPECT_EQ(settings["bristlesPerDab"], 20);
    EXPECT_EQ(settings["presetIndex"], 4);
    const Json session = Json::parse(Saved("session"));
    EXPECT_EQ(session["dialog"], Json::parse(R"([{"click": 103}, {"set": {"81": 4.0}}, {"set": {"22": 120.456}},
                                                 {"click": 1}])"))
        << "before the first stroke the session's own dialog holds it; the refused actions are not in it";
}

TEST_F(ServeTest, CancelKeepsWhatTheDialogWroteAtOnce)
{
    Open();
    for (const Json& action : {Json{{"set", {{"81", 5}}}}, Json{{"click", 101}}, Json{{"set", {{"19", 5}}}},
                               Json{{"click", 102}}, Json{{"set", {{"21", 7}}}}, Json{{"click", 2}}}) {
        const Answer answer = Act(action);
        ASSERT_EQ(answer.status, 200) << action.dump() << ": " << answer.text;
    }
    const Json settings = Json::parse(Saved("json"))["settings"];
    EXPECT_EQ(settings["twistAngle"], 2.0) << "the preset's values stay";
    EXPECT_EQ(settings["presetIndex"], 5);
    EXPECT_EQ(settings["bristlesPerDab"], 7) << "its rule stored it";
    EXPECT_EQ(settings["dabsPerLayer"], 0) << "only OK reads it";
    const Json dialog = Open();
    EXPECT_EQ((*Control(dialog, 107))["bold"], true) << "it opens on the page it was left on";
    EXPECT_EQ(Act({{"click", 2}}).status, 200);
}

TEST_F(ServeTest, ASavedSessionReplaysToTheSameBytes)
{
    // A mouse stroke; the palette's other symbol; a pen stroke with the
    // shrink key; the dialog between strokes; a stroke undone; none selected.
    ASSERT_EQ(Paint(Stroke(40, 40, 5)).status, 200);
    ASSERT_EQ(Post("/api/symbol", {{"symbol", 1}}).status, 200);
    std::vector<Json> pen = Stroke(40, 120, 6, 90, true);
    pen[3]["drag"]["modifiers"] = {"shrink"};
    pen[4]["drag"]["pressure"] = 200;
    ASSERT_EQ(Paint(pen).status, 200);
    Open();
    for (const Json& action : {Json{{"set", {{"81", 9}}}}, Json{{"click", 150}}, Json{{"click", 1}}})
        ASSERT_EQ(Act(action).status, 200) << action.dump();
    ASSERT_EQ(Paint(Stroke(40, 200, 6)).status, 200);
    ASSERT_EQ(Paint(Stroke(40, 260, 6)).status, 200);
    const Answer undone = Call("POST", "/api/undo");
    ASSERT_EQ(undone.status, 200) << undone.text;
    EXPECT_EQ(undone.body["status"]["strokes"], 3);
    ASSERT_EQ(Post("/api/symbol", {{"symbol", nullptr}}).status, 200);

    const std::string svg = Saved("svg");
    const std::string json = Saved("json");
    const std::string session = Saved("session");
    const Json recorded = Json::parse(session);
    EXPECT_EQ(recorded["pressureDevice"], true);
    EXPECT_EQ(recorded["strokes"][0]["points"][1], Json::array({50.0, 40.0, 255})) << "a mouse has no pressure";
    EXPECT_EQ(recorded["strokes"][1], Json({{"selectedSymbol", 1}}));
    EXPECT_EQ(recorded["strokes"][2]["points"][3],
              Json({{"h", 70.0}, {"v", 120.0}, {"pressure", 90}, {"modifiers", {"shrink"}}}));
    EXPECT_EQ(recorded["strokes"][2]["points"][4], Json::array({80.0, 120.0, 200}));
    EXPECT_TRUE(recorded["strokes"][3].contains("dialog"));
    EXPECT_EQ(recorded["strokes"].back(), Json({{"selectedSymbol", nullptr}}));
    EXPECT_EQ(Json::parse(json)["undoCalls"], 3);

    live.Stop();  // one host at a time
    const auto [replayedSvg, replayedJson] = Replayed(session);
    EXPECT_EQ(replayedSvg, svg);
    EXPECT_EQ(replayedJson, json);
}

TEST_F(ServeTest, UndoAndClearReplayWhatIsLeft)
{
    const std::string empty = Saved("svg");
    EXPECT_EQ(Call("POST", "/api/undo").status, 409) << "nothing to undo";
    ASSERT_EQ(Paint(Stroke(40, 40, 5)).status, 200);
    const std::string first = Saved("svg");
    const Json mark = Mark();
    ASSERT_EQ(Paint(Stroke(40, 80, 5)).status, 200);
    ASSERT_NE(Saved("svg"), first);

    const Answer undone = Call("POST", "/api/undo");
    ASSERT_EQ(undone.status, 200);
    EXPECT_EQ(undone.body["svg"], first) << "the whole painting comes back";
    EXPECT_EQ(Saved("svg"), first);
    EXPECT_NE(undone.body["mark"]["epoch"], mark["epoch"]) << "the pages load it again";
    ASSERT_EQ(Paint(Stroke(40, 80, 5)).status, 200);
    ASSERT_EQ(Call("POST", "/api/clear").status, 200);
    EXPECT_EQ(Saved("svg"), empty);
    EXPECT_EQ(Json::parse(Saved("session"))["strokes"], Json::array());
}

TEST_F(ServeTest, AnotherPagesPressEndsTheStrokeUnderWay)
{
    ASSERT_EQ(Paint({Down(Point(10, 10)), Drag(Point(20, 10))}, "first").status, 200);
    EXPECT_EQ(Call("GET", "/api/save", "", {{"format", "svg"}}).status, 409) << "a stroke is under way";
    ASSERT_EQ(Paint({Down(Point(10, 50)), Drag(Point(20, 50)), Up()}, "second").status, 200);
    const Answer late = Paint({Drag(Point(30, 10)), Up()}, "first");
    EXPECT_EQ(late.status, 409) << late.text;
    const Json strokes = Json::parse(Saved("session"))["strokes"];
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0]["points"].size(), 2u) << "the first stroke ended where it was";
    EXPECT_EQ(strokes[1]["points"].size(), 2u);
}

TEST_F(ServeTest, RequestsFromManyThreadsAreHandledOneAtATime)
{
    constexpr int kThreads = 4;
    constexpr int kStrokes = 6;
    std::vector<std::thread> pages;
    std::vector<int> failures(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        pages.emplace_back([this, t, &failures] {
            for (int s = 0; s < kStrokes; ++s) {
                const float v = 20.0f + 10.0f * static_cast<float>(t * kStrokes + s);
                const ApiReply reply = live.Handle(ApiRequest{
                    "POST", "/api/pointer", {},
                    Json({{"client", "page" + std::to_string(t)},
                          {"since", {{"epoch", 0}, {"art", 0}, {"layers", 0}}},
                          {"events", Stroke(static_cast<float>(t), v, 3 + t)}})
                        .dump()});
                if (reply.status != 200) ++failures[static_cast<std::size_t>(t)];
            }
        });
    }
    for (std::thread& page : pages) page.join();
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
    const Json strokes = Json::parse(Saved("session"))["strokes"];
    ASSERT_EQ(strokes.size(), static_cast<std::size_t>(kThreads * kStrokes));
    for (const Json& stroke : strokes) {
        // Each request's stroke whole, its points in order.
        const Json& points = stroke["points"];
        const int t = static_cast<int>(points[0][0].get<float>());
        EXPECT_EQ(points.size(), static_cast<std::size_t>(4 + t));
        for (std::size_t i = 1; i < points.size(); ++i) EXPECT_EQ(points[i][1], points[0][1]);
    }
    const std::string svg = Saved("svg");
    const std::string session = Saved("session");
    live.Stop();
    EXPECT_EQ(Replayed(session).first, svg);
}

TEST_F(ServeTest, StoppingClosesAnOpenDialogAndAnswersTheRest)
{
    Open();
    live.Stop();
    EXPECT_EQ(Call("GET", "/api/state").status, 503);
    live.Stop();
}

TEST_F(ServeTest, TheToolSetsItsCursorWhichTheServerDraws)
{
    EXPECT_EQ(Call("GET", "/api/state").body["cursor"], nullptr) << "no cursor before the tool tracks";
    const Answer tracked = Call("POST", "/api/cursor");
    ASSERT_EQ(tracked.status, 200);
    EXPECT_EQ(tracked.body["cursor"], Json({{"id", 16001}, {"url", "/cursor/16001.svg"}, {"hot", {14, 16}}}));

    const std::string svg = kadrelle::CursorSvg(16001);
    EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\"", 0), 0u);
    // The cross hair's centre, at the hot spot, is a black dot; its arms are
    // black lines edged in white; the corner is clear.
    struct Pixel {
        int x, y;
        const char* fill;
    } pixels[] = {{14, 16, "#000000"}, {14, 9, "#000000"}, {13, 9, "#ffffff"}, {15, 9, "#ffffff"}, {0, 0, nullptr}};
    for (const Pixel& p : pixels) {
        SCOPED_TRACE(std::to_string(p.x) + ", " + std::to_string(p.y));
        bool found = false;
        const std::regex rect(R"re(<rect x="(\d+)" y="(\d+)" width="(\d+)" height="1" fill="(#[0-9a-f]{6})"/>)re");
        for (std::sregex_iterator it(svg.begin(), svg.end(), rect), end; it != end; ++it) {
            const int x = std::stoi((*it)[1]);
            if (std::stoi((*it)[2]) != p.y || p.x < x || p.x >= x + std::stoi((*it)[3])) continue;
            found = true;
            EXPECT_EQ((*it)[4], p.fill == nullptr ? "" : p.fill);
        }
        EXPECT_EQ(found, p.fill != nullptr);
    }
    EXPECT_EQ(kadrelle::CursorSvg(16002), "") << "no such cursor";
}

TEST(SessionJsonTest, ReadsBackToTheSameSession)
{
    const std::string text = R"({
      "document": "/somewhere/drawing.svg", "page": [400.5, 300], "view": {"centre": [10.25, 20]},
      "selectedSymbol": "dot", "pressureDevice": true,
      "random": {"sequence": [0.25, 0.1], "repeat": true}, "preset": 3, "tumble": true,
      "settings": {"brushWidth": 12.7, "bristlesPerDab": 4, "paintAnywhere": false},
      "dialog": [{"click": 102}, {"set": {"21": 3}}, {"set": {"48": true}}, {"click": 1}],
      "strokes": [
        {"points": [[1, 2], [3.3, 4, 90], {"h": 5, "v": 6, "pressure": 7, "modifiers": ["pause", "targetOnly"]},
                    {"h": 8, "v": 9, "modifiers": 4096}]},
        {"selectedSymbol": null}, {"selectedSymbol": 1},
        {"dialog": [{"set": {"81": 2}}, {"click": 2}]},
        {"points": [[0.1, 0.2]]}
      ]})";
    const kadrelle::Session session = kadrelle::ParseSession(text, "s.json", "/");
    const std::string written = kadrelle::SessionJson(session);
    const kadrelle::Session again = kadrelle::ParseSession(written, "written", "/elsewhere");
    EXPECT_EQ(kadrelle::SessionJson(again), written);
    EXPECT_EQ(again.document, std::filesystem::path("/somewhere/drawing.svg"));
    EXPECT_EQ(again.page, (std::array<float, 2>{400.5f, 300.0f}));
    EXPECT_EQ(again.selectedSymbol.id, "dot");
    EXPECT_EQ(again.random.sequence, (std::vector<float>{0.25f, 0.1f}));
    EXPECT_EQ(again.settings, (std::vector<std::pair<std::string, double>>{
                                  {"bristlesPerDab", 4}, {"brushWidth", 12.699999809265137}, {"paintAnywhere", 0}}));
    ASSERT_EQ(again.strokes.size(), 5u);
    EXPECT_EQ(again.strokes[0].points[1].pressure, 90);
    EXPECT_EQ(again.strokes[0].points[2].modifiers, kPauseModifier | kTargetOnlyModifier);
    EXPECT_EQ(again.strokes[0].points[3].modifiers, 4096);
    EXPECT_EQ(again.strokes[0].points[3].pressure, 255);
    EXPECT_EQ(again.strokes[1].selectedSymbol->kind, kadrelle::SymbolSelection::Kind::None);
    EXPECT_EQ(again.strokes[2].selectedSymbol->index, 1);
    ASSERT_EQ(again.strokes[3].dialog.size(), 2u);
    EXPECT_EQ(again.strokes[3].dialog[0].value, 2.0);
    EXPECT_EQ(again.strokes[4].points[0].h, 0.1f);
}

TEST(SessionJsonTest, EntriesBetweenStrokesAreCheckedAsTheSessionsOwn)
{
    struct Case {
        const char* strokes;
        const char* message;
    } cases[] = {
        {"[{}]", "strokes[0]: a stroke is {\"points\": [...]}"},
        {"[{\"points\": [[1, 2]], \"selectedSymbol\": 0}]", "strokes[0]: a stroke is"},
        {"[{\"dialog\": [{\"click\": 103}]}]", "strokes[0].dialog: the actions must end with"},
        {"[{\"dialog\": []}]", "strokes[0].dialog: the actions must end with"},
        {"[{\"dialog\": [{\"tick\": 3}, {\"click\": 1}]}]", "strokes[0].dialog[0]: unknown key \"tick\""},
        {"[{\"selectedSymbol\": -1}]", "strokes[0].selectedSymbol: expected a whole number from 0"},
        {"[{\"points\": []}]", "strokes[0]: a stroke needs a non-empty list \"points\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strokes);
        try {
            kadrelle::ParseSession(std::string("{\"strokes\": ") + c.strokes + "}", "s.json", ".");
            ADD_FAILURE() << "accepted";
        } catch (const kadrelle::InputError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
    }
}

TEST(WebServerTest, ServesThePageAndTheSessionAndStopsOnRequest)
{
    ServeSession live(SmallDocument());
    kadrelle::WebServer server(live);
    const int port = server.Bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    std::thread listening([&server] { server.Listen(); });
    httplib::Client browser("127.0.0.1", port);

    struct Case {
        const char* path;
        int status;
        const char* type;
        const char* contains;
    } cases[] = {
        {"/", 200, "text/html; charset=utf-8", "<title>Kadrelle</title>"},
        {"/kadrelle.js", 200, "text/javascript; charset=utf-8", "/api/pointer"},
        {"/kadrelle.css", 200, "text/css; charset=utf-8", "#dialog-client"},
        {"/cursor/16001.svg", 200, "image/svg+xml", "<rect"},
        {"/cursor/7.svg", 404, "text/plain; charset=utf-8", "no such page"},
        {"/embed.cmake", 404, "text/plain; charset=utf-8", "no such page: /embed.cmake"},
        {"/api/state", 200, "application/json", "\"symbols\":[\"dot\",\"square\"]"},
        {"/api/save?format=session", 200, "application/json", "\"strokes\": []"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const httplib::Result result = browser.Get(c.path);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, c.status);
        EXPECT_EQ(result->get_header_value("Content-Type"), c.type);
        EXPECT_NE(result->body.find(c.contains), std::string::npos) << result->body.substr(0, 200);
    }
    const httplib::Result saved = browser.Get("/api/save?format=svg");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->get_header_value("Content-Disposition"), "attachment; filename=\"kadrelle.svg\"");

    const httplib::Result large =
        browser.Post("/api/pointer", std::string(kadrelle::kMaxRequestBody + 1, ' '), "application/json");
    ASSERT_TRUE(large);
    EXPECT_EQ(large->status, 413);
    EXPECT_EQ(Json::parse(large->body)["error"], "the request is larger than 1048576 bytes");
    const httplib::Result malformed = browser.Post("/api/symbol", "{", "application/json");
    ASSERT_TRUE(malformed);
    EXPECT_EQ(malformed->status, 400);
    EXPECT_NE(Json::parse(malformed->body)["error"].get<std::string>().find("malformed JSON"), std::string::npos);

    struct Origin {
        std::string origin;
        int status;
    } origins[] = {
        {"http://127.0.0.1:" + std::to_string(port), 200},
        {"http://evil.example", 403},
        {"null", 403},
    };
    for (const Origin& o : origins) {
        SCOPED_TRACE(o.origin);
        const httplib::Result answer = browser.Post("/api/symbol", {{"Origin", o.origin}}, "{\"symbol\": 1}",
                                                    "application/json");
        ASSERT_TRUE(answer);
        EXPECT_EQ(answer->status, o.status) << answer->body;
    }

    server.Stop();
    listening.join();
}

TEST(WebServerTest, AStopBeforeListeningIsKept)
{
    ServeSession live(SmallDocument());
    kadrelle::WebServer server(live);
    server.Bind("127.0.0.1", 0);
    server.Stop();
    server.Listen();  // returns at once
}

TEST(WebServerTest, APortInUseIsRefusedWithAMessage)
{
    ServeSession live(SmallDocument());
    kadrelle::WebServer first(live);
    const int port = first.Bind("127.0.0.1", 0);
    kadrelle::WebServer second(live);
    try {
        second.Bind("127.0.0.1", port);
        ADD_FAILURE() << "bound twice";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannot listen on 127.0.0.1:" + std::to_string(port) +
                      " (is the port in use, or the address not this machine's?)");
    }
}

}  // namespace
