// Delimited text as spreadsheets and flash-card programs write it: CSV after RFC 4180 (fields
// quoted where they hold the separator, a quote or a line break; a quote inside doubled), and
// the same with another separator (tab-separated text, Anki's "Notes in Plain Text").
#pragma once

#include <cstdint>
#include <streambuf>
#include <string>
#include <string_view>
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
    // called. A line break inside a quoted field becomes one blank; a quote that is never
    // closed runs to the end of the input. Returns false at the end of the input.
    bool Next(std::vector<std::string_view>& fields);

    // The line on which the row or line last taken starts, counted from 1.
    std::uint64_t RowLine() const { return m_rowLine; }
    // Whether every byte of the row last taken by Next is ASCII (false where it was not looked at).
    bool RowAscii() const { return m_rowAscii; }
    // Whether the fields of the row last taken by Next lie in the reader's buffer, each with at
    // least kOverread bytes after its end that may be read (their values mean nothing).
    bool RowOverreadable() const { return m_rowInBuffer; }
    static constexpr std::size_t kOverread = 16;

private:
    int Peek();
    int Get();
    bool Fill();
    // Appends the bytes before the next `stop1` or `stop2` (or the end), leaving the stop.
    void AppendUntil(std::string& field, char stop1, char stop2);
    // Takes the next row when it has no quote and its line end is in the buffer, its fields
    // views into the buffer; returns false, having taken nothing, for the byte-by-byte reading
    // to take it.
    bool NextPlain(std::vector<std::string_view>& fields);

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
    Marks m_marks;
    std::size_t m_markedAt = kNotMarked;
    // The separators and line ends after the last plain row, in the 64 bytes it ended in, while
    // m_pos is still m_cutsPos.
    std::uint64_t m_cuts = 0;
    std::size_t m_cutsPos = kNotMarked;
    // The fields of a row that the byte-by-byte reading took, which the views point into.
    std::vector<std::string> m_fields;
};

// Appends `field` to `out`, quoted where `separator`, a quote, CR or LF, a blank at either
// end, or (with `quoteHash`) a leading '#' would otherwise be misread.
void AppendField(std::string& out, std::string_view field, char separator, bool quoteHash = false);

// The text of an HTML fragment: tags dropped, <br> as a blank, the usual named entities and
// numeric character references decoded. Unknown entities are left as they are.
std::string HtmlToText(std::string_view html);
