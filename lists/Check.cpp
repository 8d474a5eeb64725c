#include "Check.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
#include <emmintrin.h>
#endif

#include "Answer.h"
#include "LineReader.h"
#include "VocFormat.h"
#include "VocText.h"

namespace {

// Calls `f` with each code point of `text`, which must be valid UTF-8.
template <typename F>
void ForEachCodePoint(std::string_view text, F f) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        char32_t c = *p;
        int more = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        if (more > 0) c &= 0x3F >> more;
        for (int i = 1; i <= more && p + i < end; ++i) c = (c << 6) | (p[i] & 0x3F);
        p += more + 1;
        if (!f(c)) return;
    }
}

// What one pass over a line's bytes tells, so that a plain ASCII line (nearly every line of a
// real file) needs no decoding to be judged.
struct Bytes {
    bool ascii;    // no byte of 0x80 or more: valid UTF-8, one character per byte
    bool control;  // an ASCII control character (below 0x20, or DEL)
    bool capital;  // an ASCII capital letter
    bool blank;    // a blank
    bool doubled;  // two blanks side by side
    bool bracket;  // '(' or '['
    bool comma;    // ',' or ';'
};

// Eight bytes at a time: lines are short, too short for the compiler's vector loop to pay off.
// Each test below sets a byte's top bit only for the ASCII bytes it looks for, with no carry
// from one byte into the next (no sum passes 0xFF). Inlined, so that the answers stay in
// registers. The tests for brackets, commas and doubled blanks spare nearly every line the
// searches for them, which cost more than all the rest of its check.
[[gnu::always_inline]] inline Bytes Scan(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kTops = kOnes * 0x80;
    constexpr std::uint64_t kLows = ~kTops;
    std::uint64_t high = 0, control = 0, capital = 0, blank = 0, doubled = 0, bracket = 0,
                  comma = 0;
    // A byte's flags move to the byte after it in the text by `<< 8`, and the last byte's come
    // out as `>> 56`: so the bytes of `w` are those of the text in increasing significance.
    static_assert(std::endian::native == std::endian::little,
                  "Scan reads eight bytes of text as one little-endian word");
    // Returns the top bits of the blanks of `w`; `before` has the top bit of its lowest byte
    // set when the byte before `w` is a blank.
    const auto take = [&](std::uint64_t w, std::uint64_t before) {
        const std::uint64_t low = w & kLows;  // each byte's lower seven bits
        high |= w;
        const std::uint64_t ascii = ~w;  // the top bit of each byte below 0x80
        const auto is = [&](char c) {
            return ~(((low ^ kOnes * static_cast<unsigned char>(c)) + kLows) | kLows) & ascii;
        };
        control |= (~(low + kOnes * (0x80 - 0x20)) | (low + kOnes)) & ascii;  // below 0x20, 0x7F
        capital |= (low + kOnes * (0x80 - 'A')) & ~(low + kOnes * (0x80 - 'Z' - 1)) & ascii;
        const std::uint64_t blanks = is(' ');
        blank |= blanks;
        doubled |= blanks & ((blanks << 8) | before);  // a blank after a blank
        bracket |= is('(') | is('[');
        comma |= is(',') | is(';');
        return blanks;
    };
    const char* p = text.data();
    const std::size_t n = text.size();
    std::uint64_t w = 0;
    if (n >= 8) {
        std::uint64_t blanks = 0;
        for (std::size_t at = 0; at + 8 <= n; at += 8) {
            std::memcpy(&w, p + at, 8);
            blanks = take(w, blanks >> 56);
        }
        // The last eight bytes, again in part: looking twice at a byte changes nothing. Their
        // pairs of blanks lie within them or were seen already, so nothing comes before.
        std::memcpy(&w, p + n - 8, 8);
        take(w, 0);
    } else {
        w = kOnes * 'a';  // a harmless letter in the bytes past the end
        for (std::size_t i = 0; i < n; ++i) {
            w = (w << 8) | static_cast<unsigned char>(p[i]);
        }
        take(w, 0);
    }
    return {(high & kTops) == 0,  (control & kTops) != 0, (capital & kTops) != 0,
            (blank & kTops) != 0, (doubled & kTops) != 0, (bracket & kTops) != 0,
            (comma & kTops) != 0};
}

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F); }

// The first character of `text` that cannot be typed into an answer box, or nothing.
std::optional<char32_t> FirstControl(std::string_view text) {
    if (const Bytes b = Scan(text); b.ascii && !b.control) return std::nullopt;  // the usual case
    std::optional<char32_t> found;
    ForEachCodePoint(text, [&](char32_t c) {
        if (IsControl(c)) found = c;
        return !found;
    });
    return found;
}

std::size_t CountChars(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

#if defined(__SIZEOF_INT128__)
// The two halves of a 128-bit product (wyhash's "mum"), and the two folded (its "mix").
constexpr void Mum(std::uint64_t& a, std::uint64_t& b) {
    const unsigned __int128 r = static_cast<unsigned __int128>(a) * b;
    a = static_cast<std::uint64_t>(r);
    b = static_cast<std::uint64_t>(r >> 64);
}

constexpr std::uint64_t Mix(std::uint64_t a, std::uint64_t b) {
    Mum(a, b);
    return a ^ b;
}
#endif

// A 64-bit hash of a text form. A text form is most often a few letters, for which the
// general hash of the standard library spends more time getting ready than hashing; so up to
// 16 bytes are hashed as wyhash (public domain) hashes them: two 64-bit words read from the
// form, mixed by 128-bit products. Its quality is that of the general hash (it passes the
// same statistical tests); a weaker one would give false "same text form" warnings.
std::uint64_t HashOfForm(std::string_view form) {
#if defined(__SIZEOF_INT128__)
    if (form.size() <= 16) {
        constexpr std::uint64_t kSecret0 = 0xa0761d6478bd642f, kSecret1 = 0xe7037ed1a0b428db;
        constexpr std::uint64_t kSeed = Mix(kSecret0, kSecret1);
        const auto* p = reinterpret_cast<const unsigned char*>(form.data());
        const std::size_t n = form.size();
        const auto r4 = [](const unsigned char* q) {
            std::uint32_t v;
            std::memcpy(&v, q, 4);
            return std::uint64_t{v};
        };
        std::uint64_t a = 0, b = 0;
        if (n >= 4) {
            // From 8 bytes on, the inner words start 4 bytes in: up to 16 bytes, all are read.
            const std::size_t step = (n >> 3) << 2;
            a = (r4(p) << 32) | r4(p + step);
            b = (r4(p + n - 4) << 32) | r4(p + n - 4 - step);
        } else if (n > 0) {
            a = (std::uint64_t{p[0]} << 16) | (std::uint64_t{p[n >> 1]} << 8) | p[n - 1];
        }
        a ^= kSecret1;
        b ^= kSeed;
        Mum(a, b);
        return Mix(a ^ kSecret0 ^ n, b ^ kSecret1);
    }
#endif
    return std::hash<std::string_view>{}(form);
}

// Text forms seen so far, by a 64-bit hash, each with the number of the word that had it first.
// One fixed table, taken once and never grown, so that the check's memory is the same for a
// file of any length: open addressing over buckets of one cache line, five forms each, at most
// 82% full. A form is looked for in its home bucket, then in the next ones while the bucket
// looked in is full and a form was placed past it: nearly always one cache line, even for a
// form not held, also once the table holds all it will (when every form read is one not held).
// calloc leaves the pages of the table untouched until a bucket on them is used, so a small
// file costs little of it.
class CSeenForms {
public:
    // The hash of `form` for FirstOrAdd. Starts fetching its bucket into the cache: a table of
    // this size misses the cache on nearly every look-up, so the caller asks early and looks
    // a few lines later.
    std::uint64_t Hash(std::string_view form) {
        if (!m_memory) {
            constexpr std::size_t kBytes = kBuckets * sizeof(Bucket) + kFilterBits / 8;
            m_memory.reset(std::calloc(kBytes + kLine, 1));
            if (!m_memory) throw std::bad_alloc();
            void* start = m_memory.get();
            std::size_t room = kBytes + kLine;
            m_buckets = static_cast<Bucket*>(std::align(kLine, kBytes, start, room));
            m_filter = reinterpret_cast<std::uint64_t*>(m_buckets + kBuckets);
        }
        std::uint64_t h = HashOfForm(form);
        if (h == 0) h = 1;  // an unused slot holds 0
        __builtin_prefetch(&m_filter[FilterBit(h) / 64]);
        __builtin_prefetch(&m_buckets[Home(h)]);
        return h;
    }

    // Returns the word number that had the form of hash `h` first, or 0 after recording `word`
    // for it. Once kCheckedForms forms are held, a form not among them is not recorded (and 0
    // returned): Full() tells.
    std::uint32_t FirstOrAdd(std::uint64_t h, std::uint32_t word) {
        const auto lo = static_cast<std::uint32_t>(h);
        const auto hi = static_cast<std::uint32_t>(h >> 32);
        std::size_t b = Home(h);
        // A form whose filter bit is clear is not held, and its bucket need not be read: once
        // the table is full, most forms of a long file are such, and a bucket read is a read of
        // memory far from any read before it.
        const std::uint64_t bit = FilterBit(h);
        const bool mayBeHeld = (m_filter[bit / 64] >> (bit % 64)) & 1;
        for (; mayBeHeld; b = After(b)) {
            const Bucket& bucket = m_buckets[b];
            // All five compared at once, without a branch to mispredict. An unused slot holds
            // the hash 0, which no form has, and the word number 0.
            unsigned match = 0;
            for (std::uint32_t i = 0; i < kPerBucket; ++i) {
                match |= unsigned{bucket.lo[i] == lo && bucket.hi[i] == hi} << i;
            }
            if (match) return bucket.word[__builtin_ctz(match)];
            // A form placed past this bucket marked it as it went by: without the mark, no
            // form of this home lies further on.
            if (bucket.used < kPerBucket || !bucket.passed) break;
        }
        if (m_used == kCheckedForms) {
            m_full = true;
            return 0;
        }
        for (; m_buckets[b].used == kPerBucket; b = After(b)) m_buckets[b].passed = true;
        Bucket& bucket = m_buckets[b];
        bucket.lo[bucket.used] = lo;
        bucket.hi[bucket.used] = hi;
        bucket.word[bucket.used++] = word;
        m_filter[bit / 64] |= std::uint64_t{1} << (bit % 64);
        ++m_used;
        return 0;
    }

    bool Full() const { return m_full; }

private:
    static constexpr std::size_t kLine = 64;
    static constexpr std::uint32_t kPerBucket = 5;
    struct Bucket {
        std::uint32_t lo[kPerBucket], hi[kPerBucket], word[kPerBucket];
        std::uint16_t used;
        bool passed;  // a form was placed in a bucket after this one, this one being full
    };
    static_assert(sizeof(Bucket) == kLine);
    static constexpr std::size_t kBuckets = 3 * 1024 * 1024 / kLine;  // 3 MiB
    static_assert(kCheckedForms * 100 <= kBuckets * kPerBucket * 82);
    // A bit for each held form's hash, ten times as many as forms held: a form not held finds
    // its bit set one time in ten.
    static constexpr std::size_t kFilterBits = std::size_t{1} << 21;  // 256 KiB
    static_assert(kFilterBits >= 10 * kCheckedForms);
    static std::size_t FilterBit(std::uint64_t h) { return h & (kFilterBits - 1); }

    // The high half of the hash picks the bucket, with no division.
    static std::size_t Home(std::uint64_t h) { return ((h >> 32) * kBuckets) >> 32; }
    static std::size_t After(std::size_t b) { return b + 1 == kBuckets ? 0 : b + 1; }

    struct Free {
        void operator()(void* p) const { std::free(p); }
    };

    std::unique_ptr<void, Free> m_memory;
    Bucket* m_buckets = nullptr;
    std::uint64_t* m_filter = nullptr;
    std::size_t m_used = 0;
    bool m_full = false;
};

// What the bytes of 64 in a row are, a bit for each (bit i for byte i): line feeds, blanks,
// blanks just after a blank, and the bytes that the checks of a line look at closely (any but
// the usual lower-case letters, digits and punctuation: not ASCII, control characters,
// capitals, brackets, commas and semicolons; not a LF, nor a CR before one, as they are no
// part of a line's text). Looking at 64 bytes at once and following the line feeds'
// bits costs a fraction of looking at each line's bytes by itself, and leaves most lines
// (plain ones) needing no look of their own.
struct Marks {
    std::uint64_t lf;
    std::uint64_t blank;
    std::uint64_t doubled;
    std::uint64_t special;
    std::uint64_t capital;  // of the special bytes, the capitals A to Z
};

constexpr std::size_t kMarked = 64;

// `blankBefore`: the byte before the 64 is a blank. Reads one byte after them, for a CR last.
Marks MarksOf(const char* p, bool blankBefore) {
    std::uint64_t lf = 0, blank = 0, other = 0, capital = 0;
#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
    for (std::size_t k = 0; k < kMarked; k += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k + 1));
        const auto bits = [k](__m128i x) {
            return std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(x))} << k;
        };
        const auto is = [&v](char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
        lf |= bits(is('\n'));
        blank |= bits(is(' '));
        // 'A' to 'Z' moved to the lowest signed values, the only ones below -102.
        capital |= bits(_mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(0x80 - 'A')),
                                       _mm_set1_epi8(static_cast<char>(0x80 + 'Z' - 'A' + 1))));
        // Bytes compare as signed: those below 0x20 and, negative, all of 0x80 or more.
        __m128i s = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(0x20)), is(0x7F));
        // '(' and ',' are the only bytes that are ',' with bit 2 set; ';' and '[' (and '{',
        // harmlessly, and ESC, marked anyway) the only ones that are '{' with bits 5 and 6 set.
        const auto withBits = [&v](char bits, char c) {
            return _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(bits)), _mm_set1_epi8(c));
        };
        s = _mm_or_si128(s, _mm_or_si128(withBits(4, ','), withBits(0x60, '{')));
        const __m128i crlf = _mm_and_si128(is('\r'), _mm_cmpeq_epi8(next, _mm_set1_epi8('\n')));
        other |= bits(_mm_andnot_si128(crlf, s));
    }
#else
    for (std::size_t i = 0; i < kMarked; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (c == '\n') lf |= bit;
        if (c == ' ') blank |= bit;
        if (c >= 'A' && c <= 'Z') capital |= bit;
        if ((c < 0x20 && !(c == '\r' && p[i + 1] == '\n')) || c >= 0x7F || c == '[' || c == '(' ||
            c == ',' || c == ';')
            other |= bit;
    }
#endif
    return {lf, blank, blank & ((blank << 1) | std::uint64_t{blankBefore}), (other | capital) & ~lf,
            capital};
}

// The lines of a stream as views into one buffer, split as CLineReader splits them. The check
// looks at each line once and keeps none, so it takes them where they lie; only a line that
// crosses the buffer's end is put together, in m_carry (at most `keep` bytes of it, and one
// more for a CR of its line end).
class CLineViews {
public:
    struct Line {
        std::string_view text;
        std::uint64_t bytes = 0;
        CLineReader::End end = CLineReader::End::kNone;
        bool cut = false;
        // No byte that the checks look at closely (see Marks): then only its blanks matter.
        bool plain = false;
        bool blank = false;    // with `plain`: a blank
        bool doubled = false;  // with `plain`: two blanks side by side
    };

    // `beforeRead` is called before each read from `in`.
    CLineViews(std::streambuf& in, std::size_t keep, std::function<void()> beforeRead)
        : m_in(in), m_beforeRead(std::move(beforeRead)), m_keep(keep) {}

    bool Next(Line& line) {
        if (!More()) return false;
        // The line's marks, 64 bytes at a time from its start to its LF; the one put after the
        // buffer's bytes stops the search.
        const std::size_t start = m_pos;
        std::size_t at = start / kMarked;
        std::uint64_t from = ~std::uint64_t{0} << (start % kMarked);
        std::uint64_t pairFrom = from << 1;  // a blank before the line's start is not its own
        std::uint64_t blank = 0, doubled = 0, special = 0;
        const Marks* marks = &MarksAt(at);
        while ((marks->lf & from) == 0) {
            blank |= marks->blank & from;
            doubled |= marks->doubled & pairFrom;
            special |= marks->special & from;
            marks = &MarksAt(++at);
            from = pairFrom = ~std::uint64_t{0};
        }
        const auto bit = static_cast<unsigned>(__builtin_ctzll(marks->lf & from));
        const std::size_t lf = at * kMarked + bit;
        if (lf != m_len) {  // the usual case: the line lies whole in the buffer
            // The marks of the bytes before the LF (a CR before it is marked as nothing).
            const std::uint64_t before = (std::uint64_t{1} << bit) - 1;
            blank |= marks->blank & from & before;
            doubled |= marks->doubled & pairFrom & before;
            special |= marks->special & from & before;
            m_pos = lf + 1;
            Finish(line, {m_buffer.data() + start, lf - start}, lf - start, CLineReader::End::kLf);
            line.plain = special == 0;
            line.blank = blank != 0;
            line.doubled = doubled != 0;
            return true;
        }
        std::uint64_t bytes = 0;
        m_carry.clear();
        auto end = CLineReader::End::kNone;
        do {
            const char* from = m_buffer.data() + m_pos;
            const char* to = static_cast<const char*>(std::memchr(from, '\n', m_len + 1 - m_pos));
            const auto take = static_cast<std::size_t>(to - from);
            m_carry.append(from, std::min(take, m_keep + 1 - std::min(m_carry.size(), m_keep + 1)));
            if (take > 0) m_last = to[-1];
            bytes += take;
            m_pos += take;
            if (m_pos < m_len) {
                ++m_pos;
                end = CLineReader::End::kLf;
                break;
            }
        } while (Fill());
        Finish(line, m_carry, bytes, end);
        line.plain = false;
        return true;
    }

    // A word's six lines that all lie whole in the buffer, end in CR LF, are plain but for
    // capitals in the meanings (which change nothing there) and hold no two blanks side by
    // side: nearly every word of a file, which needs far less of a look than six lines one by
    // one.
    struct Word {
        std::array<std::string_view, kLinesPerEntry> lines;  // without their line ends
        // The first two blanks of the headword line, where it has them.
        std::array<std::size_t, 2> blanks{};
        std::size_t blankCount = 0;
        std::size_t end = 0;  // where the next line starts
    };

    // Finds the word that starts at the next line, without taking it (TakeWord does); false
    // when it is not such a word.
    bool PeekWord(Word& word) {
        if (!More()) return false;
        std::size_t start = m_pos;
        std::size_t at = start / kMarked;
        const Marks* marks = &MarksAt(at);
        std::uint64_t from = ~std::uint64_t{0} << (start % kMarked);
        std::uint64_t ofWord = from;  // the word's bits of the marks in hand
        std::uint64_t looked = 0;     // bytes to look at closely, and blank pairs
        word.blankCount = 0;
        // The headword's bytes `bits`: its capitals are looked at closely, and its first two
        // blanks kept.
        const auto takeHeadword = [&](std::uint64_t bits) {
            looked |= marks->capital & bits;
            for (std::uint64_t blanks = marks->blank & bits; blanks != 0 && word.blankCount < 2;
                 blanks &= blanks - 1) {
                word.blanks[word.blankCount++] =
                    at * kMarked + static_cast<unsigned>(__builtin_ctzll(blanks)) - m_pos;
            }
        };
        const auto looks = [&marks] { return (marks->special & ~marks->capital) | marks->doubled; };
        unsigned bit = 0;
        for (int i = 0; i < kLinesPerEntry; ++i) {
            while ((marks->lf & from) == 0) {
                if (i == 0) takeHeadword(from);
                looked |= looks() & ofWord;
                marks = &MarksAt(++at);
                from = ofWord = ~std::uint64_t{0};
            }
            bit = static_cast<unsigned>(__builtin_ctzll(marks->lf & from));
            const std::size_t lf = at * kMarked + bit;
            if (lf == m_len || lf == start || m_buffer[lf - 1] != '\r') return false;
            if (i == 0) takeHeadword(from & ((std::uint64_t{1} << bit) - 1));
            word.lines[i] = {m_buffer.data() + start, lf - 1 - start};
            start = lf + 1;
            from = (~std::uint64_t{0} << bit) << 1;
        }
        looked |= looks() & ofWord & ((std::uint64_t{1} << bit) - 1);
        word.end = start;
        return looked == 0;
    }

    void TakeWord(const Word& word) {
        m_pos = word.end;
        m_number += kLinesPerEntry;
    }

    std::uint64_t LineNumber() const { return m_number; }

private:
    static constexpr std::size_t kSize = std::size_t{1} << 18;

    // The marks of the 64 bytes from at * 64, kept for the lines that follow in them; two
    // such in turn, so that the lines of a word that PeekWord looked at and refused are not
    // marked again.
    const Marks& MarksAt(std::size_t at) {
        Marked& marked = m_marked[at % m_marked.size()];
        if (at != marked.at) {
            const std::size_t offset = at * kMarked;
            marked.marks =
                MarksOf(m_buffer.data() + offset, offset > 0 && m_buffer[offset - 1] == ' ');
            marked.at = at;
        }
        return marked.marks;
    }

    // Whether bytes are left to take, read when the buffer's are all taken.
    bool More() { return m_pos < m_len || (!m_ended && Fill()); }

    bool Fill() {
        m_beforeRead();
        m_pos = 0;
        m_len = static_cast<std::size_t>(m_in.sgetn(m_buffer.data(), kSize));
        m_buffer[m_len] = '\n';
        m_marked.fill({});
        m_ended = m_len == 0;
        return !m_ended;
    }

    void Finish(Line& line, std::string_view text, std::uint64_t bytes, CLineReader::End end) {
        if (end == CLineReader::End::kLf && bytes > 0 &&
            (text.size() == bytes ? text.back() : m_last) == '\r') {
            end = CLineReader::End::kCrLf;
            --bytes;
            if (text.size() > bytes) text.remove_suffix(1);
        }
        if (text.size() > m_keep) text = text.substr(0, m_keep);
        line.text = text;
        line.bytes = bytes;
        line.end = end;
        line.cut = bytes > text.size();
        ++m_number;
    }

    std::streambuf& m_in;
    std::function<void()> m_beforeRead;
    std::size_t m_keep;
    // Room after the bytes for the LF that stops the search, and the rest of its 64 marked,
    // and the byte after them.
    std::vector<char> m_buffer = std::vector<char>(kSize + kMarked + 1);
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    struct Marked {
        std::size_t at = std::numeric_limits<std::size_t>::max();
        Marks marks{};
    };
    std::array<Marked, 2> m_marked{};
    std::string m_carry;
    char m_last = 0;  // the last byte of a line put together in m_carry
    std::uint64_t m_number = 0;
    bool m_ended = false;  // the stream's end was read
};

struct HeadwordParts {
    std::string_view textForm;
    std::string_view dictionaryForm;
};

class CChecker {
public:
    CChecker(IFindingSink& sink, const CheckOptions& options) : m_sink(sink), m_options(options) {}

    void Take(const CLineViews::Line& line, std::uint64_t number);
    bool AtWordStart() const { return m_lineInWord == 0; }
    // Takes the word that CLineViews::PeekWord found, its headword on line `number`, when its
    // lines hold nothing to find (its text form is looked up as any other): as Take and EndWord
    // judge it, in a fraction of their time. False, taking nothing, when they have to judge it.
    bool TakeCleanWord(const CLineViews::Word& word, std::uint64_t number);
    // Looks up the held word's text form and hands on its findings. Called before each read,
    // so that every finding of the words read so far is out before more is read: a reader that
    // hands over its words block by block (import's) knows that the findings of a block are all
    // out when the next block is asked for.
    void Release();
    void Finish();
    const CheckTotals& Totals() const { return m_totals; }

private:
    void Error(std::uint64_t line, Rule rule, std::vector<FindingValue> values = {}) {
        m_findings.push_back({line, true, rule, std::move(values)});
    }
    void Warning(std::uint64_t line, Rule rule, std::vector<FindingValue> values = {}) {
        m_findings.push_back({line, false, rule, std::move(values)});
    }
    // The line a finding on the file's line `line` is told at.
    std::uint64_t LineOf(std::uint64_t line) const {
        return m_options.lineOf ? m_options.lineOf(line) : line;
    }
    void CheckHeadword(std::string_view text, const Bytes& bytes, std::uint64_t number);
    void CheckMeaning(int index, std::string_view text, const Bytes& bytes, std::uint64_t number);
    void EndWord();
    // The number of the word that ends now, counted.
    std::uint32_t CountWord() {
        return static_cast<std::uint32_t>(
            std::min<std::uint64_t>(++m_totals.words, std::numeric_limits<std::uint32_t>::max()));
    }
    // Holds the word that ends now, with its findings, after releasing the one held.
    void Hold(std::optional<std::uint64_t> formHash, std::uint32_t number, std::uint64_t line,
              std::size_t sameAt);
    void Flush(std::vector<Finding>& findings) {
        if (!findings.empty()) Print(findings);
    }
    void Print(std::vector<Finding>& findings);

    IFindingSink& m_sink;
    const CheckOptions& m_options;
    CheckTotals m_totals;
    std::vector<Finding> m_findings;  // of the word in hand, handed on in line order at its end

    // The word in hand.
    int m_lineInWord = 0;
    std::uint64_t m_wordLine = 0;
    bool m_anyText = false;  // a line of the word holds something
    std::array<bool, kDefinitionLines> m_filled{};
    std::array<bool, kDefinitionLines> m_typable{};

    CSeenForms m_seen;
    std::optional<std::uint64_t> m_formHash;  // the word in hand's text form
    // The word before the word in hand, with its findings: its text form is looked up at the
    // end of the next word, by when its slot of the table is in the cache; looked up at its own
    // end, the check waited for memory on nearly every word.
    struct HeldWord {
        std::vector<Finding> findings;
        std::optional<std::uint64_t> formHash;
        std::uint32_t number = 0;
        std::uint64_t line = 0;
        std::size_t sameAt = 0;  // where among its findings a repeated text form's warning goes
    };
    HeldWord m_held;
    bool m_holding = false;
    std::uint64_t m_lfOnly = 0;
    std::uint64_t m_firstLfOnly = 0;
    std::uint64_t m_lastLine = 0;
    bool m_lastHasEnd = true;
};

void CChecker::Take(const CLineViews::Line& line, std::uint64_t number) {
    m_lastLine = number;
    m_lastHasEnd = line.end != CLineReader::End::kNone;
    if (line.end == CLineReader::End::kLf && m_lfOnly++ == 0) m_firstLfOnly = number;
    if (m_lineInWord == 0) {
        m_wordLine = number;
        m_anyText = false;
        m_filled.fill(false);
        m_typable.fill(false);
        m_formHash.reset();
    }
    if (line.bytes > 0) m_anyText = true;

    if (line.bytes == 0 && m_lineInWord > 0) {
        // An empty meaning line, as most words have: nothing to judge but that it is empty.
    } else if (line.cut) {
        Error(number, Rule::kLineTooLong,
              {FindingValue::Number(line.bytes), FindingValue::Number(kLongestReadLine)});
        if (m_lineInWord > 0) m_filled[m_lineInWord - 1] = m_typable[m_lineInWord - 1] = true;
    } else {
        Bytes bytes = line.plain ? Bytes{true, false, false, line.blank, line.doubled, false, false}
                                 : Scan(line.text);
        const bool utf8 = bytes.ascii || IsValidUtf8(line.text);
        std::string converted;
        const std::string_view text = utf8 ? line.text : (converted = TextAsUtf8(line.text));
        if (!utf8) {
            Warning(number, Rule::kNotUtf8);
            bytes = Scan(text);
        }
        if (number == 1 && text.starts_with("\xEF\xBB\xBF")) {
            Warning(number, Rule::kByteOrderMark);
        }
        const std::size_t chars = bytes.ascii ? text.size() : CountChars(text);
        if (chars > kLongLineChars) {
            Warning(number, Rule::kLongLine, {FindingValue::Number(chars)});
        }
        if (m_lineInWord == 0) {
            CheckHeadword(text, bytes, number);
        } else {
            CheckMeaning(m_lineInWord, text, bytes, number);
        }
    }
    if (++m_lineInWord == kLinesPerEntry) EndWord();
}

// `bytes` is Scan(text): where it rules capitals or control characters out for the whole line,
// the letter-by-letter look for them is skipped.
void CChecker::CheckHeadword(std::string_view text, const Bytes& bytes, std::uint64_t number) {
    if (text.empty()) {
        Error(number, Rule::kEmptyHeadword);
        return;
    }
    const std::size_t blank = bytes.blank ? text.find(' ') : std::string::npos;
    if (blank == std::string::npos) {
        Warning(number, Rule::kNoBlank);
    }
    // As SplitHeadword and BaseWord split it, without copying: this runs once per word.
    const std::string_view line = text;
    const HeadwordParts parts = blank == std::string::npos
                                    ? HeadwordParts{line, line}
                                    : HeadwordParts{line.substr(0, blank), line.substr(blank + 1)};
    const std::string_view base = parts.dictionaryForm.substr(0, parts.dictionaryForm.find(' '));
    if (parts.textForm.empty()) {
        Error(number, Rule::kEmptyTextForm);
    }
    if (base.empty()) {
        Error(number,
              parts.dictionaryForm.empty() ? Rule::kEmptyDictionaryForm : Rule::kEmptyBaseWord);
    } else if ((bytes.capital || !bytes.ascii) && HoldsCapital(base)) {
        Warning(number, Rule::kCapitalInBase, {FindingValue::Text(std::string(base))});
    }
    if (bytes.control || !bytes.ascii) {
        if (const auto c = FirstControl(base)) {
            Error(number, Rule::kControlInBase, {FindingValue::Character(*c)});
        } else if (const auto c2 = FirstControl(text)) {
            Warning(number, Rule::kControlInHeadword, {FindingValue::Character(*c2)});
        }
    }
    if (blank != std::string::npos && !parts.dictionaryForm.empty()) {
        if (text.back() == ' ') Warning(number, Rule::kHeadwordEndsInBlank);
        if (!base.empty() && bytes.doubled &&
            parts.dictionaryForm.find("  ") != std::string::npos) {
            Warning(number, Rule::kDoubledBlank);
        }
    }
    // Left over from a list's punctuation ("porto, portare"): an answer would need it too.
    const auto endsInPunctuation = [](std::string_view w) {
        return !w.empty() && (w.back() == ',' || w.back() == ';' || w.back() == ':');
    };
    if (endsInPunctuation(parts.textForm)) {
        Warning(number, Rule::kTextFormPunctuation,
                {FindingValue::Text(std::string(parts.textForm))});
    }
    if (endsInPunctuation(base)) {
        Warning(number, Rule::kBasePunctuation, {FindingValue::Text(std::string(base))});
    }
    // Its look-up waits for the next word's end (see m_held); its warning still comes first of
    // those that the word's end gives on this line.
    if (!parts.textForm.empty()) m_formHash = m_seen.Hash(parts.textForm);
}

void CChecker::CheckMeaning(int index, std::string_view text, const Bytes& bytes,
                            std::uint64_t number) {
    if (text.empty()) return;
    const auto say = [&](Rule rule) {
        Warning(number, rule, {FindingValue::Number(static_cast<std::uint64_t>(index))});
    };
    m_filled[index - 1] = true;
    bool typable = true;
    if (const auto c = bytes.control || !bytes.ascii ? FirstControl(text) : std::nullopt) {
        Warning(
            number, Rule::kMeaningControl,
            {FindingValue::Number(static_cast<std::uint64_t>(index)), FindingValue::Character(*c)});
        typable = false;
    }
    m_typable[index - 1] = typable;
    if (bytes.blank) {  // most meanings are one word
        if (text.front() == ' ') {
            say(Rule::kMeaningStartsBlank);
        }
        if (text.size() > 1 && text.back() == ' ') {
            say(Rule::kMeaningEndsBlank);
        }
        if (bytes.doubled) {
            say(Rule::kMeaningDoubledBlank);
        }
    }
    if (bytes.bracket) {
        say(Rule::kMeaningNote);
    }
    if (bytes.comma) {
        say(Rule::kMeaningComma);
    }
}

void CChecker::EndWord() {
    const bool partial = m_lineInWord < kLinesPerEntry;
    if (partial && !m_anyText) {
        // Nothing but empty lines after the last word: drop the findings of those lines.
        m_findings.clear();
        Error(m_wordLine, Rule::kEmptyAtEnd);
        m_lineInWord = 0;
        Release();
        return Flush(m_findings);
    }
    const std::size_t sameAt = m_findings.size();
    const std::uint32_t number = CountWord();
    if (partial) {
        Error(m_wordLine, Rule::kCutShort,
              {FindingValue::Number(static_cast<std::uint64_t>(m_lineInWord))});
    }
    // Bit i for meaning i + 1, so that whether a filled one comes after a meaning is one test
    // rather than a search per meaning.
    unsigned filled = 0;
    bool anyTypable = false;
    for (int i = 0; i < kDefinitionLines; ++i) {
        filled |= static_cast<unsigned>(m_filled[i]) << i;
        anyTypable = anyTypable || (m_filled[i] && m_typable[i]);
    }
    const bool anyFilled = filled != 0;
    if (!anyFilled) {
        Error(m_wordLine, Rule::kNoMeaning);
    } else if (!anyTypable) {
        Error(m_wordLine, Rule::kNoTypableMeaning);
    } else if (!m_filled[0] && !m_filled[1] && !m_filled[2]) {
        Error(m_wordLine, Rule::kFirstMeaningsEmpty);
    } else {
        for (int i = 0; i + 1 < kDefinitionLines; ++i) {
            const bool laterFilled = (filled >> (i + 1)) != 0;
            if (!m_filled[i] && laterFilled) {
                Warning(m_wordLine + 1 + i, Rule::kMeaningGap,
                        {FindingValue::Number(static_cast<std::uint64_t>(i + 1))});
                break;
            }
        }
    }
    m_lineInWord = 0;
    Hold(m_formHash, number, m_wordLine, sameAt);
    m_formHash.reset();
}

void CChecker::Hold(std::optional<std::uint64_t> formHash, std::uint32_t number, std::uint64_t line,
                    std::size_t sameAt) {
    Release();
    std::swap(m_held.findings, m_findings);  // the word in hand's findings held; none left
    m_held.formHash = formHash;
    m_held.number = number;
    m_held.line = line;
    m_held.sameAt = sameAt;
    m_holding = true;
}

bool CChecker::TakeCleanWord(const CLineViews::Word& word, std::uint64_t number) {
    // The lines are plain (so ',' and ';' are not in them), end in CR LF and hold no blank
    // pair: what is left to find is in their ends, their lengths and the meanings filled.
    const std::string_view head = word.lines[0];
    if (word.blankCount == 0 || word.blanks[0] == 0 || head.back() == ' ' ||
        head.size() > kLongLineChars) {
        return false;
    }
    const std::size_t baseEnd = word.blankCount == 2 ? word.blanks[1] : head.size();
    if (head[word.blanks[0] - 1] == ':' || head[baseEnd - 1] == ':') return false;
    unsigned filled = 0;
    for (int i = 1; i < kLinesPerEntry; ++i) {
        const std::string_view meaning = word.lines[i];
        if (meaning.empty()) continue;
        if (meaning.front() == ' ' || meaning.back() == ' ' || meaning.size() > kLongLineChars) {
            return false;
        }
        filled |= 1u << (i - 1);
    }
    if (filled == 0 || (filled & (filled + 1)) != 0) return false;  // not filled from the first
    m_wordLine = number;
    m_lastLine = number + kLinesPerEntry - 1;
    m_lastHasEnd = true;
    Hold(m_seen.Hash(head.substr(0, word.blanks[0])), CountWord(), number, 0);
    return true;
}

// Looks up the held word's text form and hands on its findings.
void CChecker::Release() {
    if (!m_holding) return;
    m_holding = false;
    if (m_held.formHash) {
        // What the table keeps of the word that had a form first: its number in the file, or
        // where the lines are told as another's, the line it is told at (a form whose line is
        // past what the table keeps is not held).
        const std::uint64_t told = m_options.lineOf ? LineOf(m_held.line) : m_held.number;
        const std::uint32_t first =
            told <= std::numeric_limits<std::uint32_t>::max()
                ? m_seen.FirstOrAdd(*m_held.formHash, static_cast<std::uint32_t>(told))
                : 0;
        if (first != 0) {
            const std::uint64_t firstLine =
                m_options.lineOf ? first : (std::uint64_t{first} - 1) * kLinesPerEntry + 1;
            m_held.findings.insert(
                m_held.findings.begin() + static_cast<std::ptrdiff_t>(m_held.sameAt),
                Finding{
                    m_held.line, false, Rule::kSameTextForm, {FindingValue::Number(firstLine)}});
        }
        if ((m_seen.Full() || told > std::numeric_limits<std::uint32_t>::max()) &&
            m_totals.formsUnheldFrom == 0) {
            m_totals.formsUnheldFrom = LineOf(m_held.line);
        }
    }
    Flush(m_held.findings);
}

void CChecker::Print(std::vector<Finding>& findings) {
    std::stable_sort(findings.begin(), findings.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    for (auto& f : findings) {
        ++(f.error ? m_totals.errors : m_totals.warnings);
        f.line = LineOf(f.line);
        m_sink.Take(std::move(f));
    }
    findings.clear();
}

void CChecker::Finish() {
    if (m_lineInWord > 0) EndWord();
    Release();
    if (!m_lastHasEnd) {
        Warning(m_lastLine, Rule::kNoLineEnd);
    }
    if (m_lfOnly > 0) {
        Warning(m_firstLfOnly, Rule::kLfOnly, {FindingValue::Number(m_lfOnly)});
    }
    Flush(m_findings);
}

}  // namespace

CheckTotals CheckWords(std::streambuf& in, IFindingSink& sink, const CheckOptions& options) {
    CChecker checker(sink, options);
    CLineViews reader(in, kLongestReadLine, [&checker] { checker.Release(); });
    CLineViews::Line line;
    CLineViews::Word word;
    for (;;) {
        if (!options.lineByLine && checker.AtWordStart() && reader.PeekWord(word) &&
            checker.TakeCleanWord(word, reader.LineNumber() + 1)) {
            reader.TakeWord(word);
        } else if (reader.Next(line)) {
            if (options.lineByLine) line.plain = false;
            checker.Take(line, reader.LineNumber());
        } else {
            break;
        }
    }
    checker.Finish();
    return checker.Totals();
}
