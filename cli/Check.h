// The checks of `tavrin-voc check`: what makes a word impossible to answer right (an error) and
// what is legal but likely a slip (a warning), judged as the three test pages judge answers.
//
// Findings are written in the form compilers use, "NAME:LINE: error: TEXT", one per line, in
// line order, then one summary line "NAME: 46 words, 0 errors, 2 warnings". The file is read
// once, as a stream; memory stays the same whatever its length, but for the check for text
// forms given twice, which keeps 12 bytes per distinct text form (a 64-bit hash and the word's
// number) in a table at most three-quarters full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <streambuf>
#include <string>

#include "VocText.h"

// A line longer than this (in characters) is a warning: no word or short phrase is that long.
constexpr std::size_t kLongLineChars = 1000;
// The test pages keep this many bytes of a line and mark the rest as cut, so a longer line can
// never be answered right: an error.
constexpr std::size_t kLongestReadLine = kVocLineBytes;

struct CheckTotals {
    std::uint64_t words = 0;
    std::uint64_t errors = 0;
    std::uint64_t warnings = 0;
};

// Checks the vocabulary file in `in`, named `name` in the findings, and writes its findings
// and the summary line to `out`. Throws what `in` throws (CFileException for a file); nothing
// else, whatever the bytes.
CheckTotals CheckVoc(std::streambuf& in, const std::string& name, std::ostream& out);

// The same over a stream, for callers that hold one (tests, fuzzing).
CheckTotals CheckVocStream(std::istream& in, const std::string& name, std::ostream& out);
