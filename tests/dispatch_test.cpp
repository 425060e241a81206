// Whole host messages through PluginMain: routing, the suites held around
// each message, the settings block's life, and every failure path of startup
// and of acquiring and releasing the suites.
#include <cstring>

#include "tests/plugin_fixture.h"

namespace kadrelle_test {
namespace {

constexpr std::uint64_t kSuites = 24;

TEST_F(PluginTest, StartupAllocatesTheSettingsBlockRegistersTheToolAndHoldsNoSuiteAfterwards)
{
    host.pluginOptions = 1;
    ASSERT_EQ(Startup(), kNoErr);

    ASSERT_NE(gGlobals, nullptr);
    ASSERT_EQ(host.LiveBlocks().size(), 1u);
    const auto& [block, record] = *host.LiveBlocks().begin();
    EXPECT_EQ(block, gGlobals);
    EXPECT_EQ(record.debugName, "globals");
    EXPECT_EQ(record.size, sizeof(Globals));
    EXPECT_EQ(host.pluginOptions, 1 | 2) << "the flag 2 is added to the options the plug-in had";
    EXPECT_EQ(host.Tools().size(), 1u);
    EXPECT_EQ(gGlobals->toolHandle, reinterpret_cast<ToolHandle>(std::uintptr_t{1}));

    EXPECT_EQ(host.Acquisitions(), kSuites);
    EXPECT_TRUE(host.SuitesBalanced());
    for (const void* suite : gSuitePointers) EXPECT_EQ(suite, nullptr);
    EXPECT_EQ(gSuiteNesting, 0);
    EXPECT_TRUE(host.Violations().empty());
    EXPECT_TRUE(host.Alerts().empty());
    EXPECT_TRUE(host.Dialogs().Runs().empty());
}

TEST_F(PluginTest, EveryMessageIsRoutedByCallerAndSelector)
{
    ASSERT_EQ(Startup(), kNoErr);
    struct Case {
        const char* caller;
        const char* selector;
        HostError result;
        std::uint64_t acquisitions;  // suites acquired for the message
        int cursorSets;              // cursor calls it makes
        std::size_t dialogs;         // dialogs it shows
    } cases[] = {
        {"SP Access", "Something", kNoErr, 0, 0, 0},
        {"SP Interface", "About", kNoErr, kSuites, 0, 1},
        {"SP Interface", "Something", kNoErr, kSuites, 0, 0},
        {"AI Tool", "AI Track Cursor", kNoErr, kSuites, 1, 0},
        {"AI Tool", "AI Select", kNoErr, kSuites, 0, 0},
        {"AI Tool", "AI Deselect", kNoErr, kSuites, 0, 0},
        {"AI Tool", "AI Something", kNoErr, kSuites, 0, 0},
        {"AI Other", "AI Track Cursor", kNoErr, kSuites, 0, 0},
        {"Some Caller", "Startup", kNoErr, kSuites, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caller) + " / " + c.selector);
        const std::uint64_t acquired = host.Acquisitions();
        const int cursors = host.CursorSets();
        const std::size_t dialogs = host.Dialogs().Runs().size();
        const std::size_t tools = host.Tools().size();
        EXPECT_EQ(host.Send(c.caller, c.selector), c.result);
        EXPECT_EQ(host.Acquisitions() - acquired, c.acquisitions);
        EXPECT_TRUE(host.SuitesBalanced());
        EXPECT_EQ(host.CursorSets() - cursors, c.cursorSets);
        EXPECT_EQ(host.Dialogs().Runs().size() - dialogs, c.dialogs);
        EXPECT_EQ(host.Tools().size(), tools) << "nothing but startup registers a tool";
    }
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(PluginTest, TheAboutBoxIsTheAboutDialog)
{
    ASSERT_EQ(host.Send("SP Interface", "About"), kNoErr);
    ASSERT_EQ(host.Dialogs().Runs().size(), 1u);
    const host::DialogRun& about = host.Dialogs().Runs()[0];
    EXPECT_EQ(about.name, "About Dialog");
    EXPECT_EQ(about.resourceId, 16050);
}

TEST_F(PluginTest, TheAboutBoxClosesWithItsOkButton)
{
    host.Dialogs().Script([](host::DialogSession& user) { user.Press(1); });
    ASSERT_EQ(host.Send("SP Interface", "About"), kNoErr);
    ASSERT_EQ(host.Dialogs().Runs().size(), 1u);
    EXPECT_EQ(host.Dialogs().Runs()[0].result, 1) << "OK's default handling ended the dialog";
}

TEST_F(PluginTest, SettingsSurviveUnloadAndReload)
{
    ASSERT_EQ(Startup(), kNoErr);
    Globals* block = gGlobals;
    gGlobals->brushWidth = 77.0f;

    ASSERT_EQ(host.Send("SP Access", "Unload"), kNoErr);
    EXPECT_EQ(host.SavedGlobals(), block);

    LoadPluginAfresh();  // the library's code and statics are gone
    ASSERT_EQ(host.Send("SP Access", "Reload"), kNoErr);
    EXPECT_EQ(gGlobals, block);
    EXPECT_EQ(gGlobals->brushWidth, 77.0f);
    EXPECT_EQ(host.Acquisitions(), kSuites) << "unload and reload acquire nothing";

    ASSERT_EQ(Shutdown(), kNoErr);
    EXPECT_EQ(gGlobals, nullptr);
    EXPECT_EQ(host.SavedGlobals(), nullptr);
    EXPECT_TRUE(host.LiveBlocks().empty()) << "the whole cycle leaks nothing";
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(PluginTest, ReloadStartsTheNestingCountAgain)
{
    ASSERT_EQ(Startup(), kNoErr);
    ASSERT_EQ(host.Send("SP Access", "Unload"), kNoErr);
    gSuiteNesting = 3;  // whatever the count was when the library went
    ASSERT_EQ(host.Send("SP Access", "Reload"), kNoErr);
    EXPECT_EQ(gSuiteNesting, 0);
    ASSERT_EQ(Shutdown(), kNoErr);
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, ReloadWithAnEmptySlotLeavesNoSettingsAndToolMessagesFailWithAnError)
{
    ASSERT_EQ(host.Send("SP Access", "Reload"), kNoErr);
    EXPECT_EQ(gGlobals, nullptr);

    for (const char* selector : {"AI Edit Options", "AI Mouse Down", "AI Mouse Drag", "AI Mouse Up"}) {
        SCOPED_TRACE(selector);
        EXPECT_EQ(host.SendTool(selector), kNoSettingsErr);
    }
    const auto errors = ErrorDialogs();
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0].Find(2)->text, kOthersMessage);
    EXPECT_EQ(errors[0].Find(3)->text, "!glb");
    // Messages that need no settings still work.
    EXPECT_EQ(host.SendTool("AI Track Cursor"), kNoErr);
    EXPECT_EQ(host.CursorSets(), 1);
}

TEST_F(PluginTest, AMessageInsideAnotherUsesTheSuitesAlreadyHeld)
{
    ASSERT_EQ(Startup(), kNoErr);
    const std::uint64_t before = host.Acquisitions();
    HostError inner = -1;
    bool heldAfterInner = false;
    host.Dialogs().Script([&](host::DialogSession& user) {
        inner = host.SendTool("AI Track Cursor");
        heldAfterInner = Suite<DialogSuite>() != nullptr && Suite<BlocksSuite>() != nullptr;
        user.Close();
    });
    ASSERT_EQ(host.Send("SP Interface", "About"), kNoErr);
    EXPECT_EQ(inner, kNoErr);
    EXPECT_EQ(host.CursorSets(), 1) << "the inner message was handled";
    EXPECT_TRUE(heldAfterInner) << "only the outermost message releases";
    EXPECT_EQ(host.Acquisitions() - before, kSuites) << "the inner message acquired nothing";
    EXPECT_TRUE(host.SuitesBalanced());
    for (const void* suite : gSuitePointers) EXPECT_EQ(suite, nullptr);
}

TEST_F(PluginTest, ASuiteMissingBeforeTheDialogManagerIsHeldIsPassedOverSilently)
{
    host.Inject({"acquire/AI Real Math Suite", 0, kSuiteNotFoundErr});
    EXPECT_EQ(Startup(), kNoErr) << "the last row acquired, so the message is handled";
    EXPECT_TRUE(host.Alerts().empty());
    EXPECT_EQ(host.Tools().size(), 1u);
    EXPECT_EQ(host.Acquisitions(), kSuites - 1);
    EXPECT_TRUE(host.SuitesBalanced()) << "a row never acquired is not released";
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(PluginTest, AMissingSuiteThatTheHandlerNeedsEndsTheMessageSilently)
{
    host.Inject({"acquire/SP Blocks Suite", 0, kSuiteNotFoundErr});
    EXPECT_EQ(Startup(), kSuiteNotFoundErr);
    EXPECT_EQ(gGlobals, nullptr);
    EXPECT_TRUE(host.Alerts().empty());
    EXPECT_TRUE(ErrorDialogs().empty());
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, AMissingDialogSuiteShowsTheSuiteLoadingAlertAndNoErrorDialog)
{
    host.Inject({"acquire/ADM Dialog Suite", 0, kSuiteNotFoundErr});
    EXPECT_EQ(host.Send("SP Interface", "About"), kSuiteNotFoundErr);
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0], "Suite Loading Error: 1394689636, suite: ADM Dialog Suite, version: 3!");
    EXPECT_TRUE(host.Dialogs().Runs().empty()) << "neither the About Dialog nor an Error Dialog";
    EXPECT_EQ(host.Acquisitions(), 17u) << "the loop stopped at the failing row";
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, ASuiteFailingWithAnotherCodeAfterTheDialogManagerIsHeldIsAlsoReported)
{
    host.Inject({"acquire/ADM Icon Suite", 0, -108});
    EXPECT_EQ(host.Send("SP Interface", "About"), -108);
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0], "Suite Loading Error: -108, suite: ADM Icon Suite, version: 1!");
    const auto errors = ErrorDialogs();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].Find(2)->text, kRamMessage);
    EXPECT_EQ(errors[0].Find(3)->text, "-108");
    EXPECT_EQ(host.Dialogs().Runs().size(), 1u) << "the About handler did not run";
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, StartupFailuresAreReportedAndLeaveNoToolAndNoDefaults)
{
    struct Case {
        const char* name;
        host::Fault fault;
        std::int32_t iconType;   // -1: the module's own icon
        HostError result;
        std::string message;
        std::string codeText;
        bool blockAllocated;
    } cases[] = {
        {"allocation", {"SP Blocks Suite/AllocateBlock", 1, -108}, -1, -108, kRamMessage, "-108", false},
        {"reading the options", {"AI Plugin Suite/GetPluginOptions", 1, 271}, -1, 271, kRamMessage, "271", true},
        {"writing the options",
         {"AI Plugin Suite/SetPluginOptions", 1, FourCharCode('S', 'E', 'G', 'M')},
         -1,
         FourCharCode('S', 'E', 'G', 'M'),
         "Kadrelle cannot complete because a layer is locked or invisible.",
         "SEGM",
         true},
        {"the icon", {}, 6, kBadIconErr, kOthersMessage, "!ico", true},
        {"adding the tool",
         {"AI Tool Suite/AddTool", 1, FourCharCode('N', 'E', 'S', 'S')},
         -1,
         FourCharCode('N', 'E', 'S', 'S'),
         "Kadrelle cannot complete because a path has too many anchor points.",
         "NESS",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadPluginAfresh();
        host::StandInHost run(PluginMain);
        if (!c.fault.operation.empty()) run.Inject(c.fault);
        run.iconTypeOverride = c.iconType;

        EXPECT_EQ(run.Send("SP Interface", "Startup"), c.result);
        EXPECT_TRUE(run.Tools().empty());
        EXPECT_EQ(gGlobals != nullptr, c.blockAllocated);
        if (gGlobals != nullptr) {
            EXPECT_EQ(gGlobals->brushWidth, 0.0f) << "the defaults are not written";
            EXPECT_EQ(gGlobals->dialogPage, 0);
        }
        ASSERT_EQ(run.Dialogs().Runs().size(), 1u);
        const host::DialogRun& error = run.Dialogs().Runs()[0];
        EXPECT_EQ(error.name, "Error Dialog");
        EXPECT_EQ(error.Find(2)->text, c.message);
        EXPECT_EQ(error.Find(3)->text, c.codeText);

        // Shutdown after the failed startup frees what there is, and nothing twice.
        EXPECT_EQ(run.Send("SP Interface", "Shutdown"), kNoErr);
        EXPECT_TRUE(run.LiveBlocks().empty());
        EXPECT_TRUE(run.Violations().empty());
        EXPECT_TRUE(run.SuitesBalanced());
    }
}

TEST_F(PluginTest, ShutdownReturnsTheResultOfAcquiringTheBlocksSuite)
{
    ASSERT_EQ(Startup(), kNoErr);
    // The second acquisition of the blocks suite in the message is shutdown's own.
    host.Inject({"acquire/SP Blocks Suite", 2, -108});
    EXPECT_EQ(Shutdown(), -108);
    EXPECT_NE(gGlobals, nullptr) << "without the blocks suite the block cannot be freed";
    EXPECT_EQ(host.SavedGlobals(), nullptr) << "the slot is emptied in every case";
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].Find(3)->text, "-108");
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, ShutdownFreesTheBlockEvenWhenTheTablesPassStops)
{
    ASSERT_EQ(Startup(), kNoErr);
    host.Inject({"acquire/ADM Dialog Suite", 1, -108});
    EXPECT_EQ(Shutdown(), -108) << "the message answers with the pass's failure";
    ASSERT_EQ(host.Alerts().size(), 1u);
    EXPECT_EQ(host.Alerts()[0], "Suite Loading Error: -108, suite: ADM Dialog Suite, version: 3!");
    EXPECT_TRUE(ErrorDialogs().empty()) << "without the dialog suite there is no Error Dialog";
    EXPECT_EQ(gGlobals, nullptr);
    EXPECT_TRUE(host.LiveBlocks().empty()) << "shutdown acquires its own blocks suite and frees the block";
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(PluginTest, AFailedReleaseStopsThePassSilentlyAndTheNextMessageBalancesTheSuites)
{
    ASSERT_EQ(Startup(), kNoErr);
    host.Inject({"release/AI Art Suite", 1, FourCharCode('B', 'U', 'S', 'Y')});
    EXPECT_EQ(host.Send("SP Interface", "About"), kNoErr) << "a failed release is neither reported nor returned";
    EXPECT_EQ(ErrorDialogs().size(), 0u);
    EXPECT_NE(gSuitePointers[static_cast<std::size_t>(SuiteId::Art)], nullptr) << "the failing row keeps its pointer";
    EXPECT_EQ(gSuitePointers[static_cast<std::size_t>(SuiteId::RealMath)], nullptr);
    EXPECT_FALSE(host.SuitesBalanced());

    EXPECT_EQ(host.SendTool("AI Track Cursor"), kNoErr);
    EXPECT_TRUE(host.SuitesBalanced()) << "rows still held are not acquired twice";
    for (const void* suite : gSuitePointers) EXPECT_EQ(suite, nullptr);
    EXPECT_TRUE(host.Violations().empty());
}

TEST_F(PluginTest, AHandlerResultOfSuiteNotFoundOrStopReachesTheHostWithoutADialog)
{
    ASSERT_EQ(Startup(), kNoErr);
    // The options dialog closed without OK ends with "STOP".
    EXPECT_EQ(host.SendTool("AI Edit Options"), kStopErr);
    // A handler that cannot find its suite ends with "S!Fd".
    host.Inject({"acquire/AI Tool Suite", 0, kSuiteNotFoundErr});
    LoadPluginAfresh();
    EXPECT_EQ(Startup(), kSuiteNotFoundErr);
    for (const host::DialogRun& run : host.Dialogs().Runs()) EXPECT_NE(run.name, "Error Dialog");
}

}  // namespace
}  // namespace kadrelle_test
