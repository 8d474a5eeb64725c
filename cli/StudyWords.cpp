#include "StudyWords.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <streambuf>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "Findings.h"
#include "Fsrs.h"
#include "Input.h"
#include "Output.h"
#include "Store.h"
#include "Text.h"
#include "Tr.h"
#include "VocText.h"

bool IsVocName(const std::string& path) {
    return AsciiLower(std::filesystem::path(path).extension().string()) == ".voc";
}

namespace {

// What import tells of a list whose findings are only counted: the text from its start, up to a
// bound, for when nothing can be quizzed and every finding is shown after all; and its last line,
// the summary. The findings of a list of a million rows, each its own, are not held whole.
class CHeldFindings : public std::streambuf {
public:
    // The whole lines held; Cut() says whether more was told than these.
    std::string_view Held() const {
        return std::string_view(m_held).substr(0, m_cut ? m_held.rfind('\n') + 1 : m_held.size());
    }
    bool Cut() const { return m_cut; }
    // The last whole line told, without its line end.
    const std::string& LastLine() const { return m_last; }

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) Take(traits_type::to_char_type(c));
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize i = 0; i < n; ++i) Take(s[i]);
        return n;
    }

private:
    static constexpr std::size_t kHeldBytes = std::size_t{1} << 20;

    void Take(char c) {
        if (m_held.size() < kHeldBytes) {
            m_held += c;
        } else {
            m_cut = true;
        }
        if (c == '\n') {
            m_last.swap(m_line);
            m_line.clear();
        } else if (m_line.size() < kHeldBytes) {
            m_line += c;
        }
    }

    std::string m_held;
    std::string m_line;  // the line being told
    std::string m_last;
    bool m_cut = false;
};

}  // namespace

bool ImportWordList(const std::string& path, CReorderedCopy& copy, CliStreams& io, bool announce,
                    ImportFindings findings) {
    CInput input;
    if (!input.Open(path, io)) return false;
    const bool counted = findings == ImportFindings::kCounted;
    CHeldFindings held;
    std::ostream heldOut(&held);
    // When the quiz cannot go ahead, the findings say why.
    const auto tellHeld = [&] {
        if (!counted) return;
        io.err << held.Held();
        if (held.Cut()) {
            io.err << _("more findings are not shown here; --verbose shows them all") << '\n';
        }
    };
    ImportOptions options;
    ConvertTotals totals;
    try {
        totals = ImportDelimited(
            input.Buf(), input.Name(), options, [&](std::string_view bytes) { copy.Append(bytes); },
            counted ? heldOut : io.err);
    } catch (const CFileException& e) {
        tellHeld();
        ReportFileProblem(
            io, path,
            tr::Format(_("the words could not be imported: %s"), {DescribeCause(e.m_cause)}));
        return false;
    }
    if (totals.words == 0) {
        tellHeld();
        ReportFileProblem(io, path, _("no row could be used, so there is nothing to quiz"));
        return false;
    }
    if (counted) {
        // Each count is pluralised by itself; the sentence only joins them.
        const std::vector<std::string> counts{P_("%lu error", "%lu errors", totals.errors),
                                              P_("%lu warning", "%lu warnings", totals.warnings)};
        io.err << held.LastLine() << '\n'
               << input.Name() << ": "
               << (totals.errors + totals.warnings > 0
                       ? tr::Format(_("the import found %s and %s; --verbose shows each one"),
                                    counts)
                       : tr::Format(_("the import found %s and %s"), counts))
               << '\n';
    }
    if (!announce) return true;
    // The count is the second value, so that a language's singular may leave it out.
    io.out << P_("Quizzing the word imported from %1$s, kept in a temporary file until the quiz "
                 "ends.",
                 "Quizzing the %2$s words imported from %1$s, kept in a temporary file until the "
                 "quiz ends.",
                 totals.words, {path, std::to_string(totals.words)})
           << '\n';
    return true;
}

bool ForEachStudyWord(const std::vector<std::string>& paths, CliStreams& io, bool announceImports,
                      const std::function<void(StudyWord& word)>& visit, ImportFindings findings) {
    std::unordered_set<std::string> seen;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string readable = paths[i];
        CReorderedCopy imported;
        if (!IsVocName(paths[i])) {
            if (!ImportWordList(paths[i], imported, io, announceImports, findings)) return false;
            readable = imported.Path();
        }
        CTextFile file;
        CFileException error;
        if (!file.Open(readable, CTextFile::modeRead, &error)) {
            ReportFileProblem(
                io, paths[i],
                tr::Format(_("cannot open it for reading: %s"), {DescribeCause(error.m_cause)}));
            return false;
        }
        try {
            StudyWord word;
            word.file = i;
            while (ReadWholeEntry(file, word.entry)) {
                word.headword = TextAsUtf8(word.entry.substr(0, word.entry.find("\r\n")));
                word.key = progress::WordKey(word.headword);
                if (seen.insert(word.key).second) visit(word);
            }
        } catch (const CFileException& e) {
            ReportFileProblem(io, paths[i],
                              tr::Format(_("cannot read it: %s"), {DescribeCause(e.m_cause)}));
            return false;
        }
    }
    return true;
}

bool LoadStudyWords(const std::vector<std::string>& paths, std::vector<StudyWord>& words,
                    CliStreams& io, bool announceImports, ImportFindings findings) {
    return ForEachStudyWord(
        paths, io, announceImports, [&](StudyWord& word) { words.push_back(std::move(word)); },
        findings);
}

bool PlanReview(const std::vector<StudyWord>& words, progress::CProgressStore& store,
                const std::string& page, progress::Seconds now, int newLimit, ReviewPlan& plan,
                progress::StoreProblem& problem) {
    plan = ReviewPlan{};
    std::unordered_map<std::string_view, std::size_t> byKey;
    byKey.reserve(words.size());
    for (std::size_t i = 0; i < words.size(); ++i) byKey.emplace(words[i].key, i);

    const int today = progress::StudyDay(now);
    std::vector<std::pair<double, std::size_t>> due;
    std::vector<bool> answered(words.size(), false);
    const bool read = store.ForEachCard(
        page,
        [&](const progress::Card& card) {
            const auto at = byKey.find(card.word);
            if (at == byKey.end()) return;
            answered[at->second] = true;
            if (card.dueDay > today) return;
            // By the clock rather than by study days: of two words answered the same evening,
            // the earlier one has had longer to fade.
            const double elapsed =
                std::max(0.0, static_cast<double>(now - card.lastAnswer) / 86400);
            due.emplace_back(fsrs::Retrievability(elapsed, card.stability), at->second);
        },
        problem);
    if (!read) return false;
    std::sort(due.begin(), due.end());
    for (const auto& [recall, i] : due) plan.due.push_back(i);

    // Words begun today in another session count against today's new words, so that a second
    // session in a day does not double them.
    const int started = store.CardsStartedOn(page, today);
    const std::size_t room = static_cast<std::size_t>(std::max(0, newLimit - started));
    for (std::size_t i = 0; i < words.size() && plan.fresh.size() < room; ++i) {
        if (!answered[i]) plan.fresh.push_back(i);
    }
    return true;
}

std::size_t CountDueBy(const std::vector<StudyWord>& words, progress::CProgressStore& store,
                       const std::string& page, int day) {
    std::size_t count = 0;
    for (const StudyWord& word : words) {
        const auto card = store.FindCard(word.key, page);
        if (card && card->dueDay <= day) ++count;
    }
    return count;
}
