// Rewrites a vocabulary file with its word entries in an interleaved order.
//
// The new order is written to a new file beside the original (CReplaceFile) and renamed over
// it, so a failure at any point (a full disk, a crash) leaves the original as it was. Lines are
// read whole, entries may be any number, and every entry goes out as six lines ending in CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

enum class ReorderOutcome {
    kRewritten,
    kCannotOpenForReading,  // the original is unchanged
    kReadFailed,            // a read after the open failed; the original is unchanged
    kCannotOpenForWriting,  // we may not write the original; it is unchanged
    kWriteFailed,           // writing the new order failed; the original is unchanged
    kWriteFailedInPlace,    // rewriting in place failed part way; the file may be incomplete
};

struct ReorderResult {
    ReorderOutcome outcome;
    int cause;  // the file layer's cause number; 0 on success

    bool operator==(const ReorderResult&) const = default;
};

// The position in file order of the entry written `k`-th, for a file of `count` entries: first
// every even position from the highest down to 0, then every odd position from 1 up.
std::size_t InterleavedPosition(std::size_t count, std::size_t k);

// InterleavedPosition for every k: 5 entries give 4, 2, 0, 1, 3.
std::vector<std::size_t> InterleavedOrder(std::size_t count);

// Reorders the vocabulary file at `path`. A symbolic link stays a link: its target is
// rewritten. The original keeps its permission bits. While the file is read, other openers are
// refused with the sharing-violation cause.
ReorderResult ReorderVocFile(const std::string& path);
