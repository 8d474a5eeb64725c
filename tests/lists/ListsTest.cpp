// The word-list library's findings, as values: each reaches the sink whole, with its rule and
// the values it names, whatever those values hold.
#include <gtest/gtest.h>

#include <sstream>

#include "Check.h"
#include "Convert.h"
#include "Import.h"

namespace {

using V = FindingValue;

}  // namespace

// What a failing comparison shows of a finding.
void PrintTo(const Finding& f, std::ostream* os) {
    *os << f.line << (f.error ? " error " : " warning ") << int(f.rule) << " {";
    for (const auto& v : f.values)
        *os << ' ' << (v.kind == V::Kind::kText ? v.text : std::to_string(v.number));
    *os << " }";
}

namespace {

std::vector<Finding> Checked(const std::string& file) {
    std::istringstream in(file);
    CFindingList sink;
    CheckWords(*in.rdbuf(), sink);
    return sink.findings;
}

std::vector<Finding> Imported(const std::string& list, std::string* words = nullptr) {
    std::istringstream in(list);
    std::vector<Finding> found;
    CListImporter importer(*in.rdbuf(), ImportOptions{}, [&](WordBlock&& block) {
        if (words) *words += std::string_view(block.bytes);
        for (auto& f : block.findings) found.push_back(std::move(f));
    });
    if (importer.Start()) {
        while (importer.Step()) {
        }
    }
    for (auto& f : importer.TakeUnsent()) found.push_back(std::move(f));
    return found;
}

struct SinkCase {
    const char* name;
    std::vector<Finding> found;
    std::vector<Finding> expected;
};

class FindingValues : public ::testing::TestWithParam<SinkCase> {};

TEST_P(FindingValues, ReachTheSinkWhole) { EXPECT_EQ(GetParam().found, GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Rules, FindingValues,
    ::testing::Values(
        // What a format would take for its own conversions stays the word's.
        SinkCase{"WordWithFormatSigns",
                 Checked("x A%s\"%d\r\nsing\r\n\r\n\r\n\r\n\r\n"),
                 {{1, false, Rule::kCapitalInBase, {V::Text("A%s\"%d")}}}},
        SinkCase{"CharacterAsItsCodePoint",
                 Checked("cano cano\r\nsi\x1Bng\r\nchant\r\n\r\n\r\n\r\n"),
                 {{2, false, Rule::kMeaningControl, {V::Number(1), V::Character(0x1B)}}}},
        SinkCase{"RepeatNamesTheFirstLine",
                 Checked("a a\r\nx\r\n\r\n\r\n\r\n\r\nb b\r\ny\r\n\r\n\r\n\r\n\r\n"
                         "a a\r\nz\r\n\r\n\r\n\r\n\r\n"),
                 {{13, false, Rule::kSameTextForm, {V::Number(1)}}}},
        SinkCase{"CountOfTheWholeFile",
                 Checked("a a\nx\n\n\n\n\n"),
                 {{1, false, Rule::kLfOnly, {V::Number(6)}}}},
        SinkCase{"RowAtItsInputLine",
                 Imported("amo,love\n\n\nrosa,\n"),
                 {{4, true, Rule::kNoMeaningInRow, {}}}},
        SinkCase{"MeaningsLeftOut",
                 Imported("latin\tenglish\namo\tlove; like; a; b; c; d, e\n"),
                 {{2, false, Rule::kTooManyMeanings, {V::Number(7), V::Text("d; e")}}}},
        SinkCase{"UntoldColumnsWithTheFirstRow",
                 Imported("amo,love,like\nrosa,rose,flower\n"),
                 {{1,
                   true,
                   Rule::kColumnsUntold,
                   {V::Text("amo"), V::Text("love"), V::Text("like"), V::Text("?,?,?")}}}},
        SinkCase{"QuoteLeftOpen",
                 Imported("amo,\"love\nrosa,rose\n"),
                 {{1, true, Rule::kQuoteNotClosed, {V::Number(64), V::Number(4096)}}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
