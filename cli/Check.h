// The checks of `tavrin-voc check`: what makes a word impossible to answer right (an error) and
// what is legal but likely a slip (a warning), judged as the three test pages judge answers.
//
// Findings are written in the form compilers use, "NAME:LINE: error: TEXT", one per line, in
// line order, then one summary line "NAME: 46 words, 0 errors, 2 warnings". The file is read
// once, as a stream, and memory stays the same whatever its length: the check for text forms
// given twice holds a 64-bit hash and the word's number for each of the first kCheckedForms
// distinct text forms, in 3.25 MiB taken once (a table of 3 MiB and a filter of 256 KiB). Past them
// (no real vocabulary has that many), a text form seen for the first time is no longer held, so
// only repeats of the forms held are found; CheckTotals says from which line, and the command says
// so on standard error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <streambuf>
#include <string>

#include "Tr.h"
#include "VocText.h"

// A line longer than this (in characters) is a warning: no word or short phrase is that long.
constexpr std::size_t kLongLineChars = 1000;
// The test pages keep this many bytes of a line and mark the rest as cut, so a longer line can
// never be answered right: an error.
constexpr std::size_t kLongestReadLine = kVocLineBytes;

// The finding for a text form given twice, with the line of its first word: import finds it
// (translated) among the findings to name the input's line instead.
constexpr const char* kSameTextForm = N_("same text form as line %s");

// How many distinct text forms the check for text forms given twice holds.
constexpr std::size_t kCheckedForms = 200000;

struct CheckTotals {
    std::uint64_t words = 0;
    std::uint64_t errors = 0;
    std::uint64_t warnings = 0;
    // The headword line whose text form was the first not held (kCheckedForms were); 0 when
    // every text form was checked for repeats.
    std::uint64_t formsUnheldFrom = 0;
};

// Checks the vocabulary file in `in`, named `name` in the findings, and writes its findings
// and the summary line to `out`. Throws what `in` throws (CFileException for a file); nothing
// else, whatever the bytes.
CheckTotals CheckVoc(std::streambuf& in, const std::string& name, std::ostream& out);

// The same over a stream, for callers that hold one (tests, fuzzing).
CheckTotals CheckVocStream(std::istream& in, const std::string& name, std::ostream& out);
