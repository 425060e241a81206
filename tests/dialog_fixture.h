#pragma once
// The options dialog as a user meets it: the plug-in started in a stand-in
// host, "AI Edit Options" sent with a scripted user, and what the dialog
// showed. The tables here are written out from the dialog's description,
// independently of the plug-in's own tables.
#include <functional>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "tests/plugin_fixture.h"

namespace kadrelle_test {

// The controls shown on every page.
inline const std::set<std::int32_t> kFrameControls = {1, 2, 150, 81, 100, 101, 102, 103, 104,
                                                      105, 106, 107, 108, 109};

// The members of pages 1 to 5 (index 0 unused).
inline const std::vector<std::set<std::int32_t>> kPageMembers = {
    {},
    {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 18, 15, 120, 122, 123, 125, 126, 127, 85},
    {82, 83, 42, 41, 19, 20, 13, 14, 16, 128, 129, 130, 131, 132, 30, 84},
    {21, 24, 25, 26, 27, 133, 136, 137, 138, 48, 49},
    {22, 23, 29, 28, 134, 135, 140, 141, 50, 51, 80},
    {40, 43, 44, 45, 52, 47, 53, 46, 54, 56, 57, 58, 59, 60, 55},
};

inline std::set<std::int32_t> PageView(int page)
{
    std::set<std::int32_t> ids = kFrameControls;
    ids.insert(kPageMembers[static_cast<std::size_t>(page)].begin(), kPageMembers[static_cast<std::size_t>(page)].end());
    return ids;
}

// Every control that shows a setting, with the field it shows.
struct BoundControl {
    enum Kind { Real, Whole, Check, Popup } kind;
    std::int32_t id;
    float Globals::*real;
    std::int32_t Globals::*whole;
};

inline BoundControl R(std::int32_t id, float Globals::*field) { return {BoundControl::Real, id, field, nullptr}; }
inline BoundControl W(std::int32_t id, std::int32_t Globals::*field) { return {BoundControl::Whole, id, nullptr, field}; }
inline BoundControl C(std::int32_t id, std::int32_t Globals::*field) { return {BoundControl::Check, id, nullptr, field}; }
inline BoundControl P(std::int32_t id, std::int32_t Globals::*field) { return {BoundControl::Popup, id, nullptr, field}; }

inline const std::vector<BoundControl> kBoundControls = {
    R(17, &Globals::initialSize), R(18, &Globals::initialAngle), R(15, &Globals::dabShrinkPerDab),
    R(3, &Globals::dabResizeHMin), R(4, &Globals::dabResizeHMax), R(5, &Globals::dabResizeVMin),
    R(6, &Globals::dabResizeVMax), R(7, &Globals::dabAngleMin), R(8, &Globals::dabAngleMax),
    R(9, &Globals::dabJitterHMin), R(10, &Globals::dabJitterHMax), R(11, &Globals::dabJitterVMin),
    R(12, &Globals::dabJitterVMax), W(19, &Globals::dabsPerLayer), W(20, &Globals::dabsApplyRate),
    R(13, &Globals::alternateAngle), R(14, &Globals::twistAngle), R(16, &Globals::shrinkFactorOrdered),
    R(30, &Globals::interpolationAmount), W(21, &Globals::bristlesPerDab), R(24, &Globals::edgeResize),
    R(25, &Globals::coreResize), R(26, &Globals::bristleResizeH), R(27, &Globals::bristleResizeV),
    R(22, &Globals::brushWidth), R(23, &Globals::brushHeight), R(29, &Globals::brushSlant),
    R(28, &Globals::brushResize),
    P(81, &Globals::presetIndex), P(85, &Globals::mirrorMode), P(84, &Globals::interpolationTarget),
    P(82, &Globals::paintOnTarget), P(83, &Globals::hitTestMode), P(80, &Globals::brushShape),
    C(42, &Globals::paintAnywhere), C(41, &Globals::overlapPaint), C(48, &Globals::randomBristleCount),
    C(49, &Globals::bristlesRandomSymbols), C(50, &Globals::randomBrushWidth), C(51, &Globals::randomBrushHeight),
    C(40, &Globals::dabLinkResize), C(43, &Globals::dabAlignToDirection), C(44, &Globals::dabRandomSymbols),
    C(45, &Globals::dabPaletteOrder), C(52, &Globals::alignAngleEndpoint), C(47, &Globals::applyBristlesAndDab),
    C(53, &Globals::alignBristlesToDab), C(46, &Globals::syncBrushToDab), C(54, &Globals::expandSymbolDelete),
    C(55, &Globals::randomCreate), C(56, &Globals::pressureDabSize), C(60, &Globals::pressureDabShift),
    C(57, &Globals::pressureBristles), C(58, &Globals::pressureWidth), C(59, &Globals::pressureTwist),
};

// The ID of a popup's selected entry, or -1 when none is selected.
inline std::int32_t SelectedId(const host::Item& popup)
{
    const host::Entry* entry = popup.list.Selected();
    return entry == nullptr ? -1 : entry->id;
}

// Every control that shows a setting shows its field's value (the preset
// popup only when withPresets).
inline void ExpectControlsShow(const host::Dialog& dialog, const Globals& globals, bool withPresets)
{
    for (const BoundControl& bound : kBoundControls) {
        if (bound.id == 81 && !withPresets) continue;
        SCOPED_TRACE("control " + std::to_string(bound.id));
        const host::Item* item = dialog.Find(bound.id);
        ASSERT_NE(item, nullptr);
        switch (bound.kind) {
        case BoundControl::Real: EXPECT_EQ(item->FloatValue(), globals.*bound.real); break;
        case BoundControl::Whole: EXPECT_EQ(item->IntValue(), globals.*bound.whole); break;
        case BoundControl::Check: EXPECT_EQ(item->BooleanValue(), globals.*bound.whole != 0 ? 1 : 0); break;
        case BoundControl::Popup: EXPECT_EQ(SelectedId(*item), globals.*bound.whole); break;
        }
    }
}

inline std::set<std::int32_t> VisibleControls(const host::Dialog& dialog)
{
    std::set<std::int32_t> ids;
    for (const auto& item : dialog.items) {
        if (item->visible) ids.insert(item->id);
    }
    return ids;
}

inline std::set<std::int32_t> DisabledControls(const host::Dialog& dialog)
{
    std::set<std::int32_t> ids;
    for (const auto& item : dialog.items) {
        if (!item->enabled) ids.insert(item->id);
    }
    return ids;
}

inline std::set<std::int32_t> BoldControls(const host::Dialog& dialog)
{
    std::set<std::int32_t> ids;
    for (const auto& item : dialog.items) {
        if (item->font == kBoldDialogFont) ids.insert(item->id);
    }
    return ids;
}

// The plug-in started; the test ends with no refused user action unless it
// expects some.
class OptionsDialogTest : public PluginTest {
public:
    void SetUp() override { ASSERT_EQ(Startup(), kNoErr); }
    void TearDown() override
    {
        EXPECT_EQ(host.Dialogs().Violations().size(), expectedViolations);
        for (const std::string& violation : host.Dialogs().Violations()) std::cout << "refused: " << violation << "\n";
        EXPECT_TRUE(host.SuitesBalanced());
        EXPECT_TRUE(host.Violations().empty());
    }

    // Open the options dialog with this user; the result of the message.
    HostError EditOptions(std::function<void(host::DialogSession&)> user)
    {
        host.Dialogs().Script(std::move(user));
        return host.SendTool("AI Edit Options");
    }

    const host::DialogRun& LastRun() const { return host.Dialogs().Runs().back(); }

    std::size_t expectedViolations = 0;
};

}  // namespace kadrelle_test
