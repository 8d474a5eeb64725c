// Delimited text as spreadsheets and flash-card programs write it: CSV after RFC 4180 (fields
// quoted where they hold the separator, a quote or a line break; a quote inside doubled), and
// the same with another separator (tab-separated text, Anki's "Notes in Plain Text").
#pragma once

#include <array>
#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Reads rows one at a time from a stream, holding one row at most.
class CDelimitedReader {
public:
    explicit CDelimitedReader(std::streambuf& in);

    void SetSeparator(char separator) {
        m_separator = separator;
        m_markedAt = m_cutsPos = kNotMarked;  // marked for the separator before
    }

    // The first line of the input, without taking it (at most the first 64 KiB).
    std::string_view PeekLine();
    // The next bytes of the input, without taking them: as many as the buffer holds (64 KiB),
    // enough for the first lines of any word list and never the whole of a large file.
    std::string_view PeekStart();
    // Takes `prefix` when the input starts with it (a byte-order mark).
    void SkipPrefix(std::string_view prefix);
    // Whether the next line starts with `c`.
    bool NextLineStartsWith(char c);
    // Takes the next line whole, quotes and separators left as they are.
    bool ReadRawLine(std::string& line);

    // Takes the next row: its fields as views, which stay valid until the reader is next
    // called. A line break inside a quoted field becomes one blank. A quote still open after
    // kQuotedBytes or kQuotedLines, or at the end of the input with lines after its own, was
    // left open by mistake: the row is then dropped (QuoteLeftOpen says so, the fields are
    // none) and reading goes on at the line after the quote's. A quote opened on the last line
    // runs to the end, taking nothing that was not its row. Returns false at the end of the
    // input.
    bool Next(std::vector<std::string_view>& fields);
    // The line on which the quote that spoiled the row last taken by Next opened; 0 when the
    // row was read whole.
    std::uint64_t QuoteLeftOpen() const { return m_quoteLeftOpen; }
    // A quoted field may hold this many bytes: a cell of a word list is a word or a few
    // meanings, and a vocabulary line can be no longer (the test pages read no more of it).
    static constexpr std::size_t kQuotedBytes = 4096;
    // A quoted field may reach over this many lines. A spreadsheet cell holds a line per
    // meaning at most, a few; every line past that which an open quote takes is a row of the
    // list lost without a word. Within the bound, the bytes from the quote's line on stay in
    // the buffer, so reading can go back to them.
    static constexpr std::size_t kQuotedLines = 64;

    // The line on which the row or line last taken starts, counted from 1.
    std::uint64_t RowLine() const { return m_rowLine; }
    // Whether every byte of the row last taken by Next is ASCII (false where it was not looked at).
    bool RowAscii() const { return m_rowAscii; }
    // Whether the fields of the row last taken by Next lie in the reader's buffer, each with at
    // least kOverread bytes after its end that may be read (their values mean nothing).
    bool RowOverreadable() const { return m_rowInBuffer; }
    static constexpr std::size_t kOverread = 16;

    // Takes plain rows (no quote, all ASCII, the line end in what is read) of exactly N fields
    // while `take(fields, line)` takes them, and stops at the first other row, or the first
    // that `take` leaves, for Next to take. The fields are views as RowOverreadable describes.
    // The rows of a long list need no call of their own this way.
    template <std::size_t N, typename F>
    void TakePlainRows(F&& take);

private:
    int Peek();
    int Get();
    bool Fill();
    // Appends the bytes before the next `stop1` or `stop2` (or the end), leaving the stop;
    // no more once `field` holds `most` bytes.
    void AppendUntil(std::string& field, char stop1, char stop2,
                     std::size_t most = std::string::npos);
    // Drops the row whose quote opened on `line` and was left open, going on at the line
    // after that one.
    void DropOpenQuote(std::uint64_t line);
    // Takes the next row when it has no quote and its line end is in the buffer, its fields
    // views into the buffer; returns false, having taken nothing, for the byte-by-byte reading
    // to take it.
    bool NextPlain(std::vector<std::string_view>& fields);
    // Follows the next row's separators and line end in the marks, calling field(view) for
    // each field while it returns true. When the row is plain, lies whole in the buffer and
    // `field` took every field, takes it and returns true (the last field still holds the CR
    // of a CR LF); otherwise returns false, having taken nothing.
    template <typename F>
    bool WalkPlainRow(F&& field, bool& ascii);

    // What the 64 bytes from at * kMarked are, a bit for each (bit i for byte i).
    struct Marks {
        std::uint64_t separator = 0;
        std::uint64_t quote = 0;
        std::uint64_t lineEnd = 0;
        std::uint64_t high = 0;                  // 0x80 or more
        std::uint64_t read = ~std::uint64_t{0};  // read from the input, not left from before
    };
    static constexpr std::size_t kMarked = 64;
    static constexpr std::size_t kSize = std::size_t{1} << 16;
    static constexpr std::size_t kNotMarked = ~std::size_t{0};
    static_assert(kOverread <= kMarked);
    const Marks& MarksAt(std::size_t at) { return at == m_markedAt ? m_marks : Mark(at); }
    const Marks& Mark(std::size_t at);

    std::streambuf& m_in;
    std::vector<char> m_buffer;  // kSize bytes, and room to mark the last of them 64 at a time
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    char m_separator = ',';
    std::uint64_t m_line = 1;
    std::uint64_t m_rowLine = 0;
    bool m_rowAscii = false;
    bool m_rowInBuffer = false;
    std::uint64_t m_quoteLeftOpen = 0;
    // While a quoted field reaches past its first line: where the next line starts, and its
    // number. Fill keeps the bytes from there.
    std::size_t m_keepFrom = kNotMarked;
    std::uint64_t m_keepLine = 0;
    Marks m_marks;
    std::size_t m_markedAt = kNotMarked;
    // The separators and line ends after the last plain row, in the 64 bytes it ended in, while
    // m_pos is still m_cutsPos.
    std::uint64_t m_cuts = 0;
    std::size_t m_cutsPos = kNotMarked;
    // The fields of a row that the byte-by-byte reading took, which the views point into.
    std::vector<std::string> m_fields;
};

template <typename F>
bool CDelimitedReader::WalkPlainRow(F&& field, bool& ascii) {
    // Where the separators, quotes, line ends and bytes past ASCII are, 64 bytes at a time, the
    // marks kept for the rows that follow in the same bytes. Most rows of a word list are plain,
    // so their fields are neither passed over byte by byte nor copied. The separators and line ends
    // are followed one after the other, through rows and 64 bytes alike: a loop per row and per 64
    // bytes missed its end at every row.
    if (m_separator == '"' || m_separator == '\n' || m_pos >= m_len) return false;
    std::size_t at = m_pos / kMarked;
    const Marks* marks = &MarksAt(at);
    // The bits of the row's bytes in the 64 bytes in hand, and the cuts (separators and line
    // ends) among them not yet taken.
    std::uint64_t from = ~std::uint64_t{0} << (m_pos % kMarked);
    std::uint64_t cuts =
        m_pos == m_cutsPos ? m_cuts : (marks->separator | marks->lineEnd) & marks->read & from;
    std::uint64_t quote = 0;  // of the row's bytes before the 64 in hand
    std::uint64_t high = 0;
    const char* start = m_buffer.data() + m_pos;
    for (;;) {
        while (cuts == 0) {  // the row goes on past these 64 bytes
            quote |= marks->quote & marks->read & from;
            high |= marks->high & marks->read & from;
            if ((at + 1) * kMarked >= m_len) return false;  // its end is not in the buffer
            marks = &MarksAt(++at);
            from = ~std::uint64_t{0};
            cuts = (marks->separator | marks->lineEnd) & marks->read;
        }
        const auto bit = static_cast<unsigned>(__builtin_ctzll(cuts));
        cuts &= cuts - 1;
        const char* stop = m_buffer.data() + at * kMarked + bit;
        if (!field(std::string_view(start, static_cast<std::size_t>(stop - start)))) return false;
        start = stop + 1;
        if (((marks->lineEnd >> bit) & 1) == 0) continue;
        const std::uint64_t row = from & (~std::uint64_t{0} >> (63 - bit));
        if ((quote | (marks->quote & row)) != 0) return false;
        ascii = (high | (marks->high & row)) == 0;
        m_rowLine = m_line++;
        m_pos = static_cast<std::size_t>(start - m_buffer.data());
        // The next row's cuts follow on from these, unless it starts in the next 64 bytes.
        m_cuts = cuts;
        m_cutsPos = bit + 1 < kMarked ? m_pos : kNotMarked;
        return true;
    }
}

template <std::size_t N, typename F>
void CDelimitedReader::TakePlainRows(F&& take) {
    std::array<std::string_view, N> fields;
    for (;;) {
        std::size_t count = 0;
        const auto field = [&](std::string_view f) {
            if (count == N) return false;
            fields[count++] = f;
            return true;
        };
        // Walked on a copy of where the reader stands, so that a row not taken is left as it was.
        const std::size_t pos = m_pos;
        const std::uint64_t cuts = m_cuts;
        const std::size_t cutsPos = m_cutsPos;
        bool ascii = false;
        if (!WalkPlainRow(field, ascii)) return;
        std::string_view& last = fields[N - 1];
        if (!last.empty() && last.back() == '\r') last.remove_suffix(1);
        if (!ascii || count != N || !take(std::as_const(fields), m_rowLine)) {
            m_pos = pos;
            m_cuts = cuts;
            m_cutsPos = cutsPos;
            --m_line;
            return;
        }
    }
}

// Appends `field` to `out`, quoted where `separator`, a quote, CR or LF, a blank at either
// end, or (with `quoteHash`) a leading '#' would otherwise be misread.
void AppendField(std::string& out, std::string_view field, char separator, bool quoteHash = false);

// The text of an HTML fragment: tags dropped, <br> as a blank, the usual named entities and
// numeric character references decoded. Unknown entities are left as they are.
std::string HtmlToText(std::string_view html);
