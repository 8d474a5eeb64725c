#include "VocFormat.h"

Headword SplitHeadword(std::string_view line) {
    std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return {std::string(line), std::string(line)};
    return {std::string(line.substr(0, blank)), std::string(line.substr(blank + 1))};
}

std::string BaseWord(std::string_view dictionaryForm) {
    return std::string(dictionaryForm.substr(0, dictionaryForm.find(' ')));
}
