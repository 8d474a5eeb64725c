// The words of the files a student studies from, for the commands that look at what the store
// holds of them (quiz --review, progress, due): each whole entry, its headword line as the pages
// read it, and the key the store knows the word by.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "QuizFiles.h"
#include "Store.h"
#include "TavrinVoc.h"

struct StudyWord {
    std::string entry;     // six lines as stored, each ending in CR LF
    std::string headword;  // as the pages read it (UTF-8)
    std::string key;       // the store's key for the word
    std::size_t file = 0;  // position of its file among those given
};

// What a command shows on `io.err` of the findings of a word list it imports: each of them, as
// tavrin-voc import tells them, or only import's summary line and how many errors and warnings
// it found (a quiz that goes ahead: the findings are the list's business, not the student's).
// Where nothing can be quizzed, each finding is shown either way, since they say why.
enum class ImportFindings { kEach, kCounted };

// Imports the word list at `path` (CSV, Anki, a line list...) into `copy`, as tavrin-voc import
// would, and, where `announce`, says on `io.out` that the quiz takes its words from there.
// Returns false, having told the user why, when nothing could be imported.
bool ImportWordList(const std::string& path, CReorderedCopy& copy, CliStreams& io,
                    bool announce = true, ImportFindings findings = ImportFindings::kEach);

// Whether `path` names a vocabulary file (.voc in any case); any other name is a word list.
bool IsVocName(const std::string& path);

// Visits the words of `paths` in the files' order, each once (see below); a word list is
// imported first. Returns false, having told the user why, when a file cannot be read.
bool ForEachStudyWord(const std::vector<std::string>& paths, CliStreams& io, bool announceImports,
                      const std::function<void(StudyWord& word)>& visit,
                      ImportFindings findings = ImportFindings::kEach);

// Adds the words of `paths` to `words`, in the files' order; a word list is imported first.
// A word given twice (the same key), in one file or in two, is taken once, where it comes
// first. Returns false, having told the user why, when a file cannot be read.
bool LoadStudyWords(const std::vector<std::string>& paths, std::vector<StudyWord>& words,
                    CliStreams& io, bool announceImports,
                    ImportFindings findings = ImportFindings::kEach);

// The words a review asks on `page` at moment `now`, as positions into `words`: first the words
// due that study day, the least likely to be remembered first, then words never answered on
// that page, in the files' order, as many as `newLimit` less the new words already started that
// day. Returns false, with the reason, when the store cannot be read.
struct ReviewPlan {
    std::vector<std::size_t> due;
    std::vector<std::size_t> fresh;
};
bool PlanReview(const std::vector<StudyWord>& words, progress::CProgressStore& store,
                const std::string& page, progress::Seconds now, int newLimit, ReviewPlan& plan,
                progress::StoreProblem& problem);

// How many of `words` are due on `page` by study day `day` (every word answered there whose
// due day is `day` or earlier).
std::size_t CountDueBy(const std::vector<StudyWord>& words, progress::CProgressStore& store,
                       const std::string& page, int day);
