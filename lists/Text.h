// The few text helpers the readers of word lists share. ASCII only, on purpose: the names and
// keys they compare are ASCII, and the C library's tolower would follow the user's locale.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// A blank between the words of a cell: space, tab, or a line break left inside a field.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Whether `text` is empty or blanks only.
inline bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return IsBlank(c); });
}

// `text` without the blanks at its ends.
constexpr std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}
