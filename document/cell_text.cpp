// Reading and writing the tagged fields of a cell text.
#include "document/cell_text.h"

#include <algorithm>
#include <iterator>
#include <optional>

namespace document {

namespace {

// Bytes that would break a field apart or the text file's one-line-per-cell layout.
bool breaksField(char c) {
    return c == '#' || static_cast<unsigned char>(c) < 32;
}

std::optional<CellField> firstField(std::string_view text, char tag) {
    std::optional<CellField> found;
    forEachField(text, [&](const CellField& field) {
        if (field.tag == tag) {
            found = field;
        }
        return !found;
    });
    return found;
}

}  // namespace

std::string_view fieldValue(std::string_view text, char tag) {
    const std::optional<CellField> field = firstField(text, tag);
    return field ? field->value : std::string_view();
}

std::string fieldOf(std::string_view text, char tag) {
    return std::string(fieldValue(text, tag));
}

bool hasField(std::string_view text, char tag) {
    return firstField(text, tag).has_value();
}

std::string withField(std::string_view text, char tag, std::string_view value) {
    std::string clean;
    clean.reserve(value.size());
    std::copy_if(value.begin(), value.end(), std::back_inserter(clean),
                 [](char c) { return !breaksField(c); });
    const std::optional<CellField> field = firstField(text, tag);
    std::string result;
    if (!field) {
        result.reserve(text.size() + clean.size() + 3);
        result.append(text);
        result += '#';
        result += tag;
        result += clean;
        result += '#';
        return result;
    }
    const auto start = static_cast<std::size_t>(field->value.data() - text.data());
    result.append(text.substr(0, start));
    result += clean;
    if (field->closed) {
        result.append(text.substr(start + field->value.size()));
    } else {
        result += '#';
    }
    return result;
}

}  // namespace document
