// Writing and reading a ladder as text: the words for every element code and cell field, the
// quoting of values, and a reader that names the line and what it expected.
#include "document/ladder_text.h"

#include "document/block_kind.h"
#include "document/cell_code.h"
#include "document/cp1250.h"
#include "document/element_catalogue.h"
#include "document/program_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

namespace document {

namespace {

constexpr std::string_view kHeaderName = "Wirtualon! drabina ";
constexpr std::string_view kVersion = "1";
constexpr std::string_view kRowsWord = "wiersze";
constexpr std::string_view kCodeWord = "kod";
constexpr std::string_view kNoElement = "bez elementu";
constexpr std::string_view kRawField = "tekst";
constexpr std::string_view kLabelField = "etykieta";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Columns where the element and the fields start, so that the lines of a rung read as a table;
// a longer place or element is followed by one blank.
constexpr std::size_t kPhraseColumn = 10;
constexpr std::size_t kFieldsColumn = kPhraseColumn + 26;
// A quoted excerpt of a line in a message stops after this many characters.
constexpr std::size_t kExcerptCharacters = 40;

struct Words {
    int code;
    std::string_view words;
};

// Single-cell kinds by base code; a kind without words here is written as its code.
constexpr Words kKindWords[] = {
    {1, "styk"},
    {2, "styk negowany"},
    {3, "cewka"},
    {4, "cewka set z pamięcią"},
    {5, "cewka reset z pamięcią"},
    {7, "łącznik poziomy"},
    {8, "cewka kontynuacji"},
    {9, "styk kontynuacji"},
    {10, "cewka negowana z pamięcią"},
    {11, "cewka negowana"},
    {12, "cewka z pamięcią"},
    {13, "cewka set"},
    {14, "cewka reset"},
    {15, "cewka zbocze narastające"},
    {16, "cewka zbocze opadające"},
    {64, "END"},
    {67, "MCRN"},
    {68, "ENDMCRN"},
    {69, "JUMPN"},
    {71, "MCR"},
    {72, "ENDMCR"},
    {73, "JUMP"},
    {74, "LABEL"},
};

constexpr Words kLinkWords[] = {
    {LinkFlag::LinkDown, "łącznik w dół"},
    {LinkFlag::LinkUp, "łącznik w górę"},
    {LinkFlag::LinkBoth, "łącznik pionowy"},
};

constexpr Words kRoleWords[] = {
    {BlockRole::BlockTop, "góra"},
    {BlockRole::BlockTopNoOut, "góra bez wyjścia"},
    {BlockRole::BlockMid, "środek"},
    {BlockRole::BlockMidNoOut, "środek bez wyjścia"},
    {BlockRole::BlockBottom, "dół"},
    {BlockRole::BlockBottomNoOut, "dół bez wyjścia"},
    {BlockRole::BlockBottomNoIn, "dół bez wejścia"},
    {BlockRole::CallTopLeft, "lewa góra"},
    {BlockRole::CallTopRight, "prawa góra"},
    {BlockRole::CallBottomLeft, "lewy dół"},
    {BlockRole::CallBottomRight, "prawy dół"},
};

struct FieldWord {
    char tag;
    std::string_view word;
};

// Tags with a name of their own; every other letter or digit is written as itself.
constexpr FieldWord kFieldWords[] = {
    {'A', "operand"}, {'S', "stała"}, {'N', "nazwa"},   {'L', "wejście"},
    {'P', "wyjście"}, {'T', "typ"},   {'G', "rejestr"}, {'D', "długość"},
    {'1', "opis1"},   {'2', "opis2"}, {'3', "opis3"},
};

std::string_view wordsOf(std::span<const Words> table, int code) {
    for (const Words& entry : table) {
        if (entry.code == code) {
            return entry.words;
        }
    }
    return {};
}

// The element of a code in words, or "kod N" where no words determine it.
std::string phraseOf(std::int32_t code) {
    if (code == 0) {
        return std::string(kNoElement);
    }
    if (code > 0 && code < kFirstBlockCode) {
        const int link = linkPart(code);
        const int base = code - link;
        if (base == 0) {
            return std::string(wordsOf(kLinkWords, link));
        }
        const std::string_view kind = wordsOf(kKindWords, base);
        if (!kind.empty()) {
            return link == 0 ? std::string(kind)
                             : std::string(kind) + ", " + std::string(wordsOf(kLinkWords, link));
        }
    }
    if (code >= kFirstBlockCode && code < BlockRole::CallBottomRight + 100) {
        const int kind = code % 100;
        const ElementEntry* entry = blockKindOf(kind) ? findElement(kind) : nullptr;
        if (entry != nullptr) {
            return std::string(entry->kindName) + " " +
                   std::string(wordsOf(kRoleWords, code - kind));
        }
    }
    return std::string(kCodeWord) + " " + std::to_string(code);
}

// The words of every code below 1500, made once: a ladder's text names thousands of cells.
const std::string& cachedPhraseOf(std::int32_t code) {
    static const auto table = [] {
        std::vector<std::string> phrases;
        for (std::int32_t each = 0; each < BlockRole::CallBottomRight + 100; ++each) {
            phrases.push_back(phraseOf(each));
        }
        return phrases;
    }();
    return table[static_cast<std::size_t>(code)];
}

void appendPhrase(std::string& out, std::int32_t code) {
    if (code >= 0 && code < BlockRole::CallBottomRight + 100) {
        out += cachedPhraseOf(code);
    } else {
        out += phraseOf(code);
    }
}

struct TransparentHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
        return std::hash<std::string_view>{}(text);
    }
};

// Every code that has words, by its words.
const std::unordered_map<std::string, std::int32_t, TransparentHash, std::equal_to<>>&
codesByPhrase() {
    static const auto table = [] {
        std::unordered_map<std::string, std::int32_t, TransparentHash, std::equal_to<>> codes;
        for (std::int32_t code = 0; code < BlockRole::CallBottomRight + 100; ++code) {
            std::string phrase = phraseOf(code);
            if (!phrase.starts_with(kCodeWord)) {
                codes.emplace(std::move(phrase), code);
            }
        }
        return codes;
    }();
    return table;
}

// ---------------------------------------------------------------------------------------------
// Fields of a cell text

struct Field {
    char tag;
    std::string_view value;
};

// How the fields of a text share their "#": the templates of blocks write "#LI1#PQ#TINT#",
// while entering an operand or a description appends a field of its own, "#A%I0001##1Start#".
enum class FieldStyle { Shared, Separate, Either };

bool isTagCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool splitSeparate(std::string_view text, std::vector<Field>& fields) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] != '#' || pos + 1 >= text.size() || !isTagCharacter(text[pos + 1])) {
            return false;
        }
        const std::size_t end = text.find('#', pos + 2);
        if (end == std::string_view::npos) {
            return false;
        }
        fields.push_back({text[pos + 1], text.substr(pos + 2, end - pos - 2)});
        pos = end + 1;
    }
    return true;
}

bool splitShared(std::string_view text, std::vector<Field>& fields) {
    if (text.size() < 3 || text.front() != '#' || text.back() != '#') {
        return false;
    }
    std::size_t pos = 1;
    while (pos < text.size()) {
        const std::size_t end = text.find('#', pos);
        if (end == pos || !isTagCharacter(text[pos])) {
            return false;
        }
        fields.push_back({text[pos], text.substr(pos + 1, end - pos - 1)});
        pos = end + 1;
    }
    return true;
}

// The fields of a text written in `style`; false when it is written otherwise (or holds a tag
// that is no letter or digit), so that only the whole text can give it back exactly.
bool splitFields(std::string_view text, FieldStyle style, std::vector<Field>& fields) {
    fields.clear();
    if (text.empty()) {
        return true;
    }
    switch (style) {
        case FieldStyle::Shared: return splitShared(text, fields);
        case FieldStyle::Separate: return splitSeparate(text, fields);
        case FieldStyle::Either:
            return splitSeparate(text, fields) || (fields.clear(), splitShared(text, fields));
    }
    return false;
}

FieldStyle styleOf(std::int32_t code) {
    return isBlockCell(code) ? FieldStyle::Shared : FieldStyle::Separate;
}

// ---------------------------------------------------------------------------------------------
// Writing

// The UTF-8 of every code page byte.
struct Utf8Char {
    std::array<char, 3> bytes{};
    std::size_t size = 0;
};

const std::array<Utf8Char, 256>& utf8OfBytes() {
    static const auto table = [] {
        std::array<Utf8Char, 256> chars{};
        for (std::size_t byte = 0; byte < chars.size(); ++byte) {
            const std::string utf8 = cp1250ToUtf8(std::string(1, static_cast<char>(byte)));
            chars[byte].size = utf8.size();
            std::copy(utf8.begin(), utf8.end(), chars[byte].bytes.begin());
        }
        return chars;
    }();
    return table;
}

// Bytes that stand as themselves in a value: printable, not blank, neither quote nor backslash,
// and none of the code page's bytes that look like nothing (no-break space, soft hyphen) or
// that it leaves unassigned.
bool standsAsItself(unsigned char byte) {
    if (byte < 0x80) {
        return byte > 0x20 && byte < 0x7F && byte != '"' && byte != '\\';
    }
    return byte != 0x81 && byte != 0x83 && byte != 0x88 && byte != 0x90 && byte != 0x98 &&
           byte != 0xA0 && byte != 0xAD;
}

void appendHexEscape(std::string& out, unsigned char byte) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0xF];
}

// A value bare when every byte stands as itself, else in quotes with \" \\ and \xNN.
void appendValue(std::string& out, std::string_view bytes) {
    const auto& utf8 = utf8OfBytes();
    bool bare = !bytes.empty();
    for (const char c : bytes) {
        bare = bare && standsAsItself(static_cast<unsigned char>(c));
    }
    if (!bare) {
        out += '"';
    }
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += c;
        } else if (byte != ' ' && !standsAsItself(byte)) {
            appendHexEscape(out, byte);
        } else {
            out.append(utf8[byte].bytes.data(), utf8[byte].size);
        }
    }
    if (!bare) {
        out += '"';
    }
}

std::string_view fieldWord(char tag, std::int32_t code) {
    if (tag == 'A' && takesLabel(code)) {
        return kLabelField;
    }
    for (const FieldWord& entry : kFieldWords) {
        if (entry.tag == tag) {
            return entry.word;
        }
    }
    return {};
}

// The fields of a cell text, each " name=value"; the whole text as " tekst=..." when its fields
// cannot give it back exactly.
void appendFields(std::string& out, std::string_view text, FieldStyle style, std::int32_t code,
                  std::vector<Field>& fields) {
    if (!splitFields(text, style, fields)) {
        out += ' ';
        out += kRawField;
        out += '=';
        appendValue(out, text);
        return;
    }
    for (const Field& field : fields) {
        out += ' ';
        const std::string_view word = fieldWord(field.tag, code);
        if (word.empty()) {
            out += field.tag;
        } else {
            out += word;
        }
        out += '=';
        appendValue(out, field.value);
    }
}

std::size_t characterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return count;
}

void padTo(std::string& out, std::size_t lineStart, std::size_t column) {
    const std::size_t width = characterCount(std::string_view(out).substr(lineStart));
    out.append(width < column ? column - width : 1, ' ');
}

void appendNumber(std::string& out, int number) {
    std::array<char, 12> digits{};
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    out.append(digits.data(), end);
}

void appendPosition(std::string& out, int row, int col) {
    out += 'w';
    appendNumber(out, row + 1);
    out += " k";
    appendNumber(out, col + 1);
}

void appendCellLine(std::string& out, int row, int col, std::int32_t code, std::string_view text,
                    std::vector<Field>& fields) {
    const std::size_t start = out.size();
    appendPosition(out, row, col);
    padTo(out, start, kPhraseColumn);
    appendPhrase(out, code);
    if (!text.empty()) {
        padTo(out, start, kFieldsColumn);
        // appendFields puts a blank before every field; the padding already ends in one.
        out.pop_back();
        appendFields(out, text, styleOf(code), code, fields);
    }
}

// ---------------------------------------------------------------------------------------------
// Reading

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view withoutTrailingBlanks(std::string_view line) {
    while (!line.empty() && (isBlank(line.back()) || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// Moves `pos` past blanks; the columns of a written line are padded with runs of them.
void skipBlanks(std::string_view line, std::size_t& pos) {
    constexpr std::uint64_t kEightSpaces = 0x2020202020202020u;
    while (line.size() - pos >= 8) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, line.data() + pos, 8);
        if (eight != kEightSpaces) {
            break;
        }
        pos += 8;
    }
    while (pos < line.size() && isBlank(line[pos])) {
        ++pos;
    }
}

std::string_view nextToken(std::string_view line, std::size_t& pos) {
    skipBlanks(line, pos);
    const std::size_t start = pos;
    while (pos < line.size() && !isBlank(line[pos])) {
        ++pos;
    }
    return line.substr(start, pos - start);
}

std::size_t utf8Length(unsigned char lead) {
    return lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
}

// Printable ASCII other than the quote and the backslash: a value's byte as it stands.
bool isPlainByte(unsigned char byte) {
    return byte > 0x20 && byte < 0x7F && byte != '"' && byte != '\\';
}

// Returns the offset of the first byte that breaks UTF-8 (overlong forms and surrogates
// included), or npos.
std::size_t firstInvalidUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Most of a ladder's text is ASCII: eight bytes at a time while none has its top bit.
        while (text.size() - pos >= 8) {
            std::uint64_t eight = 0;
            std::memcpy(&eight, text.data() + pos, 8);
            if ((eight & 0x8080808080808080u) != 0) {
                break;
            }
            pos += 8;
        }
        if (pos >= text.size()) {
            break;
        }
        const auto lead = static_cast<unsigned char>(text[pos]);
        if (lead < 0x80) {
            ++pos;
            continue;
        }
        std::size_t length = 0;
        std::uint32_t cp = 0;
        std::uint32_t minimum = 0;
        if ((lead & 0xE0) == 0xC0) {
            length = 2;
            cp = lead & 0x1Fu;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            cp = lead & 0x0Fu;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            cp = lead & 0x07u;
            minimum = 0x10000;
        } else {
            return pos;
        }
        if (text.size() - pos < length) {
            return pos;
        }
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[pos + i]);
            if ((next & 0xC0) != 0x80) {
                return pos;
            }
            cp = (cp << 6) | (next & 0x3Fu);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return pos;
        }
        pos += length;
    }
    return std::string_view::npos;
}

// Decodes the character at `pos` of valid UTF-8 and moves past it.
std::uint32_t decodeCharacter(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = utf8Length(lead);
    std::uint32_t cp = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3Fu);
    }
    pos += length;
    return cp;
}

// The text in „…” for a message: at most a few dozen characters; control characters and
// bytes that are no UTF-8 as "?".
std::string excerptOf(std::string_view utf8) {
    std::string out = "„";
    std::size_t pos = 0;
    std::size_t count = 0;
    while (pos < utf8.size() && count < kExcerptCharacters) {
        const std::size_t start = pos;
        const std::size_t length = utf8Length(static_cast<unsigned char>(utf8[pos]));
        if (length > utf8.size() - pos ||
            firstInvalidUtf8(utf8.substr(pos, length)) != std::string_view::npos) {
            out += '?';
            ++pos;
            ++count;
            continue;
        }
        const std::uint32_t cp = decodeCharacter(utf8, pos);
        if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
            out += '?';
        } else {
            out.append(utf8.substr(start, pos - start));
        }
        ++count;
    }
    if (pos < utf8.size()) {
        out += "…";
    }
    out += "”";
    return out;
}

std::string hexByte(unsigned char byte) {
    std::string out;
    appendHexEscape(out, byte);
    out.replace(0, 2, "0x");
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// A number of a place or count: decimal digits only, else -1. Values past `limit` read as
// limit + 1.
std::int64_t countOf(std::string_view digits, std::int64_t limit) {
    if (digits.empty()) {
        return -1;
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value > limit ? value : value * 10 + (c - '0');
    }
    return value > limit ? limit + 1 : value;
}

// The tag a field's name stands for, or 0 for no known name.
char tagOfName(std::string_view name) {
    // The descriptions come first: most fields of a ladder are they.
    if (name.size() == 5 && name.starts_with("opis") && name[4] >= '1' && name[4] <= '3') {
        return name[4];
    }
    if (name.size() == 1) {
        return isTagCharacter(name[0]) ? name[0] : '\0';
    }
    if (name == kLabelField) {
        return 'A';
    }
    for (const FieldWord& entry : kFieldWords) {
        if (entry.word == name) {
            return entry.tag;
        }
    }
    return '\0';
}

constexpr std::string_view kFieldNamesHelp =
    "operand, etykieta, stała, nazwa, wejście, wyjście, typ, rejestr, długość, opis1, opis2, "
    "opis3, tekst albo pojedyncza litera lub cyfra";

struct CellEntry {
    std::size_t index = 0;
    std::size_t line = 0;
    std::int32_t code = 0;
    std::string text;
};

// Reads the lines of one text; the first problem stops it.
class TextReader {
public:
    explicit TextReader(std::string_view text) : m_text(text) {}

    std::optional<LadderTextProblem> read(LadderDocument& document);

private:
    // The next line that is not blank, without its line end and trailing blanks; false at the
    // end of the text.
    bool nextLine(std::string_view& line);
    std::optional<std::string> readHeader(std::string_view line);
    std::optional<std::string> readRowCount(std::string_view line);
    std::optional<std::string> readCell(std::string_view line, CellEntry& cell);
    std::optional<std::string> readElement(std::string_view line, std::size_t& pos,
                                           std::int32_t& code);
    std::optional<std::string> readFields(std::string_view line, std::size_t pos, std::int32_t code,
                                          std::string& text);
    std::optional<std::string> readValue(std::string_view line, std::size_t& pos,
                                         std::string_view name, std::string& value);
    std::optional<std::string> decodeBare(std::string_view utf8, std::string_view name,
                                          std::string& value);
    std::optional<std::string> decodeQuoted(std::string_view inner, std::string_view name,
                                            std::string& value);
    std::optional<std::string> appendCharacter(std::uint32_t cp, std::string_view name,
                                               std::string& value);

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_lineNumber = 0;
    int m_rows = 0;
};

bool TextReader::nextLine(std::string_view& line) {
    while (m_pos < m_text.size()) {
        std::size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos) {
            end = m_text.size();
        }
        line = withoutTrailingBlanks(m_text.substr(m_pos, end - m_pos));
        m_pos = end + 1;
        ++m_lineNumber;
        std::size_t first = 0;
        while (first < line.size() && isBlank(line[first])) {
            ++first;
        }
        if (first < line.size()) {
            return true;
        }
    }
    return false;
}

std::optional<LadderTextProblem> TextReader::read(LadderDocument& document) {
    const auto problem = [&](std::string what) {
        return LadderTextProblem{m_lineNumber, std::move(what)};
    };
    if (m_text.starts_with(kByteOrderMark)) {
        m_pos = kByteOrderMark.size();
    }
    // The header is the first line itself, blank or not.
    std::size_t end = m_text.find('\n', m_pos);
    end = end == std::string_view::npos ? m_text.size() : end;
    const std::string_view first = withoutTrailingBlanks(m_text.substr(m_pos, end - m_pos));
    m_pos = end + 1;
    m_lineNumber = 1;
    if (auto what = readHeader(first)) {
        return problem(std::move(*what));
    }
    if (const std::size_t bad = firstInvalidUtf8(m_text); bad != std::string_view::npos) {
        const auto before = m_text.substr(0, bad);
        return LadderTextProblem{
            static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n')) + 1,
            "tekst nie jest zapisany w UTF-8 (bajt " +
                hexByte(static_cast<unsigned char>(m_text[bad])) + ")"};
    }
    std::string_view line;
    if (!nextLine(line)) {
        ++m_lineNumber;
        return problem("oczekiwano liczby wierszy „wiersze LICZBA”, a tekst się skończył");
    }
    if (auto what = readRowCount(line)) {
        return problem(std::move(*what));
    }
    std::vector<CellEntry> cells;
    // A written cell line is rarely shorter than this; the guess spares most regrowing.
    constexpr std::size_t kShortLine = 32;
    cells.reserve((m_text.size() - std::min(m_pos, m_text.size())) / kShortLine);
    std::vector<bool> seen(static_cast<std::size_t>(m_rows) * kColumns);
    while (nextLine(line)) {
        CellEntry cell;
        if (auto what = readCell(line, cell)) {
            return problem(std::move(*what));
        }
        cell.line = m_lineNumber;
        if (seen[cell.index]) {
            const auto earlier =
                std::find_if(cells.begin(), cells.end(),
                             [&](const CellEntry& other) { return other.index == cell.index; });
            std::string place;
            appendPosition(place, static_cast<int>(cell.index / kColumns),
                           static_cast<int>(cell.index % kColumns));
            return problem("druga linia dla komórki " + place + "; pierwsza jest w linii " +
                           std::to_string(earlier->line));
        }
        seen[cell.index] = true;
        cells.push_back(std::move(cell));
    }
    // Only a text read in full changes the document.
    document.resetGrid(m_rows);
    for (CellEntry& cell : cells) {
        const int row = static_cast<int>(cell.index / kColumns);
        const int col = static_cast<int>(cell.index % kColumns);
        document.SetCellCode(row, col, cell.code);
        document.SetCellText(row, col, std::move(cell.text));
    }
    document.setStatus(DocumentStatus::Loaded);
    return std::nullopt;
}

std::optional<std::string> TextReader::readHeader(std::string_view line) {
    const std::string expected = "brak nagłówka „" + std::string(kLadderTextHeader) + "”";
    if (!line.starts_with(kHeaderName)) {
        if (hasProgramFileHeader(m_text)) {
            return expected + "; to jest plik programu, nie jego tekst";
        }
        if (firstInvalidUtf8(line) != std::string_view::npos) {
            return expected + "; to nie jest tekst drabiny";
        }
        return expected + ", jest " + excerptOf(line);
    }
    const std::string_view version = line.substr(kHeaderName.size());
    if (version != kVersion) {
        if (firstInvalidUtf8(version) != std::string_view::npos) {
            return expected + "; po nazwie formatu nie ma numeru wersji";
        }
        return "wersja formatu " + excerptOf(version) +
               " nie jest znana; ten program czyta wersję " + std::string(kVersion);
    }
    return std::nullopt;
}

std::optional<std::string> TextReader::readRowCount(std::string_view line) {
    std::size_t pos = 0;
    const std::string_view word = nextToken(line, pos);
    const std::string_view number = nextToken(line, pos);
    const std::string_view rest = nextToken(line, pos);
    if (word != kRowsWord || number.empty() || !rest.empty()) {
        return "oczekiwano liczby wierszy „wiersze LICZBA”, jest " + excerptOf(line);
    }
    const std::int64_t rows = countOf(number, kMaxProgramRows);
    if (rows < 0) {
        return "liczba wierszy " + excerptOf(number) + " nie jest liczbą";
    }
    if (rows < 1 || rows > kMaxProgramRows) {
        return "liczba wierszy " + std::string(number) + " poza zakresem 1.." +
               std::to_string(kMaxProgramRows);
    }
    m_rows = static_cast<int>(rows);
    return std::nullopt;
}

std::optional<std::string> TextReader::readCell(std::string_view line, CellEntry& cell) {
    std::size_t pos = 0;
    const std::string_view rowToken = nextToken(line, pos);
    const std::string_view colToken = nextToken(line, pos);
    constexpr std::int64_t kPlaceLimit = kMaxProgramRows;
    const std::int64_t row =
        rowToken.starts_with('w') ? countOf(rowToken.substr(1), kPlaceLimit) : -1;
    const std::int64_t col =
        colToken.starts_with('k') ? countOf(colToken.substr(1), kPlaceLimit) : -1;
    if (row < 0 || col < 0) {
        return "oczekiwano położenia komórki „wWIERSZ kKOLUMNA” (np. „w3 k10”), jest " +
               excerptOf(line);
    }
    if (row < 1 || row > m_rows || col < 1 || col > kColumns) {
        return "komórka " + std::string(rowToken) + " " + std::string(colToken) +
               " leży poza siatką: wiersze 1.." + std::to_string(m_rows) + ", kolumny 1.." +
               std::to_string(kColumns);
    }
    cell.index = static_cast<std::size_t>((row - 1) * kColumns + (col - 1));
    if (auto what = readElement(line, pos, cell.code)) {
        return what;
    }
    return readFields(line, pos, cell.code, cell.text);
}

std::optional<std::string> TextReader::readElement(std::string_view line, std::size_t& pos,
                                                   std::int32_t& code) {
    // The words up to the first field; as they stand in the line when single blanks part them.
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t count = 0;
    bool singleBlanks = true;
    std::string_view first;
    std::string_view second;
    while (true) {
        const std::size_t before = pos;
        const std::string_view token = nextToken(line, pos);
        if (token.empty() || std::find(token.begin(), token.end(), '=') != token.end()) {
            pos = before;
            break;
        }
        const auto at = static_cast<std::size_t>(token.data() - line.data());
        if (count == 0) {
            start = at;
            first = token;
        } else {
            singleBlanks = singleBlanks && at == end + 1 && line[end] == ' ';
            second = count == 1 ? token : second;
        }
        end = at + token.size();
        ++count;
    }
    if (count == 0) {
        return std::string(
            "brak elementu po położeniu komórki; oczekiwano nazwy elementu (np. "
            "„styk”) albo „kod LICZBA”");
    }
    std::string joined;
    if (!singleBlanks) {
        std::size_t at = start;
        for (std::string_view token = nextToken(line, at); at <= end && !token.empty();
             token = nextToken(line, at)) {
            joined += joined.empty() ? "" : " ";
            joined += token;
        }
    }
    const std::string_view phrase = singleBlanks ? line.substr(start, end - start) : joined;
    if (first == kCodeWord) {
        std::int32_t value = 0;
        const std::string_view number = count == 2 ? second : std::string_view();
        const auto [last, error] =
            std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || error != std::errc() || last != number.data() + number.size()) {
            return "po „kod” oczekiwano jednej liczby całkowitej 32-bitowej, jest " +
                   excerptOf(phrase);
        }
        code = value;
        return std::nullopt;
    }
    const auto& codes = codesByPhrase();
    const auto found = codes.find(phrase);
    if (found == codes.end()) {
        return "nieznany element " + excerptOf(phrase) +
               "; oczekiwano nazwy elementu (np. „styk”, „styk negowany, łącznik w dół”, "
               "„cewka set”, „łącznik poziomy”, „TMR góra”) albo „kod LICZBA”";
    }
    code = found->second;
    return std::nullopt;
}

std::optional<std::string> TextReader::readFields(std::string_view line, std::size_t pos,
                                                  std::int32_t code, std::string& text) {
    // The fields are joined into the cell text as they are read, each as the code's style of
    // fields writes it.
    const FieldStyle style = styleOf(code);
    bool anyField = false;
    bool raw = false;
    const std::string onlyField =
        "pole tekst podaje całą zawartość komórki i musi być jej jedynym polem";
    text.reserve(line.size() - pos);
    while (true) {
        skipBlanks(line, pos);
        if (pos >= line.size()) {
            break;
        }
        std::size_t equals = pos;
        while (equals < line.size() && !isBlank(line[equals]) && line[equals] != '=') {
            ++equals;
        }
        if (equals >= line.size() || line[equals] != '=') {
            std::size_t end = pos;
            return "oczekiwano pola NAZWA=WARTOŚĆ, jest " + excerptOf(nextToken(line, end));
        }
        const std::string_view name = line.substr(pos, equals - pos);
        if (name.empty()) {
            std::size_t end = pos;
            return "brak nazwy pola przed „=” w " + excerptOf(nextToken(line, end));
        }
        pos = equals + 1;
        if (name == kRawField) {
            if (raw || anyField) {
                return onlyField;
            }
            raw = true;
            if (auto what = readValue(line, pos, name, text)) {
                return what;
            }
            continue;
        }
        const char tag = tagOfName(name);
        if (tag == 0) {
            return "nieznane pole " + excerptOf(name) + "; oczekiwano " +
                   std::string(kFieldNamesHelp);
        }
        if (raw) {
            return onlyField;
        }
        if (style == FieldStyle::Separate || !anyField) {
            text += '#';
        }
        text += tag;
        const std::size_t valueStart = text.size();
        if (auto what = readValue(line, pos, name, text)) {
            return what;
        }
        if (std::find(text.begin() + static_cast<std::ptrdiff_t>(valueStart), text.end(), '#') !=
            text.end()) {
            return "znak # w wartości pola " + excerptOf(name) +
                   " (# rozdziela pola; całą zawartość komórki można podać jako tekst=\"...\")";
        }
        text += '#';
        anyField = true;
    }
    return std::nullopt;
}

std::optional<std::string> TextReader::readValue(std::string_view line, std::size_t& pos,
                                                 std::string_view name, std::string& value) {
    if (pos >= line.size() || line[pos] != '"') {
        const std::size_t start = pos;
        while (pos < line.size() && !isBlank(line[pos])) {
            ++pos;
        }
        if (pos == start) {
            return "brak wartości pola " + excerptOf(name) + " (pusta wartość to \"\")";
        }
        return decodeBare(line.substr(start, pos - start), name, value);
    }
    const std::size_t start = ++pos;
    while (pos < line.size() && line[pos] != '"') {
        pos += line[pos] == '\\' ? 2u : 1u;
    }
    if (pos >= line.size()) {
        return "brak zamykającego cudzysłowu w wartości pola " + excerptOf(name);
    }
    const std::string_view inner = line.substr(start, pos - start);
    ++pos;
    if (pos < line.size() && !isBlank(line[pos])) {
        return "po zamykającym cudzysłowie wartości pola " + excerptOf(name) +
               " oczekiwano odstępu";
    }
    return decodeQuoted(inner, name, value);
}

std::optional<std::string> TextReader::appendCharacter(std::uint32_t cp, std::string_view name,
                                                       std::string& value) {
    if (cp < 0x20 || cp == 0x7F) {
        return "znak sterujący w wartości pola " + excerptOf(name) + "; zapisz go jako \\xNN";
    }
    const int byte = cp1250ByteOf(cp);
    if (byte < 0) {
        std::string character;
        std::string utf8;
        // The character itself, as the line holds it.
        if (cp < 0x800) {
            utf8 += static_cast<char>(0xC0 | (cp >> 6));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            utf8 += static_cast<char>(0xE0 | (cp >> 12));
            utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | (cp >> 18));
            utf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (cp & 0x3F));
        }
        return "znak " + excerptOf(utf8) + " w wartości pola " + excerptOf(name) +
               " nie istnieje w stronie kodowej 1250, w której program trzyma teksty";
    }
    value += static_cast<char>(byte);
    return std::nullopt;
}

std::optional<std::string> TextReader::decodeBare(std::string_view utf8, std::string_view name,
                                                  std::string& value) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t run = pos;
        while (run < utf8.size() && isPlainByte(static_cast<unsigned char>(utf8[run]))) {
            ++run;
        }
        if (run > pos) {
            value.append(utf8.substr(pos, run - pos));
            pos = run;
            continue;
        }
        if (utf8[pos] == '"' || utf8[pos] == '\\') {
            return "znak " + std::string(1, utf8[pos]) + " w wartości pola " + excerptOf(name) +
                   " bez cudzysłowu; ujmij wartość w cudzysłów i zapisz go jako \\" +
                   std::string(1, utf8[pos]);
        }
        if (auto what = appendCharacter(decodeCharacter(utf8, pos), name, value)) {
            return what;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TextReader::decodeQuoted(std::string_view inner, std::string_view name,
                                                    std::string& value) {
    std::size_t pos = 0;
    while (pos < inner.size()) {
        std::size_t run = pos;
        while (run < inner.size() &&
               (inner[run] == ' ' || isPlainByte(static_cast<unsigned char>(inner[run])))) {
            ++run;
        }
        if (run > pos) {
            value.append(inner.substr(pos, run - pos));
            pos = run;
            continue;
        }
        if (inner[pos] != '\\') {
            if (auto what = appendCharacter(decodeCharacter(inner, pos), name, value)) {
                return what;
            }
            continue;
        }
        const char next = pos + 1 < inner.size() ? inner[pos + 1] : '\0';
        if (next == '"' || next == '\\') {
            value += next;
            pos += 2;
            continue;
        }
        const int high = pos + 2 < inner.size() ? hexDigit(inner[pos + 2]) : -1;
        const int low = pos + 3 < inner.size() ? hexDigit(inner[pos + 3]) : -1;
        if (next != 'x' || high < 0 || low < 0) {
            return "nieznany zapis " + excerptOf(inner.substr(pos, 4)) + " w wartości pola " +
                   excerptOf(name) + "; znane są \\\", \\\\ i \\xNN";
        }
        value += static_cast<char>(high * 16 + low);
        pos += 4;
    }
    return std::nullopt;
}

}  // namespace

bool hasLadderTextHeader(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    return bytes.starts_with(kHeaderName);
}

std::string cellLine(int row, int col, std::int32_t code, std::string_view text) {
    std::string line;
    if (code == 0 && text.empty()) {
        return line;
    }
    std::vector<Field> fields;
    appendCellLine(line, row, col, code, text, fields);
    return line;
}

std::string ladderText(const LadderDocument& document) {
    std::string out;
    // Room for a dense ladder without asking a damaged row count for gigabytes up front.
    constexpr std::size_t kMostReserved = std::size_t{1} << 26;
    out.reserve(std::min(kMostReserved, 64 + static_cast<std::size_t>(document.rowCount()) * 512));
    out += kLadderTextHeader;
    out += '\n';
    out += kRowsWord;
    out += ' ';
    out += std::to_string(document.rowCount());
    out += '\n';
    std::vector<Field> fields;
    for (int row = 0; row < document.rowCount(); ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const std::int32_t code = document.CellCode(row, col);
            const std::string& text = document.cellTextRef(row, col);
            if (code != 0 || !text.empty()) {
                appendCellLine(out, row, col, code, text, fields);
                out += '\n';
            }
        }
    }
    return out;
}

std::string LadderTextProblem::message() const {
    return "linia " + std::to_string(line) + ": " + what;
}

std::optional<LadderTextProblem> readLadderText(LadderDocument& document, std::string_view text) {
    return TextReader(text).read(document);
}

std::string textFileView(std::string_view textFile) {
    // The lines as the loader reads them: up to a line feed, bytes below 32 left out.
    std::vector<std::string> texts;
    std::size_t pos = 0;
    while (pos < textFile.size()) {
        std::string line;
        while (pos < textFile.size() && textFile[pos] != '\n') {
            if (static_cast<unsigned char>(textFile[pos]) >= 32) {
                line += textFile[pos];
            }
            ++pos;
        }
        ++pos;
        texts.push_back(std::move(line));
    }
    const std::size_t rows = (texts.size() + kColumns - 1) / kColumns;
    std::string out;
    std::vector<Field> fields;
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t col = 0; col < static_cast<std::size_t>(kColumns); ++col) {
            const std::size_t index = col * rows + row;
            if (index >= texts.size() || texts[index].empty()) {
                continue;
            }
            const std::size_t start = out.size();
            appendPosition(out, static_cast<int>(row), static_cast<int>(col));
            padTo(out, start, kPhraseColumn);
            out.pop_back();
            appendFields(out, texts[index], FieldStyle::Either, 0, fields);
            out += '\n';
        }
    }
    return out;
}

}  // namespace document
