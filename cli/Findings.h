// Findings as tavrin-voc prints them: each rule's text from the catalog, its values filled in,
// in the form compilers use ("NAME:LINE: error: TEXT"), so that editors and scripts can follow
// them. The frame stays English whatever the language; the text is the user's language.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <unordered_map>
#include <vector>

#include "Check.h"
#include "Convert.h"
#include "Finding.h"

// The text of `finding` in the user's language, without its frame.
std::string FindingText(const Finding& finding);

// Prints `finding` as "NAME:LINE: error: TEXT" (or "warning"), and any lines it brings after.
void PrintFinding(std::ostream& out, const std::string& name, const Finding& finding);

// Prints each finding as it comes.
class CFindingPrinter : public IFindingSink {
public:
    CFindingPrinter(std::ostream& out, const std::string& name) : m_out(out), m_name(name) {}
    void Take(Finding&& finding) override { PrintFinding(m_out, m_name, finding); }

private:
    std::ostream& m_out;
    const std::string& m_name;
};

// Findings of import, by input line: the same finding (the same rule with the same values) on
// many rows is told once, with how many rows and the first of their lines. Groups are held
// until Settle finds too many of them or Finish, and told in the order of their first lines; a
// caller settles only where no finding can come from an earlier line than those held.
class CFindingGroups : public IFindingSink {
public:
    CFindingGroups(std::ostream& out, const std::string& name) : m_out(out), m_name(name) {}

    void Take(Finding&& finding) override;
    // Tells what is held when it has grown past the groups held for their count.
    void Settle() {
        if (m_groups.size() >= kHeldGroups) Finish();
    }
    // Tells what is held, in the order of first lines.
    void Finish();

    // Groups held before they are told, whatever comes after.
    static constexpr std::size_t kHeldGroups = 2000;

private:
    struct Group {
        Finding finding;  // the first
        std::uint64_t count = 0;
        std::vector<std::uint64_t> lines;
    };
    void Print(const Group& group);

    std::ostream& m_out;
    const std::string& m_name;
    std::vector<Group> m_groups;
    std::unordered_map<std::string, std::size_t> m_index;
};

// check over one file: its findings, then the line "NAME: 46 words, 0 errors, 2 warnings".
CheckTotals CheckVoc(std::streambuf& in, const std::string& name, std::ostream& out);
// The same over a stream, for callers that hold one (tests, fuzzing).
CheckTotals CheckVocStream(std::istream& in, const std::string& name, std::ostream& out);

// export: the rows to `sink`, its notes to `diagnostics`.
ConvertTotals ExportVoc(std::streambuf& in, const std::string& name, bool anki,
                        const ByteSink& sink, std::ostream& diagnostics);

// import: the words as a vocabulary file to `sink`, with check's rules run over them on a
// thread of their own; the findings of both, grouped, in line order, and a summary line to
// `diagnostics`. Memory does not grow with the input. Throws what `in` or `sink` throw, having
// told the findings made before; nothing else, whatever the bytes.
ConvertTotals ImportDelimited(std::streambuf& in, const std::string& name,
                              const ImportOptions& options, const ByteSink& sink,
                              std::ostream& diagnostics);
// The same over a stream, for callers that hold one (tests, fuzzing).
ConvertTotals ImportDelimitedStream(std::istream& in, const std::string& name,
                                    const ImportOptions& options, const ByteSink& sink,
                                    std::ostream& diagnostics);
