// Whole word entries for tavrin-voc quiz: the order in which it asks them, and the words it
// writes out again. Entries go through as the file holds them, byte for byte, each line ending
// in CR LF and a cut-short last entry completed with empty lines, so that what comes out is a
// vocabulary file like any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TextFile.h"

class COutput;

// Reads the next entry of `file` into `entry`: up to six lines as stored, each ending in CR LF,
// the missing ones of a cut-short last entry added empty. Returns false at the end of the file.
// Throws CFileException.
bool ReadWholeEntry(CTextFile& file, std::string& entry);

// A shuffle of positions 0 to count - 1 that the same seed repeats on every machine: the
// standard library's shuffle and distributions differ between implementations.
std::vector<std::size_t> ShuffledOrder(std::size_t count, std::uint64_t seed);

// The entries of a file written in another order (or words imported) to a file of its own, which
// has no name in any folder and disappears with this object, so that the original is never touched.
class CReorderedCopy {
public:
    CReorderedCopy() = default;
    ~CReorderedCopy();
    CReorderedCopy(const CReorderedCopy&) = delete;
    CReorderedCopy& operator=(const CReorderedCopy&) = delete;

    // Adds `bytes` at the end of the copy. Throws CFileException.
    void Append(std::string_view bytes);

    // Writes `entries` in `order` (positions into `entries`). Throws CFileException.
    void Write(const std::vector<std::string>& entries, const std::vector<std::size_t>& order);

    // A path that opens the copy, for as long as this object lives.
    std::string Path() const;

private:
    int m_fd = -1;
};

// Writes the entries at `positions` (ascending, each once) of the file at `path` to `out`.
// Returns how many were found; an entry past the end of the file is not there to write.
// Throws CFileException for a failed open (with its cause), read or write.
std::size_t CopyEntries(const std::string& path, const std::vector<std::size_t>& positions,
                        COutput& out);
