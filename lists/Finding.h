// What the readers of word lists and vocabulary files find, as values: the line, whether it is
// an error or a warning, which rule found it, and the values it names. Nothing here is a
// sentence: a front end looks up the rule's text in its catalog and fills in the values, so
// the same finding can be printed, translated, counted or handed on as data.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class Rule : std::uint8_t {
    // check: a line
    kLineTooLong,    // bytes, bytes kept
    kNotUtf8,        //
    kByteOrderMark,  //
    kLongLine,       // characters
    // check: the headword line
    kEmptyHeadword,        //
    kNoBlank,              //
    kEmptyTextForm,        //
    kEmptyDictionaryForm,  //
    kEmptyBaseWord,        //
    kCapitalInBase,        // base word
    kControlInBase,        // character
    kControlInHeadword,    // character
    kHeadwordEndsInBlank,  //
    kDoubledBlank,         //
    kTextFormPunctuation,  // text form
    kBasePunctuation,      // base word
    kSameTextForm,         // line of the first word with that text form
    // check: a meaning line (the meaning's number first)
    kMeaningControl,       // meaning, character
    kMeaningStartsBlank,   // meaning
    kMeaningEndsBlank,     // meaning
    kMeaningDoubledBlank,  // meaning
    kMeaningNote,          // meaning
    kMeaningComma,         // meaning
    kMeaningGap,           // meaning
    // check: a word
    kEmptyAtEnd,          //
    kCutShort,            // lines it has
    kNoMeaning,           //
    kNoTypableMeaning,    //
    kFirstMeaningsEmpty,  //
    // check: the file
    kNoLineEnd,  //
    kLfOnly,     // count (the first such line is the finding's)
    // import
    kQuoteNotClosed,         // lines, bytes
    kColumnsUntold,          // the first row's fields, then the roles told ("?" where none)
    kClozeLeftOut,           // count
    kTooManyColumns,         // columns, columns named
    kLatinOnlyPicture,       //
    kNoLatin,                //
    kMeaningOnlyPicture,     //
    kNoMeaningInRow,         //
    kTooManyMeanings,        // count, the meanings left out
    kColumnSetAside,         // column number, its name in the header
    kUnnamedColumnSetAside,  // column number
    kRolesGuessed,           // the roles used, as --columns takes them
    kLinesWithoutSeparator,  // lines left out, lines not blank, the separator
    // export
    kConvertedFromCp1252,  //
    kMissingMeanings,      //
    kEmptyLinesLeftOut,    //
};

// One value a finding names. A character (one that cannot be typed) is kept as its code point,
// for the front end to name in its language.
struct FindingValue {
    enum class Kind : std::uint8_t { kNumber, kText, kCharacter };
    Kind kind = Kind::kNumber;
    std::uint64_t number = 0;  // kNumber; the code point of kCharacter
    std::string text;          // kText

    static FindingValue Number(std::uint64_t n) { return {Kind::kNumber, n, {}}; }
    static FindingValue Text(std::string t) { return {Kind::kText, 0, std::move(t)}; }
    static FindingValue Character(char32_t c) { return {Kind::kCharacter, c, {}}; }
    bool operator==(const FindingValue&) const = default;
};

struct Finding {
    std::uint64_t line = 0;
    bool error = false;
    Rule rule = Rule::kNotUtf8;
    std::vector<FindingValue> values;
    bool operator==(const Finding&) const = default;
};

// Where findings go, one at a time, as they are found.
class IFindingSink {
public:
    virtual ~IFindingSink() = default;
    virtual void Take(Finding&& finding) = 0;
};

// A sink that keeps every finding: for tests and for callers that look at them all.
class CFindingList : public IFindingSink {
public:
    void Take(Finding&& finding) override { findings.push_back(std::move(finding)); }
    std::vector<Finding> findings;
};
