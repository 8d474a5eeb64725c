#include "Reorder.h"

#include <sys/mman.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
#include <emmintrin.h>
#endif

#include "ReplaceFile.h"
#include "TextFile.h"
#include "VocFormat.h"

namespace {

int Cause(int err) { return CFileException::CauseFromErrno(err); }

[[noreturn]] void ThrowErrno() {
    const int err = errno;
    throw CFileException(Cause(err), err);
}

// The whole file in one buffer, every line ending in CR LF, and where each entry starts.
// One allocation of about the file's size, rather than a string per line, keeps a large file
// within reach of the memory it already takes on disk, and lets entries move as whole blocks.
class CEntryText {
public:
    CEntryText() = default;
    CEntryText(const CEntryText&) = delete;
    CEntryText& operator=(const CEntryText&) = delete;
    ~CEntryText() {
        if (m_data) ::munmap(m_data, m_capacity);
    }

    // Reads all of `file` and splits it into entries. Throws CFileException.
    void Read(CTextFile& file);

    std::size_t Count() const { return m_starts.size(); }
    std::size_t Size() const { return m_size; }
    std::string_view Entry(std::size_t i) const {
        const std::size_t end = i + 1 < m_starts.size() ? m_starts[i + 1] : m_size;
        return std::string_view(m_data + m_starts[i], end - m_starts[i]);
    }

private:
    // Grows the buffer to `capacity` bytes. Growing remaps the pages rather than copying
    // them, so two copies of the file are never held at once.
    void Reserve(std::size_t capacity) {
        if (capacity <= m_capacity) return;
        // A small buffer is filled with pages at once; a large one asks for large pages, which
        // makes first touching many megabytes several times cheaper. Both are only advice.
        const bool large = capacity >= kLargeBuffer;
        void* data = m_data
                         ? ::mremap(m_data, m_capacity, capacity, MREMAP_MAYMOVE)
                         : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE,
                                  MAP_PRIVATE | MAP_ANONYMOUS | (large ? 0 : MAP_POPULATE), -1, 0);
        if (data == MAP_FAILED) ThrowErrno();
        if (large) ::madvise(data, capacity, MADV_HUGEPAGE);
        m_data = static_cast<char*>(data);
        m_capacity = capacity;
    }
    void AppendLineEnd() {
        m_data[m_size++] = '\r';
        m_data[m_size++] = '\n';
    }
    // Counts the lines and notes where every entry starts; returns the number of bare LFs.
    // Every line must have its line end.
    std::size_t FindEntries();
    void EndLinesWithCrLf(std::size_t bare);

    static constexpr std::size_t kLargeBuffer = 4 * 1024 * 1024;
    // Room for one more line end and five empty lines.
    static constexpr std::size_t kSlack = 2 * (kLinesPerEntry + 1);

    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_lines = 0;
    std::vector<std::size_t> m_starts;
};

void CEntryText::Read(CTextFile& file) {
    // A few bytes more than the file holds: room to end the last line and complete its entry.
    Reserve(static_cast<std::size_t>(file.GetLength()) + kSlack);
    for (;;) {
        // The file may have grown since it was measured; only our own writers are locked out.
        if (m_size == m_capacity) Reserve(m_capacity * 2);
        const std::size_t n = file.Read(m_data + m_size, m_capacity - m_size);
        if (n == 0) break;
        m_size += n;
    }
    Reserve(m_size + kSlack);
    // A last line without a line end gets one, so that it cannot run into the line after it.
    if (m_size > 0 && m_data[m_size - 1] != '\n') AppendLineEnd();
    if (const std::size_t bare = FindEntries()) {
        EndLinesWithCrLf(bare);
        FindEntries();
    }
    // A cut-short last entry gets its missing lines as empty ones, so that the entries written
    // after it keep their six lines each.
    for (; m_lines % kLinesPerEntry != 0; ++m_lines) AppendLineEnd();
}

// Calls `f` with the offset of every LF in `data`, in order. Lines of a vocabulary file are
// short, so looking at sixteen bytes at a time beats a library search per line severalfold.
template <class F>
void ForEachLineFeed(const char* data, std::size_t size, F f) {
    std::size_t i = 0;
#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, lf)));
             mask != 0; mask &= mask - 1) {
            f(i + static_cast<std::size_t>(__builtin_ctz(mask)));
        }
    }
#endif
    for (; i < size; ++i) {
        if (data[i] == '\n') f(i);
    }
}

std::size_t CEntryText::FindEntries() {
    m_starts.clear();
    m_lines = 0;
    std::size_t bare = 0;
    std::size_t lineStart = 0;
    int lineOfEntry = 0;
    ForEachLineFeed(m_data, m_size, [&](std::size_t lf) {
        if (lineOfEntry == 0) m_starts.push_back(lineStart);
        if (++lineOfEntry == kLinesPerEntry) lineOfEntry = 0;
        if (lf == 0 || m_data[lf - 1] != '\r') ++bare;
        lineStart = lf + 1;
        ++m_lines;
    });
    return bare;
}

// A bare LF gains its CR here, so that every entry can later be written as one block.
void CEntryText::EndLinesWithCrLf(std::size_t bare) {
    Reserve(m_size + bare + kSlack);
    // From the back, so that every byte moves once and nothing is overwritten before it is read.
    std::size_t to = m_size + bare;
    for (std::size_t from = m_size; from-- > 0;) {
        const char c = m_data[from];
        m_data[--to] = c;
        if (c == '\n' && (from == 0 || m_data[from - 1] != '\r')) m_data[--to] = '\r';
    }
    m_size += bare;
}

void WriteInNewOrder(CReplaceFile& out, const CEntryText& entries) {
    const std::size_t count = entries.Count();
    for (std::size_t k = 0; k < count; ++k) out.Write(entries.Entry(InterleavedPosition(count, k)));
}

}  // namespace

std::size_t InterleavedPosition(std::size_t count, std::size_t k) {
    const std::size_t evens = (count + 1) / 2;
    return k < evens ? 2 * (evens - 1 - k) : 2 * (k - evens) + 1;
}

std::vector<std::size_t> InterleavedOrder(std::size_t count) {
    std::vector<std::size_t> order(count);
    for (std::size_t k = 0; k < count; ++k) order[k] = InterleavedPosition(count, k);
    return order;
}

ReorderResult ReorderVocFile(const std::string& path) {
    // Held until the end, so that no other reader or writer of ours meets a half-done file.
    CTextFile original;
    CFileException error(CFileException::none, -1);
    if (!original.Open(path, CTextFile::modeRead, &error)) {
        return {ReorderOutcome::kCannotOpenForReading, error.m_cause};
    }
    CEntryText entries;
    try {
        entries.Read(original);
    } catch (const CFileException& e) {
        return {ReorderOutcome::kReadFailed, e.m_cause};
    }

    // A file we may not write is refused before anything is written. No lock is taken on it,
    // since ours is held already.
    CReplaceFile out;
    if (!out.Begin(path, &error, true)) {
        return {ReorderOutcome::kCannotOpenForWriting, error.m_cause};
    }
    try {
        // In place, a full disk refuses here, before a byte of the original changes.
        out.Reserve(entries.Size());
    } catch (const CFileException& e) {
        return {ReorderOutcome::kWriteFailed, e.m_cause};
    }
    try {
        WriteInNewOrder(out, entries);
        out.Commit(true);
    } catch (const CFileException& e) {
        return {out.InPlace() ? ReorderOutcome::kWriteFailedInPlace : ReorderOutcome::kWriteFailed,
                e.m_cause};
    }
    return {ReorderOutcome::kRewritten, CFileException::none};
}
