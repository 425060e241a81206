// The options dialog as the user sees and works it: its controls, pages,
// popup lists, value exchange with the settings, the saved place and page,
// the enabling rules, what the dialog manager does with typed values, and
// the dialog's picture.
#include <algorithm>
#include <cstring>

#include "tests/dialog_fixture.h"

namespace kadrelle_test {
namespace {

// The opening tag of a control's group in a dialog picture.
std::string GroupTag(const std::string& svg, std::int32_t id)
{
    const std::size_t start = svg.find("<g id=\"item" + std::to_string(id) + "\"");
    if (start == std::string::npos) return {};
    return svg.substr(start, svg.find('>', start) - start + 1);
}

// A control's whole group in a dialog picture.
std::string Group(const std::string& svg, std::int32_t id)
{
    const std::size_t start = svg.find("<g id=\"item" + std::to_string(id) + "\"");
    if (start == std::string::npos) return {};
    return svg.substr(start, svg.find("</g>", start) - start);
}

constexpr const char* kSpin = "ADM Spin Edit Type";
constexpr const char* kStatic = "ADM Text Static Type";
constexpr const char* kCheck = "ADM Text Check Box Type";
constexpr const char* kPopup = "ADM Popup List Type";
constexpr const char* kButton = "ADM Text Push Button Type";
constexpr const char* kPicture = "ADM Picture Push Button Type";

// Every control in the order of creation, with what the user finds in it:
// its kind, rectangle, text, range and decimal places (-1: none set).
struct ExpectedControl {
    std::int32_t id;
    const char* type;
    ScreenRect rect;
    const char* text;
    double minimum;
    double maximum;
    std::int32_t precision;
};

constexpr ExpectedControl kLayout[] = {
    {17, kSpin, {170, 60, 230, 80}, "", -5000, 5000, 2},
    {18, kSpin, {170, 82, 230, 102}, "", -360, 360, 2},
    {15, kSpin, {170, 104, 230, 124}, "", -500, 500, 2},
    {3, kSpin, {170, 130, 230, 150}, "", -500, 500, 2},
    {4, kSpin, {235, 130, 295, 150}, "", -500, 500, 2},
    {5, kSpin, {170, 152, 230, 172}, "", -500, 500, 2},
    {6, kSpin, {235, 152, 295, 172}, "", -500, 500, 2},
    {7, kSpin, {170, 174, 230, 194}, "", -360, 360, 2},
    {8, kSpin, {235, 174, 295, 195}, "", -360, 360, 2},
    {9, kSpin, {170, 196, 230, 216}, "", -1500, 1500, 2},
    {10, kSpin, {235, 196, 295, 216}, "", -1500, 1500, 2},
    {11, kSpin, {170, 218, 230, 238}, "", -1500, 1500, 2},
    {12, kSpin, {235, 218, 295, 238}, "", -1500, 1500, 2},
    {19, kSpin, {170, 140, 230, 160}, "", 0, 200, -1},
    {20, kSpin, {170, 162, 230, 182}, "", 0, 200, -1},
    {13, kSpin, {170, 190, 230, 210}, "", -360, 360, 2},
    {14, kSpin, {170, 212, 230, 232}, "", -360, 360, 2},
    {16, kSpin, {170, 234, 230, 254}, "", -500, 500, 2},
    {30, kSpin, {170, 256, 230, 276}, "", -1000, 1000, 2},
    {21, kSpin, {170, 60, 230, 80}, "", 0, 500, -1},
    {24, kSpin, {170, 82, 230, 102}, "", -500, 500, 2},
    {25, kSpin, {170, 104, 230, 124}, "", -500, 500, 2},
    {26, kSpin, {170, 126, 230, 146}, "", -500, 500, 2},
    {27, kSpin, {170, 148, 230, 168}, "", -500, 500, 2},
    {22, kSpin, {170, 60, 230, 80}, "", 1, 1000, 2},
    {23, kSpin, {170, 82, 230, 102}, "", 1, 1000, 2},
    {29, kSpin, {170, 104, 230, 124}, "", -360, 360, 2},
    {28, kSpin, {170, 126, 230, 146}, "", 1, 200, 2},
    {125, kStatic, {10, 60, 165, 80}, "Initial size (%)", 0, 0, -1},
    {126, kStatic, {10, 82, 165, 102}, "Initial angle (o)", 0, 0, -1},
    {127, kStatic, {10, 104, 165, 124}, "Dab shrink/per dab", 0, 0, -1},
    {120, kStatic, {10, 140, 165, 160}, "Dab resize[R] (%)", 0, 0, -1},
    {122, kStatic, {10, 174, 165, 194}, "Dab angle (o)", 0, 0, -1},
    {123, kStatic, {10, 206, 165, 226}, "Dab jitter[R] (p)", 0, 0, -1},
    {128, kStatic, {10, 140, 165, 160}, "Dabs per layer", 0, 0, -1},
    {129, kStatic, {10, 162, 165, 182}, "Dabs apply rate", 0, 0, -1},
    {130, kStatic, {10, 190, 165, 210}, "+ Alternate angle (o)", 0, 0, -1},
    {131, kStatic, {10, 212, 165, 232}, "+ Twist angle (o)", 0, 0, -1},
    {132, kStatic, {10, 234, 165, 254}, "Shrink factor / ordered", 0, 0, -1},
    {133, kStatic, {10, 60, 165, 80}, "Bristles per dab", 0, 0, -1},
    {136, kStatic, {10, 82, 165, 102}, "Edge resize (%)", 0, 0, -1},
    {137, kStatic, {10, 104, 165, 124}, "Core resize (%)", 0, 0, -1},
    {138, kStatic, {10, 136, 165, 156}, "Bristle resize (%)", 0, 0, -1},
    {134, kStatic, {10, 60, 165, 80}, "Brush width (p)", 0, 0, -1},
    {135, kStatic, {10, 82, 165, 102}, "Brush height (p)", 0, 0, -1},
    {140, kStatic, {10, 104, 165, 124}, "Brush slant (o)", 0, 0, -1},
    {141, kStatic, {10, 126, 165, 146}, "Brush resize (%)", 0, 0, -1},
    {81, kPopup, {320, 100, 400, 120}, "", 0, 0, -1},
    {85, kPopup, {10, 256, 160, 276}, "", 0, 0, -1},
    {84, kPopup, {10, 256, 160, 276}, "", 0, 0, -1},
    {82, kPopup, {10, 60, 200, 80}, "", 0, 0, -1},
    {83, kPopup, {10, 82, 200, 102}, "", 0, 0, -1},
    {80, kPopup, {10, 200, 200, 220}, "", 0, 0, -1},
    {42, kCheck, {10, 110, 160, 124}, "Paint anywhere", 0, 0, -1},
    {41, kCheck, {160, 110, 300, 124}, "Overlap paint", 0, 0, -1},
    {48, kCheck, {10, 179, 210, 193}, "Number of bristles [R]", 0, 0, -1},
    {49, kCheck, {10, 196, 210, 208}, "Bristles random symbols", 0, 0, -1},
    {50, kCheck, {10, 160, 210, 174}, "Brush width [R]", 0, 0, -1},
    {51, kCheck, {10, 177, 210, 191}, "Brush height [R]", 0, 0, -1},
    {40, kCheck, {10, 60, 210, 74}, "Dab link v/h resize", 0, 0, -1},
    {43, kCheck, {10, 77, 210, 91}, "Dab align to direction", 0, 0, -1},
    {44, kCheck, {10, 94, 210, 108}, "Dab random symbols", 0, 0, -1},
    {45, kCheck, {10, 111, 210, 125}, "Dab in palette order", 0, 0, -1},
    {52, kCheck, {10, 128, 210, 142}, "Align angle / endpoint", 0, 0, -1},
    {47, kCheck, {10, 145, 210, 159}, "Apply bristles AND dab", 0, 0, -1},
    {53, kCheck, {10, 163, 210, 177}, "Align bristles to dab", 0, 0, -1},
    {46, kCheck, {10, 180, 210, 194}, "Sync brush to dab", 0, 0, -1},
    {54, kCheck, {10, 197, 210, 211}, "Expand symbol + delete", 0, 0, -1},
    {55, kCheck, {10, 214, 210, 228}, "Create [R]", 0, 0, -1},
    {56, kCheck, {10, 231, 210, 245}, "Pen pressure-dabsize", 0, 0, -1},
    {60, kCheck, {10, 248, 210, 262}, "Pen pressure-dabshift", 0, 0, -1},
    {57, kCheck, {10, 265, 210, 279}, "Pen pressure-bristles", 0, 0, -1},
    {58, kCheck, {10, 282, 210, 296}, "Pen pressure-width", 0, 0, -1},
    {59, kCheck, {10, 299, 210, 313}, "Pen pressure-twist", 0, 0, -1},
    {1, kButton, {320, 10, 400, 30}, "OK", 0, 0, -1},
    {2, kButton, {320, 40, 400, 60}, "Cancel", 0, 0, -1},
    {150, kButton, {320, 70, 400, 90}, "Tumble", 0, 0, -1},
    {100, kPicture, {10, 5, 60, 35}, "", 0, 0, -1},
    {101, kPicture, {70, 5, 120, 35}, "", 0, 0, -1},
    {102, kPicture, {130, 5, 180, 35}, "", 0, 0, -1},
    {103, kPicture, {190, 5, 240, 35}, "", 0, 0, -1},
    {104, kPicture, {250, 5, 300, 35}, "", 0, 0, -1},
    {105, kStatic, {18, 40, 68, 55}, "Dab", 0, 0, -1},
    {106, kStatic, {76, 40, 126, 55}, "Apply", 0, 0, -1},
    {107, kStatic, {133, 40, 183, 55}, "Edge", 0, 0, -1},
    {108, kStatic, {192, 40, 242, 55}, "Brush", 0, 0, -1},
    {109, kStatic, {250, 40, 300, 55}, "Setting", 0, 0, -1},
};

// Controls with a notify procedure of their own; every other one answers
// with the dialog manager's default handling.
const std::set<std::int32_t> kNotifying = {1, 150, 81, 100, 101, 102, 103, 104, 30, 21, 42, 45};

TEST_F(OptionsDialogTest, CreatesEveryControlInOrderWithItsKindRectangleTextRangeAndPrecision)
{
    EXPECT_EQ(EditOptions([](host::DialogSession& user) { user.Close(); }), kStopErr);
    const host::DialogRun& run = LastRun();
    ASSERT_EQ(run.items.size(), std::size(kLayout));
    for (std::size_t i = 0; i < std::size(kLayout); ++i) {
        const ExpectedControl& expected = kLayout[i];
        const host::ItemState& item = run.items[i];
        SCOPED_TRACE("control " + std::to_string(expected.id));
        EXPECT_EQ(item.id, expected.id) << "created in position " << i;
        EXPECT_EQ(item.type, expected.type);
        EXPECT_EQ(item.rect.left, expected.rect.left);
        EXPECT_EQ(item.rect.top, expected.rect.top);
        EXPECT_EQ(item.rect.right, expected.rect.right);
        EXPECT_EQ(item.rect.bottom, expected.rect.bottom);
        EXPECT_EQ(item.text, expected.text);
        EXPECT_EQ(item.precision, expected.precision);
        EXPECT_EQ(item.hasNotify, kNotifying.count(expected.id) == 1);
        if (item.type == std::string(kSpin)) {
            EXPECT_EQ(item.units, 0) << "plain numbers";
            EXPECT_TRUE(item.hasMinimum && item.hasMaximum);
            EXPECT_EQ(item.minimum, expected.minimum);
            EXPECT_EQ(item.maximum, expected.maximum);
        } else {
            EXPECT_FALSE(item.hasMinimum || item.hasMaximum);
        }
    }
}

TEST_F(OptionsDialogTest, FillsTheSixPopupListsWithTheirTextsAndPositionsAsIds)
{
    const std::vector<std::pair<std::int32_t, std::vector<std::string>>> lists = {
        {85,
         {" No mirror / reflection", " Reflected about vertical view center",
          " Reflected about horizontal view center", " Close to vertical center",
          " Tile around document view center", " Reflected diagonal about view center", " Triangular",
          " Tile around document center", " Four about vertical view center", " Four about horizontal view center",
          " Horizontal view center variant", " Four diagonal about view center",
          " Eight about horizontal view center", " Reflected about vertical start point",
          " Reflected about horizontal start point", " Vertical start point variant [R]",
          " Horizontal start point variant [R]", " Tile around start point", " Reflected about vertical last point",
          " Reflected about vertical start point +", " Reflected about horizontal start point +",
          " 4 - Reflected about horizontal start point +", " Reversed"}},
        {80,
         {" Square brush", " Ring brush", " Line brush", " X brush", " Cross brush", " Arrowhead brush",
          " Split brush", " Frame brush", " Double ring brush", " Triple ring brush"}},
        {82,
         {" Paint on Anchor Point", " Paint on leading direction line end point",
          " Paint on trailing direction line end point", " Paint on hit segment interior",
          " Paint on generated by infill during preview mode", " Paint on centre point",
          " Paint on intersection of two guides"}},
        {83,
         {" Apply to paths/objects anywhere", " Apply to brush on bezier points",
          " Only first or last bezier point hits on path", " Only guide object hits",
          " Only hits on points on paths or any guides", " Only hits on text objects",
          " Only hits already-selected objects", " Only hits paintable objects (non-guide paths & text)",
          " Same as all but doesn't test against object fills", " Same as paint but doesn't test against object fills",
          " Same as all but doesn't test against direction line endpoints", " Same as paint but no locked objects"}},
        {84,
         {" Interpolation - symbol", " Document view center", " Entire document", " Corner", " Horizontal increase",
          " Vertical increase", " Diagonal increase", " Start point", " Bottom", " Top", " Left", " Right", " Frame"}},
        {81,
         {" Default Settings", " 20 Bristles Brush", " Shrinking Brush Dab", " Shrinking Brush Dab/Bristles",
          " Slanted Bristle Brush", " Slow Rotating Dab", " Narrow Bristles", " Rapid Shrinking Dab",
          " Random Symbols Dab", " Dab + Random Symbols Bristles", " Wide + Many Bristles Brush",
          " Dab/Bristles small at edge", " Bristles small in middle/no dab", " 2 brush dabs per layer",
          " 20 brush dabs per layer", " Slight brush slowdown", " Very slow brush stroke",
          " Subtle random angle dabs", " Random angle dabs", " Scattered", " Scattered pressure", " Double ring",
          " Dab fill document", " Dab fill document shrink", " Random dab fill document (shrink)",
          " Horizontal reflection", " Horizontal 4 reflection"}},
    };
    // Fields at the last entry, so a list one short or one long shows.
    gGlobals->mirrorMode = 22;
    gGlobals->brushShape = 9;
    gGlobals->paintOnTarget = 6;
    gGlobals->hitTestMode = 11;
    gGlobals->interpolationTarget = 12;
    gGlobals->presetIndex = 26;
    EditOptions([](host::DialogSession& user) { user.Close(); });
    for (const auto& [id, texts] : lists) {
        SCOPED_TRACE("popup " + std::to_string(id));
        const host::ItemState* popup = LastRun().Find(id);
        ASSERT_NE(popup, nullptr);
        ASSERT_EQ(popup->entries.size(), texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(popup->entries[i].id, static_cast<std::int32_t>(i));
            EXPECT_EQ(popup->entries[i].text, texts[i]);
            EXPECT_EQ(popup->entries[i].selected, i + 1 == texts.size());
        }
    }
}

TEST_F(OptionsDialogTest, OpensFirstOnPageOneAtTheManagersPlace410By340WithTheFocusOnTheFirstResizeField)
{
    EditOptions([](host::DialogSession& user) {
        EXPECT_EQ(VisibleControls(user.dialog()), PageView(1));
        user.Close();
    });
    const host::DialogRun& run = LastRun();
    EXPECT_EQ(run.name, "Tool Dialog 0");
    EXPECT_EQ(run.resourceId, 16101);
    EXPECT_EQ(run.bounds.left, host::DialogManager::kDefaultLeft);
    EXPECT_EQ(run.bounds.top, host::DialogManager::kDefaultTop);
    EXPECT_EQ(run.bounds.right - run.bounds.left, 410);
    EXPECT_EQ(run.bounds.bottom - run.bounds.top, 340);
    EXPECT_TRUE(run.Find(3)->focused);
    EXPECT_TRUE(run.Find(3)->textSelected);
    for (const host::ItemState& item : run.items) {
        if (item.id != 3) {
            EXPECT_FALSE(item.focused) << item.id;
        }
        EXPECT_EQ(item.font, item.id == 105 ? kBoldDialogFont : kDialogFont) << item.id;
    }
    EXPECT_EQ(gGlobals->dialogPage, 1);
    EXPECT_EQ(gGlobals->dialogBoundsValid, 0) << "closing saves no bounds";
}

TEST_F(OptionsDialogTest, EveryControlShowsItsFieldWhenTheDialogOpens)
{
    // A distinct value in every field, some outside their control's range:
    // the dialog hands them over unchanged.
    Globals& g = *gGlobals;
    float real = 1.25f;
    std::int32_t whole = 3;
    for (const BoundControl& bound : kBoundControls) {
        switch (bound.kind) {
        case BoundControl::Real: g.*bound.real = (real += 1.5f); break;
        case BoundControl::Whole: g.*bound.whole = (whole += 2); break;
        case BoundControl::Check: g.*bound.whole = 1 - g.*bound.whole; break;
        case BoundControl::Popup: g.*bound.whole = (whole += 1) % 7; break;
        }
    }
    g.brushWidth = 0.5f;       // below the minimum of 1
    g.initialSize = 6000.0f;   // above the maximum of 5000
    g.bristlesPerDab = 900;    // above the maximum of 500
    const Globals before = g;
    EditOptions([&](host::DialogSession& user) {
        ExpectControlsShow(user.dialog(), before, true);
        user.Close();
    });
    EXPECT_EQ(std::memcmp(&before, gGlobals, sizeof(Globals)), 0) << "opening and closing changes nothing";
}

// What the user does on each page, and what "OK" must then store.
struct Edit {
    std::int32_t id;
    const char* input;    // typed, or the entry chosen; "on"/"off" for a check box
    float expected;       // the field's value after OK
};

TEST_F(OptionsDialogTest, OkStoresWhatTheUserSetInEveryControlAndSavesTheBounds)
{
    // Pages in an order that makes each control reachable: bristles first
    // (rule 3), then palette order (rule 4 for field 16), then "Paint
    // anywhere" off and an interpolation amount (rules 1 and 2) before their
    // popups.
    const std::vector<std::pair<int, std::vector<Edit>>> pages = {
        {3,
         {{21, "7", 7},
          {24, "21.5", 21.5f},
          {25, "-3.25", -3.25f},
          {26, "55", 55},
          {27, "66.75", 66.75f},
          {48, "on", 1},
          {49, "on", 1}}},
        {5,
         {{40, "off", 0}, {43, "off", 0}, {44, "on", 1}, {45, "on", 1}, {52, "on", 1}, {47, "off", 0}, {53, "off", 0},
          {46, "off", 0}, {54, "on", 1}, {55, "on", 1}, {56, "off", 0}, {60, "on", 1}, {57, "off", 0}, {58, "off", 0},
          {59, "on", 1}}},
        {2,
         {{42, "off", 0},
          {82, " Paint on centre point", 5},
          {83, " Same as paint but no locked objects", 11},
          {41, "on", 1},
          {19, "12", 12},
          {20, "34", 34},
          {13, "-45.5", -45.5f},
          {14, "7.25", 7.25f},
          {16, "88.5", 88.5f},
          {30, "12.5", 12.5f},
          {84, " Frame", 12}}},
        {1,
         {{17, "250", 250},
          {18, "-90", -90},
          {15, "97.5", 97.5f},
          {3, "110", 110},
          {4, "120", 120},
          {5, "130", 130},
          {6, "140", 140},
          {7, "-15", -15},
          {8, "15", 15},
          {9, "-1", -1},
          {10, "2", 2},
          {11, "-3", -3},
          {12, "4", 4},
          {85, " Reversed", 22}}},
        {4,
         {{22, "123.25", 123.25f},
          {23, "45.5", 45.5f},
          {29, "30", 30},
          {28, "150", 150},
          {50, "on", 1},
          {51, "on", 1},
          {80, " Triple ring brush", 9}}},
    };
    std::size_t edits = 0;
    for (const auto& page : pages) edits += page.second.size();
    ASSERT_EQ(edits, kBoundControls.size() - 1) << "every control but the presets";

    EXPECT_EQ(EditOptions([&](host::DialogSession& user) {
                  EXPECT_TRUE(user.Move(220, 130));
                  for (const auto& [page, list] : pages) {
                      EXPECT_TRUE(user.Press(99 + page));
                      for (const Edit& edit : list) {
                          SCOPED_TRACE("control " + std::to_string(edit.id));
                          const std::string input = edit.input;
                          const host::Item* item = user.dialog().Find(edit.id);
                          if (item->kind == host::ItemKind::CheckBox) {
                              EXPECT_TRUE(user.Tick(edit.id, input == "on"));
                          } else if (item->kind == host::ItemKind::PopupList) {
                              EXPECT_TRUE(user.Choose(edit.id, input));
                          } else {
                              EXPECT_TRUE(user.Type(edit.id, input));
                          }
                      }
                  }
                  EXPECT_TRUE(user.Press(1));
              }),
              kNoErr);
    EXPECT_EQ(LastRun().result, 1);

    const Globals& g = *gGlobals;
    for (const auto& page : pages) {
        for (const Edit& edit : page.second) {
            SCOPED_TRACE("control " + std::to_string(edit.id));
            const auto bound = std::find_if(kBoundControls.begin(), kBoundControls.end(),
                                            [&](const BoundControl& b) { return b.id == edit.id; });
            ASSERT_NE(bound, kBoundControls.end());
            if (bound->kind == BoundControl::Real) {
                EXPECT_EQ(g.*bound->real, edit.expected);
            } else {
                EXPECT_EQ(g.*bound->whole, static_cast<std::int32_t>(edit.expected));
            }
        }
    }
    EXPECT_EQ(g.dialogPage, 4) << "the last page shown";
    EXPECT_EQ(g.dialogBoundsValid, 1);
    EXPECT_EQ(g.dialogBoundsLeft, 220);
    EXPECT_EQ(g.dialogBoundsTop, 130);
    EXPECT_EQ(g.dialogBoundsRight, 630);
    EXPECT_EQ(g.dialogBoundsBottom, 470);

    // The next opening shows the same values, at the saved place, on page 4.
    EditOptions([&](host::DialogSession& user) {
        ExpectControlsShow(user.dialog(), g, true);
        EXPECT_EQ(VisibleControls(user.dialog()), PageView(4));
        user.Close();
    });
    EXPECT_EQ(LastRun().bounds.left, 220);
    EXPECT_EQ(LastRun().bounds.top, 130);
    EXPECT_EQ(LastRun().bounds.right, 630);
    EXPECT_EQ(LastRun().bounds.bottom, 470);
}

TEST_F(OptionsDialogTest, ASavedPlaceIsRestoredAndTheSizeSetAgain)
{
    Globals& g = *gGlobals;
    g.dialogBoundsValid = 1;
    g.dialogBoundsLeft = 40;
    g.dialogBoundsTop = 30;
    g.dialogBoundsRight = 90;     // a saved rectangle of another size
    g.dialogBoundsBottom = 1000;
    EditOptions([](host::DialogSession& user) { user.Close(); });
    EXPECT_EQ(LastRun().bounds.left, 40);
    EXPECT_EQ(LastRun().bounds.top, 30);
    EXPECT_EQ(LastRun().bounds.right, 450);
    EXPECT_EQ(LastRun().bounds.bottom, 370);
    EXPECT_EQ(g.dialogBoundsRight, 90) << "only OK saves the bounds";
}

TEST_F(OptionsDialogTest, WaysOutOtherThanOkKeepTheUsersEditsOutOfTheSettingsAndTheBoundsUnsaved)
{
    for (bool byCloseBox : {false, true}) {
        SCOPED_TRACE(byCloseBox ? "close box" : "Cancel");
        EXPECT_EQ(EditOptions([&](host::DialogSession& user) {
                      user.Move(300, 300);
                      user.Press(100);  // the second opening shows page 5
                      user.Type(17, "42");
                      user.Choose(85, " Reversed");
                      user.Press(104);
                      user.Tick(43, false);
                      if (byCloseBox) {
                          user.Close();
                      } else {
                          user.Press(2);
                      }
                  }),
                  kStopErr);
        EXPECT_NE(LastRun().result, 1);
        EXPECT_EQ(gGlobals->initialSize, 100.0f);
        EXPECT_EQ(gGlobals->dabAlignToDirection, 1);
        EXPECT_EQ(gGlobals->mirrorMode, 0);
        EXPECT_EQ(gGlobals->dialogBoundsValid, 0);
    }
}

TEST_F(OptionsDialogTest, CancelKeepsWhatTheLiveControlsStoredButNotTheOthers)
{
    EXPECT_EQ(EditOptions([](host::DialogSession& user) {
                  user.Press(101);
                  user.Type(19, "17");  // dabsPerLayer: only OK stores it
                  user.Press(102);
                  user.Type(21, "9");   // bristlesPerDab: the rules store it at once
                  user.Press(2);
              }),
              kStopErr);
    EXPECT_EQ(gGlobals->dabsPerLayer, 0);
    EXPECT_EQ(gGlobals->bristlesPerDab, 9);
    EXPECT_EQ(gGlobals->dialogPage, 3);
}

TEST_F(OptionsDialogTest, CancellingOnPageFourReopensOnPageFourWithTheFocusStillOnControl3)
{
    EditOptions([](host::DialogSession& user) {
        user.Press(103);
        user.Press(2);
    });
    EXPECT_EQ(gGlobals->dialogPage, 4);
    EditOptions([](host::DialogSession& user) {
        EXPECT_EQ(VisibleControls(user.dialog()), PageView(4));
        EXPECT_EQ(BoldControls(user.dialog()), std::set<std::int32_t>{108});
        user.Close();
    });
    EXPECT_TRUE(LastRun().Find(3)->focused) << "focused though hidden";
    EXPECT_FALSE(LastRun().Find(3)->visible);
}

TEST_F(OptionsDialogTest, APageOutsideOneToFiveOpensPageOneAndStoresOne)
{
    for (std::int32_t page : {0, 6, -1, 1000}) {
        SCOPED_TRACE(page);
        gGlobals->dialogPage = page;
        EditOptions([](host::DialogSession& user) {
            EXPECT_EQ(VisibleControls(user.dialog()), PageView(1));
            EXPECT_EQ(BoldControls(user.dialog()), std::set<std::int32_t>{105});
            user.Close();
        });
        EXPECT_EQ(gGlobals->dialogPage, 1);
    }
}

TEST_F(OptionsDialogTest, EachPageButtonShowsItsPageOnlyAndMakesItsCaptionBold)
{
    for (int opening = 1; opening <= 5; ++opening) {
        gGlobals->dialogPage = opening;
        EditOptions([&](host::DialogSession& user) {
            EXPECT_EQ(VisibleControls(user.dialog()), PageView(opening));
            for (int page : {1, 2, 3, 4, 5, 5, 3}) {
                SCOPED_TRACE("opened on " + std::to_string(opening) + ", pressed " + std::to_string(page));
                EXPECT_TRUE(user.Press(99 + page));
                EXPECT_EQ(VisibleControls(user.dialog()), PageView(page));
                EXPECT_EQ(BoldControls(user.dialog()), std::set<std::int32_t>{104 + page});
                EXPECT_EQ(gGlobals->dialogPage, page);
            }
            user.Close();
        });
    }
}

TEST_F(OptionsDialogTest, WithoutBristlesExactlyTheBristleBrushAndSixCheckBoxControlsAreDisabled)
{
    const std::set<std::int32_t> bristleDependents = {24,  25,  26,  27,  22,  23,  80,  29, 28, 48, 49, 50, 51,
                                                      136, 137, 138, 134, 135, 140, 141, 47, 53, 46, 52, 57, 58};
    EditOptions([&](host::DialogSession& user) {
        user.Press(102);
        ASSERT_TRUE(user.Type(21, "1"));
        const std::set<std::int32_t> withBristles = DisabledControls(user.dialog());
        ASSERT_TRUE(user.Type(21, "0"));
        const std::set<std::int32_t> without = DisabledControls(user.dialog());
        std::set<std::int32_t> added;
        std::set_difference(without.begin(), without.end(), withBristles.begin(), withBristles.end(),
                            std::inserter(added, added.end()));
        EXPECT_EQ(added, bristleDependents);
        EXPECT_TRUE(std::includes(without.begin(), without.end(), withBristles.begin(), withBristles.end()));
        EXPECT_TRUE(user.dialog().Find(21)->enabled);
        EXPECT_TRUE(user.dialog().Find(133)->enabled);
        ASSERT_TRUE(user.Type(21, "1"));
        EXPECT_EQ(DisabledControls(user.dialog()), withBristles);
        user.Close();
    });
}

TEST_F(OptionsDialogTest, OnlyAnInterpolationAmountOfExactlyZeroDisablesTheTargetPopup)
{
    struct Case {
        const char* typed;
        float stored;
        bool enabled;
    } cases[] = {
        {"-0.01", -0.01f, true},
        {"0", 0.0f, false},
        {"0.01", 0.01f, true},
        {"0.004", 0.0f, false},  // rounded to the two decimal places shown
        {"1000", 1000.0f, true},
    };
    EditOptions([&](host::DialogSession& user) {
        user.Press(101);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.typed);
            ASSERT_TRUE(user.Type(30, c.typed));
            EXPECT_EQ(gGlobals->interpolationAmount, c.stored);
            EXPECT_EQ(user.dialog().Find(84)->enabled, c.enabled);
        }
        user.Close();
    });
}

TEST_F(OptionsDialogTest, PaintAnywhereDisablesBothHitPopupsAndKeepsTheirChoices)
{
    EditOptions([](host::DialogSession& user) {
        user.Press(101);
        EXPECT_FALSE(user.dialog().Find(82)->enabled) << "on by default";
        EXPECT_FALSE(user.dialog().Find(83)->enabled);
        ASSERT_TRUE(user.Tick(42, false));
        EXPECT_EQ(gGlobals->paintAnywhere, 0);
        EXPECT_TRUE(user.dialog().Find(82)->enabled);
        EXPECT_TRUE(user.dialog().Find(83)->enabled);
        ASSERT_TRUE(user.ChooseAt(82, 2));
        ASSERT_TRUE(user.ChooseAt(83, 9));
        ASSERT_TRUE(user.Tick(42, true));
        EXPECT_EQ(gGlobals->paintAnywhere, 1);
        EXPECT_FALSE(user.dialog().Find(82)->enabled);
        EXPECT_FALSE(user.dialog().Find(83)->enabled);
        EXPECT_EQ(SelectedId(*user.dialog().Find(82)), 2);
        EXPECT_EQ(SelectedId(*user.dialog().Find(83)), 9);
        user.Press(1);
    });
    EXPECT_EQ(gGlobals->paintOnTarget, 2);
    EXPECT_EQ(gGlobals->hitTestMode, 9);
}

TEST_F(OptionsDialogTest, PaletteOrderEnablesTheOrderedShrinkFieldAndItsCaption)
{
    EditOptions([](host::DialogSession& user) {
        EXPECT_FALSE(user.dialog().Find(16)->enabled);
        EXPECT_FALSE(user.dialog().Find(132)->enabled);
        user.Press(104);
        ASSERT_TRUE(user.Tick(45, true));
        EXPECT_EQ(gGlobals->dabPaletteOrder, 1);
        EXPECT_TRUE(user.dialog().Find(16)->enabled);
        EXPECT_TRUE(user.dialog().Find(132)->enabled);
        ASSERT_TRUE(user.Tick(45, false));
        EXPECT_FALSE(user.dialog().Find(16)->enabled);
        EXPECT_FALSE(user.dialog().Find(132)->enabled);
        user.Close();
    });
    EXPECT_EQ(gGlobals->dabPaletteOrder, 0);
}

TEST_F(OptionsDialogTest, TypedNumbersAreRoundedToTheShownPlacesAndHeldToTheControlsRange)
{
    struct Case {
        int page;
        std::int32_t id;
        const char* typed;
        float expected;   // the field after OK
    } cases[] = {
        {3, 21, "9999", 500},          // whole: held to 0..500
        {3, 21, "-5", 0},
        {3, 21, "12.6", 13},           // no places set: kept as typed, read to the nearest whole
        {1, 17, "-20000", -5000},      // real: held to -5000..5000
        {1, 17, "5000.004", 5000},     // rounded to 5000.00
        {1, 3, "12.345", 12.35f},      // half away from zero at the second place
        {1, 3, "-12.345", -12.35f},
        {1, 3, "12.344", 12.34f},
        {1, 3, " 1e2 ", 100},          // any number a person may type, blanks around it
        {2, 19, "200.4", 200},
        {4, 22, "0.2", 1},             // below the brush's minimum of 1
        {4, 28, "1e9", 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " typed \"" + c.typed + "\"");
        gGlobals->bristlesPerDab = 1;  // the brush controls enabled
        EditOptions([&](host::DialogSession& user) {
            user.Press(99 + c.page);
            EXPECT_TRUE(user.Type(c.id, c.typed));
            EXPECT_TRUE(user.dialog().Find(c.id)->focused);
            user.Press(1);
        });
        const auto bound = std::find_if(kBoundControls.begin(), kBoundControls.end(),
                                        [&](const BoundControl& b) { return b.id == c.id; });
        if (bound->kind == BoundControl::Real) {
            EXPECT_EQ(gGlobals->*bound->real, c.expected);
        } else {
            EXPECT_EQ(gGlobals->*bound->whole, static_cast<std::int32_t>(c.expected));
        }
    }
}

TEST_F(OptionsDialogTest, TextThatIsNotANumberIsRefusedByTheControlWhichKeepsItsValue)
{
    for (const char* typed : {"abc", "", "12x", "1e999", "nan"}) {
        SCOPED_TRACE(typed);
        EditOptions([&](host::DialogSession& user) {
            user.Press(102);
            EXPECT_FALSE(user.Type(21, typed));
            EXPECT_EQ(user.dialog().Find(21)->IntValue(), 0);
            user.Press(1);
        });
        EXPECT_EQ(gGlobals->bristlesPerDab, 0);
    }
    EXPECT_TRUE(host.Dialogs().Violations().empty()) << "a mistyped number is no misuse";
}

TEST_F(OptionsDialogTest, TheUserCannotReachHiddenOrDisabledControls)
{
    EditOptions([](host::DialogSession& user) {
        EXPECT_FALSE(user.Type(21, "5")) << "page 3 is hidden";
        EXPECT_FALSE(user.Tick(44, true)) << "page 5 is hidden";
        EXPECT_FALSE(user.Choose(85, " No such entry"));
        EXPECT_FALSE(user.ChooseAt(85, 23));
        EXPECT_FALSE(user.Press(105)) << "a caption is no button";
        EXPECT_FALSE(user.Type(85, "3")) << "a popup is no spin edit";
        EXPECT_FALSE(user.Press(999));
        user.Press(101);
        EXPECT_FALSE(user.Type(16, "50")) << "disabled without palette order";
        EXPECT_FALSE(user.ChooseAt(82, 1)) << "disabled while painting anywhere";
        EXPECT_TRUE(user.Press(2));
        EXPECT_FALSE(user.Press(1)) << "the dialog has ended";
        EXPECT_FALSE(user.Close());
    });
    expectedViolations = 11;
    EXPECT_EQ(LastRun().result, 2);
    EXPECT_EQ(gGlobals->bristlesPerDab, 0);
    EXPECT_EQ(gGlobals->dabRandomSymbols, 0);
    EXPECT_EQ(gGlobals->shrinkFactorOrdered, 100.0f);
    EXPECT_EQ(gGlobals->mirrorMode, 0);
}

TEST_F(OptionsDialogTest, APopupWhoseFieldHasNoEntrySelectsNothingAndOkKeepsTheField)
{
    gGlobals->mirrorMode = 40;
    gGlobals->bristlesPerDab = 1;
    gGlobals->brushShape = -1;
    EditOptions([](host::DialogSession& user) {
        EXPECT_EQ(SelectedId(*user.dialog().Find(85)), -1);
        EXPECT_EQ(SelectedId(*user.dialog().Find(80)), -1);
        user.Press(103);
        user.Choose(80, " Ring brush");
        user.Press(1);
    });
    EXPECT_EQ(gGlobals->mirrorMode, 40) << "nothing chosen, nothing stored";
    EXPECT_EQ(gGlobals->brushShape, 1);
}

TEST_F(OptionsDialogTest, ThePictureShowsTheVisiblePageWithItsBoldCaptionGreyedControlsAndValues)
{
    std::vector<std::string> pictures;
    EditOptions([&](host::DialogSession& user) {
        pictures.push_back(user.Picture());
        user.Press(101);
        user.Tick(42, false);
        user.ChooseAt(83, 7);
        pictures.push_back(user.Picture());
        user.Press(103);
        pictures.push_back(user.Picture());
        user.Close();
    });
    ASSERT_EQ(pictures.size(), 3u);
    const std::string& dab = pictures[0];
    const std::string& apply = pictures[1];
    const std::string& brush = pictures[2];
    for (const std::string& svg : pictures) {
        EXPECT_EQ(svg.rfind("<svg ", 0), 0u);
        EXPECT_NE(svg.find("</svg>"), std::string::npos);
        EXPECT_NE(svg.find("Kadrelle Options"), std::string::npos) << "the window caption";
        EXPECT_NE(svg.find(">OK</text>"), std::string::npos);
        EXPECT_NE(svg.find(">Tumble</text>"), std::string::npos);
        EXPECT_NE(svg.find("> Default Settings</text>"), std::string::npos) << "the preset popup's entry";
    }
    // Page 1: its captions and values, its caption bold, nothing of the others.
    EXPECT_NE(dab.find("font-weight=\"bold\" xml:space=\"preserve\">Dab</text>"), std::string::npos);
    EXPECT_EQ(dab.find("font-weight=\"bold\" xml:space=\"preserve\">Apply</text>"), std::string::npos);
    EXPECT_NE(dab.find(">Initial size (%)</text>"), std::string::npos);
    EXPECT_NE(dab.find(">100.00</text>"), std::string::npos);
    EXPECT_NE(dab.find("> No mirror / reflection</text>"), std::string::npos);
    EXPECT_EQ(dab.find("Brush width (p)"), std::string::npos);
    EXPECT_EQ(dab.find("Paint anywhere"), std::string::npos);
    EXPECT_NE(dab.find("class=\"focus\""), std::string::npos) << "control 3 has the focus";
    // Page 2: the chosen hit-test entry, escaped; the ordered shrink greyed.
    EXPECT_NE(apply.find("> Only hits paintable objects (non-guide paths &amp; text)</text>"), std::string::npos);
    EXPECT_NE(GroupTag(apply, 16).find("class=\"disabled\""), std::string::npos);
    EXPECT_NE(GroupTag(apply, 132).find("class=\"disabled\""), std::string::npos);
    ASSERT_FALSE(GroupTag(apply, 83).empty());
    EXPECT_EQ(GroupTag(apply, 83).find("class=\"disabled\""), std::string::npos);
    EXPECT_EQ(apply.find("Initial size (%)"), std::string::npos);
    // Page 4 without bristles: every brush control greyed.
    EXPECT_NE(brush.find(">Brush width (p)</text>"), std::string::npos);
    EXPECT_NE(GroupTag(brush, 22).find("class=\"disabled\""), std::string::npos);
    EXPECT_NE(brush.find("> Square brush</text>"), std::string::npos);
    const auto count = [](const std::string& svg, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count(brush, "<g id=\"item"), PageView(4).size()) << "one group per visible control";
    EXPECT_EQ(count(dab, "<g id=\"item"), PageView(1).size());
}

TEST_F(OptionsDialogTest, ThePictureTicksTheCheckBoxesThatAreOn)
{
    std::string before;
    std::string after;
    EditOptions([&](host::DialogSession& user) {
        user.Press(104);
        before = user.Picture();
        user.Tick(55, true);
        after = user.Picture();
        user.Close();
    });
    ASSERT_FALSE(Group(before, 55).empty());
    EXPECT_EQ(Group(before, 55).find("<path"), std::string::npos);
    EXPECT_NE(Group(after, 55).find("<path"), std::string::npos);
    EXPECT_NE(Group(before, 40).find("<path"), std::string::npos) << "dabLinkResize is on by default";
}

}  // namespace
}  // namespace kadrelle_test
