// The answer log both front ends give their test pages: every marked answer goes to the
// student's store, opened with the first answer (never at start-up).
//
// Recording never stops, slows or changes a test. When the store cannot be written, one line on
// the error stream says that progress is not being saved and why, once for the life of this
// recorder (a test sheet, a quiz), and the answers after it are not tried again.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "AnswerLog.h"
#include "Store.h"

namespace progress {

// Where answers go, as the user chose: the default store, another file, or nowhere
// (TAVRIN_NO_PROGRESS=1 or --no-progress).
struct StoreChoice {
    std::string path;  // empty: DefaultStorePath()
    bool off = false;

    // The choice the environment makes: TAVRIN_NO_PROGRESS set to anything but "" or "0" is off.
    static StoreChoice FromEnvironment();
    std::string Path() const;
};

// What went wrong with the store, in the user's language: why progress is not being saved, or,
// for a store left alone, that the file named is left as it is (and, where `recording`, that
// progress is not being saved). Without the program's name.
std::string DescribeProblem(const StoreProblem& problem, bool recording);

class CAnswerRecorder : public IAnswerLog {
public:
    // `program` names the program at the start of its line on `err` ("tavrin", "tavrin-voc").
    CAnswerRecorder(StoreChoice choice, std::string program, std::ostream& err);

    void Record(const AnsweredWord& answer) override;

    // The file recorded as the answers' source in place of the one the page opened (a quiz
    // opens a copy of the file named by the user); empty to take the page's.
    void SetSourceFile(std::string file) { m_source = std::move(file); }

    // Whether answers are being saved: before the first answer, whether they will be tried.
    bool Saving() const { return !m_failed && !m_choice.off; }

private:
    void Save(const AnsweredWord& answered);

    StoreChoice m_choice;
    std::string m_program;
    std::ostream& m_err;
    std::string m_source;
    CProgressStore m_store;
    bool m_failed = false;
};

}  // namespace progress
