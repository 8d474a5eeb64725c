// A byte stream taken line by line in bounded memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <streambuf>
#include <string>
#include <vector>

// The lines of a byte stream, split as the file layer splits them: at LF, a CR just before
// the LF going with the line end. Of a line longer than `keep` bytes only the first `keep` are
// held, so a file with one huge line costs no more memory than any other.
class CLineReader {
public:
    enum class End { kNone, kLf, kCrLf };

    struct Line {
        std::string text;         // without its line end; at most `keep` bytes
        std::uint64_t bytes = 0;  // the whole line's length, line end left out
        End end = End::kNone;     // kNone: the last line, with no line end
        bool cut = false;         // bytes > text.size()
    };

    explicit CLineReader(std::streambuf& in, std::size_t keep = std::string::npos);

    // Returns false at the end of the input. Throws what the stream buffer throws
    // (CFileException for a file).
    bool Next(Line& line);

    // The number of the line that Next returned last, counted from 1.
    std::uint64_t LineNumber() const { return m_number; }

private:
    bool Fill();

    std::streambuf& m_in;
    std::size_t m_keep;
    std::vector<char> m_buffer;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    std::uint64_t m_number = 0;
};
