// import as the command runs it: the list read on this thread, check's rules over the words
// written on a second one, and the findings of both told together, grouped, in line order.
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <limits>
#include <mutex>
#include <ostream>
#include <thread>
#include <utility>
#include <vector>

#include "Findings.h"
#include "Import.h"
#include "Tr.h"
#include "VocFormat.h"

namespace {

// Blocks of words on their way from the import to the check of what it wrote: a few at a time,
// so that memory stays flat.
class CBlockQueue {
public:
    // Waits while the queue is full; drops the block when the taker has stopped.
    void Push(WordBlock&& block) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_blocks.size() < kHeld || m_stopped; });
        if (m_stopped) return;
        m_blocks.push_back(std::move(block));
        m_changed.notify_all();
    }
    // The bytes of a block taken, for the maker to write its next block into.
    void GiveBack(CBytes&& bytes) {
        const std::lock_guard lock(m_mutex);
        // As many as can be out at once (the maker's, those held, the taker's): past them, a block
        // of this size would be given back to the system and taken again, a fault per page.
        if (m_spare.size() < kHeld + 2) m_spare.push_back(std::move(bytes));
    }
    // Bytes given back, or none.
    CBytes Spare() {
        const std::lock_guard lock(m_mutex);
        if (m_spare.empty()) return {};
        CBytes bytes = std::move(m_spare.back());
        m_spare.pop_back();
        return bytes;
    }
    // Waits for the next block; false when there is none and will be none.
    bool Pop(WordBlock& block) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_blocks.empty() || m_closed || m_stopped; });
        if (m_blocks.empty() || m_stopped) return false;
        block = std::move(m_blocks.front());
        m_blocks.pop_front();
        m_changed.notify_all();
        return true;
    }
    // The maker's end: no more blocks come.
    void Close() {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    // The taker's end, or the maker's after a failure: no more blocks are taken.
    void Stop() {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        for (auto& block : m_blocks) block.bytes = {};  // their findings are still to be told
        m_changed.notify_all();
    }
    // The blocks never taken, once both sides are done.
    std::deque<WordBlock> Left() {
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_blocks, {});
    }
    bool Stopped() {
        const std::lock_guard lock(m_mutex);
        return m_stopped;
    }

private:
    // A few keep both sides busy; check reads 256 KiB at once, one block.
    static constexpr std::size_t kHeld = 3;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<WordBlock> m_blocks;
    std::vector<CBytes> m_spare;
    bool m_closed = false;
    bool m_stopped = false;
};

// The input line of each written word, from the blocks' line steps. Check asks in line order,
// so a step no longer needed is let go: memory stays that of the blocks in hand, whatever the
// blank lines or rows left out between the words.
class CInputLines {
public:
    void Take(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& steps) {
        m_steps.insert(m_steps.end(), steps.begin(), steps.end());
    }

    // The input line of the word that the vocabulary file's line `vocLine` belongs to.
    std::uint64_t Of(std::uint64_t vocLine) {
        const std::uint64_t word = vocLine == 0 ? 0 : (vocLine - 1) / kLinesPerEntry;
        const auto it =
            std::upper_bound(m_steps.begin() + static_cast<std::ptrdiff_t>(m_from), m_steps.end(),
                             std::make_pair(word, std::numeric_limits<std::uint64_t>::max()));
        if (it == m_steps.begin()) return vocLine;
        m_from = static_cast<std::size_t>(std::prev(it) - m_steps.begin());
        // Let the steps before the one in use go, once they are many.
        if (m_from > 4096 && m_from * 2 > m_steps.size()) {
            m_steps.erase(m_steps.begin(), m_steps.begin() + static_cast<std::ptrdiff_t>(m_from));
            m_from = 0;
        }
        return word + m_steps[m_from].second;
    }

private:
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_steps;
    std::size_t m_from = 0;  // the step last used
};

// What the check finds in the words written, told at their input lines.
struct CheckCounts {
    std::uint64_t errors = 0;
    std::uint64_t warnings = 0;
    std::uint64_t unanswerable = 0;  // words with an error
};

// The words of an import, as check reads them: block by block from the queue, at most one block
// a read, so that every finding of the blocks before is in when a block's own findings are
// taken in; the groups held are settled there, where no earlier line can come any more.
class CImportedWords : public std::streambuf {
public:
    CImportedWords(CBlockQueue& queue, CFindingGroups& groups, CInputLines& lines)
        : m_queue(queue), m_groups(groups), m_lines(lines) {}

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (!m_block.bytes.empty()) m_queue.GiveBack(std::move(m_block.bytes));
        m_block.bytes.clear();
        while (m_block.bytes.empty()) {
            if (!m_queue.Pop(m_block)) return traits_type::eof();
            m_groups.Settle();
            for (auto& f : m_block.findings) m_groups.Take(std::move(f));
            m_block.findings.clear();
            m_lines.Take(m_block.lineSteps);
        }
        setg(m_block.bytes.data(), m_block.bytes.data(),
             m_block.bytes.data() + m_block.bytes.size());
        return traits_type::to_int_type(*gptr());
    }

    std::streamsize xsgetn(char* s, std::streamsize n) override {
        if (gptr() == egptr() && traits_type::eq_int_type(underflow(), traits_type::eof()))
            return 0;
        const std::streamsize got = std::min<std::streamsize>(n, egptr() - gptr());
        std::memcpy(s, gptr(), static_cast<std::size_t>(got));
        gbump(static_cast<int>(got));
        return got;
    }

private:
    CBlockQueue& m_queue;
    CFindingGroups& m_groups;
    CInputLines& m_lines;
    WordBlock m_block;
};

class CCheckFindings : public IFindingSink {
public:
    CCheckFindings(CFindingGroups& groups, CheckCounts& counts)
        : m_groups(groups), m_counts(counts) {}

    void Take(Finding&& f) override {
        ++(f.error ? m_counts.errors : m_counts.warnings);
        if (f.error && f.line != m_lastUnanswerable) {
            m_lastUnanswerable = f.line;
            ++m_counts.unanswerable;
        }
        m_groups.Take(std::move(f));
    }

private:
    CFindingGroups& m_groups;
    CheckCounts& m_counts;
    std::uint64_t m_lastUnanswerable = 0;
};

}  // namespace

ConvertTotals ImportDelimited(std::streambuf& in, const std::string& name,
                              const ImportOptions& options, const ByteSink& sink,
                              std::ostream& diagnostics) {
    CFindingGroups groups(diagnostics, name);
    // Check's rules run over the words written on a second thread, block by block behind the
    // import, so that an import costs little more than its reading. Every system call stays on
    // this thread (the check reads from memory), so their order is the same on every run.
    CBlockQueue queue;
    CListImporter importer(in, options, [&](WordBlock&& block) {
        if (!block.bytes.empty()) sink(block.bytes);
        queue.Push(std::move(block));
        block.bytes = queue.Spare();
    });
    if (!importer.Start()) {
        for (auto& f : importer.TakeUnsent()) groups.Take(std::move(f));
        groups.Finish();
        return importer.Totals();
    }
    std::exception_ptr checkFailed;
    CheckCounts counts;  // the check thread's own, taken in after it is joined
    std::thread check([&] {
        try {
            CInputLines lines;
            CImportedWords words(queue, groups, lines);
            CCheckFindings findings(groups, counts);
            CheckOptions checkOptions;
            checkOptions.lineOf = [&lines](std::uint64_t vocLine) { return lines.Of(vocLine); };
            CheckWords(words, findings, checkOptions);
        } catch (...) {
            checkFailed = std::current_exception();
            queue.Stop();
        }
    });
    // Whatever stops the import, the findings held for their count, and those of the blocks
    // the check never took, are told before it stops: they are what the user fixes first.
    const auto tellFindings = [&] {
        for (auto& block : queue.Left()) {
            for (auto& f : block.findings) groups.Take(std::move(f));
        }
        for (auto& f : importer.TakeUnsent()) groups.Take(std::move(f));
        groups.Finish();
    };
    try {
        // A failed check (or write) ends the import too.
        while (importer.Step() && !queue.Stopped()) {
        }
    } catch (...) {
        queue.Stop();
        check.join();
        tellFindings();
        throw;
    }
    queue.Close();
    check.join();
    if (checkFailed) {
        tellFindings();
        std::rethrow_exception(checkFailed);
    }
    groups.Finish();
    ConvertTotals& t = importer.Totals();
    t.errors += counts.errors;
    t.warnings += counts.warnings;
    t.unanswerable = counts.unanswerable;
    // Each count follows its label, so no plural form is needed; the name is the frame.
    diagnostics << name << ": "
                << tr::Format(
                       _("rows read: %s; words written: %s; rows left out: %s (cannot be "
                         "used: %s, Anki cloze notes: %s, blank or not words: %s); words that "
                         "can never be answered right: %s"),
                       {std::to_string(t.rows), std::to_string(t.words),
                        std::to_string(t.rows - t.words),
                        std::to_string(t.rows - t.words - t.cloze - t.notWords),
                        std::to_string(t.cloze), std::to_string(t.notWords),
                        std::to_string(t.unanswerable)})
                << '\n';
    return t;
}
