#include "rc_script.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <map>
#include <string_view>
#include <utility>

namespace rcgen {

std::string FormatError(const std::string& file, int line, const std::string& message)
{
    if (line > 0) {
        return file + ":" + std::to_string(line) + ": error: " + message;
    }
    return file + ": error: " + message;
}

namespace {

constexpr const char* kPushButton = "ADM Text Push Button Type";
constexpr const char* kStaticText = "ADM Text Static Type";
constexpr const char* kFrame = "ADM Frame Type";

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

std::string Printable(std::string_view text)
{
    std::string out;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F) {
            out += c;
        } else {
            out += '?';
        }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Tokens
// ---------------------------------------------------------------------------

enum class TokenKind { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;            // identifier name, decoded string bytes, punctuation
    std::uint64_t number = 0;
    bool isLong = false;         // number written with an L suffix
    int line = 0;
};

std::string Describe(const Token& token)
{
    switch (token.kind) {
    case TokenKind::Identifier: return "'" + token.text + "'";
    case TokenKind::Number: return "number " + std::to_string(token.number);
    case TokenKind::String: return "string \"" + Printable(token.text) + "\"";
    case TokenKind::Punct: return "'" + token.text + "'";
    case TokenKind::End: return "end of file";
    }
    return "token";
}

class Lexer {
public:
    Lexer(const std::string& text, const std::string& fileName)
        : text_(text), file_(fileName) {}

    std::vector<Token> Run()
    {
        std::vector<Token> tokens;
        for (;;) {
            SkipSpaceAndComments();
            Token token;
            token.line = line_;
            if (pos_ >= text_.size()) {
                // Report the end on the last line, not the empty one after it.
                if (line_ > 1 && !text_.empty() && text_.back() == '\n') {
                    token.line = line_ - 1;
                }
                token.kind = TokenKind::End;
                tokens.push_back(token);
                return tokens;
            }
            const char c = text_[pos_];
            if (c == '#') {
                Fail("preprocessor directives are not supported; write the values out");
            }
            if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                if ((c == 'L' || c == 'l') && Peek(1) == '"') {
                    Fail("wide strings (L\"...\") are not supported");
                }
                token.kind = TokenKind::Identifier;
                while (pos_ < text_.size() && IsWordChar(text_[pos_])) {
                    token.text += text_[pos_++];
                }
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                LexNumber(token);
            } else if (c == '"') {
                token.kind = TokenKind::String;
                token.text = LexString();
            } else if (std::string_view(",|(){}-+~").find(c) != std::string_view::npos) {
                token.kind = TokenKind::Punct;
                token.text = std::string(1, c);
                ++pos_;
            } else {
                Fail("unexpected character '" + Printable(std::string(1, c)) + "'");
            }
            tokens.push_back(std::move(token));
        }
    }

private:
    [[noreturn]] void Fail(const std::string& message) const
    {
        throw InputError(FormatError(file_, line_, message));
    }

    static bool IsWordChar(char c)
    {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    }

    char Peek(std::size_t ahead) const
    {
        return pos_ + ahead < text_.size() ? text_[pos_ + ahead] : '\0';
    }

    void SkipSpaceAndComments()
    {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++pos_;
            } else if (c == '/' && Peek(1) == '/') {
                while (pos_ < text_.size() && text_[pos_] != '\n') {
                    ++pos_;
                }
            } else if (c == '/' && Peek(1) == '*') {
                const int startLine = line_;
                pos_ += 2;
                for (;;) {
                    if (pos_ >= text_.size()) {
                        line_ = startLine;
                        Fail("comment is not closed");
                    }
                    if (text_[pos_] == '*' && Peek(1) == '/') {
                        pos_ += 2;
                        break;
                    }
                    if (text_[pos_] == '\n') {
                        ++line_;
                    }
                    ++pos_;
                }
            } else {
                return;
            }
        }
    }

    void LexNumber(Token& token)
    {
        token.kind = TokenKind::Number;
        int base = 10;
        if (text_[pos_] == '0' && (Peek(1) == 'x' || Peek(1) == 'X')) {
            base = 16;
            pos_ += 2;
        }
        std::uint64_t value = 0;
        std::size_t digits = 0;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            int digit = -1;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (base == 16 && c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (base == 16 && c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            }
            if (digit < 0) {
                break;
            }
            value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
            if (value > 0xFFFFFFFFull) {
                Fail("number is too large for 32 bits");
            }
            ++digits;
            ++pos_;
        }
        if (digits == 0) {
            Fail("hexadecimal number has no digits");
        }
        while (pos_ < text_.size() && std::string_view("LlUu").find(text_[pos_]) != std::string_view::npos) {
            if (text_[pos_] == 'L' || text_[pos_] == 'l') {
                token.isLong = true;
            }
            ++pos_;
        }
        if (pos_ < text_.size() && IsWordChar(text_[pos_])) {
            Fail("malformed number");
        }
        token.number = value;
    }

    // Reads a quoted string and returns its bytes. Inside, "" stands for one
    // quote and backslash escapes work as in C.
    std::string LexString()
    {
        std::string out;
        ++pos_;   // opening quote
        for (;;) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') {
                Fail("string is not closed on its line");
            }
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    out += '"';
                    ++pos_;
                    continue;
                }
                return out;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size() || text_[pos_] == '\n') {
                Fail("string is not closed on its line");
            }
            const char e = text_[pos_++];
            switch (e) {
            case 'a': out += '\a'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'v': out += '\v'; break;
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case '\'': out += '\''; break;
            case '?': out += '?'; break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                while (digits < 2 && pos_ < text_.size() &&
                       std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
                    const char h = text_[pos_++];
                    value = value * 16 +
                            static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(h))
                                                      ? h - '0'
                                                      : std::tolower(static_cast<unsigned char>(h)) - 'a' + 10);
                    ++digits;
                }
                if (digits == 0) {
                    Fail("\\x escape has no hexadecimal digits");
                }
                out += static_cast<char>(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int digits = 1; digits < 3 && pos_ < text_.size() &&
                                         text_[pos_] >= '0' && text_[pos_] <= '7';
                         ++digits) {
                        value = value * 8 + static_cast<unsigned>(text_[pos_++] - '0');
                    }
                    if (value > 0xFF) {
                        Fail("octal escape is larger than one byte");
                    }
                    out += static_cast<char>(value);
                } else {
                    Fail("unknown escape sequence '\\" + Printable(std::string(1, e)) + "'");
                }
            }
        }
    }

    const std::string& text_;
    const std::string& file_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

// ---------------------------------------------------------------------------
// Parser
// ---------------------------------------------------------------------------

struct Value {
    std::int64_t value = 0;
    bool isLong = false;
};

class Parser {
public:
    Parser(std::vector<Token> tokens, const std::string& fileName)
        : tokens_(std::move(tokens)), file_(fileName) {}

    Script Run()
    {
        while (Current().kind != TokenKind::End) {
            if (IsKeyword("STRINGTABLE")) {
                Advance();
                ParseStringTable();
            } else {
                ParseResource();
            }
        }
        return std::move(script_);
    }

private:
    const Token& Current() const { return tokens_[pos_]; }

    const Token& Advance()
    {
        const Token& token = tokens_[pos_];
        if (token.kind != TokenKind::End) {
            ++pos_;
        }
        return token;
    }

    [[noreturn]] void Fail(const std::string& message, int line = 0) const
    {
        throw InputError(FormatError(file_, line > 0 ? line : Current().line, message));
    }

    bool IsKeyword(std::string_view word) const
    {
        return Current().kind == TokenKind::Identifier && EqualsNoCase(Current().text, word);
    }

    bool IsPunct(char c) const
    {
        return Current().kind == TokenKind::Punct && Current().text.size() == 1 && Current().text[0] == c;
    }

    void ExpectComma(const char* what)
    {
        if (!IsPunct(',')) {
            Fail(std::string("expected ',' before ") + what + ", found " + Describe(Current()));
        }
        Advance();
    }

    bool IsBegin() const { return IsKeyword("BEGIN") || IsPunct('{'); }
    bool IsEnd() const { return IsKeyword("END") || IsPunct('}'); }

    void ExpectBegin(const char* what)
    {
        if (!IsBegin()) {
            Fail(std::string("expected BEGIN to open ") + what + ", found " + Describe(Current()));
        }
        Advance();
    }

    std::string ExpectString(const char* what)
    {
        if (Current().kind != TokenKind::String) {
            Fail(std::string("expected a quoted string for ") + what + ", found " + Describe(Current()));
        }
        return Advance().text;
    }

    // A string that the host will hold as a C string.
    std::string ExpectText(const char* what)
    {
        const int line = Current().line;
        std::string text = ExpectString(what);
        if (text.find('\0') != std::string::npos) {
            Fail(std::string(what) + " contains a zero byte, which a C string cannot carry", line);
        }
        return text;
    }

    void SkipMemoryOptions()
    {
        static constexpr std::string_view kOptions[] = {"MOVEABLE", "FIXED", "PURE", "IMPURE",
                                                         "PRELOAD", "LOADONCALL", "DISCARDABLE"};
        while (Current().kind == TokenKind::Identifier &&
               std::any_of(std::begin(kOptions), std::end(kOptions),
                           [&](std::string_view o) { return EqualsNoCase(Current().text, o); })) {
            Advance();
        }
    }

    // expression := term (('|' | '+' | '-') term)*
    // term       := number | '-' term | '~' term | '(' expression ')'
    Value ParseExpression(const char* what)
    {
        Value result = ParseTerm(what);
        while (IsPunct('|') || IsPunct('+') || IsPunct('-')) {
            const char op = Advance().text[0];
            const Value rhs = ParseTerm(what);
            switch (op) {
            case '|':
                result.value = static_cast<std::int64_t>(static_cast<std::uint64_t>(result.value) |
                                                         static_cast<std::uint64_t>(rhs.value));
                break;
            case '+': result.value += rhs.value; break;
            default: result.value -= rhs.value; break;
            }
            result.isLong = result.isLong || rhs.isLong;
        }
        return result;
    }

    Value ParseTerm(const char* what)
    {
        if (IsPunct('-')) {
            Advance();
            Value v = ParseTerm(what);
            v.value = -v.value;
            return v;
        }
        if (IsPunct('~')) {
            Advance();
            Value v = ParseTerm(what);
            v.value = static_cast<std::int64_t>(~static_cast<std::uint32_t>(v.value));
            return v;
        }
        if (IsPunct('(')) {
            Advance();
            Value v = ParseExpression(what);
            if (!IsPunct(')')) {
                Fail("expected ')', found " + Describe(Current()));
            }
            Advance();
            return v;
        }
        if (Current().kind == TokenKind::Identifier && !IsBegin() && !IsEnd()) {
            Fail(std::string("expected a number for ") + what + ", found " + Describe(Current()) +
                 " (named constants are not supported; write the number)");
        }
        if (Current().kind != TokenKind::Number) {
            Fail(std::string("expected a number for ") + what + ", found " + Describe(Current()));
        }
        const Token& token = Advance();
        return Value{static_cast<std::int64_t>(token.number), token.isLong};
    }

    std::int32_t ParseInt(const char* what, std::int64_t low, std::int64_t high)
    {
        const int line = Current().line;
        const Value v = ParseExpression(what);
        if (v.value < low || v.value > high) {
            Fail(std::string(what) + " " + std::to_string(v.value) + " is outside " +
                     std::to_string(low) + ".." + std::to_string(high),
                 line);
        }
        return static_cast<std::int32_t>(v.value);
    }

    std::uint32_t ParseStyle(const char* what)
    {
        return static_cast<std::uint32_t>(ParseInt(what, -2147483648LL, 0xFFFFFFFFLL));
    }

    std::int32_t ParseCoordinate(const char* what) { return ParseInt(what, -32768, 32767); }

    // Resource ids and string ids are 16-bit in the module.
    std::int32_t ParseResourceId()
    {
        if (Current().kind == TokenKind::Identifier || Current().kind == TokenKind::String) {
            Fail("resource " + Describe(Current()) +
                 " has a name; only numeric resource ids are supported");
        }
        return ParseInt("resource id", 1, 0xFFFF);
    }

    void ParseStringTable()
    {
        SkipMemoryOptions();
        ExpectBegin("STRINGTABLE");
        while (!IsEnd()) {
            if (Current().kind == TokenKind::End) {
                Fail("STRINGTABLE is not closed with END");
            }
            StringEntry entry;
            entry.line = Current().line;
            entry.id = ParseInt("string id", 0, 0xFFFF);
            if (IsPunct(',')) {
                Advance();
            }
            entry.text = ExpectText("string table entry");
            const auto [it, inserted] = stringLines_.emplace(entry.id, entry.line);
            if (!inserted) {
                Fail("string id " + std::to_string(entry.id) + " is already defined on line " +
                         std::to_string(it->second),
                     entry.line);
            }
            script_.strings.push_back(std::move(entry));
        }
        Advance();
    }

    void ParseResource()
    {
        const int line = Current().line;
        const std::int32_t id = ParseResourceId();
        if (Current().kind != TokenKind::Identifier && Current().kind != TokenKind::String) {
            Fail("expected a resource type after id " + std::to_string(id) + ", found " +
                 Describe(Current()));
        }
        const Token& typeToken = Advance();
        const std::string type = typeToken.text;
        if (typeToken.kind == TokenKind::Identifier && EqualsNoCase(type, "DIALOG")) {
            ParseDialog(id, line, false);
        } else if (typeToken.kind == TokenKind::Identifier && EqualsNoCase(type, "DIALOGEX")) {
            ParseDialog(id, line, true);
        } else if (typeToken.kind == TokenKind::Identifier && EqualsNoCase(type, "ICON")) {
            ParseImageFile(script_.icons, id, line, "ICON");
        } else if (typeToken.kind == TokenKind::Identifier && EqualsNoCase(type, "CURSOR")) {
            ParseImageFile(script_.cursors, id, line, "CURSOR");
        } else if (EqualsNoCase(type, "PIPL")) {
            ParseUserData(type, id, line);
        } else {
            Fail("resource type '" + Printable(type) +
                     "' is not supported (STRINGTABLE, DIALOG, DIALOGEX, ICON, CURSOR and PIPL are)",
                 typeToken.line);
        }
    }

    void CheckUnique(std::map<std::pair<std::string, std::int32_t>, int>& seen, const std::string& kind,
                     std::int32_t id, int line)
    {
        const auto [it, inserted] = seen.emplace(std::make_pair(kind, id), line);
        if (!inserted) {
            Fail(kind + " " + std::to_string(id) + " is already defined on line " +
                     std::to_string(it->second),
                 line);
        }
    }

    void ParseImageFile(std::vector<ImageFileRef>& list, std::int32_t id, int line, const char* kind)
    {
        CheckUnique(resourceLines_, kind, id, line);
        SkipMemoryOptions();
        if (Current().kind == TokenKind::Identifier) {
            Fail(std::string(kind) + " file name must be quoted");
        }
        ImageFileRef ref;
        ref.id = id;
        ref.line = line;
        ref.fileName = ExpectText("file name");
        if (ref.fileName.empty()) {
            Fail(std::string(kind) + " file name is empty", line);
        }
        list.push_back(std::move(ref));
    }

    void ParseUserData(const std::string& type, std::int32_t id, int line)
    {
        std::string upper = type;
        for (char& c : upper) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        CheckUnique(resourceLines_, upper, id, line);
        SkipMemoryOptions();
        if (Current().kind == TokenKind::String) {
            Fail(type + " data must be written inline between BEGIN and END, not read from a file");
        }
        ExpectBegin((type + " data").c_str());
        UserData data;
        data.type = type;
        data.id = id;
        data.line = line;
        bool first = true;
        while (!IsEnd()) {
            if (Current().kind == TokenKind::End) {
                Fail(type + " data is not closed with END");
            }
            if (!first) {
                ExpectComma("the next data item");
            }
            first = false;
            if (Current().kind == TokenKind::String) {
                const std::string& bytes = Advance().text;
                data.bytes.insert(data.bytes.end(), bytes.begin(), bytes.end());
                continue;
            }
            const int valueLine = Current().line;
            const Value v = ParseExpression("data value");
            const std::int64_t low = v.isLong ? -2147483648LL : -32768;
            const std::int64_t high = v.isLong ? 0xFFFFFFFFLL : 0xFFFF;
            if (v.value < low || v.value > high) {
                Fail("data value " + std::to_string(v.value) + " does not fit in " +
                         (v.isLong ? "32 bits" : "16 bits (add an L suffix for 32)"),
                     valueLine);
            }
            const auto bits = static_cast<std::uint32_t>(v.value);
            const int size = v.isLong ? 4 : 2;
            for (int i = 0; i < size; ++i) {
                data.bytes.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xFFu));
            }
        }
        Advance();
        script_.userData.push_back(std::move(data));
    }

    void ParseDialog(std::int32_t id, int line, bool extended)
    {
        CheckUnique(resourceLines_, "dialog", id, line);
        SkipMemoryOptions();
        Dialog dialog;
        dialog.id = id;
        dialog.line = line;
        ParseCoordinate("dialog x");
        ExpectComma("dialog y");
        ParseCoordinate("dialog y");
        ExpectComma("dialog width");
        dialog.width = ParseCoordinate("dialog width");
        ExpectComma("dialog height");
        dialog.height = ParseCoordinate("dialog height");
        if (extended && IsPunct(',')) {
            Advance();
            ParseStyle("help id");
        }
        while (!IsBegin()) {
            if (IsKeyword("STYLE")) {
                Advance();
                ParseStyle("dialog style");
            } else if (IsKeyword("EXSTYLE")) {
                Advance();
                ParseStyle("dialog extended style");
            } else if (IsKeyword("CAPTION")) {
                Advance();
                dialog.caption = ExpectText("caption");
            } else if (IsKeyword("FONT")) {
                Advance();
                dialog.fontSize = ParseInt("font size", 1, 0xFFFF);
                ExpectComma("font name");
                dialog.fontName = ExpectText("font name");
                for (int extra = 0; extended && extra < 3 && IsPunct(','); ++extra) {
                    Advance();
                    ParseInt("font attribute", 0, 0xFFFF);
                }
            } else if (Current().kind == TokenKind::End) {
                Fail("dialog " + std::to_string(id) + " has no BEGIN");
            } else {
                Fail("dialog statement " + Describe(Current()) +
                     " is not supported (STYLE, EXSTYLE, CAPTION and FONT are)");
            }
        }
        Advance();
        while (!IsEnd()) {
            if (Current().kind == TokenKind::End) {
                Fail("dialog " + std::to_string(id) + " is not closed with END");
            }
            dialog.items.push_back(ParseControl(extended));
        }
        Advance();
        script_.dialogs.push_back(std::move(dialog));
    }

    DialogItem ParseControl(bool extended)
    {
        if (Current().kind != TokenKind::Identifier) {
            Fail("expected a control statement, found " + Describe(Current()));
        }
        const Token& keyword = Advance();
        DialogItem item;
        std::uint32_t style = 0;
        bool isControl = false;
        std::string windowClass;

        if (EqualsNoCase(keyword.text, "DEFPUSHBUTTON") || EqualsNoCase(keyword.text, "PUSHBUTTON")) {
            item.itemType = kPushButton;
        } else if (EqualsNoCase(keyword.text, "LTEXT") || EqualsNoCase(keyword.text, "CTEXT") ||
                   EqualsNoCase(keyword.text, "RTEXT")) {
            item.itemType = kStaticText;
        } else if (EqualsNoCase(keyword.text, "CONTROL")) {
            isControl = true;
        } else {
            Fail("control '" + keyword.text +
                     "' is not supported (DEFPUSHBUTTON, PUSHBUTTON, LTEXT, CTEXT, RTEXT and CONTROL are)",
                 keyword.line);
        }

        item.text = ExpectText("control text");
        ExpectComma("control id");
        item.id = ParseInt("control id", -32768, extended ? 0x7FFFFFFFLL : 0xFFFF);
        if (isControl) {
            ExpectComma("window class");
            if (Current().kind != TokenKind::String && Current().kind != TokenKind::Identifier) {
                Fail("expected a window class, found " + Describe(Current()));
            }
            windowClass = Advance().text;
            ExpectComma("control style");
            style = ParseStyle("control style");
        }
        ExpectComma("control x");
        item.left = ParseCoordinate("control x");
        ExpectComma("control y");
        item.top = ParseCoordinate("control y");
        ExpectComma("control width");
        item.width = ParseCoordinate("control width");
        ExpectComma("control height");
        item.height = ParseCoordinate("control height");
        // Optional trailing values: style (not for CONTROL), extended style,
        // and for DIALOGEX a help id.
        const int optional = (isControl ? 1 : 2) + (extended ? 1 : 0);
        for (int i = 0; i < optional && IsPunct(','); ++i) {
            Advance();
            ParseStyle("control style");
        }
        if (isControl) {
            const auto type = ControlItemType(windowClass, style);
            if (!type) {
                Fail("CONTROL of class \"" + Printable(windowClass) + "\" with style 0x" + Hex(style) +
                         " has no matching dialog item type",
                     keyword.line);
            }
            item.itemType = *type;
        }
        return item;
    }

    static std::string Hex(std::uint32_t value)
    {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        std::string out(8, '0');
        for (int i = 7; i >= 0; --i) {
            out[static_cast<std::size_t>(i)] = kDigits[value & 0xFu];
            value >>= 4;
        }
        return out;
    }

    std::vector<Token> tokens_;
    const std::string& file_;
    std::size_t pos_ = 0;
    Script script_;
    std::map<std::int32_t, int> stringLines_;
    std::map<std::pair<std::string, std::int32_t>, int> resourceLines_;
};

}  // namespace

std::optional<std::string> ControlItemType(const std::string& windowClass, std::uint32_t style)
{
    if (EqualsNoCase(windowClass, "Static")) {
        switch (style & 0x1Fu) {            // SS_TYPEMASK
        case 0x00:                          // SS_LEFT
        case 0x01:                          // SS_CENTER
        case 0x02:                          // SS_RIGHT
        case 0x0B:                          // SS_SIMPLE
        case 0x0C:                          // SS_LEFTNOWORDWRAP
            return std::string(kStaticText);
        case 0x07:                          // SS_BLACKFRAME
        case 0x08:                          // SS_GRAYFRAME
        case 0x09:                          // SS_WHITEFRAME
        case 0x12:                          // SS_ETCHEDFRAME
            return std::string(kFrame);
        default:
            return std::nullopt;
        }
    }
    if (EqualsNoCase(windowClass, "Button")) {
        switch (style & 0x0Fu) {            // BS_TYPEMASK
        case 0x00:                          // BS_PUSHBUTTON
        case 0x01:                          // BS_DEFPUSHBUTTON
            return std::string(kPushButton);
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

Script ParseScript(const std::string& text, const std::string& fileName)
{
    Lexer lexer(text, fileName);
    Parser parser(lexer.Run(), fileName);
    return parser.Run();
}

}  // namespace rcgen
