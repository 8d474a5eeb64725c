// The rules of a vocabulary file that every reader shares.
//
// A file is a run of word entries of six lines each: a headword line ("text form", one blank,
// "dictionary form") and five definition lines, any of which may be empty.
#pragma once

#include <string>
#include <string_view>

constexpr int kLinesPerEntry = 6;
constexpr int kDefinitionLines = 5;

struct Headword {
    std::string textForm;
    std::string dictionaryForm;
};

// Splits a headword line at its first blank; later blanks belong to the dictionary form. A line
// without a blank is both its own text form and its own dictionary form.
Headword SplitHeadword(std::string_view line);

// The first word of a dictionary form: the text before its first blank, or the whole form when
// it has none (a noun given alone in the nominative singular).
std::string BaseWord(std::string_view dictionaryForm);
