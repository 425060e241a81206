// The Error Dialog as the user sees it for each kind of code, and the small
// string conversions behind it.
#include <string>

#include "shell/errors.h"
#include "tests/plugin_fixture.h"

namespace kadrelle_test {
namespace {

// Make startup fail with code, so that the dispatcher reports it.
host::DialogRun ReportOf(HostError code)
{
    LoadPluginAfresh();
    host::StandInHost run(PluginMain);
    run.Inject({"AI Plugin Suite/GetPluginOptions", 1, code});
    EXPECT_EQ(run.Send("SP Interface", "Startup"), code);
    EXPECT_EQ(run.Dialogs().Runs().size(), 1u);
    host::DialogRun report = run.Dialogs().Runs().empty() ? host::DialogRun{} : run.Dialogs().Runs()[0];
    run.Send("SP Interface", "Shutdown");
    LoadPluginAfresh();
    return report;
}

TEST(ErrorDialog, ShowsTheMessageOfTheCodeAndTheCodeItself)
{
    struct Case {
        HostError code;
        std::string message;
        std::string codeText;
    } cases[] = {
        {-108, kRamMessage, "-108"},
        {271, kRamMessage, "271"},
        {FourCharCode('!', 's', 'e', 'l'), "The selection is not valid for Kadrelle", "!sel"},
        {FourCharCode('S', 'E', 'G', 'M'), "Kadrelle cannot complete because a layer is locked or invisible.", "SEGM"},
        {kBadIconErr, kOthersMessage, "!ico"},
        // From -65536 to 65535 a code is a number; beyond, four characters.
        {65535, kOthersMessage, "65535"},
        {-65536, kOthersMessage, "-65536"},
        {65536, kOthersMessage, ""},  // its most significant byte is zero
        {-65537, kOthersMessage, std::string("\xFF\xFE\xFF\xFF")},
        {1, kOthersMessage, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const host::DialogRun report = ReportOf(c.code);
        EXPECT_EQ(report.name, "Error Dialog");
        EXPECT_EQ(report.resourceId, 16051);
        ASSERT_NE(report.Find(2), nullptr);
        ASSERT_NE(report.Find(3), nullptr);
        EXPECT_EQ(report.Find(2)->text, c.message);
        EXPECT_EQ(report.Find(3)->text, c.codeText);
        EXPECT_EQ(report.Find(1)->text, "OK");
    }
}

TEST_F(PluginTest, TheErrorDialogClosesWithItsOkButton)
{
    host.Dialogs().Script([](host::DialogSession& user) { user.Press(1); });
    host.Inject({"AI Plugin Suite/GetPluginOptions", 1, -108});
    EXPECT_EQ(Startup(), -108);
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].result, 1);
}

TEST_F(PluginTest, AFailingStringReadEndsTheSearchInsteadOfLoopingOnAStaleText)
{
    // Every read of the list fails: the search ends at once and, as the
    // message cannot be read either, nothing is shown.
    host.Inject({"AI Plugin Suite/GetPluginOptions", 1, FourCharCode('N', 'E', 'S', 'S')});
    host.Inject({"ADM Basic Suite/GetIndexString", 0, FourCharCode('R', 'E', 'A', 'D')});
    EXPECT_EQ(Startup(), FourCharCode('N', 'E', 'S', 'S'));
    EXPECT_TRUE(ErrorDialogs().empty());
}

TEST_F(PluginTest, AStringReadFailingInTheMiddleOfTheSearchStillShowsTheCode)
{
    // Startup reads nothing of the list before the report; the report's
    // second read (entry 3) fails, so "NESS" at entry 7 is never reached.
    host.Inject({"AI Plugin Suite/GetPluginOptions", 1, FourCharCode('N', 'E', 'S', 'S')});
    host.Inject({"ADM Basic Suite/GetIndexString", 2, FourCharCode('R', 'E', 'A', 'D')});
    EXPECT_EQ(Startup(), FourCharCode('N', 'E', 'S', 'S'));
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].Find(2)->text, kRamMessage) << "the message before the failed entry";
    EXPECT_EQ(ErrorDialogs()[0].Find(3)->text, "NESS");
}

TEST_F(PluginTest, AnErrorDialogWhoseTextsTheHostDoesNotHandBackShowsItsTemplate)
{
    // Both failures in one message: the report's own dialog cannot reach
    // its texts.
    host.Inject({"AI Plugin Suite/GetPluginOptions", 1, -108});
    host.Inject({"ADM Dialog Suite/GetUserData", 1, -108});
    EXPECT_EQ(Startup(), -108);
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].Find(2)->text, "Message");
    EXPECT_EQ(ErrorDialogs()[0].Find(3)->text, "Code");
    EXPECT_TRUE(ErrorDialogs()[0].Find(1)->hasNotify) << "its OK button still ends it";
    EXPECT_TRUE(host.Violations().empty());
}

TEST(LengthPrefixed, ConvertsBothWaysInTheSameBuffer)
{
    struct Case {
        std::string text;
    } cases[] = {{""}, {"a"}, {"-108"}, {std::string(255, 'x')}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size());
        char buffer[300] = {};
        c.text.copy(buffer, c.text.size());
        ASSERT_TRUE(ToLengthPrefixed(buffer));
        EXPECT_EQ(static_cast<unsigned char>(buffer[0]), c.text.size());
        EXPECT_EQ(std::string(buffer + 1, c.text.size()), c.text);
        FromLengthPrefixed(buffer);
        EXPECT_EQ(std::string(buffer), c.text);
    }
}

TEST(LengthPrefixed, AStringOf256CharactersIsLeftAsItIs)
{
    char buffer[300] = {};
    std::string(256, 'y').copy(buffer, 256);
    EXPECT_FALSE(ToLengthPrefixed(buffer));
    EXPECT_EQ(std::string(buffer), std::string(256, 'y'));
}

TEST(FourCharText, WritesTheBytesMostSignificantFirst)
{
    struct Case {
        HostError code;
        std::string text;
    } cases[] = {
        {kStopErr, "STOP"}, {kSuiteNotFoundErr, "S!Fd"}, {65536, ""}, {FourCharCode('a', 'b', 0, 'd'), "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char buffer[8];
        FourCharToText(c.code, buffer);
        EXPECT_EQ(std::string(buffer), c.text);
    }
}

TEST_F(PluginTest, CodeTextsStandForNumbersReducedTo16BitsOrForFourCharacters)
{
    ASSERT_EQ(AcquireSuites(host.Basic()), kNoErr);
    struct Case {
        const char* text;
        HostError code;
    } cases[] = {
        {"-108", -108},
        {"271", 271},
        {"65644", 108},      // 65644 - 65536
        {"40000", -25536},   // 40000 - 65536
        {"-32769", 32767},
        {"12.9", 12},        // truncated toward zero
        {"-7.9", -7},
        {"SEGM", FourCharCode('S', 'E', 'G', 'M')},
        {"!sel", FourCharCode('!', 's', 'e', 'l')},
        {"<Others>", FourCharCode('<', 'O', 't', 'h')},
        {"ab", FourCharCode('a', 'b', 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextToCode(c.text), c.code);
    }
    char text[256];
    NumberToText(-65536, text);
    EXPECT_STREQ(text, "-65536");
    ReleaseSuites(host.Basic());
    EXPECT_TRUE(host.SuitesBalanced());
}

}  // namespace
}  // namespace kadrelle_test
