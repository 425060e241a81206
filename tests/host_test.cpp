// The stand-in host's own behaviour: suites by exact name and version, its
// accounting, its checks of misuse, fault injection, and the operations the
// shell relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "host/host.h"
#include "shell/suites.h"

namespace {

HostError NoPlugin(const char*, const char*, void*) { return kNoErr; }

class HostTest : public ::testing::Test {
protected:
    template <class S> const S* Acquire(const char* name, std::int32_t version)
    {
        const void* suite = nullptr;
        EXPECT_EQ(host.Basic()->AcquireSuite(name, version, &suite), kNoErr) << name;
        return static_cast<const S*>(suite);
    }
    host::StandInHost host{NoPlugin};
};

TEST_F(HostTest, HandsOutSuitesByExactNameAndVersionOnly)
{
    for (const SuiteRow& row : SuiteTable()) {
        SCOPED_TRACE(row.name);
        const void* suite = nullptr;
        EXPECT_EQ(host.Basic()->AcquireSuite(row.name, row.version + 1, &suite), kSuiteNotFoundErr);
        EXPECT_EQ(suite, nullptr);
        EXPECT_EQ(host.Basic()->AcquireSuite(row.name, row.version, &suite), kNoErr);
        EXPECT_NE(suite, nullptr);
    }
    const void* suite = nullptr;
    EXPECT_EQ(host.Basic()->AcquireSuite("AI Symbol Suite ", 1, &suite), kSuiteNotFoundErr);
    EXPECT_EQ(host.Basic()->AcquireSuite("ai symbol suite", 1, &suite), kSuiteNotFoundErr);
    EXPECT_EQ(host.Acquisitions(), 24u);
    EXPECT_FALSE(host.SuitesBalanced());
    for (const SuiteRow& row : SuiteTable()) EXPECT_EQ(host.Basic()->ReleaseSuite(row.name, row.version), kNoErr);
    EXPECT_TRUE(host.SuitesBalanced());
    EXPECT_EQ(host.Releases(), 24u);
}

TEST_F(HostTest, FindsASuiteByTheTextNotByWhereTheTextLies)
{
    // One buffer asks for several suites in turn: what it says now counts,
    // not what it said the last time it asked.
    char name[64];
    const auto acquire = [&](const char* text, std::int32_t version) {
        std::snprintf(name, sizeof name, "%s", text);
        const void* suite = nullptr;
        EXPECT_EQ(host.Basic()->AcquireSuite(name, version, &suite), kNoErr) << text;
        return suite;
    };
    const void* art = acquire("AI Art Suite", 9);
    const void* blocks = acquire("SP Blocks Suite", 2);
    EXPECT_NE(art, blocks);
    EXPECT_EQ(acquire("AI Art Suite", 9), art);
    std::snprintf(name, sizeof name, "AI Nothing Suite");
    const void* suite = nullptr;
    EXPECT_EQ(host.Basic()->AcquireSuite(name, 9, &suite), kSuiteNotFoundErr);
    std::snprintf(name, sizeof name, "SP Blocks Suite");
    EXPECT_EQ(host.Basic()->ReleaseSuite(name, 2), kNoErr);
    const std::map<std::string, int> held = host.HeldSuites();
    EXPECT_EQ(held, (std::map<std::string, int>{{"AI Art Suite", 2}}));
}

TEST_F(HostTest, ComparesStrings)
{
    EXPECT_NE(host.Basic()->IsEqual("AI Tool", "AI Tool"), 0);
    EXPECT_EQ(host.Basic()->IsEqual("AI Tool", "AI Tool "), 0);
    EXPECT_EQ(host.Basic()->IsEqual("AI Tool", nullptr), 0);
}

TEST_F(HostTest, CatchesMisuse)
{
    // A suite used while not held.
    const BlocksSuite* blocks = Acquire<BlocksSuite>("SP Blocks Suite", 2);
    void* block = nullptr;
    ASSERT_EQ(blocks->AllocateBlock(16, "test", &block), kNoErr);
    EXPECT_TRUE(host.Violations().empty());
    ASSERT_EQ(host.Basic()->ReleaseSuite("SP Blocks Suite", 2), kNoErr);
    ASSERT_EQ(blocks->FreeBlock(block), kNoErr);
    ASSERT_EQ(host.Violations().size(), 1u);
    EXPECT_NE(host.Violations()[0].find("SP Blocks Suite used while not held"), std::string::npos);

    // A block freed twice.
    blocks = Acquire<BlocksSuite>("SP Blocks Suite", 2);
    EXPECT_EQ(blocks->FreeBlock(block), kBadParameterErr);
    ASSERT_EQ(host.Violations().size(), 2u);
    EXPECT_NE(host.Violations()[1].find("freed twice"), std::string::npos);

    // A suite released that was not acquired.
    EXPECT_EQ(host.Basic()->ReleaseSuite("AI Tool Suite", 9), kBadParameterErr);
    EXPECT_EQ(host.Violations().size(), 3u);
}

TEST_F(HostTest, KeepsBlocksWithTheirDebugNamesUntilFreed)
{
    const BlocksSuite* blocks = Acquire<BlocksSuite>("SP Blocks Suite", 2);
    void* a = nullptr;
    void* b = nullptr;
    ASSERT_EQ(blocks->AllocateBlock(10, "first", &a), kNoErr);
    ASSERT_EQ(blocks->AllocateBlock(20, "second", &b), kNoErr);
    ASSERT_EQ(host.LiveBlocks().size(), 2u);
    EXPECT_EQ(host.LiveBlocks().at(a).debugName, "first");
    EXPECT_EQ(host.LiveBlocks().at(b).size, 20u);
    EXPECT_EQ(static_cast<unsigned char*>(a)[0], 0xCD) << "a new block is not zeroed for the plug-in";
    ASSERT_EQ(blocks->FreeBlock(a), kNoErr);
    ASSERT_EQ(host.LiveBlocks().size(), 1u) << "the leak is visible";
    ASSERT_EQ(blocks->FreeBlock(b), kNoErr);
    EXPECT_TRUE(host.LiveBlocks().empty());
}

TEST_F(HostTest, FailsTheCallsItIsToldToFail)
{
    const BlocksSuite* blocks = Acquire<BlocksSuite>("SP Blocks Suite", 2);
    host.Inject({"SP Blocks Suite/AllocateBlock", 2, -108});
    void* block = reinterpret_cast<void*>(1);
    EXPECT_EQ(blocks->AllocateBlock(8, "one", &block), kNoErr);
    EXPECT_EQ(blocks->FreeBlock(block), kNoErr);
    EXPECT_EQ(blocks->AllocateBlock(8, "two", &block), -108);
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(blocks->AllocateBlock(8, "three", &block), kNoErr);
    EXPECT_EQ(blocks->FreeBlock(block), kNoErr);

    // The n-th call from now, whatever it is.
    host.FailNthCall(2, FourCharCode('N', 'T', 'H', ' '));
    EXPECT_EQ(blocks->AllocateBlock(8, "four", &block), kNoErr);
    const void* suite = nullptr;
    EXPECT_EQ(host.Basic()->AcquireSuite("AI Tool Suite", 9, &suite), FourCharCode('N', 'T', 'H', ' '));
    EXPECT_EQ(blocks->FreeBlock(block), kNoErr);
    EXPECT_TRUE(host.LiveBlocks().empty());
}

TEST_F(HostTest, TracesItsCallsByTheNamesFaultsUse)
{
    const std::uint64_t before = host.Calls();
    host.TraceCalls(true);
    const BlocksSuite* blocks = Acquire<BlocksSuite>("SP Blocks Suite", 2);
    void* block = nullptr;
    ASSERT_EQ(blocks->AllocateBlock(8, "traced", &block), kNoErr);
    ASSERT_EQ(blocks->FreeBlock(block), kNoErr);
    ASSERT_EQ(host.Basic()->ReleaseSuite("SP Blocks Suite", 2), kNoErr);
    host.TraceCalls(false);
    const void* suite = nullptr;
    ASSERT_EQ(host.Basic()->AcquireSuite("AI Tool Suite", 9, &suite), kNoErr);
    EXPECT_EQ(host.CallTrace(), (std::vector<std::string>{"acquire/SP Blocks Suite", "SP Blocks Suite/AllocateBlock",
                                                          "SP Blocks Suite/FreeBlock", "release/SP Blocks Suite"}));
    EXPECT_EQ(host.Calls() - before, 5u) << "calls are counted whether traced or not";
}

TEST_F(HostTest, RandomNumbersAreReproducibleScriptableAndBelowOne)
{
    host::RandomSource a;
    host::RandomSource b;
    a.Seed(42);
    b.Seed(42);
    std::set<float> seen;
    for (int i = 0; i < 100000; ++i) {
        const float u = a.Next();
        ASSERT_EQ(u, b.Next());
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
        seen.insert(u);
    }
    EXPECT_GT(seen.size(), 90000u) << "the numbers spread";
    EXPECT_EQ(a.Draws(), 100000u);
    b.Seed(43);
    a.Seed(42);
    EXPECT_NE(a.Next(), b.Next());

    a.Script({0.25f, 0.5f}, true);
    EXPECT_EQ(a.Next(), 0.25f);
    EXPECT_EQ(a.Next(), 0.5f);
    EXPECT_EQ(a.Next(), 0.25f);
    a.Script({0.75f}, false);
    EXPECT_EQ(a.Next(), 0.75f);
    EXPECT_EQ(a.Next(), 0.0f);
    a.Constant(host::RandomSource::kJustBelowOne);
    EXPECT_EQ(a.Next(), std::nextafter(1.0f, 0.0f));
    EXPECT_EQ(a.Draws(), 1u);
}

TEST_F(HostTest, RealMathAppendsOperationsAfterWhatTheMatrixDoes)
{
    const RealMathSuite* math = Acquire<RealMathSuite>("AI Real Math Suite", 1);
    HostMatrix m{1, 0, 0, 1, 0, 0};
    math->MatrixConcatTranslate(&m, 10, 0);
    math->MatrixConcatScale(&m, 2, 3);
    // (0, 0) goes to (10, 0), then is scaled about the origin to (20, 0).
    EXPECT_EQ(m.tx, 20.0f);
    EXPECT_EQ(m.ty, 0.0f);
    EXPECT_EQ(m.a, 2.0f);
    EXPECT_EQ(m.d, 3.0f);
    math->MatrixConcatRotate(&m, static_cast<float>(std::numbers::pi / 2));
    // A quarter turn counter-clockwise: (20, 0) goes to (0, 20).
    EXPECT_NEAR(m.tx, 0.0f, 1e-5f);
    EXPECT_NEAR(m.ty, 20.0f, 1e-5f);

    const HostPoint origin{0, 0};
    struct Case {
        HostPoint to;
        double angle;
    } cases[] = {{{1, 0}, 0}, {{0, 1}, std::numbers::pi / 2}, {{-1, 0}, std::numbers::pi},
                 {{0, -1}, 3 * std::numbers::pi / 2}, {{0, 0}, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.angle);
        EXPECT_EQ(math->PointAngle(&origin, &c.to), static_cast<float>(c.angle));
    }
    EXPECT_EQ(math->Interpolate(3.0f, 7.0f, 1.0f), 3.0f);
    EXPECT_EQ(math->Interpolate(3.0f, 7.0f, 0.0f), 7.0f);
    EXPECT_EQ(math->DegreeToRadian(180.0f), static_cast<float>(std::numbers::pi));
}

TEST_F(HostTest, WritesAndReadsNumbersAsLengthPrefixedText)
{
    const UserSuite* user = Acquire<UserSuite>("AI User Suite", 5);
    unsigned char text[256];
    ASSERT_EQ(user->RealToText(-108.0f, 0, text), kNoErr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), "-108");
    float value = 0;
    ASSERT_EQ(user->TextToReal(text, &value), kNoErr);
    EXPECT_EQ(value, -108.0f);
    const unsigned char word[] = {4, 'S', 'E', 'G', 'M'};
    EXPECT_NE(user->TextToReal(word, &value), kNoErr);
}

TEST_F(HostTest, ReadsThePluginsStringListsIntoBuffersOfAGivenSize)
{
    const AdmBasicSuite* basic = Acquire<AdmBasicSuite>("ADM Basic Suite", 2);
    char buffer[9];
    ASSERT_EQ(basic->GetIndexString(host.Plugin(), 16100, 1, buffer, sizeof buffer), kNoErr);
    EXPECT_STREQ(buffer, "Kadrelle");
    ASSERT_EQ(basic->GetIndexString(host.Plugin(), 16050, 2, buffer, sizeof buffer), kNoErr);
    EXPECT_STREQ(buffer, "Kadrelle") << "cut to the buffer";
    EXPECT_EQ(basic->GetIndexString(host.Plugin(), 16050, 13, buffer, sizeof buffer), kResourceNotFoundErr);
    EXPECT_STREQ(buffer, "");
}

// A plug-in may set any bounds (they come from its settings block): sizing,
// moving and drawing the dialog hold them to the range of screen coordinates.
const DialogSuite* gDialogSuite = nullptr;
HostError PlaceAtTheEdges(DialogRef dialog)
{
    const ScreenRect edges{INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MAX};
    gDialogSuite->SetBoundsRect(dialog, &edges);
    gDialogSuite->Size(dialog, 400, 300);
    return kNoErr;
}

TEST_F(HostTest, DialogBoundsAreHeldToScreenCoordinates)
{
    gDialogSuite = Acquire<DialogSuite>("ADM Dialog Suite", 3);
    std::vector<ScreenRect> seen;
    std::string picture;
    host.Dialogs().Script([&](host::DialogSession& user) {
        seen.push_back(user.dialog().bounds);
        picture = user.Picture();
        EXPECT_TRUE(user.Move(INT32_MIN, INT32_MAX - 100));
        seen.push_back(user.dialog().bounds);
        EXPECT_TRUE(user.Move(INT32_MAX - 4, 0));
        seen.push_back(user.dialog().bounds);
        user.Close();
    });
    EXPECT_EQ(gDialogSuite->Modal(host.Plugin(), "About Dialog", 16050, 0, PlaceAtTheEdges, nullptr), 2);
    struct Expected {
        std::int32_t left, top, right, bottom;
    };
    const Expected expected[] = {
        {INT32_MAX - 10, INT32_MIN, INT32_MAX, INT32_MIN + 300},   // the width held at the right edge
        {INT32_MIN, INT32_MAX - 100, INT32_MIN + 10, INT32_MAX},   // the height held at the bottom
        {INT32_MAX - 4, 0, INT32_MAX, 100},
    };
    ASSERT_EQ(seen.size(), std::size(expected));
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].left, expected[i].left);
        EXPECT_EQ(seen[i].top, expected[i].top);
        EXPECT_EQ(seen[i].right, expected[i].right);
        EXPECT_EQ(seen[i].bottom, expected[i].bottom);
    }
    EXPECT_NE(picture.find("width=\"10\" height=\"322\""), std::string::npos) << picture.substr(0, 200);
}

TEST_F(HostTest, ADialogWithoutATemplateCannotBeRun)
{
    const DialogSuite* dialogs = Acquire<DialogSuite>("ADM Dialog Suite", 3);
    EXPECT_EQ(dialogs->Modal(host.Plugin(), "Nothing", 4242, 0, nullptr, nullptr), -1);
    EXPECT_TRUE(host.Dialogs().Runs().empty());
}

}  // namespace
