// The kadrelle program end to end on the sessions of examples/, and the
// session reader's messages for bad input.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/session.h"

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

struct Result {
    int status = -1;
    std::string out;   // standard output
    std::string err;   // standard error
};

std::string Slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Run kadrelle with these arguments in a scratch folder.
class ProgramTest : public ::testing::Test {
public:
    ProgramTest()
    {
        scratch = fs::temp_directory_path() /
                  ("kadrelle-test-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(scratch);
        fs::create_directories(scratch);
    }
    ~ProgramTest() override { fs::remove_all(scratch); }

    Result Run(const std::string& arguments)
    {
        const fs::path err = scratch / "stderr.txt";
        const std::string command = "cd '" + scratch.string() + "' && '" KADRELLE_PATH "' " + arguments + " 2>'" +
                                    err.string() + "'";
        Result result;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return result;
        std::array<char, 4096> buffer{};
        std::size_t n = 0;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.out.append(buffer.data(), n);
        const int status = ::pclose(pipe);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = Slurp(err);
        return result;
    }

    Json Paint(const std::string& session)
    {
        const Result result = Run("paint --session '" EXAMPLES_DIR "/" + session + "' --format json -o -");
        EXPECT_EQ(result.status, 0) << result.err;
        try {
            return Json::parse(result.out);
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what() << "\n" << result.out.substr(0, 400);
            return Json::object();
        }
    }

    fs::path scratch;
};

std::vector<Json> ArtOf(const Json& artwork)
{
    std::vector<Json> art;
    for (const Json& layer : artwork["layers"]) {
        for (const Json& item : layer["art"]) art.push_back(item);
    }
    return art;
}

std::vector<Json> Instances(const Json& artwork)
{
    std::vector<Json> instances;
    for (const Json& item : ArtOf(artwork)) {
        if (item["type"] == "instance") instances.push_back(item);
    }
    return instances;
}

void ExpectCentre(const Json& item, float h, float v)
{
    EXPECT_NEAR(item["centre"][0].get<double>(), h, 1e-3) << item.dump();
    EXPECT_NEAR(item["centre"][1].get<double>(), v, 1e-3) << item.dump();
}

TEST_F(ProgramTest, AMirrorSessionPaintsEachDabWithItsReflection)
{
    const Json artwork = Paint("mirror-session.json");
    EXPECT_EQ(artwork["page"], Json::array({400.0, 300.0}));
    const auto art = ArtOf(artwork);
    ASSERT_EQ(art.size(), 5u);
    EXPECT_EQ(art[0]["type"], "path");
    const auto instances = Instances(artwork);
    ASSERT_EQ(instances.size(), 4u);
    ExpectCentre(instances[0], 120, 110);
    ExpectCentre(instances[1], 280, 110);  // about the view centre's vertical, h = 200
    ExpectCentre(instances[2], 140, 120);
    ExpectCentre(instances[3], 260, 120);
    EXPECT_EQ(instances[0]["symbol"], "dot");
    EXPECT_EQ(instances[0]["matrix"], Json::array({1.0, 0.0, 0.0, 1.0, 120.0, 110.0}));
    EXPECT_EQ(artwork["settings"]["mirrorMode"], 1);
    EXPECT_EQ(artwork["lastPoint"], Json::array({140.0, 120.0}));
    EXPECT_EQ(artwork["undoCalls"], 1);
}

TEST_F(ProgramTest, ADabTargetSessionPullsEachDabHalfwayToTheViewCentre)
{
    const Json artwork = Paint("target-session.json");
    const auto instances = Instances(artwork);
    ASSERT_EQ(instances.size(), 2u);
    ExpectCentre(instances[0], 150, 100);  // halfway from (100, 50) to (200, 150)
    ExpectCentre(instances[1], 100, 150);  // from (0, 150)
    EXPECT_EQ(instances[0]["symbol"], "square");
    EXPECT_EQ(artwork["settings"]["interpolationAmount"], 50.0);
}

TEST_F(ProgramTest, AGatedSessionPaintsOnlyOnThePathsAnchorPoints)
{
    const Json artwork = Paint("gated-session.json");
    const auto instances = Instances(artwork);
    ASSERT_EQ(instances.size(), 2u) << "the segment's middle, empty canvas and the paused event paint nothing";
    ExpectCentre(instances[0], 100, 101);
    ExpectCentre(instances[1], 300, 99);
    EXPECT_EQ(artwork["lastPoint"], Json::array({300.0, 100.0}));
}

TEST_F(ProgramTest, ADialogSessionSetsTheOptionsAsAPersonWould)
{
    const Json artwork = Paint("dialog-session.json");
    const Json& settings = artwork["settings"];
    EXPECT_EQ(settings["bristlesPerDab"], 5);
    EXPECT_EQ(settings["randomBristleCount"], 1);
    EXPECT_EQ(settings["dabsPerLayer"], 2);
    EXPECT_EQ(settings["paintAnywhere"], 1) << "ticked off, the target chosen, ticked on again";
    EXPECT_EQ(settings["paintOnTarget"], 3);
    EXPECT_EQ(settings["mirrorMode"], 4);
    EXPECT_EQ(settings["dabResizeHMin"], 50.0);
    EXPECT_EQ(settings["dabResizeHMax"], 500.0) << "the dialog held the typed 9999 to its maximum";
    // Five drags: steps 3 and 5 insert layers.
    EXPECT_EQ(artwork["layers"].size(), 3u);
    EXPECT_FALSE(Instances(artwork).empty());
}

TEST_F(ProgramTest, TheSameSessionAndSeedGiveTheSameBytes)
{
    for (const char* format : {"svg", "json"}) {
        SCOPED_TRACE(format);
        const std::string arguments = std::string("paint --session '" EXAMPLES_DIR "/dialog-session.json' --seed 11 --format ") +
                                      format + " -o -";
        const Result first = Run(arguments);
        const Result second = Run(arguments);
        EXPECT_EQ(first.status, 0) << first.err;
        EXPECT_FALSE(first.out.empty());
        EXPECT_EQ(first.out, second.out);
    }
}

TEST_F(ProgramTest, WithoutArgumentsItPaintsTheDemo)
{
    const Result result = Run("");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::string svg = Slurp(scratch / "kadrelle.svg");
    EXPECT_NE(svg.find("<use"), std::string::npos);
    EXPECT_NE(svg.find("<symbol id=\"blossom\""), std::string::npos);
    EXPECT_NE(result.err.find("wrote kadrelle.svg"), std::string::npos);
}

TEST_F(ProgramTest, BadInputGetsOneClearMessageAndNoOutput)
{
    const fs::path good = fs::path(EXAMPLES_DIR) / "small.svg";
    struct Case {
        const char* name;
        std::string session;     // written to the scratch folder; empty: none
        std::string arguments;   // after "paint"
        std::string message;     // a part of the message
    } cases[] = {
        {"missing session", "", "--session nothing.json", "nothing.json"},
        {"malformed JSON", "{\"strokes\": [", "", "malformed JSON at byte"},
        {"a number too large", "{\"page\": [1e999, 5]}", "", "number overflow parsing '1e999'"},
        {"unknown key", "{\"strokez\": []}", "", "unknown key \"strokez\""},
        {"unknown field", "{\"settings\": {\"brushWide\": 3}}", "", "unknown field \"brushWide\""},
        {"wrong type", "{\"settings\": {\"brushWidth\": \"wide\"}}", "", "settings.brushWidth: expected a number"},
        {"a flag that is not 0 or 1", "{\"settings\": {\"paintAnywhere\": 2}}", "", "settings.paintAnywhere"},
        {"unknown preset", "{\"preset\": \"Loud Brush\"}", "", "unknown preset \"Loud Brush\""},
        {"preset out of range", "{\"preset\": 27}", "", "no preset 27"},
        {"missing document", "{\"document\": \"gone.svg\"}", "", "gone.svg"},
        {"unreadable SVG", "{\"document\": \"broken.svg\"}", "", "broken.svg"},
        {"unknown symbol", "{\"document\": \"" + good.string() + "\", \"selectedSymbol\": \"moon\"}", "",
         "no symbol \"moon\""},
        {"symbol index", "{\"document\": \"" + good.string() + "\", \"selectedSymbol\": 5}", "", "no symbol at index 5"},
        {"pressure", "{\"strokes\": [{\"points\": [[1, 2, 300]]}]}", "", "strokes[0].points[0][2]"},
        {"modifier", "{\"strokes\": [{\"points\": [{\"h\": 1, \"v\": 2, \"modifiers\": [\"ctrl\"]}]}]}", "",
         "unknown modifier \"ctrl\""},
        {"random", "{\"random\": {\"constant\": 1.0}}", "", "random.constant"},
        {"dialog without OK or Cancel", "{\"dialog\": [{\"click\": 102}]}", "", "must end with"},
        {"hidden control", "{\"dialog\": [{\"set\": {\"21\": 5}}, {\"click\": 1}]}", "", "control 21 cannot be set"},
        {"unknown --set field", "{}", "--set brushWide=3", "unknown field \"brushWide\""},
        {"bad --set value", "{}", "--set brushWidth=wide", "\"wide\" is not a number"},
        {"bad --preset", "{}", "--preset nope", "unknown preset \"nope\""},
    };
    std::ofstream(scratch / "broken.svg") << "<svg width=\"10\" height=\"10\"><path d=\"M 0 0 L\"";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string arguments = "paint -o out.svg " + c.arguments;
        if (!c.session.empty()) {
            std::ofstream(scratch / "session.json") << c.session;
            arguments += " --session session.json";
        }
        const Result result = Run(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_FALSE(fs::exists(scratch / "out.svg"));
    }
}

// The JSON goes to the file as it is made; a symbol name it cannot write,
// met after megabytes of art, still leaves no output behind.
TEST_F(ProgramTest, JsonThatFailsPartWayLeavesNoOutput)
{
    std::ofstream(scratch / "names.svg") << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"400\" height=\"300\">"
                                            "<symbol id=\"good\"><path d=\"M0 0L5 5\"/></symbol>"
                                            "<symbol id=\"b\xff\"><path d=\"M0 0L5 5\"/></symbol></svg>";
    std::string points;
    for (int i = 0; i < 400; ++i) points += (i > 0 ? ", [" : "[") + std::to_string(50 + i % 300) + ", 150]";
    const std::string start = "{\"document\": \"names.svg\", \"settings\": {\"bristlesPerDab\": 20}, "
                              "\"strokes\": [{\"points\": [" + points + "]}";
    std::ofstream(scratch / "good.json") << start << "]}";
    std::ofstream(scratch / "session.json") << start << ", {\"selectedSymbol\": 1}, {\"points\": [[10, 10], [30, 30], [50, 50]]}]}";
    EXPECT_EQ(Run("paint --session good.json --format json -o good-out.json").status, 0);
    ASSERT_GT(fs::file_size(scratch / "good-out.json"), 1u << 20);
    const Result result = Run("paint --session session.json --format json -o out.json");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("out.json: a symbol or layer name is not UTF-8"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("invalid UTF-8 byte at index 1: 0xFF"), std::string::npos) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch))
        EXPECT_FALSE(entry.path().filename().string().starts_with("out.json")) << entry.path();
}

TEST_F(ProgramTest, ListsPresetsAndSettingsAndDrawsTheDialog)
{
    const Result presets = Run("presets");
    ASSERT_EQ(presets.status, 0);
    EXPECT_NE(presets.out.find("0\tDefault Settings\n"), std::string::npos);
    EXPECT_NE(presets.out.find("26\tHorizontal 4 reflection\n"), std::string::npos);

    const Result settings = Run("settings");
    ASSERT_EQ(settings.status, 0);
    EXPECT_NE(settings.out.find("brushWidth\treal\t40\t1\t1000\n"), std::string::npos);

    const Result dialog = Run("dialog --page 3 --set bristlesPerDab=7 -o page3.svg");
    ASSERT_EQ(dialog.status, 0) << dialog.err;
    const std::string picture = Slurp(scratch / "page3.svg");
    EXPECT_NE(picture.find("Bristles per dab"), std::string::npos);
    EXPECT_EQ(Run("dialog --page 6 -o x.svg").status, 2);

    const Result help = Run("paint --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--session"), std::string::npos);
    EXPECT_NE(Run("--version").out.find("kadrelle 1.0"), std::string::npos);
}

}  // namespace
