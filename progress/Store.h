// The store of a student's answers: one SQLite database per user, every marked answer a row,
// and each card's memory state (one card per word and page) kept beside them.
//
// The store is the student's data. Nothing here empties, rewrites or deletes a store that SQLite
// finds damaged, that is not a store at all, or that a newer version wrote: such a file is left
// byte for byte as it was, and the caller is told. Writes are one transaction per answer in WAL
// mode with a busy timeout, so the windows and a terminal quiz can record at the same moment,
// and a killed process loses no answer it had committed.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Clock.h"

struct sqlite3;
struct sqlite3_stmt;

namespace progress {

// The schema this build writes. A store with a higher user_version is never touched.
constexpr int kSchemaVersion = 1;

// Why the store could not be used: a value for the front end to put in its own words.
struct StoreProblem {
    enum Kind {
        kNone,
        kCannotOpen,  // the folder or file cannot be made or opened (errno-like cause in detail)
        kReadOnly,    // the store or its folder may not be written
        kBusy,        // another program held the store past the timeout
        kDiskFull,
        kDamaged,  // not a store, cut short, or found damaged by SQLite; left as it is
        kNewer,    // written by a newer version; left as it is
        kOther,    // any other failure; SQLite's own words in detail
    };
    Kind kind = kNone;
    std::string path;
    std::string detail;  // the system's or SQLite's words, untranslated; may be empty
};

// One marked answer, as it is recorded.
struct Answer {
    Seconds time = 0;
    std::string word;      // the word's key: its headword line in the answer comparison's form
    std::string headword;  // the headword line as the file holds it
    std::string page;      // "latin", "english" or "parts"
    bool correct = false;
    std::string typed;
    std::string file;
};

// A card: one word on one page, with its memory state after its last answer.
struct Card {
    std::string word;
    std::string page;
    std::string headword;  // as last answered
    double stability = 0;  // days
    double difficulty = 0;
    Seconds firstAnswer = 0;
    Seconds lastAnswer = 0;
    int lastDay = 0;  // study day of the last answer
    int dueDay = 0;   // study day from which it is due
    int answers = 0;
    int lapses = 0;  // wrong answers given on a later day than the card's last answer
};

// The key a word is known by: its headword line, lowered, without marks of vowel length, NFC.
// The same word in two lists, or after its meanings were edited, keeps its progress.
std::string WordKey(std::string_view headword);

// The card after `answer`, given the card before it (none for a word never answered on that
// page). Pure: the store applies it inside the answer's transaction.
Card NextCard(const std::optional<Card>& before, const Answer& answer);

// The store's place for this user: $XDG_DATA_HOME/tavrin/progress.sqlite, or
// ~/.local/share/tavrin/progress.sqlite where XDG_DATA_HOME is unset, empty or relative.
std::string DefaultStorePath();

// Makes the folders above the store at `path` where missing, each with mode 0700.
bool MakeStoreFolder(const std::string& path, StoreProblem& problem);

class CProgressStore {
public:
    CProgressStore() = default;
    ~CProgressStore();
    CProgressStore(const CProgressStore&) = delete;
    CProgressStore& operator=(const CProgressStore&) = delete;

    // Opens the store at `path` to record in it, making it (file mode 0600) and, for the
    // default place, its folders (mode 0700) where missing. Returns false, with the reason in
    // `problem`, when it cannot be written; a damaged or newer store is then left as it is.
    bool OpenToRecord(const std::string& path, StoreProblem& problem);

    // Opens the store at `path` to read, making nothing. A store that does not exist opens as
    // an empty one (every word new). Returns false, with the reason, when it cannot be read.
    bool OpenToRead(const std::string& path, StoreProblem& problem);

    bool IsOpen() const { return m_db != nullptr; }
    const std::string& Path() const { return m_path; }

    // Records `answer` and moves its card on, in one transaction. Returns false, with the
    // reason, when nothing was recorded.
    bool Record(const Answer& answer, StoreProblem& problem);

    // The card of `word` on `page`, if it was ever answered there.
    std::optional<Card> FindCard(const std::string& word, const std::string& page);

    // A store never opened holds nothing: the visits below then find nothing.

    // Every card of `page` (every page where empty), in the order of their words.
    bool ForEachCard(const std::string& page, const std::function<void(const Card&)>& visit,
                     StoreProblem& problem);

    // Every answer recorded, oldest first; the earliest from `since` on where given. With
    // `marksOnly`, only the time, word, page and mark are filled in.
    bool ForEachAnswer(const std::function<void(const Answer&)>& visit, StoreProblem& problem,
                       std::optional<Seconds> since = std::nullopt, bool marksOnly = false);

    // How many cards of `page` had their first answer on study day `day`.
    int CardsStartedOn(const std::string& page, int day);

private:
    bool Open(const std::string& path, bool toRecord, StoreProblem& problem);
    bool Fail(StoreProblem& problem, int code);
    void Close();

    sqlite3* m_db = nullptr;
    std::string m_path;
    bool m_empty = false;  // opened to read a store that does not exist yet
};

}  // namespace progress
