// The tagged fields of a cell text: "#", a tag letter, the value, "#". The one reader and writer
// of the format; every folder takes fields apart through it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace document {

/// One field of a cell text, as views into the text.
struct CellField {
    char tag = 0;
    std::string_view value;
    bool closed = true;  ///< false for a last field that no "#" ends
};

/// Calls `visit(field)` for every field of `text` in order, until it returns false. Every "#"
/// followed by a character other than "#" starts a field: that character is its tag, the text up
/// to the next "#" its value (up to the end in an unclosed last field). Fields share their
/// separators, so "#LI1#PQ#" holds L = "I1" and P = "Q"; text before the first "#" belongs to
/// no field.
template <typename Visit>
void forEachField(std::string_view text, Visit visit) {
    std::size_t hash = text.find('#');
    while (hash != std::string_view::npos && hash + 1 < text.size()) {
        const std::size_t next = text.find('#', hash + 1);
        if (next != hash + 1) {
            const std::size_t end = next == std::string_view::npos ? text.size() : next;
            if (!visit(CellField{text[hash + 1], text.substr(hash + 2, end - hash - 2),
                                 next != std::string_view::npos})) {
                return;
            }
        }
        hash = next;
    }
}

/// Returns the value of the first field with `tag` in a cell text, or the empty view.
[[nodiscard]] std::string_view fieldValue(std::string_view text, char tag);
/// Returns a copy of the value of the first field with `tag` in a cell text, or the empty string.
[[nodiscard]] std::string fieldOf(std::string_view text, char tag);
/// Returns true when the text has a field with `tag`, empty or not.
[[nodiscard]] bool hasField(std::string_view text, char tag);
/// Returns `text` with the value of the first field `tag` replaced by `value`, or with
/// "#" tag value "#" appended when it has none. '#' and control characters are dropped from
/// `value`, so it cannot split the field; an unclosed last field gets its closing "#".
[[nodiscard]] std::string withField(std::string_view text, char tag, std::string_view value);

}  // namespace document
