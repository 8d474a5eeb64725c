// Import's reading of a word list, step by step: it hands on the words it makes as the bytes
// of a vocabulary file, block by block, each block with what was found in making it. What runs
// check's rules over the words, and where the findings are told, is the caller's.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <streambuf>
#include <string_view>
#include <utility>
#include <vector>

#include "Convert.h"
#include "Finding.h"

// Bytes past a block's end that may be read and written while copying into it.
constexpr std::size_t kOverread = 16;

// Bytes written, in a buffer that is not cleared before it is written over: a string's
// resize set each word's bytes to zero before the word was copied in.
class CBytes {
public:
    CBytes() = default;
    CBytes(CBytes&& other) noexcept { *this = std::move(other); }
    CBytes& operator=(CBytes&& other) noexcept {
        m_data = std::move(other.m_data);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        return *this;
    }

    // Makes `n` bytes more, to be written, and returns the first. The kOverread bytes after
    // them may be written too, and are then written over by what comes next.
    char* Extend(std::size_t n) {
        if (m_size + n + kOverread > m_capacity) Grow(m_size + n + kOverread);
        char* at = m_data.get() + m_size;
        m_size += n;
        return at;
    }
    void Reserve(std::size_t n) {
        if (n > m_capacity) Grow(n);
    }
    char* data() { return m_data.get(); }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    void clear() { m_size = 0; }
    operator std::string_view() const { return {m_data.get(), m_size}; }

private:
    void Grow(std::size_t n) {
        const std::size_t capacity = std::max(n, 2 * m_capacity);
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_size > 0) std::memcpy(data.get(), m_data.get(), m_size);
        m_data = std::move(data);
        m_capacity = capacity;
    }

    std::unique_ptr<char[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

// A block of written words, with what import found while making it: the findings of its rows
// (at their input lines), and where the input line of a word stops being its number plus the
// last offset (pairs of a word's number, counted from 0, and its line minus that number; one
// pair for a list of one row per line).
struct WordBlock {
    CBytes bytes;
    std::vector<Finding> findings;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> lineSteps;
};

// Takes a block; it may leave in the block the bytes of one taken before, to be written over.
using BlockSink = std::function<void(WordBlock&&)>;

class CListImporter {
public:
    CListImporter(std::streambuf& in, const ImportOptions& options, BlockSink sink);
    ~CListImporter();

    // Reads the start of the input and settles the separator and the columns. False when the
    // columns cannot be told: nothing is then read or written, and TakeUnsent holds the
    // finding that says so.
    bool Start();
    // Takes rows until a block of words has gone to the sink. False at the end of the input,
    // the last block handed on. Throws what the input and the sink throw.
    bool Step();
    // What was counted so far.
    ConvertTotals& Totals();
    // The findings not handed on in a block (when handing it on failed, or Start refused).
    std::vector<Finding> TakeUnsent();

private:
    struct State;
    ImportOptions m_options;
    BlockSink m_sink;
    std::unique_ptr<State> m_state;
};
