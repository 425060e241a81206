// The tool: registration at startup, its cursor, and the options request.
#include <cstring>

#include "host/resources.h"
#include "tests/plugin_fixture.h"

namespace kadrelle_test {
namespace {

TEST_F(PluginTest, StartupRegistersExactlyOneToolWithItsOwnGroupAndToolSet)
{
    ASSERT_EQ(Startup(), kNoErr);
    ASSERT_EQ(host.Tools().size(), 1u);
    const host::ToolRecord& tool = host.Tools()[0];
    EXPECT_EQ(tool.name, "Kadrelle");
    EXPECT_EQ(tool.title, "Kadrelle");
    EXPECT_EQ(tool.tooltip, host::FindResourceString(16102));
    EXPECT_FALSE(tool.tooltip.empty());
    EXPECT_EQ(tool.iconResourceId, 16051) << "list 16050, index 1";
    EXPECT_EQ(tool.sameGroupAs, -2);
    EXPECT_EQ(tool.sameToolsetAs, -2);
    EXPECT_EQ(tool.options, 1);
    EXPECT_EQ(tool.helpId, 0);
}

TEST_F(PluginTest, EveryTrackCursorMessageSetsTheToolCursor)
{
    ASSERT_EQ(Startup(), kNoErr);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(host.SendTool("AI Track Cursor", {10.0f, 20.0f}), kNoErr);
        EXPECT_EQ(host.CursorSets(), i);
        EXPECT_EQ(host.CurrentCursor(), 16001);
    }
}

TEST_F(PluginTest, ACursorThatCannotBeLoadedLeavesTheCursorAloneAndStillReturnsZero)
{
    ASSERT_EQ(Startup(), kNoErr);
    struct Case {
        const char* name;
        host::Fault fault;
        bool hideCursor;
    } cases[] = {
        {"missing cursor resource", {}, true},
        {"no plug-in access", {"SP Access Suite/GetPluginAccess", 1, kBadParameterErr}, false},
        {"no platform information", {"SP Access Suite/GetAccessInfo", 1, kBadParameterErr}, false},
        {"no access suite", {"acquire/SP Access Suite", 1, kSuiteNotFoundErr}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ClearFaults();
        if (!c.fault.operation.empty()) host.Inject(c.fault);
        host.HideCursorResource(c.hideCursor);
        const int before = host.CursorSets();
        EXPECT_EQ(host.SendTool("AI Track Cursor"), kNoErr);
        EXPECT_EQ(host.CursorSets(), before);
        EXPECT_TRUE(ErrorDialogs().empty());
    }
    EXPECT_TRUE(host.SuitesBalanced());
}

TEST_F(PluginTest, TheOptionsDialogReturnsZeroOnOkAndStopOtherwise)
{
    ASSERT_EQ(Startup(), kNoErr);

    // Closed by its close box.
    EXPECT_EQ(host.SendTool("AI Edit Options"), kStopErr);
    ASSERT_EQ(host.Dialogs().Runs().size(), 1u);
    EXPECT_EQ(host.Dialogs().Runs()[0].name, "Tool Dialog 0");
    EXPECT_EQ(host.Dialogs().Runs()[0].resourceId, 16101);
    EXPECT_EQ(host.Dialogs().Runs()[0].result, 2);

    // Ended by its OK button, control 1.
    host.Dialogs().Script([](host::DialogSession& user) { EXPECT_TRUE(user.Press(1)); });
    EXPECT_EQ(host.SendTool("AI Edit Options"), kNoErr);
    EXPECT_EQ(host.Dialogs().Runs().back().result, 1);

    // Ended by Cancel, control 2.
    host.Dialogs().Script([](host::DialogSession& user) { EXPECT_TRUE(user.Press(2)); });
    EXPECT_EQ(host.SendTool("AI Edit Options"), kStopErr);
    EXPECT_EQ(host.Dialogs().Runs().back().result, 2);

    // A dialog that cannot be run counts as cancelled.
    host.Inject({"ADM Dialog Suite/Modal", 1, kBadParameterErr});
    EXPECT_EQ(host.SendTool("AI Edit Options"), kStopErr);

    EXPECT_TRUE(ErrorDialogs().empty()) << "\"STOP\" is never reported";
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_TRUE(host.Dialogs().Violations().empty());
}

TEST_F(PluginTest, SelectAndDeselectDoNothing)
{
    ASSERT_EQ(Startup(), kNoErr);
    const Globals before = *gGlobals;
    EXPECT_EQ(host.SendTool("AI Select"), kNoErr);
    EXPECT_EQ(host.SendTool("AI Deselect"), kNoErr);
    EXPECT_EQ(std::memcmp(&before, gGlobals, sizeof(Globals)), 0);
    EXPECT_TRUE(host.Dialogs().Runs().empty());
    EXPECT_EQ(host.CursorSets(), 0);
}

TEST_F(PluginTest, TheOptionsDialogStopsWithoutTheSuitesItsControlsNeed)
{
    ASSERT_EQ(Startup(), kNoErr);
    // The cursor message stops acquiring at the list suite and reports it; a
    // message sent while its Error Dialog is open finds the suites it holds.
    host.Inject({"acquire/ADM List Suite", 1, -108});
    HostError inner = kNoErr;
    host.Dialogs().Script([&](host::DialogSession& user) {
        inner = host.SendTool("AI Edit Options");
        user.Close();
    });
    EXPECT_EQ(host.SendTool("AI Track Cursor"), -108);
    EXPECT_EQ(inner, kStopErr);
    ASSERT_EQ(host.Dialogs().Runs().size(), 1u);
    EXPECT_EQ(host.Dialogs().Runs()[0].name, "Error Dialog") << "the options dialog did not open";
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_TRUE(host.Violations().empty());
}

}  // namespace
}  // namespace kadrelle_test
