// Where a test page reports each answer it has marked, so that what a student knows can be kept
// across days. The pages know nothing of how it is kept; a page without a log records nothing.
#pragma once

#include <string>

struct AnsweredWord {
    const char* page;      // "latin", "english" or "parts": each page is a card of its own
    std::string headword;  // the word's headword line, as the file holds it
    std::string typed;     // what the answer box held
    bool correct;
    std::string file;  // the file the page opened
};

class IAnswerLog {
public:
    virtual ~IAnswerLog() = default;
    // Never throws and never shows anything in the page's window: a test goes on, whatever
    // becomes of the answer.
    virtual void Record(const AnsweredWord& answer) = 0;
};
