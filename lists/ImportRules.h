// The rules by which import turns someone else's word list into answerable words, each a pure
// function so that it can be tried alone: what a column is for (by its name, by the user's
// word, or by what it holds), which separator a file uses, and how a Latin cell and a meaning
// cell become a headword line and meanings.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a column of a word list is for.
enum class ColumnRole {
    kSkip,     // set aside: part of speech, category, chapter, notes...
    kForm,     // the text form
    kLatin,    // part of the dictionary form; several such columns are joined in order
    kMeaning,  // one or more meanings
};

// A column name reduced to what tells it: lower case, blanks, '_' and punctuation left out,
// the accented letters of the header vocabulary as plain ones ("Übersetzung" -> "ubersetzung").
std::string HeaderKey(std::string_view name);

// The role of a column by its name, or nothing for a name not known: the whole name, else its
// words (parted at blanks, "_", "-" and case changes) in the singular or the plural of six
// languages, a name that says what the column holds before one that says little ("Latin
// word", "english_translation", "Notizen"); a name of grammatical forms only
// ("first_sg_pres_act_ind") is a Latin form column.
std::optional<ColumnRole> RoleOfHeaderName(std::string_view name);

// The roles of the columns when `cells` is a row of column names: most of its names known,
// among them a Latin (or text form) column and a meaning column. Unknown names are set aside.
std::optional<std::vector<ColumnRole>> RolesOfHeader(const std::vector<std::string>& cells);

// Reads "latin,latin,skip,meaning" (as --columns gives it); nothing when a name is not a role.
std::optional<std::vector<ColumnRole>> ParseColumnRoles(std::string_view text);
// "form", "latin", "meaning" or "skip".
const char* RoleName(ColumnRole role);

// Wider rows are not judged by their content: every role is then left untold.
constexpr std::size_t kMostJudgedColumns = 64;

// The roles of columns judged from the first rows of a list without a header. Columns of a
// few repeated values, numbers, one-letter codes or part-of-speech names are set aside; the
// rest are told Latin or meaning by their content. A role that cannot be told is nothing.
// `guessed`, where given, is set when a role was given by elimination rather than by what the
// column holds: the one role missing, given to the one column of three or more left untold.
// (Two columns left are a card's, the Latin first: how cards are written, no guess.)
std::vector<std::optional<ColumnRole>> RolesOfContent(
    const std::vector<std::vector<std::string>>& rows, bool* guessed = nullptr);

// Whether the first of `rows` is a header by its contrast with the rows below, whatever its
// names: a name over a column of numbers or of one- or two-letter codes, or over a column of
// dictionary entries where another of its cells is a known name; and repeated by no row below.
bool IsHeaderByContrast(const std::vector<std::vector<std::string>>& rows);

// How the fields of a line are separated: one character, with quotes as in CSV, or a text
// between the two sides of a line in a plain list ("amo - to love").
struct Separator {
    char delimiter = ',';
    std::string lineList;  // not empty for a line list
};

// The separator of a file, from `start` (its first bytes): of tab, ';', '|', the line-list
// texts " : ", " – ", " — ", " - ", " = ", ": ", and ',' and '/', the one that most of the
// first lines hold the same number of times (quotes respected), in that order where two are
// as consistent. One that half the lines or more lack is never taken; ',' where none is held.
Separator GuessSeparator(std::string_view start);

// Whether a line of a line list is plainly not a word (blank, a '#' comment, a Markdown rule or
// a front matter fence); a heading is a line without the separator and is told by the caller.
bool IsNonWordLine(std::string_view line);

// Splits a line of a line list at each `separator`, fields trimmed.
void SplitLine(std::string_view line, std::string_view separator, std::vector<std::string>& fields);

// The headword line of a Latin cell: the text form is `form` where given, otherwise the first
// word, either without the ',' ';' or ':' after it; the dictionary form is the Latin with the
// commas and semicolons between its forms turned into single blanks. Empty when the cell is.
std::string HeadwordOfLatin(std::string_view latin, std::string_view form = {});

// The meanings a student can type from a meaning cell: split at ';' ',' '/' and line breaks
// (and at <br> and <div> boundaries), notes in brackets taken out, blanks trimmed and collapsed,
// repeats dropped. With `html`, each piece's tags and entities are turned into text. At most
// kMostMeaningsTaken are taken: enough to say what was left out of the five a word holds.
constexpr std::size_t kMostMeaningsTaken = 20;
std::vector<std::string> MeaningsOfCell(std::string_view cell, bool html = false);

// How a list ends its meanings: where most of its meaning cells end in a full stop, the stop
// is no part of what a student types ("canis : dog."), but for the abbreviations that the
// list uses inside its meanings too ("etc.").
struct MeaningStops {
    bool dropped = false;
    std::vector<std::string> abbreviations;  // lowered, each with its stop
};
MeaningStops StopsOfMeanings(const std::vector<std::string_view>& cells);
// Takes the full stop off the end of `meaning` where `stops` says so.
void DropEndingStop(std::string& meaning, const MeaningStops& stops);

// `text` without Markdown's emphasis: '*' and "**" around words, and '_' at a word's ends.
std::string WithoutEmphasis(std::string_view text);

// Whether an Anki field holds only a picture.
bool IsOnlyPicture(std::string_view field);
// Whether an Anki field holds a cloze deletion ("{{c1::...}}").
bool IsCloze(std::string_view field);
