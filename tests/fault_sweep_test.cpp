// The fault-injection sweep: one representative session through PluginMain
// (startup, the options dialog with a preset, Tumble and OK, two strokes with
// bristles and mirror copies over a document with paths, unload and reload,
// shutdown), run once without faults and then once for every host operation
// call it makes, failing exactly that call. Every run ends cleanly: no crash,
// no misuse of the host, the settings block freed, the suites released, and
// each message's result and what the user sees follow the plug-in's failure
// handling.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "settings/globals.h"
#include "shell/plugin.h"
#include "shell/suites.h"
#include "tests/plugin_fixture.h"
#include "tests/stroke_fixture.h"

namespace kadrelle_test {
namespace {

// The code every injected failure answers with: the error list's memory entry.
constexpr HostError kFault = -108;
constexpr std::int32_t kErrorDialog = 16051;
constexpr std::int32_t kPresetPopup = 81;
constexpr std::int32_t kPreset = 5;
constexpr std::int32_t kTumbleButton = 150;
constexpr std::int32_t kOkButton = 1;
constexpr const char* kOptionsDialog = "Tool Dialog 0";

enum class Kind : std::uint8_t { Startup, Options, TrackCursor, Down, Drag, Up, Unload, Reload, Shutdown };

// What one message did.
struct MessageRecord {
    Kind kind = Kind::Startup;
    HostError result = kNoErr;
    std::uint64_t firstCall = 0;  // the calls it made are firstCall + 1 to lastCall
    std::uint64_t lastCall = 0;
    bool hadSettings = false;     // a settings block existed when it arrived
    std::vector<host::DialogRun> errorDialogs;
    std::vector<std::string> alerts;
    std::vector<host::DialogRun> optionsDialogs;
};

// How a run of the session ended.
struct Outcome {
    std::vector<MessageRecord> messages;
    std::vector<std::string> trace;  // the calls by name, in a traced run
    std::uint64_t calls = 0;
    std::vector<std::string> liveBlocks;  // debug names of the blocks left
    std::map<std::string, int> held;      // suites still held, with their counts
    bool balanced = false;
    std::vector<std::string> violations;
    std::size_t instances = 0;
    std::size_t layers = 0;
    std::size_t tools = 0;
    std::optional<Globals> afterOptions;  // the settings after the options dialog
    std::vector<std::string> refusals;    // user actions the dialogs refused
};

// The document: a page of 600 by 500 points, two symbols and a few paths
// under the strokes, so that the hit test finds art.
void FillDocument(host::Document& doc)
{
    doc.SetViewCentre(0, HostPoint{300.0f, 200.0f});
    const host::SymbolId first = doc.AddSymbol("leaf", {Square(5.0f)});
    doc.AddSymbol("seed", {Square(3.0f)});
    doc.selectedSymbol = first;
    for (float h : {220.0f, 300.0f, 380.0f}) {
        host::Path path = Square(30.0f);
        for (host::PathPoint& point : path.points) {
            for (HostPoint* p : {&point.anchor, &point.in, &point.out}) {
                p->h += h;
                p->v += 200.0f;
            }
        }
        doc.AddPath(path);
    }
    host::Path line;
    for (HostPoint p : {HostPoint{100.0f, 120.0f}, HostPoint{500.0f, 130.0f}})
        line.points.push_back(host::PathPoint{p, p, p});
    doc.AddPath(line);
}

// The settings the strokes are painted with, written as the program writes a
// session's settings.
void WriteStrokeSettings(Globals& g)
{
    g.bristlesPerDab = 6;
    g.randomBristleCount = 0;
    g.mirrorMode = 4;
    g.paintAnywhere = 1;
    g.randomCreate = 0;
    g.dabsApplyRate = 0;
    g.dabsPerLayer = 2;
    g.applyBristlesAndDab = 1;
    g.expandSymbolDelete = 0;
    g.pressureDabSize = 1;
}

class SessionRun {
public:
    SessionRun(std::uint64_t failAt, HostError code, bool trace)
    {
        LoadPluginAfresh();
        FillDocument(doc);
        host.document = &doc;
        host.pressureDevice = true;
        host.random.Seed(7);
        host.TraceCalls(trace);
        if (failAt != 0) host.FailNthCall(failAt, code);
    }
    ~SessionRun() { LoadPluginAfresh(); }

    Outcome Run()
    {
        Send(Kind::Startup, [&] { return host.Send("SP Interface", "Startup"); });
        // The user chooses a preset, presses Tumble, then OK. A script that
        // meets another dialog (the options dialog did not open) closes it.
        host.Dialogs().Script([](host::DialogSession& user) {
            if (user.dialog().name != kOptionsDialog) {
                user.Close();
                return;
            }
            user.ChooseAt(kPresetPopup, kPreset);
            user.Press(kTumbleButton);
            user.Press(kOkButton);
        });
        Send(Kind::Options, [&] { return host.SendTool("AI Edit Options"); });
        if (gGlobals != nullptr) {
            outcome.afterOptions = *gGlobals;
            WriteStrokeSettings(*gGlobals);
        }
        Send(Kind::TrackCursor, [&] { return host.SendTool("AI Track Cursor"); });
        Stroke({{200.0f, 190.0f}, {230.0f, 200.0f}, {265.0f, 205.0f}, {300.0f, 210.0f}}, 0);
        Stroke({{380.0f, 200.0f}, {360.0f, 180.0f}, {340.0f, 170.0f}}, 200);
        Send(Kind::Unload, [&] { return host.Send("SP Access", "Unload"); });
        LoadPluginAfresh();  // the library's code and statics are gone
        Send(Kind::Reload, [&] { return host.Send("SP Access", "Reload"); });
        Send(Kind::Shutdown, [&] { return host.Send("SP Interface", "Shutdown"); });

        outcome.calls = host.Calls();
        outcome.trace = host.CallTrace();
        for (const auto& [block, record] : host.LiveBlocks()) outcome.liveBlocks.push_back(record.debugName);
        for (const auto& [name, count] : host.HeldSuites()) {
            if (count != 0) outcome.held[name] = count;
        }
        outcome.balanced = host.SuitesBalanced();
        outcome.violations = host.Violations();
        for (const host::Layer& layer : doc.Layers()) {
            for (host::ArtId id : layer.art) {
                if (doc.GetArt(id).kind == host::ArtKind::Instance) ++outcome.instances;
            }
        }
        outcome.layers = doc.Layers().size();
        outcome.tools = host.Tools().size();
        outcome.refusals = host.Dialogs().Violations();
        return outcome;
    }

private:
    template <class Message>
    void Send(Kind kind, Message message)
    {
        MessageRecord record;
        record.kind = kind;
        record.hadSettings = gGlobals != nullptr;
        record.firstCall = host.Calls();
        const std::size_t runs = host.Dialogs().Runs().size();
        const std::size_t alerts = host.Alerts().size();
        record.result = message();
        record.lastCall = host.Calls();
        for (std::size_t i = runs; i < host.Dialogs().Runs().size(); ++i) {
            const host::DialogRun& run = host.Dialogs().Runs()[i];
            if (run.resourceId == kErrorDialog) record.errorDialogs.push_back(run);
            if (run.name == kOptionsDialog) record.optionsDialogs.push_back(run);
        }
        record.alerts.assign(host.Alerts().begin() + static_cast<std::ptrdiff_t>(alerts), host.Alerts().end());
        outcome.messages.push_back(std::move(record));
    }

    void Stroke(const std::vector<HostPoint>& points, std::int16_t pressure)
    {
        Send(Kind::Down, [&] { return host.SendTool("AI Mouse Down", points.front(), pressure); });
        for (std::size_t i = 1; i < points.size(); ++i)
            Send(Kind::Drag, [&] { return host.SendTool("AI Mouse Drag", points[i], pressure); });
        Send(Kind::Up, [&] { return host.SendTool("AI Mouse Up"); });
    }

    host::Document doc{600.0f, 500.0f};
    host::StandInHost host{PluginMain};
    Outcome outcome;
};

Outcome RunSession(std::uint64_t failAt, HostError code = kFault, bool trace = false)
{
    return SessionRun(failAt, code, trace).Run();
}

bool IsAccess(Kind kind) { return kind == Kind::Unload || kind == Kind::Reload; }
bool NeedsSettings(Kind kind)
{
    return kind == Kind::Options || kind == Kind::Down || kind == Kind::Drag || kind == Kind::Up;
}

// A traced call: a suite acquisition, a release, or an operation of a suite.
struct Call {
    enum class Type : std::uint8_t { Acquire, Release, Operation } type = Type::Operation;
    std::string suite;
    std::string operation;  // of Type::Operation
};

Call Parse(const std::string& traced)
{
    const std::size_t slash = traced.find('/');
    const std::string head = traced.substr(0, slash);
    const std::string tail = traced.substr(slash + 1);
    if (head == "acquire") return Call{Call::Type::Acquire, tail, {}};
    if (head == "release") return Call{Call::Type::Release, tail, {}};
    return Call{Call::Type::Operation, head, tail};
}

// The suite table's row of a suite.
std::size_t RowOf(const std::string& suite)
{
    for (std::size_t row = 0; row < kSuiteCount; ++row) {
        if (suite == SuiteTable()[row].name) return row;
    }
    ADD_FAILURE() << "no row for " << suite;
    return kSuiteCount;
}

constexpr std::size_t Row(SuiteId id) { return static_cast<std::size_t>(id); }

std::string SuiteLoadingAlert(const std::string& suite)
{
    return "Suite Loading Error: " + std::to_string(kFault) + ", suite: " + suite +
           ", version: " + std::to_string(SuiteTable()[RowOf(suite)].version) + "!";
}

// A code as the Error Dialog shows it: a number from -65536 to 65535, four
// characters otherwise.
std::string CodeText(HostError code)
{
    const auto bits = static_cast<std::uint32_t>(code);
    if (bits >> 16 == 0 || bits >> 16 == 0xFFFF) return std::to_string(code);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((bits >> shift) & 0xFF);
    return text;
}

std::string MessageText(HostError code) { return code == kFault ? kRamMessage : kOthersMessage; }

// The clean run, traced: the map of every call the sweep fails.
const Outcome& Clean()
{
    static const Outcome clean = RunSession(0, kNoErr, true);
    return clean;
}

// The message of the clean run that made call n.
std::size_t MessageOf(const Outcome& clean, std::uint64_t n)
{
    for (std::size_t i = 0; i < clean.messages.size(); ++i) {
        if (n > clean.messages[i].firstCall && n <= clean.messages[i].lastCall) return i;
    }
    ADD_FAILURE() << "no message made call " << n;
    return 0;
}

// The number of the occurrence-th call named op in the clean run's
// kindOccurrence-th message of kind (both from 1); 0 when there is none.
std::uint64_t FindCall(Kind kind, int kindOccurrence, const std::string& op, int occurrence = 1)
{
    const Outcome& clean = Clean();
    for (const MessageRecord& message : clean.messages) {
        if (message.kind != kind || --kindOccurrence != 0) continue;
        for (std::uint64_t n = message.firstCall + 1; n <= message.lastCall; ++n) {
            if (clean.trace[n - 1] == op && --occurrence == 0) return n;
        }
    }
    ADD_FAILURE() << "the clean session makes no such call: " << op;
    return 0;
}

// What the shutdown itself does with the blocks suite, apart from the table:
// its own acquisition, the free and its own release.
std::uint64_t ShutdownOwnAcquisition() { return FindCall(Kind::Shutdown, 1, "acquire/SP Blocks Suite", 2); }
std::uint64_t ShutdownFree() { return FindCall(Kind::Shutdown, 1, "SP Blocks Suite/FreeBlock"); }
std::uint64_t ShutdownOwnRelease() { return FindCall(Kind::Shutdown, 1, "release/SP Blocks Suite", 1); }

// Startup's result when call fails during it.
HostError StartupResultWhenFailing(const Call& call)
{
    switch (call.type) {
    case Call::Type::Acquire: {
        // Suites the startup handler needs; the dialog manager's later
        // suites stop the table's pass (handled before this).
        const std::size_t row = RowOf(call.suite);
        for (SuiteId needed : {SuiteId::Blocks, SuiteId::Plugin, SuiteId::Tool, SuiteId::AdmBasic}) {
            if (row == Row(needed)) return kSuiteNotFoundErr;
        }
        return kNoErr;
    }
    case Call::Type::Release:
        return kNoErr;
    case Call::Type::Operation:
        break;
    }
    const std::string op = call.suite + "/" + call.operation;
    for (const char* step : {"SP Blocks Suite/AllocateBlock", "AI Plugin Suite/GetPluginOptions",
                             "AI Plugin Suite/SetPluginOptions", "AI Tool Suite/AddTool"}) {
        if (op == step) return kFault;
    }
    // Without its icon, or its type, the tool cannot be registered.
    if (call.suite == "ADM Icon Suite") return kBadIconErr;
    return kNoErr;
}

// The suites a run leaves held when call n, a release, fails: a release that
// fails stops the pass, and the rows from there on stay held until the next
// message's pass; when no message with suites comes before the plug-in is
// unloaded or shut down, they stay held for good. Shutdown's own release of
// the blocks suite leaves that one acquisition.
std::map<std::string, int> HeldAfterFailedRelease(std::uint64_t n, const Call& call)
{
    const Outcome& clean = Clean();
    if (call.type != Call::Type::Release) return {};
    if (n == ShutdownOwnRelease()) return {{"SP Blocks Suite", 1}};
    const std::size_t m = MessageOf(clean, n);
    // The next message's pass releases them.
    if (m + 1 < clean.messages.size() && !IsAccess(clean.messages[m + 1].kind)) return {};
    std::map<std::string, int> held;
    for (std::size_t row = RowOf(call.suite); row < kSuiteCount; ++row) held[SuiteTable()[row].name] = 1;
    return held;
}

// The failed assertions of the running test so far.
int FailureCount() { return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count(); }

// Check run, the session with call n failed, against what the plug-in's
// failure handling says. Returns false when something did not hold.
bool CheckRun(std::uint64_t n, const Outcome& run)
{
    const Outcome& clean = Clean();
    const std::string& op = clean.trace[n - 1];
    SCOPED_TRACE("call " + std::to_string(n) + " of " + std::to_string(clean.calls) + ": " + op);
    const int failuresBefore = FailureCount();

    const Call call = Parse(op);
    const std::size_t m = MessageOf(clean, n);
    const std::size_t row = call.type == Call::Type::Operation ? kSuiteCount : RowOf(call.suite);
    // A failed acquisition after the dialog manager's basic suite is held
    // stops the table's pass: the alert, and the handler does not run.
    const bool passStopped = call.type == Call::Type::Acquire && row > Row(SuiteId::AdmBasic) &&
                             n != ShutdownOwnAcquisition();
    // Without one of these suites there is no Error Dialog.
    bool reportBlocked = false;
    if (call.type == Call::Type::Acquire) {
        for (SuiteId id : {SuiteId::AdmBasic, SuiteId::Dialog, SuiteId::Item, SuiteId::User})
            reportBlocked = reportBlocked || row == Row(id);
    }

    EXPECT_TRUE(run.violations.empty()) << run.violations.front();
    if (run.messages.size() != clean.messages.size()) {
        ADD_FAILURE() << "the session did not run through";
        return false;
    }

    for (std::size_t i = 0; i < run.messages.size(); ++i) {
        const MessageRecord& r = run.messages[i];
        const MessageRecord& c = clean.messages[i];
        SCOPED_TRACE("message " + std::to_string(i));
        EXPECT_EQ(r.kind, c.kind);
        if (i < m) {
            // Before the failure the run is the clean run.
            EXPECT_EQ(r.result, c.result);
            EXPECT_EQ(r.lastCall, c.lastCall);
            EXPECT_EQ(r.errorDialogs.size(), c.errorDialogs.size());
            EXPECT_EQ(r.alerts, c.alerts);
            continue;
        }
        if (IsAccess(r.kind)) {
            EXPECT_EQ(r.result, kNoErr);
            EXPECT_EQ(r.lastCall, r.firstCall) << "unload and reload call nothing";
            EXPECT_TRUE(r.errorDialogs.empty());
            EXPECT_TRUE(r.alerts.empty());
            continue;
        }
        const bool here = i == m;

        if (here && passStopped) {
            EXPECT_EQ(r.alerts, std::vector<std::string>{SuiteLoadingAlert(call.suite)});
        } else {
            EXPECT_TRUE(r.alerts.empty()) << r.alerts.front();
        }

        HostError expected = kNoErr;
        if (here && passStopped) {
            expected = kFault;
        } else if (!r.hadSettings && NeedsSettings(r.kind)) {
            expected = kNoSettingsErr;
        } else {
            switch (r.kind) {
            case Kind::Startup:
                expected = here ? StartupResultWhenFailing(call) : kNoErr;
                break;
            case Kind::Options:
                // OK commits; a dialog that did not open, or closed otherwise, stops.
                expected = r.optionsDialogs.size() == 1 && r.optionsDialogs[0].result == kOkButton ? kNoErr : kStopErr;
                if (!here) {
                    EXPECT_EQ(r.optionsDialogs.size(), 1u);
                    EXPECT_EQ(expected, kNoErr);
                }
                break;
            case Kind::Up:
                // The undo point's result is the message's.
                expected = here && op == "AI Undo Suite/SetUndoPoint" ? kFault : kNoErr;
                break;
            case Kind::Shutdown:
                // Shutdown answers with its own acquisition of the blocks suite.
                expected = n == ShutdownOwnAcquisition() ? kFault : kNoErr;
                break;
            default:
                // The cursor, mouse down and the drag steps never fail.
                expected = kNoErr;
                break;
            }
        }
        EXPECT_EQ(r.result, expected);

        // A result other than 0, "S!Fd" and "STOP" is reported when the
        // dialog manager's suites are there.
        const bool reported = r.result != kNoErr && r.result != kSuiteNotFoundErr && r.result != kStopErr &&
                              !(here && reportBlocked);
        EXPECT_EQ(r.errorDialogs.size(), reported ? 1u : 0u);
        if (reported && r.errorDialogs.size() == 1) {
            const host::DialogRun& error = r.errorDialogs[0];
            EXPECT_EQ(error.name, "Error Dialog");
            const host::ItemState* message = error.Find(2);
            const host::ItemState* code = error.Find(3);
            EXPECT_EQ(message != nullptr ? message->text : "", MessageText(r.result));
            EXPECT_EQ(code != nullptr ? code->text : "", CodeText(r.result));
        }
    }

    // The tool is registered exactly when startup succeeded.
    EXPECT_EQ(run.tools, run.messages[0].result == kNoErr ? 1u : 0u);

    // The settings block is freed at shutdown unless the shutdown could not
    // reach it: its own blocks suite or the free failed.
    const bool blockStays = n == ShutdownOwnAcquisition() || n == ShutdownFree();
    EXPECT_EQ(run.liveBlocks, blockStays ? std::vector<std::string>{"globals"} : std::vector<std::string>{});

    const std::map<std::string, int> held = HeldAfterFailedRelease(n, call);
    EXPECT_EQ(run.held, held);
    EXPECT_EQ(run.balanced, held.empty());

    // A failed release, and a failed operation of the real-math suite (which
    // answers anyway), change nothing else.
    if (call.type == Call::Type::Release ||
        (call.type == Call::Type::Operation && call.suite == "AI Real Math Suite")) {
        for (std::size_t i = 0; i < run.messages.size(); ++i) {
            EXPECT_EQ(run.messages[i].result, clean.messages[i].result);
            EXPECT_EQ(run.messages[i].errorDialogs.size(), clean.messages[i].errorDialogs.size());
        }
        EXPECT_EQ(run.instances, clean.instances);
        EXPECT_EQ(run.layers, clean.layers);
    }
    return FailureCount() == failuresBefore;
}

TEST(FaultSweepTest, TheCleanSessionPaintsAndEndsClean)
{
    const Outcome& clean = Clean();
    EXPECT_EQ(clean.trace.size(), clean.calls);
    for (const MessageRecord& message : clean.messages) {
        EXPECT_EQ(message.result, kNoErr);
        EXPECT_TRUE(message.errorDialogs.empty());
        EXPECT_TRUE(message.alerts.empty());
        EXPECT_EQ(message.lastCall > message.firstCall, !IsAccess(message.kind));
    }
    ASSERT_EQ(clean.messages[1].optionsDialogs.size(), 1u);
    EXPECT_EQ(clean.messages[1].optionsDialogs[0].result, kOkButton);
    // Five steps, each a dab and six bristles, each with three mirror copies;
    // every second step of a stroke opens a layer.
    EXPECT_EQ(clean.instances, 5u * 7u * 4u);
    EXPECT_EQ(clean.layers, 2u);
    EXPECT_EQ(clean.tools, 1u);
    EXPECT_TRUE(clean.liveBlocks.empty());
    EXPECT_TRUE(clean.held.empty());
    EXPECT_TRUE(clean.balanced);
    EXPECT_TRUE(clean.violations.empty());
    EXPECT_TRUE(clean.refusals.empty());
    ASSERT_TRUE(clean.afterOptions.has_value());
    EXPECT_EQ(clean.afterOptions->presetIndex, kPreset);
    // The sweep stays affordable under the sanitizers.
    EXPECT_LT(clean.calls, 5000u);
}

// Every message's result, in order.
std::vector<HostError> Results(const Outcome& outcome)
{
    std::vector<HostError> results;
    for (const MessageRecord& message : outcome.messages) results.push_back(message.result);
    return results;
}

// The code and the message text of every Error Dialog the user saw, in order.
std::vector<std::pair<std::string, std::string>> Reports(const Outcome& outcome)
{
    std::vector<std::pair<std::string, std::string>> reports;
    for (const MessageRecord& message : outcome.messages) {
        for (const host::DialogRun& error : message.errorDialogs) {
            const host::ItemState* text = error.Find(2);
            const host::ItemState* code = error.Find(3);
            reports.emplace_back(code != nullptr ? code->text : "?", text != nullptr ? text->text : "?");
        }
    }
    return reports;
}

std::vector<std::string> Alerts(const Outcome& outcome)
{
    std::vector<std::string> alerts;
    for (const MessageRecord& message : outcome.messages)
        alerts.insert(alerts.end(), message.alerts.begin(), message.alerts.end());
    return alerts;
}

constexpr HostError kSegm = FourCharCode('S', 'E', 'G', 'M');
const std::string kLayerMessage = "Kadrelle cannot complete because a layer is locked or invisible.";

// Chosen calls failed, with everything the run shows checked exactly. The
// messages are: startup, options, cursor, down, three drags, up, down, two
// drags, up, unload, reload, shutdown.
TEST(FaultSweepTest, ChosenFailuresEndExactlyAsTheirHandlingSays)
{
    const Outcome& clean = Clean();
    ASSERT_EQ(clean.messages.size(), 15u);
    const HostError ok = kNoErr;
    const HostError glb = kNoSettingsErr;
    const std::pair<std::string, std::string> ram{"-108", kRamMessage};
    const std::pair<std::string, std::string> noSettings{"!glb", kOthersMessage};

    {
        SCOPED_TRACE("the settings block cannot be allocated");
        const Outcome run = RunSession(FindCall(Kind::Startup, 1, "SP Blocks Suite/AllocateBlock"));
        EXPECT_EQ(Results(run), (std::vector<HostError>{-108, glb, ok, glb, glb, glb, glb, glb, glb, glb, glb, glb,
                                                        ok, ok, ok}));
        EXPECT_EQ(Reports(run), (std::vector<std::pair<std::string, std::string>>{
                                    ram, noSettings, noSettings, noSettings, noSettings, noSettings, noSettings,
                                    noSettings, noSettings, noSettings, noSettings}));
        EXPECT_EQ(run.tools, 0u);
        EXPECT_EQ(run.instances, 0u);
        EXPECT_FALSE(run.afterOptions.has_value());
        EXPECT_TRUE(run.liveBlocks.empty());
        EXPECT_TRUE(run.balanced);
    }
    {
        SCOPED_TRACE("the tool cannot be added: the block is there, without its defaults");
        const Outcome run = RunSession(FindCall(Kind::Startup, 1, "AI Tool Suite/AddTool"), kSegm);
        EXPECT_EQ(run.messages[0].result, kSegm);
        ASSERT_FALSE(Reports(run).empty());
        EXPECT_EQ(Reports(run)[0], std::make_pair(std::string("SEGM"), kLayerMessage));
        EXPECT_EQ(run.tools, 0u);
        EXPECT_TRUE(run.liveBlocks.empty()) << "shutdown frees it";
    }
    {
        SCOPED_TRACE("the options dialog cannot be shown");
        const Outcome run = RunSession(FindCall(Kind::Options, 1, "ADM Dialog Suite/Modal"));
        EXPECT_EQ(run.messages[1].result, kStopErr);
        EXPECT_TRUE(run.messages[1].optionsDialogs.empty());
        EXPECT_TRUE(Reports(run).empty()) << "a dialog that did not end with OK stops silently";
        ASSERT_TRUE(run.afterOptions.has_value());
        EXPECT_EQ(run.afterOptions->presetIndex, 0) << "nothing was chosen";
        EXPECT_EQ(run.instances, clean.instances);
    }
    {
        SCOPED_TRACE("the first dab of the session cannot be created");
        const Outcome run = RunSession(FindCall(Kind::Drag, 1, "AI Symbol Suite/NewInstanceCenteredOnPoint"));
        EXPECT_EQ(Results(run), Results(clean));
        EXPECT_TRUE(Reports(run).empty()) << "drag steps never report";
        EXPECT_EQ(run.instances, clean.instances - 1) << "its mirror copies are still placed";
        EXPECT_TRUE(run.violations.empty());
    }
    {
        SCOPED_TRACE("a hit test fails");
        const Outcome run = RunSession(FindCall(Kind::Drag, 2, "AI Hit Test Suite/HitTest"));
        EXPECT_EQ(Results(run), Results(clean));
        EXPECT_TRUE(Reports(run).empty());
        EXPECT_EQ(run.instances, clean.instances) << "paintAnywhere: the step paints anyway";
        EXPECT_TRUE(run.violations.empty()) << "asking for the data of no hit is no misuse";
    }
    {
        SCOPED_TRACE("a drag cannot acquire the dialog manager's icon suite");
        const Outcome run = RunSession(FindCall(Kind::Drag, 1, "acquire/ADM Icon Suite"));
        EXPECT_EQ(run.messages[4].result, -108);
        EXPECT_EQ(Alerts(run), std::vector<std::string>{"Suite Loading Error: -108, suite: ADM Icon Suite, version: 1!"});
        EXPECT_EQ(Reports(run), (std::vector<std::pair<std::string, std::string>>{ram}));
        EXPECT_EQ(run.instances, clean.instances - 28) << "that step painted nothing";
        EXPECT_EQ(run.layers, 1u) << "nor counted toward the next layer";
        EXPECT_TRUE(run.balanced);
    }
    {
        SCOPED_TRACE("the undo point cannot be set");
        const Outcome run = RunSession(FindCall(Kind::Up, 2, "AI Undo Suite/SetUndoPoint"), kSegm);
        EXPECT_EQ(run.messages[11].result, kSegm);
        EXPECT_EQ(Reports(run), (std::vector<std::pair<std::string, std::string>>{{"SEGM", kLayerMessage}}));
        EXPECT_EQ(run.instances, clean.instances);
    }
    {
        SCOPED_TRACE("the last release before unloading fails");
        const Outcome run = RunSession(FindCall(Kind::Up, 2, "release/ADM List Suite"));
        EXPECT_EQ(Results(run), Results(clean));
        EXPECT_TRUE(Reports(run).empty()) << "a failed release is not reported";
        EXPECT_EQ(run.held, (std::map<std::string, int>{
                                {"ADM List Suite", 1}, {"ADM Entry Suite", 1}, {"ADM Notifier Suite", 1}}));
        EXPECT_FALSE(run.balanced);
    }
    {
        SCOPED_TRACE("a release fails in the middle of the session");
        const Outcome run = RunSession(FindCall(Kind::TrackCursor, 1, "release/AI Art Suite"));
        EXPECT_EQ(Results(run), Results(clean));
        EXPECT_TRUE(run.held.empty()) << "the next message's pass releases what is left";
        EXPECT_TRUE(run.balanced);
    }
    {
        SCOPED_TRACE("shutdown cannot acquire its blocks suite");
        const Outcome run = RunSession(ShutdownOwnAcquisition());
        EXPECT_EQ(run.messages[14].result, -108);
        EXPECT_EQ(Reports(run), (std::vector<std::pair<std::string, std::string>>{ram}));
        EXPECT_EQ(run.liveBlocks, std::vector<std::string>{"globals"});
        EXPECT_TRUE(run.balanced);
    }
    {
        SCOPED_TRACE("shutdown cannot free the block");
        const Outcome run = RunSession(ShutdownFree());
        EXPECT_EQ(run.messages[14].result, ok) << "shutdown answers only for its acquisition";
        EXPECT_TRUE(Reports(run).empty());
        EXPECT_EQ(run.liveBlocks, std::vector<std::string>{"globals"});
        EXPECT_TRUE(run.violations.empty());
    }
    {
        SCOPED_TRACE("shutdown's release of its blocks suite fails");
        const Outcome run = RunSession(ShutdownOwnRelease());
        EXPECT_EQ(run.messages[14].result, ok);
        EXPECT_TRUE(run.liveBlocks.empty());
        EXPECT_EQ(run.held, (std::map<std::string, int>{{"SP Blocks Suite", 1}}));
    }
    {
        SCOPED_TRACE("shutdown's pass stops at the dialog suite: the block is freed all the same");
        const Outcome run = RunSession(FindCall(Kind::Shutdown, 1, "acquire/ADM Dialog Suite"));
        EXPECT_EQ(run.messages[14].result, -108);
        EXPECT_EQ(Alerts(run), std::vector<std::string>{"Suite Loading Error: -108, suite: ADM Dialog Suite, version: 3!"});
        EXPECT_TRUE(Reports(run).empty()) << "without the dialog suite there is no Error Dialog";
        EXPECT_TRUE(run.liveBlocks.empty());
        EXPECT_TRUE(run.balanced);
    }
}

// The sweep, in shards that ctest runs side by side: shard k fails the calls
// k + 1, k + 1 + kShards, ...
constexpr int kShards = 4;

class FaultSweepShard : public ::testing::TestWithParam<int> {};

TEST_P(FaultSweepShard, EveryFailedCallIsHandledAsThePlugInSays)
{
    const Outcome& clean = Clean();
    int failedRuns = 0;
    std::uint64_t runs = 0;
    for (std::uint64_t n = 1 + static_cast<std::uint64_t>(GetParam()); n <= clean.calls && failedRuns < 5;
         n += kShards) {
        if (!CheckRun(n, RunSession(n))) ++failedRuns;
        ++runs;
    }
    EXPECT_EQ(failedRuns, 0);
    EXPECT_GE(runs, clean.calls / kShards);
}

INSTANTIATE_TEST_SUITE_P(Calls, FaultSweepShard, ::testing::Range(0, kShards));

}  // namespace
}  // namespace kadrelle_test
