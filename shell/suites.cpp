#include "shell/suites.h"

#include <cstdio>

namespace {

constexpr SuiteRow kSuiteTable[] = {
    {"SP Blocks Suite", 2},
    {"SP Access Suite", 3},
    {"AI Plugin Suite", 3},
    {"AI MdMemory Suite", 1},
    {"AI Real Math Suite", 1},
    {"AI Art Suite", 9},
    {"AI User Suite", 5},
    {"AI Undo Suite", 4},
    {"AI Random Suite", 3},
    {"AI Symbol Suite", 1},
    {"AI Symbol Palette Suite", 1},
    {"AI Document Suite", 7},
    {"AI Document View Suite", 7},
    {"AI Hit Test Suite", 1},
    {"AI Layer Suite", 9},
    {"AI Tool Suite", 9},
    {"ADM Basic Suite", 2},
    {"ADM Dialog Suite", 3},
    {"ADM Item Suite", 4},
    {"ADM Icon Suite", 1},
    {"ADM Tracker Suite", 1},
    {"ADM List Suite", 1},
    {"ADM Entry Suite", 2},
    {"ADM Notifier Suite", 1},
};
static_assert(std::size(kSuiteTable) == kSuiteCount, "one row per SuiteId, in SuiteId order");

}  // namespace

const void* gSuitePointers[kSuiteCount] = {};
std::int16_t gSuiteNesting = 0;

std::span<const SuiteRow, kSuiteCount> SuiteTable() { return std::span<const SuiteRow, kSuiteCount>(kSuiteTable); }

HostError AcquireSuites(const BasicSuite* basic)
{
    HostError result = kNoErr;
    if (gSuiteNesting == 0) {
        for (std::size_t row = 0; row < kSuiteCount; ++row) {
            // A row still held from a release pass that stopped early is not
            // acquired twice.
            if (gSuitePointers[row] != nullptr) continue;
            result = basic->AcquireSuite(kSuiteTable[row].name, kSuiteTable[row].version, &gSuitePointers[row]);
            if (result == kNoErr) continue;
            gSuitePointers[row] = nullptr;
            if (const AdmBasicSuite* admBasic = Suite<AdmBasicSuite>()) {
                char text[256];
                std::snprintf(text, sizeof text, "Suite Loading Error: %d, suite: %s, version: %d!",
                              static_cast<int>(result), kSuiteTable[row].name,
                              static_cast<int>(kSuiteTable[row].version));
                admBasic->MessageAlert(text);
                break;
            }
            // Before the dialog manager is held nothing can be shown: go on
            // with the next row.
        }
    }
    ++gSuiteNesting;
    return result;
}

HostError ReleaseSuites(const BasicSuite* basic)
{
    HostError result = kNoErr;
    if (gSuiteNesting == 1) {
        for (std::size_t row = 0; row < kSuiteCount; ++row) {
            // A row that was never acquired is not released.
            if (gSuitePointers[row] == nullptr) continue;
            result = basic->ReleaseSuite(kSuiteTable[row].name, kSuiteTable[row].version);
            if (result != kNoErr) break;
            gSuitePointers[row] = nullptr;
        }
    }
    --gSuiteNesting;
    return result;
}
