// The two conversions between vocabulary files and delimited text (import's steps: Import.h).
//
// The columns of a row are the text form, the dictionary form and meanings 1 to 5. A headword
// line without a blank, and one whose dictionary form is empty, keep the dictionary form column
// empty and the whole line (trailing blank included) in the text form column; import writes a
// row with an empty dictionary form as its text form alone. So every headword line comes back
// as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

#include "Finding.h"

// Where the bytes a conversion makes go.
using ByteSink = std::function<void(std::string_view)>;

// The header row that export writes and import recognises.
inline constexpr char kCsvHeader[] =
    "text form,dictionary form,meaning 1,meaning 2,meaning 3,meaning 4,meaning 5";

struct ConvertTotals {
    std::uint64_t words = 0;
    std::uint64_t errors = 0;  // rows left out because they cannot be used
    std::uint64_t warnings = 0;
    // Import only: the rows after any header, and those left out for other causes.
    std::uint64_t rows = 0;
    std::uint64_t cloze = 0;         // Anki cloze notes
    std::uint64_t notWords = 0;      // blank rows; in a line list also headings, comments, rules
    std::uint64_t unanswerable = 0;  // words written that check finds an error in
    bool refused = false;            // the columns' roles could not be told: nothing was read
};

// Writes the vocabulary file in `in` as CSV with a header row (CR LF row ends), or with `anki`
// as tab-separated text with Anki's header lines: front (text form), back (the meanings joined
// with "; ") and the dictionary form. What it had to make of the file goes to `findings` as
// warnings. Throws what `in` or `sink` throw.
ConvertTotals ExportWords(std::streambuf& in, bool anki, const ByteSink& sink,
                          IFindingSink& findings);

enum class ImportFormat { kAuto, kCsv, kTsv, kAnki, kLines };

struct ImportOptions {
    ImportFormat format = ImportFormat::kAuto;
    // "tab", "comma", "semicolon", "pipe" or one character: the field separator; a longer text
    // (" - ") parts the lines of a line list. Empty: guessed from the first lines.
    std::string separator;
    // The role of each column, as ParseColumnRoles reads it; empty: from a header row or the
    // content.
    std::string columns;
};
