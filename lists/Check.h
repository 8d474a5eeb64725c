// The rules of a vocabulary file: what makes a word impossible to answer right (an error) and
// what is legal but likely a slip (a warning), judged as the three test pages judge answers.
//
// Findings go to a sink, word by word in line order (those of the whole file, such as line ends
// in LF alone, at the end). The file is read once, as a stream, and memory stays the same
// whatever its length: the check for text forms given twice holds a 64-bit hash and the word's
// number for each of the first kCheckedForms distinct text forms, in 3.25 MiB taken once (a
// table of 3 MiB and a filter of 256 KiB). Past them (no real vocabulary has that many), a text
// form seen for the first time is no longer held, so only repeats of the forms held are found;
// CheckTotals says from which line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <streambuf>

#include "Finding.h"
#include "VocText.h"

// A line longer than this (in characters) is a warning: no word or short phrase is that long.
constexpr std::size_t kLongLineChars = 1000;
// The test pages keep this many bytes of a line and mark the rest as cut, so a longer line can
// never be answered right: an error.
constexpr std::size_t kLongestReadLine = kVocLineBytes;

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

struct CheckOptions {
    // The line a finding on the file's line `line` is told at, where the file was made from
    // another (import tells its input's lines). Called in line order, word by word. Empty:
    // the file's own lines.
    std::function<std::uint64_t(std::uint64_t line)> lineOf;
    // Every line judged by itself, with no quicker look at plain words: the same findings,
    // slower; for the tests that hold the two to that.
    bool lineByLine = false;
};

// Checks the vocabulary file in `in` and hands its findings to `sink`. Throws what `in` throws
// (CFileException for a file) and what the sink throws; nothing else, whatever the bytes.
CheckTotals CheckWords(std::streambuf& in, IFindingSink& sink, const CheckOptions& options = {});
