// The message records and suite tables as the host lays them out.
#include <gtest/gtest.h>

#include <cstddef>

#include "shell/messages.h"
#include "shell/suites.h"

namespace {

TEST(Messages, TheToolMessageCarriesThePointerAndPressureBehindTheHead)
{
    // On the 32-bit host the offsets are 16, 20, 24 and 28 (checked at
    // compile time there); everywhere the fields follow the head in order.
    EXPECT_EQ(offsetof(ToolMessage, d), 0u);
    EXPECT_EQ(offsetof(ToolMessage, tool), sizeof(HostMessage));
    EXPECT_EQ(offsetof(ToolMessage, cursor), offsetof(ToolMessage, tool) + sizeof(void*));
    EXPECT_EQ(offsetof(ToolMessage, pressure), offsetof(ToolMessage, cursor) + 2 * sizeof(float));
    EXPECT_EQ(offsetof(HostMessage, pluginRef), sizeof(void*));
    EXPECT_EQ(offsetof(HostMessage, basicSuite), 3 * sizeof(void*));
}

TEST(SuiteTable, ListsTheTwentyFourSuitesInTheirOrder)
{
    const char* names[] = {
        "SP Blocks Suite", "SP Access Suite", "AI Plugin Suite", "AI MdMemory Suite", "AI Real Math Suite",
        "AI Art Suite", "AI User Suite", "AI Undo Suite", "AI Random Suite", "AI Symbol Suite",
        "AI Symbol Palette Suite", "AI Document Suite", "AI Document View Suite", "AI Hit Test Suite",
        "AI Layer Suite", "AI Tool Suite", "ADM Basic Suite", "ADM Dialog Suite", "ADM Item Suite",
        "ADM Icon Suite", "ADM Tracker Suite", "ADM List Suite", "ADM Entry Suite", "ADM Notifier Suite",
    };
    const std::int32_t versions[] = {2, 3, 3, 1, 1, 9, 5, 4, 3, 1, 1, 7, 7, 1, 9, 9, 2, 3, 4, 1, 1, 1, 2, 1};
    ASSERT_EQ(SuiteTable().size(), std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i) {
        SCOPED_TRACE(names[i]);
        EXPECT_STREQ(SuiteTable()[i].name, names[i]);
        EXPECT_EQ(SuiteTable()[i].version, versions[i]);
    }
}

}  // namespace
