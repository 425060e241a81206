// The module's resources as the stand-in host sees them (compiled from
// resources/kadrelle.rc by rcgen), and rcgen's own handling of good and bad
// scripts.
#include "host/resources.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#ifndef RCGEN_PATH
#error "RCGEN_PATH must be defined as the path of the rcgen executable"
#endif

namespace {

namespace fs = std::filesystem;

constexpr const char* kPushButton = "ADM Text Push Button Type";
constexpr const char* kStaticText = "ADM Text Static Type";
constexpr const char* kFrame = "ADM Frame Type";

// Little-endian byte builder.
class ByteWriter {
public:
    ByteWriter& U8(std::uint8_t v)
    {
        bytes_.push_back(v);
        return *this;
    }
    ByteWriter& U16(std::uint16_t v)
    {
        return U8(static_cast<std::uint8_t>(v & 0xFF)).U8(static_cast<std::uint8_t>(v >> 8));
    }
    ByteWriter& U32(std::uint32_t v)
    {
        return U16(static_cast<std::uint16_t>(v & 0xFFFF)).U16(static_cast<std::uint16_t>(v >> 16));
    }
    // A four-character code: a 32-bit value whose top byte is the first character.
    ByteWriter& FourCC(std::string_view code)
    {
        std::uint32_t v = 0;
        for (char c : code) {
            v = (v << 8) | static_cast<unsigned char>(c);
        }
        return U32(v);
    }
    ByteWriter& Text(std::string_view text)
    {
        for (char c : text) {
            U8(static_cast<std::uint8_t>(c));
        }
        return *this;
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// ---------------------------------------------------------------------------
// Property list
// ---------------------------------------------------------------------------

std::vector<std::uint8_t> ExpectedPipl()
{
    ByteWriter w;
    w.U16(1).U32(0).U32(3);
    w.FourCC("ADBE").FourCC("kind").U32(0).U32(4).FourCC("SPEA");
    w.FourCC("ADBE").FourCC("ivrs").U32(0).U32(4).U32(2);
    w.FourCC("ADBE").FourCC("wx86").U32(0).U32(12).Text("PluginMain").U8(0).U8(0);
    w.U8(0);
    return w.Bytes();
}

TEST(PluginResources, PiplIsTheExactPropertyList)
{
    const auto pipl = host::PluginResourceData().pipl;
    const std::vector<std::uint8_t> actual(pipl.begin(), pipl.end());
    ASSERT_EQ(actual.size(), 79u);
    EXPECT_EQ(actual, ExpectedPipl());
}

TEST(PluginResources, PiplStoresFourCharCodesReversed)
{
    // The first property's vendor 'ADBE' and the kind value 'SPEA', as stored.
    const auto pipl = host::PluginResourceData().pipl;
    ASSERT_GE(pipl.size(), 30u);
    EXPECT_EQ(std::string(pipl.begin() + 10, pipl.begin() + 14), "EBDA");
    EXPECT_EQ(std::string(pipl.begin() + 26, pipl.begin() + 30), "AEPS");
}

// ---------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------

struct StringCase {
    std::int32_t id;
    const char* text;
};

constexpr StringCase kStringCases[] = {
    {16050, "<Mac strings begin at index 1>"},
    {16051, "-108"},
    {16052, "Kadrelle cannot complete because there isn't enough memory (RAM) available."},
    {16053, "271"},
    {16054, "Kadrelle cannot complete because there isn't enough memory (RAM) available."},
    {16055, "SEGM"},
    {16056, "Kadrelle cannot complete because a layer is locked or invisible."},
    {16057, "NESS"},
    {16058, "Kadrelle cannot complete because a path has too many anchor points."},
    {16059, "!sel"},
    {16060, "The selection is not valid for Kadrelle"},
    {16061, "<Others>"},
    {16062,
     "Unknown error: possible solution, please select a symbol from the current document symbol palette "
     "or set the random OR ordered option to on"},
    {16100, "<First Mac index is 1>"},
    {16101, "Kadrelle"},
};

void PrintTo(const StringCase& c, std::ostream* os)
{
    *os << c.id;
}

class ResourceStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(ResourceStringTest, HasExactText)
{
    const StringCase& c = GetParam();
    const char* text = host::FindResourceString(c.id);
    ASSERT_NE(text, nullptr) << "string " << c.id;
    EXPECT_STREQ(text, c.text) << "string " << c.id;
}

INSTANTIATE_TEST_SUITE_P(ErrorAndToolLists, ResourceStringTest, ::testing::ValuesIn(kStringCases),
                         [](const ::testing::TestParamInfo<StringCase>& param) {
                             return "Id" + std::to_string(param.param.id);
                         });

class AbsentStringTest : public ::testing::TestWithParam<std::int32_t> {};

TEST_P(AbsentStringTest, IsNotFound)
{
    EXPECT_EQ(host::FindResourceString(GetParam()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(OutsideTheLists, AbsentStringTest,
                         ::testing::Values(16049, 16063, 16099, 16103, 0, -1, 16000));

TEST(PluginResources, ToolTipTellsHowToGetASymbol)
{
    const char* tip = host::FindResourceString(16102);
    ASSERT_NE(tip, nullptr);
    const std::string text = tip;
    EXPECT_NE(text.find("Symbols palette"), std::string::npos) << text;
    EXPECT_NE(text.find("random"), std::string::npos) << text;
}

TEST(PluginResources, StringTableHoldsOnlyTheListsSortedById)
{
    const auto strings = host::PluginResourceData().strings;
    ASSERT_EQ(strings.size(), std::size(kStringCases) + 1);   // plus the tooltip
    for (std::size_t i = 1; i < strings.size(); ++i) {
        EXPECT_LT(strings[i - 1].id, strings[i].id) << "at index " << i;
    }
}

// ---------------------------------------------------------------------------
// Dialogs
// ---------------------------------------------------------------------------

struct ItemCase {
    std::int32_t id;
    const char* itemType;
    std::int32_t left, top, width, height;
    const char* text;
};

void ExpectItems(const host::DialogTemplate& dialog, const std::vector<ItemCase>& expected)
{
    ASSERT_EQ(dialog.items.size(), expected.size()) << "dialog " << dialog.id;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const host::DialogItemTemplate& item = dialog.items[i];
        const ItemCase& want = expected[i];
        SCOPED_TRACE("dialog " + std::to_string(dialog.id) + " item " + std::to_string(want.id));
        EXPECT_EQ(item.id, want.id);
        EXPECT_STREQ(item.itemType, want.itemType);
        EXPECT_EQ(item.left, want.left);
        EXPECT_EQ(item.top, want.top);
        EXPECT_EQ(item.width, want.width);
        EXPECT_EQ(item.height, want.height);
        EXPECT_STREQ(item.text, want.text);
    }
}

TEST(PluginResources, ErrorDialog)
{
    const host::DialogTemplate* dialog = host::FindDialogTemplate(16051);
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->caption, "Plug-in Error");
    EXPECT_EQ(dialog->width, 228);
    EXPECT_EQ(dialog->height, 129);
    EXPECT_STREQ(dialog->fontName, "MS Sans Serif");
    EXPECT_EQ(dialog->fontSize, 8);
    ExpectItems(*dialog, {
                             {1, kPushButton, 89, 110, 50, 14, "OK"},
                             {2, kStaticText, 33, 10, 188, 93, "Message"},
                             {3, kStaticText, 3, 81, 30, 8, "Code"},
                             {4, kFrame, 10, 10, 18, 20, ""},
                         });
}

TEST(PluginResources, AboutDialogLayout)
{
    const host::DialogTemplate* dialog = host::FindDialogTemplate(16050);
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(dialog->caption, nullptr);
    EXPECT_NE(std::string(dialog->caption).find("Kadrelle"), std::string::npos) << dialog->caption;
    EXPECT_EQ(dialog->width, 277);
    EXPECT_EQ(dialog->height, 146);
    EXPECT_STREQ(dialog->fontName, "MS Sans Serif");
    EXPECT_EQ(dialog->fontSize, 8);
    ASSERT_EQ(dialog->items.size(), 8u);

    const host::DialogItemTemplate& ok = dialog->items[0];
    EXPECT_EQ(ok.id, 1);
    EXPECT_STREQ(ok.itemType, kPushButton);
    EXPECT_STREQ(ok.text, "&OK");
    EXPECT_EQ(ok.left, 116);
    EXPECT_EQ(ok.top, 124);
    EXPECT_EQ(ok.width, 44);
    EXPECT_EQ(ok.height, 14);

    // Seven static texts, ids 2..8, one under the other, inside the dialog,
    // each wide enough for its text at four dialog units a character.
    for (std::size_t i = 1; i < dialog->items.size(); ++i) {
        const host::DialogItemTemplate& item = dialog->items[i];
        SCOPED_TRACE("item " + std::to_string(item.id));
        EXPECT_EQ(item.id, static_cast<std::int32_t>(i + 1));
        EXPECT_STREQ(item.itemType, kStaticText);
        EXPECT_GE(item.left, 0);
        EXPECT_LE(item.left + item.width, dialog->width);
        EXPECT_LE(item.top + item.height, ok.top);
        EXPECT_LE(static_cast<std::int32_t>(std::strlen(item.text)) * 4, item.width) << item.text;
        if (i > 1) {
            const host::DialogItemTemplate& above = dialog->items[i - 1];
            EXPECT_GE(item.top, above.top + above.height);
        }
    }
    EXPECT_LE(ok.left + ok.width, dialog->width);
    EXPECT_LE(ok.top + ok.height, dialog->height);
}

TEST(PluginResources, AboutDialogTexts)
{
    const host::DialogTemplate* dialog = host::FindDialogTemplate(16050);
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(dialog->items.size(), 8u);
    EXPECT_STREQ(dialog->items[1].text, "Kadrelle");
    std::string all;
    for (const host::DialogItemTemplate& item : dialog->items) {
        all += item.text;
        all += '\n';
    }
    for (const char* needed : {"Illustrator", "CS2", "Version 1.0", "The Kadrelle project", "issue tracker"}) {
        EXPECT_NE(all.find(needed), std::string::npos) << "missing \"" << needed << "\" in\n" << all;
    }
    for (const char* banned : {"Adobe Systems", "http", "www.", ".com"}) {
        EXPECT_EQ(all.find(banned), std::string::npos) << "found \"" << banned << "\" in\n" << all;
    }
}

TEST(PluginResources, ToolOptionsDialogIsAnEmptyTemplate)
{
    const host::DialogTemplate* dialog = host::FindDialogTemplate(16101);
    ASSERT_NE(dialog, nullptr);
    EXPECT_STREQ(dialog->caption, "Kadrelle Options");
    EXPECT_TRUE(dialog->items.empty());
    EXPECT_GT(dialog->width, 0);
    EXPECT_GT(dialog->height, 0);
}

TEST(PluginResources, OnlyTheThreeDialogsExist)
{
    const auto dialogs = host::PluginResourceData().dialogs;
    std::vector<std::int32_t> ids;
    for (const host::DialogTemplate& d : dialogs) {
        ids.push_back(d.id);
    }
    EXPECT_EQ(ids, (std::vector<std::int32_t>{16050, 16051, 16101}));
    for (std::int32_t absent : {16000, 16052, 16100, 16102, 0}) {
        EXPECT_EQ(host::FindDialogTemplate(absent), nullptr) << absent;
    }
}

// ---------------------------------------------------------------------------
// Icon and cursor
// ---------------------------------------------------------------------------

TEST(PluginResources, ToolIcon)
{
    const auto icons = host::PluginResourceData().icons;
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].id, 16051);
    EXPECT_EQ(icons[0].width, 32);
    EXPECT_EQ(icons[0].height, 32);
    EXPECT_EQ(icons[0].bitCount, 4);
}

TEST(PluginResources, PaintingCursor)
{
    const auto cursors = host::PluginResourceData().cursors;
    ASSERT_EQ(cursors.size(), 1u);
    EXPECT_EQ(cursors[0].id, 16001);
    EXPECT_EQ(cursors[0].width, 32);
    EXPECT_EQ(cursors[0].height, 32);
    EXPECT_EQ(cursors[0].hotX, 14);
    EXPECT_EQ(cursors[0].hotY, 16);
}

// ---------------------------------------------------------------------------
// rcgen itself, run on scripts written here
// ---------------------------------------------------------------------------

// An .ico (type 1) or .cur (type 2) file with one square, uncompressed,
// blank image; a cursor's hot spot goes into its directory entry.
std::vector<std::uint8_t> ImageFile(std::uint16_t type, std::uint8_t size, std::uint16_t bitCount,
                                    std::uint16_t hotX = 0, std::uint16_t hotY = 0)
{
    const std::uint32_t colours = bitCount <= 8 ? (1u << bitCount) : 0;
    const std::uint32_t xorBytes = (size * bitCount + 31u) / 32u * 4u * size;
    const std::uint32_t andBytes = (size + 31u) / 32u * 4u * size;
    const std::uint32_t imageBytes = 40 + colours * 4 + xorBytes + andBytes;
    ByteWriter w;
    w.U16(0).U16(type).U16(1);
    w.U8(size).U8(size).U8(static_cast<std::uint8_t>(colours)).U8(0);
    if (type == 2) {
        w.U16(hotX).U16(hotY);
    } else {
        w.U16(1).U16(bitCount);
    }
    w.U32(imageBytes).U32(22);
    w.U32(40).U32(size).U32(2u * size).U16(1).U16(bitCount).U32(0).U32(xorBytes + andBytes);
    w.U32(0).U32(0).U32(0).U32(0);
    for (std::uint32_t i = 0; i < colours * 4 + xorBytes + andBytes; ++i) {
        w.U8(0);
    }
    return w.Bytes();
}

struct RunResult {
    int exitCode = -1;
    std::string errors;
};

class RcgenRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name) {
            if (c == '/') {
                c = '_';
            }
        }
        std::random_device random;
        dir_ = fs::temp_directory_path() / ("kadrelle_rcgen_" + std::to_string(random()) + "_" + name);
        fs::create_directories(dir_);
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    void WriteFile(const std::string& name, const std::string& text)
    {
        written_.insert(name);
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }

    void WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        written_.insert(name);
        std::ofstream(dir_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    fs::path Script() const { return dir_ / "test.rc"; }
    fs::path Output() const { return dir_ / "out.cpp"; }

    RunResult Run() const
    {
        const fs::path errors = dir_ / "errors.txt";
        const std::string command = std::string("'") + RCGEN_PATH + "' '" + Script().string() + "' '" +
                                    Output().string() + "' 2>'" + errors.string() + "'";
        const int status = std::system(command.c_str());
        RunResult result;
        if (status != -1 && WIFEXITED(status)) {
            result.exitCode = WEXITSTATUS(status);
        }
        std::ifstream in(errors);
        result.errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return result;
    }

    std::string ReadOutput() const
    {
        std::ifstream in(Output());
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // Files in the directory other than those the test wrote.
    std::vector<std::string> NewFiles() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            if (!written_.contains(name) && name != "errors.txt") {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir_;
    std::set<std::string> written_;
};

TEST_F(RcgenRun, CompilesAScriptAndEscapesItsTexts)
{
    WriteFile("test.rc",
              "16000 PIPL\n"
              "BEGIN\n"
              "    0x0102, \"A\\0B\", 0x01020304L\n"
              "END\n"
              "STRINGTABLE\n"
              "BEGIN\n"
              "    9 \"zero\"\n"
              "    3, \"say \"\"hi\"\" \\\\ \\t\\n\"\n"
              "END\n"
              "5 ICON \"small.ico\"\n"
              "7 CURSOR \"small.cur\"\n");
    WriteFile("small.ico", ImageFile(1, 16, 8));
    WriteFile("small.cur", ImageFile(2, 16, 1, 3, 5));

    const RunResult result = Run();
    ASSERT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(NewFiles(), std::vector<std::string>{"out.cpp"});
    const std::string source = ReadOutput();
    for (const char* expected : {
             "    2, 1, 65, 0, 66, 4, 3, 2, 1,\n",        // 16-bit, string with \0, 32-bit
             "    {3, \"say \\\"hi\\\" \\\\ \\t\\n\"},\n"  // sorted before 9, escapes rewritten
             "    {9, \"zero\"},\n",
             "    {5, 16, 16, 8},\n",
             "    {7, 16, 16, 3, 5},\n",
         }) {
        EXPECT_NE(source.find(expected), std::string::npos) << "missing:\n" << expected << "in:\n" << source;
    }
}

struct BrokenScript {
    const char* name;
    const char* script;
    int line;             // expected in the message; 0 for a fault of the whole script
    const char* mention;  // expected somewhere in the message
};

constexpr const char* kValidPipl = "16000 PIPL BEGIN 0x0001 END\n";

const BrokenScript kBrokenScripts[] = {
    {"UnsupportedResourceType", "1 BITMAP \"x.bmp\"\n", 2, "BITMAP"},
    {"StringNotClosed", "STRINGTABLE\nBEGIN\n  1 \"abc\nEND\n", 4, "not closed"},
    {"StringTableWithoutEnd", "STRINGTABLE\nBEGIN\n  1 \"abc\"\n", 4, "END"},
    {"DuplicateStringId", "STRINGTABLE\nBEGIN\n  1 \"a\"\n  1 \"b\"\nEND\n", 5, "line 4"},
    {"UnknownEscape", "STRINGTABLE\nBEGIN\n  1 \"a\\qb\"\nEND\n", 4, "\\q"},
    {"ZeroByteInText", "STRINGTABLE\nBEGIN\n  1 \"a\\0b\"\nEND\n", 4, "zero byte"},
    {"PropertyListTwice", "16000 PIPL BEGIN 2 END\n", 2, "already defined"},
    {"PropertyListWithOtherId", "16001 PIPL\nBEGIN\n  1\nEND\n", 2, "must have id 16000"},
    {"NamedConstant", "1 DIALOG 0, 0, 10, 10\nSTYLE WS_POPUP\nBEGIN\nEND\n", 3, "WS_POPUP"},
    {"UnsupportedControl", "1 DIALOG 0, 0, 10, 10\nBEGIN\n  EDITTEXT 5, 1, 1, 5, 5\nEND\n", 4, "EDITTEXT"},
    {"StaticWithoutItemType", "1 DIALOG 0, 0, 10, 10\nBEGIN\n  CONTROL \"\", 4, \"Static\", 0x3, 1, 1, 5, 5\nEND\n", 4,
     "Static"},
    {"DialogWithoutEnd", "1 DIALOG 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 2, 1, 1, 5, 5\n", 4, "END"},
    {"MissingComma", "1 DIALOG 0, 0, 10 10\nBEGIN\nEND\n", 2, "','"},
    {"PreprocessorLine", "#include <windows.h>\n", 2, "preprocessor"},
    {"IconFileMissing", "1 ICON \"missing.ico\"\n", 2, "missing.ico"},
    {"IconFileTruncated", "1 ICON \"short.ico\"\n", 2, "outside the file"},
    {"CursorFileIsAnIcon", "1 CURSOR \"icon.ico\"\n", 2, "not a cursor"},
    {"HotSpotOutsideCursor", "1 CURSOR \"far.cur\"\n", 2, "hot spot"},
    {"CommentNotClosed", "/* no end\n\n", 2, "comment"},
};

void PrintTo(const BrokenScript& broken, std::ostream* os)
{
    *os << broken.name;
}

class RcgenRejects : public RcgenRun, public ::testing::WithParamInterface<BrokenScript> {};

TEST_P(RcgenRejects, WithFileLineAndNoOutput)
{
    const BrokenScript& broken = GetParam();
    WriteFile("test.rc", std::string(kValidPipl) + broken.script);
    auto shortIcon = ImageFile(1, 16, 4);
    shortIcon.resize(30);
    WriteFile("short.ico", shortIcon);
    WriteFile("icon.ico", ImageFile(1, 16, 4));
    WriteFile("far.cur", ImageFile(2, 16, 1, 16, 2));

    const RunResult result = Run();
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(NewFiles(), std::vector<std::string>{});
    const std::string where = Script().string() + ":" + std::to_string(broken.line) + ": error: ";
    EXPECT_EQ(result.errors.rfind(where, 0), 0u) << "expected to start with " << where << "\ngot: " << result.errors;
    EXPECT_NE(result.errors.find(broken.mention), std::string::npos)
        << "expected a mention of " << broken.mention << "\ngot: " << result.errors;
}

INSTANTIATE_TEST_SUITE_P(BrokenScripts, RcgenRejects, ::testing::ValuesIn(kBrokenScripts),
                         [](const ::testing::TestParamInfo<BrokenScript>& param) { return param.param.name; });

TEST_F(RcgenRun, RejectsAScriptWithoutThePropertyList)
{
    WriteFile("test.rc", "STRINGTABLE\nBEGIN\n  1 \"a\"\nEND\n");
    const RunResult result = Run();
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(NewFiles(), std::vector<std::string>{});
    const std::string where = Script().string() + ": error: ";
    EXPECT_EQ(result.errors.rfind(where, 0), 0u) << result.errors;
    EXPECT_NE(result.errors.find("PIPL"), std::string::npos) << result.errors;
}

TEST_F(RcgenRun, RejectsAWordValueThatNeedsThirtyTwoBits)
{
    WriteFile("test.rc", "16000 PIPL\nBEGIN\n  0x0001,\n  0x10000\nEND\n");
    const RunResult result = Run();
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_EQ(NewFiles(), std::vector<std::string>{});
    EXPECT_EQ(result.errors.rfind(Script().string() + ":4: error: ", 0), 0u) << result.errors;
    EXPECT_NE(result.errors.find("16 bits"), std::string::npos) << result.errors;
}

}  // namespace
