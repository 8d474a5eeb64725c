// tavrin-voc progress FILE...: what the store of answers knows of the words of FILE, page by
// page, and when they fall due; --export-log writes every answer recorded as CSV.
//
// A store holds a student's whole history, a million answers and more, so it is read as a
// stream: one pass over the cards of each page shown and one over the last month's answers,
// each folded into a few numbers per word of the files given. Nothing else of it is kept.
#include <langinfo.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Delimited.h"
#include "Output.h"
#include "Recorder.h"
#include "Store.h"
#include "StudyWords.h"
#include "TavrinVoc.h"
#include "Tr.h"

namespace {

// The stability from which a word counts as known: three weeks is what a learner can expect to
// keep without looking at it again.
constexpr double kKnownStability = 21;
constexpr int kWeekDays = 7;
constexpr int kForecastDays = 14;
constexpr int kRecentDays = 30;
constexpr progress::Seconds kDaySeconds = 86400;
// The longest bar of the forecast, in terminal cells.
constexpr int kBarCells = 40;
// Written out in pieces of about this size, so that a big store's log never sits in memory.
constexpr std::size_t kChunkBytes = 1 << 16;

const char* const kPageNames[] = {"latin", "english", "parts"};

struct ProgressOptions {
    std::vector<std::string> files;
    std::string page;  // empty: every page
    bool json = false;
    bool ascii = false;
    std::string exportLog;
    bool force = false;
};

// The due day of a word never answered on the page.
constexpr std::int32_t kNeverAnswered = INT32_MIN;

// What --json shows of a card besides its due day.
struct CardDetails {
    double stability = 0;
    double difficulty = 0;
    int answers = 0;
    int lapses = 0;
};

// One page's cards and recent answers, each by the index of its word among all files' words:
// only the few numbers the counts need, so that a hundred thousand words stay small.
struct PageData {
    std::string page;
    std::vector<std::int32_t> dueDay;
    std::vector<bool> known;
    std::vector<std::uint32_t> recent;
    std::vector<std::uint32_t> recentRight;
    std::vector<CardDetails> details;  // --json only
};

struct PageTotals {
    std::size_t fresh = 0;
    std::size_t learning = 0;
    std::size_t known = 0;
    std::size_t dueToday = 0;
    std::size_t dueWeek = 0;  // tomorrow to seven days ahead
    std::uint64_t recent = 0;
    std::uint64_t recentRight = 0;
    std::array<std::size_t, kForecastDays> forecast{};  // [0] is tomorrow
};

void ReportStoreProblem(CliStreams& io, const progress::StoreProblem& problem) {
    io.err << "tavrin-voc: " << progress::DescribeProblem(problem, false) << '\n';
}

// Opens the store the user chose, to read. Returns false, having told the user why.
bool OpenStore(const progress::StoreChoice& choice, progress::CProgressStore& store,
               CliStreams& io) {
    if (choice.off) {
        io.err << "tavrin-voc: "
               << _("no progress store is in use (--no-progress or TAVRIN_NO_PROGRESS), so there "
                    "is nothing to read")
               << '\n';
        return false;
    }
    progress::StoreProblem problem;
    if (store.OpenToRead(choice.Path(), problem)) return true;
    ReportStoreProblem(io, problem);
    return false;
}

// Columns line up by characters, not bytes: translated headings are UTF-8.
std::size_t Width(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string Padded(const std::string& text, std::size_t width, bool left) {
    const std::string blanks(width > Width(text) ? width - Width(text) : 0, ' ');
    return left ? text + blanks : blanks + text;
}

// The C library's formatting follows the user's locale, whose decimal mark may be a comma;
// JSON wants a point.
// Appends `value` with at most four decimals, trailing zeros left out, whatever the locale.
void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char digits[64];
    char* end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4).ptr;
    if (std::find(digits, end, '.') != end) {
        while (end[-1] == '0') --end;
        if (end[-1] == '.') --end;
    }
    const std::string_view text(digits, static_cast<std::size_t>(end - digits));
    out += text == "-0" ? std::string_view("0") : text;
}

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0.
std::size_t Utf8Length(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto tail = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    const unsigned char c = b(0);
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return tail(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (!tail(1) || !tail(2)) return 0;
        if ((c == 0xE0 && b(1) < 0xA0) || (c == 0xED && b(1) > 0x9F)) return 0;
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!tail(1) || !tail(2) || !tail(3)) return 0;
        if ((c == 0xF0 && b(1) < 0x90) || (c == 0xF4 && b(1) > 0x8F)) return 0;
        return 4;
    }
    return 0;
}

// A JSON string. File names and typed answers may hold bytes that are not UTF-8; each such byte
// becomes U+FFFD, so that a script's parser never refuses the whole report.
void AppendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    std::size_t plain = 0;  // start of the run of bytes that go out as they are
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // Headwords are nearly all plain ASCII: such a run is appended in one go.
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            ++i;
            continue;
        }
        std::size_t length = 0;
        if (c >= 0x80) {
            length = Utf8Length(text.substr(i));
            if (length > 0) {
                i += length;
                continue;
            }
        }
        out.append(text.substr(plain, i - plain));
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
        } else if (c == '\n') {
            out.append("\\n");
        } else if (c == '\r') {
            out.append("\\r");
        } else if (c == '\t') {
            out.append("\\t");
        } else if (c >= 0x80) {
            out.append("\\ufffd");
        } else {
            static const char kHex[] = "0123456789abcdef";
            out.append("\\u00");
            out.push_back(kHex[c >> 4]);
            out.push_back(kHex[c & 0xF]);
        }
        ++i;
        plain = i;
    }
    out.append(text.substr(plain));
    out.push_back('"');
}

// A bar of `eighths` eighths of a cell, in block characters, or in '#' where the terminal
// cannot show them; never empty for a count above nothing.
std::string Bar(int eighths, bool ascii) {
    if (eighths <= 0) return {};
    if (ascii) return std::string(static_cast<std::size_t>(std::max(1, (eighths + 4) / 8)), '#');
    static const char* const kPartial[] = {"", "▏", "▎", "▍", "▌", "▋", "▊", "▉"};
    std::string bar;
    for (int i = 0; i < eighths / 8; ++i) bar += "█";
    return bar + kPartial[eighths % 8];
}

bool TerminalShowsUtf8() {
    const char* codeset = ::nl_langinfo(CODESET);
    return codeset && std::strcmp(codeset, "UTF-8") == 0;
}

// The keys of the files' words, each numbered in the order first met. A store's answers are
// each looked up here, a million of them and more; a map of separately allocated strings spends
// most of that time waiting for memory, so the keys lie in one block of text and the table
// holds only numbers, with part of each key's hash to pass over most others unread.
class CWordIndex {
public:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    std::uint32_t Add(std::string_view key, bool& added) {
        const std::uint64_t hash = Hash(key);
        std::size_t slot = 0;
        const std::uint32_t found = Probe(key, hash, slot);
        added = found == kNone;
        if (!added) return found;
        const auto index = static_cast<std::uint32_t>(Size());
        m_text.append(key);
        m_ends.push_back(m_text.size());
        m_slots[slot] = Slot(hash, index);
        if (2 * Size() >= m_slots.size()) Grow();
        return index;
    }

    std::uint32_t Find(std::string_view key) const {
        std::size_t slot = 0;
        return Probe(key, Hash(key), slot);
    }

    std::size_t Size() const { return m_ends.size() - 1; }

    std::string_view Key(std::uint32_t index) const {
        return std::string_view(m_text).substr(m_ends[index], m_ends[index + 1] - m_ends[index]);
    }

private:
    static std::uint64_t Hash(std::string_view key) { return std::hash<std::string_view>{}(key); }

    // Upper half of the hash, and the index plus one so that no slot in use is 0.
    static std::uint64_t Slot(std::uint64_t hash, std::uint32_t index) {
        return (hash & 0xFFFFFFFF00000000u) | (std::uint64_t{index} + 1);
    }

    // The index of `key`, or kNone with `slot` the empty slot where it would go.
    std::uint32_t Probe(std::string_view key, std::uint64_t hash, std::size_t& slot) const {
        const std::size_t mask = m_slots.size() - 1;
        for (slot = hash & mask; m_slots[slot] != 0; slot = (slot + 1) & mask) {
            if ((m_slots[slot] ^ hash) >> 32 != 0) continue;
            const auto index = static_cast<std::uint32_t>((m_slots[slot] & 0xFFFFFFFFu) - 1);
            if (Key(index) == key) return index;
        }
        return kNone;
    }

    void Grow() {
        std::vector<std::uint64_t> bigger(m_slots.size() * 2, 0);
        m_slots.swap(bigger);
        const std::size_t mask = m_slots.size() - 1;
        for (std::uint32_t index = 0; index < Size(); ++index) {
            const std::uint64_t hash = Hash(Key(index));
            std::size_t slot = hash & mask;
            while (m_slots[slot] != 0) slot = (slot + 1) & mask;
            m_slots[slot] = Slot(hash, index);
        }
    }

    std::string m_text;                  // every key, one after another
    std::vector<std::size_t> m_ends{0};  // where each key ends, after the first one's start
    std::vector<std::uint64_t> m_slots = std::vector<std::uint64_t>(1024, 0);
};

class CProgressReport {
public:
    CProgressReport(const ProgressOptions& options, CliStreams& io)
        : m_options(options),
          m_io(io),
          m_now(progress::Now()),
          m_today(progress::StudyDay(m_now)) {}

    int Run(const progress::StoreChoice& choice) {
        progress::CProgressStore store;
        if (!OpenStore(choice, store, m_io)) return kExitFailed;
        if (!LoadFiles()) return kExitFailed;
        progress::StoreProblem problem;
        if (!ReadCards(store, problem) || !ReadRecentAnswers(store, problem)) {
            ReportStoreProblem(m_io, problem);
            return kExitFailed;
        }
        if (m_options.json) {
            WriteJson(choice.Path());
        } else {
            WriteText();
        }
        m_io.out.flush();
        return kExitOk;
    }

private:
    // Each file keeps all its words, even those another file given also holds: every file is
    // reported as if alone. The store's numbers are kept once per word.
    bool LoadFiles() {
        for (const std::string& path : m_options.files) {
            std::vector<std::uint32_t>& indices = m_fileWords.emplace_back();
            // Visited one at a time: a file's whole entries are never held.
            const bool read = ForEachStudyWord({path}, m_io, false, [&](StudyWord& word) {
                bool added = false;
                indices.push_back(m_index.Add(word.key, added));
                if (added && m_options.json) m_headwords.push_back(std::move(word.headword));
            });
            if (!read) return false;
        }
        for (const char* page : kPageNames) {
            if (!m_options.page.empty() && m_options.page != page) continue;
            PageData& data = m_pages.emplace_back();
            data.page = page;
            data.dueDay.assign(m_index.Size(), kNeverAnswered);
            data.known.assign(m_index.Size(), false);
            if (m_options.json) data.details.resize(m_index.Size());
            data.recent.resize(m_index.Size());
            data.recentRight.resize(m_index.Size());
        }
        return true;
    }

    bool ReadCards(progress::CProgressStore& store, progress::StoreProblem& problem) {
        for (PageData& data : m_pages) {
            const bool read = store.ForEachCard(
                data.page,
                [&](const progress::Card& card) {
                    const std::uint32_t word = m_index.Find(card.word);
                    if (word == CWordIndex::kNone) return;
                    data.dueDay[word] = card.dueDay;
                    data.known[word] = card.stability >= kKnownStability;
                    if (!data.details.empty()) {
                        data.details[word] = {card.stability, card.difficulty, card.answers,
                                              card.lapses};
                    }
                },
                problem);
            if (!read) return false;
        }
        return true;
    }

    bool ReadRecentAnswers(progress::CProgressStore& store, progress::StoreProblem& problem) {
        return store.ForEachAnswer(
            [&](const progress::Answer& answer) {
                const auto data =
                    std::find_if(m_pages.begin(), m_pages.end(),
                                 [&](const PageData& d) { return d.page == answer.page; });
                if (data == m_pages.end()) return;
                const std::uint32_t word = m_index.Find(answer.word);
                if (word == CWordIndex::kNone) return;
                ++data->recent[word];
                if (answer.correct) ++data->recentRight[word];
            },
            problem, m_now - kRecentDays * kDaySeconds, true);
    }

    PageTotals Totals(const std::vector<std::uint32_t>& words, const PageData& data) const {
        PageTotals totals;
        for (const std::uint32_t word : words) {
            totals.recent += data.recent[word];
            totals.recentRight += data.recentRight[word];
            if (data.dueDay[word] == kNeverAnswered) {
                ++totals.fresh;
                continue;
            }
            ++(data.known[word] ? totals.known : totals.learning);
            const int ahead = data.dueDay[word] - m_today;
            if (ahead <= 0) {
                ++totals.dueToday;
            } else if (ahead <= kForecastDays) {
                ++totals.forecast[static_cast<std::size_t>(ahead - 1)];
                if (ahead <= kWeekDays) ++totals.dueWeek;
            }
        }
        return totals;
    }

    void WriteText() {
        const bool ascii = m_options.ascii || !TerminalShowsUtf8();
        const std::vector<std::string> headings = {
            _("Page"),      _("New"),         _("Learning"),         _("Known"),
            _("Due today"), _("Next 7 days"), _("Answers, 30 days"), _("Right")};
        for (std::size_t file = 0; file < m_fileWords.size(); ++file) {
            const std::vector<std::uint32_t>& words = m_fileWords[file];
            if (file > 0) m_io.out << '\n';
            m_io.out << P_("%s: %s word", "%s: %s words", words.size(),
                           {m_options.files[file], std::to_string(words.size())})
                     << '\n';

            std::vector<std::vector<std::string>> rows{headings};
            std::array<std::size_t, kForecastDays> forecast{};
            for (const PageData& data : m_pages) {
                const PageTotals t = Totals(words, data);
                for (std::size_t day = 0; day < forecast.size(); ++day) {
                    forecast[day] += t.forecast[day];
                }
                // Rounded down, so that 100% means every answer was right.
                const std::string right =
                    t.recent == 0
                        ? std::string("-")
                        : tr::Format(_("%s%%"), {std::to_string(t.recentRight * 100 / t.recent)});
                rows.push_back({data.page, std::to_string(t.fresh), std::to_string(t.learning),
                                std::to_string(t.known), std::to_string(t.dueToday),
                                std::to_string(t.dueWeek), std::to_string(t.recent), right});
            }
            WriteTable(rows);
            WriteForecast(forecast, ascii);
        }
    }

    void WriteTable(const std::vector<std::vector<std::string>>& rows) {
        std::vector<std::size_t> widths(rows.front().size(), 0);
        for (const auto& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c) {
                widths[c] = std::max(widths[c], Width(row[c]));
            }
        }
        for (const auto& row : rows) {
            std::string line = " ";
            for (std::size_t c = 0; c < row.size(); ++c) {
                line += ' ';
                line += Padded(row[c], widths[c], c == 0);
                if (c + 1 < row.size()) line += ' ';
            }
            m_io.out << line << '\n';
        }
    }

    // Tomorrow first: what is due today is in the table already.
    void WriteForecast(const std::array<std::size_t, kForecastDays>& forecast, bool ascii) {
        const std::size_t most = *std::max_element(forecast.begin(), forecast.end());
        if (most == 0) {
            m_io.out << "  " << _("Nothing falls due in the next 14 days.") << '\n';
            return;
        }
        m_io.out << "  " << _("Due in the next 14 days:") << '\n';
        const std::size_t countWidth = std::to_string(most).size();
        for (std::size_t day = 0; day < forecast.size(); ++day) {
            const std::size_t count = forecast[day];
            // A cell a word while they fit; beyond that the longest bar takes the whole width.
            const std::uint64_t eighths = most <= static_cast<std::size_t>(kBarCells)
                                              ? count * 8
                                              : (count * kBarCells * 8 + most / 2) / most;
            std::string line = "    " + progress::DayText(m_today + static_cast<int>(day) + 1) +
                               "  " + Padded(std::to_string(count), countWidth, false);
            const std::string bar =
                Bar(static_cast<int>(std::max<std::uint64_t>(eighths, count > 0 ? 1 : 0)), ascii);
            if (!bar.empty()) line += " " + bar;
            m_io.out << line << '\n';
        }
    }

    // Cards share a few hundred due days: each is written out once.
    const std::string& DayText(int day) {
        auto [at, added] = m_dayTexts.try_emplace(day);
        if (added) at->second = progress::DayText(day);
        return at->second;
    }

    void Flush(std::string& json, bool always = false) {
        if (!always && json.size() < kChunkBytes) return;
        m_io.out << json;
        json.clear();
    }

    void WriteJson(const std::string& storePath) {
        std::string json = "{\"store\": ";
        AppendJsonString(json, storePath);
        json += ", \"today\": \"" + progress::DayText(m_today) + "\", \"files\": [";
        for (std::size_t file = 0; file < m_fileWords.size(); ++file) {
            const std::vector<std::uint32_t>& words = m_fileWords[file];
            json += file > 0 ? ",\n" : "\n";
            json += " {\"file\": ";
            AppendJsonString(json, m_options.files[file]);
            json += ", \"words\": " + std::to_string(words.size()) + ", \"pages\": [";
            for (std::size_t p = 0; p < m_pages.size(); ++p) {
                const PageData& data = m_pages[p];
                const PageTotals t = Totals(words, data);
                json += p > 0 ? ",\n" : "\n";
                json += "  {\"page\": \"" + data.page + "\", \"new\": " + std::to_string(t.fresh) +
                        ", \"learning\": " + std::to_string(t.learning) +
                        ", \"known\": " + std::to_string(t.known) +
                        ", \"due_today\": " + std::to_string(t.dueToday) +
                        ", \"due_next_7_days\": " + std::to_string(t.dueWeek) +
                        ", \"answers_30_days\": " + std::to_string(t.recent) +
                        ", \"right_30_days\": " + std::to_string(t.recentRight) +
                        ", \"forecast\": [";
                for (std::size_t day = 0; day < t.forecast.size(); ++day) {
                    if (day > 0) json += ", ";
                    json += std::to_string(t.forecast[day]);
                }
                json += "], \"cards\": [";
                bool first = true;
                for (const std::uint32_t word : words) {
                    if (data.dueDay[word] == kNeverAnswered) continue;
                    const CardDetails& card = data.details[word];
                    json += first ? "\n" : ",\n";
                    first = false;
                    json += "   {\"word\": ";
                    AppendJsonString(json, m_headwords[word]);
                    json += ", \"key\": ";
                    AppendJsonString(json, m_index.Key(word));
                    // Appended piece by piece: a store of many words writes many cards.
                    json += ", \"stability\": ";
                    AppendJsonNumber(json, card.stability);
                    json += ", \"difficulty\": ";
                    AppendJsonNumber(json, card.difficulty);
                    json += ", \"due\": \"";
                    json += DayText(data.dueDay[word]);
                    json += "\", \"answers\": ";
                    json += std::to_string(card.answers);
                    json += ", \"lapses\": ";
                    json += std::to_string(card.lapses);
                    json += '}';
                    Flush(json);
                }
                json += "]}";
            }
            json += "]}";
        }
        json += "]}\n";
        Flush(json, true);
    }

    const ProgressOptions& m_options;
    CliStreams& m_io;
    const progress::Seconds m_now;
    const int m_today;
    CWordIndex m_index;
    std::vector<std::string> m_headwords;                 // by word index; --json only
    std::unordered_map<int, std::string> m_dayTexts;      // the due days written so far
    std::vector<std::vector<std::uint32_t>> m_fileWords;  // word indices, in each file's order
    std::vector<PageData> m_pages;                        // the pages shown
};

int ExportLog(const ProgressOptions& options, const progress::StoreChoice& choice, CliStreams& io) {
    progress::CProgressStore store;
    if (!OpenStore(choice, store, io)) return kExitFailed;
    COutput output(io);
    if (!output.Open(options.exportLog, options.force)) return kExitFailed;
    std::string rows = "time,word,headword,page,correct,typed,file\r\n";
    progress::StoreProblem problem;
    bool read = false;
    try {
        read = store.ForEachAnswer(
            [&](const progress::Answer& answer) {
                rows += progress::TimeText(answer.time);
                for (const std::string* field : {&answer.word, &answer.headword, &answer.page}) {
                    rows += ',';
                    AppendField(rows, *field, ',');
                }
                rows += answer.correct ? ",1," : ",0,";
                AppendField(rows, answer.typed, ',');
                rows += ',';
                AppendField(rows, answer.file, ',');
                rows += "\r\n";
                if (rows.size() >= kChunkBytes) {
                    output.Write(rows);
                    rows.clear();
                }
            },
            problem);
        if (read) output.Write(rows);
    } catch (const CFileException& e) {
        ReportFileProblem(io, options.exportLog,
                          tr::Format(_("the export failed: %s; nothing was written"),
                                     {DescribeCause(e.m_cause)}));
        return kExitFailed;
    }
    if (!read) {
        ReportStoreProblem(io, problem);
        return kExitFailed;
    }
    return output.Commit() ? kExitOk : kExitFailed;
}

int RunProgress(const ProgressOptions& options, const progress::StoreChoice& choice,
                CliStreams& io) {
    if (!options.exportLog.empty() && !options.files.empty()) {
        io.err << "tavrin-voc: " << _("--export-log writes every answer; give it no FILE") << '\n';
        return kExitUsage;
    }
    if (!options.exportLog.empty()) return ExportLog(options, choice, io);
    if (options.files.empty()) {
        io.err << "tavrin-voc: " << _("progress needs a FILE to report on, or --export-log")
               << '\n';
        return kExitUsage;
    }
    return CProgressReport(options, io).Run(choice);
}

}  // namespace

void AddProgressCommand(CLI::App& app, CliRun& run, const StoreChoicePtr& store) {
    auto options = std::make_shared<ProgressOptions>();
    CLI::App* command = AddCommand(
        app, "progress", _("Shows how far the words have come"),
        _("Shows how far the words of each FILE have come, page by page: new (never answered), "
          "learning, known (kept for 21 days or more), due today and in the next 7 days, and the "
          "answers of the last 30 days with the share right; then how many fall due on each of "
          "the next 14 days. With --export-log, writes every answer recorded as CSV instead."));
    command->add_option(
        "FILE", options->files,
        _("Vocabulary files, or word lists of another kind (CSV, Anki, a line list: any that "
          "import reads)"));
    command
        ->add_option("--page", options->page,
                     _("Show only this page: latin (Latin to English), english (English to "
                       "Latin) or parts (Word Parts); all three without it"))
        ->check(CLI::IsMember({"latin", "english", "parts"}));
    command->add_flag("--json", options->json,
                      _("Write JSON for scripts, with each answered word's stability, "
                        "difficulty, due day, answers and lapses"));
    command->add_flag("--ascii", options->ascii,
                      _("Draw the bars with # even where the terminal shows block characters"));
    command
        ->add_option("--export-log", options->exportLog,
                     _("Write every answer recorded to this CSV file ('-' for standard output): "
                       "time, word, headword, page, correct, typed, file"))
        ->type_name("OUT.csv");
    command->add_flag("--force", options->force, _("Replace the --export-log file if it exists"));
    command->footer(
        _("The answers are read from the store named by --progress, else the user's own. "
          "Examples:\n  tavrin-voc progress aeneid.voc\n"
          "  tavrin-voc progress --export-log answers.csv"));
    command->callback([options, store, &run] {
        run = [options, store](CliStreams& io) { return RunProgress(*options, *store, io); };
    });
}
