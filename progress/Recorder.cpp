#include "Recorder.h"

#include <cstdlib>
#include <ostream>

#include "Tr.h"

namespace progress {

StoreChoice StoreChoice::FromEnvironment() {
    StoreChoice choice;
    const char* off = std::getenv("TAVRIN_NO_PROGRESS");
    choice.off = off && *off && std::string(off) != "0";
    return choice;
}

std::string StoreChoice::Path() const { return path.empty() ? DefaultStorePath() : path; }

std::string DescribeProblem(const StoreProblem& problem, bool recording) {
    const std::string& detail = problem.detail;
    switch (problem.kind) {
        case StoreProblem::kDamaged:
            return recording ? tr::Format(_("%s is damaged or is not a progress store; it is left "
                                            "as it is, and progress is not being saved"),
                                          {problem.path})
                             : tr::Format(_("%s is damaged or is not a progress store; it is left "
                                            "as it is"),
                                          {problem.path});
        case StoreProblem::kNewer:
            return recording ? tr::Format(_("%s was written by a newer version of Tavrin Tutor; it "
                                            "is left as it is, and progress is not being saved"),
                                          {problem.path})
                             : tr::Format(_("%s was written by a newer version of Tavrin Tutor; it "
                                            "is left as it is"),
                                          {problem.path});
        case StoreProblem::kBusy:
            return recording
                       ? tr::Format(_("progress is not being saved: another program held %s "
                                      "for too long"),
                                    {problem.path})
                       : tr::Format(_("another program held %s for too long"), {problem.path});
        case StoreProblem::kDiskFull:
            return tr::Format(_("progress is not being saved: the disk that holds %s is full"),
                              {problem.path});
        default:
            return recording
                       ? tr::Format(_("progress is not being saved: %s cannot be written (%s)"),
                                    {problem.path, detail})
                       : tr::Format(_("%s cannot be read (%s)"), {problem.path, detail});
    }
}

CAnswerRecorder::CAnswerRecorder(StoreChoice choice, std::string program, std::ostream& err)
    : m_choice(std::move(choice)), m_program(std::move(program)), m_err(err) {}

void CAnswerRecorder::Record(const AnsweredWord& answered) {
    if (!Saving()) return;
    try {
        Save(answered);
    } catch (const std::exception& e) {
        m_failed = true;
        m_err << m_program << ": "
              << tr::Format(_("progress is not being saved: %s cannot be written (%s)"),
                            {m_choice.Path(), e.what()})
              << std::endl;
    }
}

void CAnswerRecorder::Save(const AnsweredWord& answered) {
    StoreProblem problem;
    if (!m_store.IsOpen()) {
        const std::string path = m_choice.Path();
        const bool opened = (!m_choice.path.empty() || MakeStoreFolder(path, problem)) &&
                            m_store.OpenToRecord(path, problem);
        if (!opened) {
            m_failed = true;
            m_err << m_program << ": " << DescribeProblem(problem, true) << std::endl;
            return;
        }
    }
    Answer answer;
    answer.time = Now();
    answer.word = WordKey(answered.headword);
    answer.headword = answered.headword;
    answer.page = answered.page;
    answer.correct = answered.correct;
    answer.typed = answered.typed;
    answer.file = m_source.empty() ? answered.file : m_source;
    if (!m_store.Record(answer, problem)) {
        m_failed = true;
        m_err << m_program << ": " << DescribeProblem(problem, true) << std::endl;
    }
}

}  // namespace progress
