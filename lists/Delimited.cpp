#include "Delimited.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
#include <emmintrin.h>
#endif

CDelimitedReader::CDelimitedReader(std::streambuf& in)
    : m_in(in), m_buffer(kSize + kMarked, '\0') {}

bool CDelimitedReader::Fill() {
    // Keeps what is left, so that PeekLine can see a whole first line, and the lines of a
    // quoted field that may have to be read again.
    const std::size_t keep = std::min(m_pos, m_keepFrom);
    std::memmove(m_buffer.data(), m_buffer.data() + keep, m_len - keep);
    m_len -= keep;
    m_pos -= keep;
    if (m_keepFrom != kNotMarked) m_keepFrom -= keep;
    m_markedAt = kNotMarked;
    m_cutsPos = kNotMarked;
    const auto n = m_in.sgetn(m_buffer.data() + m_len, static_cast<std::streamsize>(kSize - m_len));
    m_len += static_cast<std::size_t>(n);
    return n > 0;
}

int CDelimitedReader::Peek() {
    if (m_pos == m_len && !Fill()) return -1;
    return static_cast<unsigned char>(m_buffer[m_pos]);
}

int CDelimitedReader::Get() {
    const int c = Peek();
    if (c >= 0) ++m_pos;
    if (c == '\n') ++m_line;
    return c;
}

std::string_view CDelimitedReader::PeekLine() {
    while (m_len < kSize && !std::memchr(m_buffer.data() + m_pos, '\n', m_len - m_pos) && Fill()) {
    }
    const std::string_view rest(m_buffer.data() + m_pos, m_len - m_pos);
    return rest.substr(0, rest.find('\n'));
}

std::string_view CDelimitedReader::PeekStart() {
    while (m_len < kSize && Fill()) {
    }
    return {m_buffer.data() + m_pos, m_len - m_pos};
}

void CDelimitedReader::SkipPrefix(std::string_view prefix) {
    if (PeekLine().starts_with(prefix)) m_pos += prefix.size();
}

bool CDelimitedReader::NextLineStartsWith(char c) {
    return Peek() == static_cast<unsigned char>(c);
}

bool CDelimitedReader::ReadRawLine(std::string& line) {
    line.clear();
    m_rowLine = m_line;
    int c = Peek();
    if (c < 0) return false;
    while ((c = Get()) >= 0 && c != '\n') line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void CDelimitedReader::AppendUntil(std::string& field, char stop1, char stop2, std::size_t most) {
    // A whole run of plain bytes at a time: fields are most of what is read.
    for (;;) {
        if (field.size() >= most || (m_pos == m_len && !Fill())) return;
        const char* begin = m_buffer.data() + m_pos;
        const char* end = begin + std::min(m_len - m_pos, most - field.size());
        const char* p = begin;
        // Eight bytes at a time while none of them is a stop (the usual test for a zero byte,
        // on the bytes XORed with each stop), then byte by byte to the stop itself.
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        constexpr std::uint64_t kHighs = 0x8080808080808080ull;
        const std::uint64_t spread1 = kOnes * static_cast<unsigned char>(stop1);
        const std::uint64_t spread2 = kOnes * static_cast<unsigned char>(stop2);
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            const std::uint64_t x1 = word ^ spread1;
            const std::uint64_t x2 = word ^ spread2;
            if ((((x1 - kOnes) & ~x1) | ((x2 - kOnes) & ~x2)) & kHighs) break;
            p += 8;
        }
        while (p != end && *p != stop1 && *p != stop2) ++p;
        field.append(begin, p);
        m_pos += static_cast<std::size_t>(p - begin);
        if (p != end) return;
    }
}

void CDelimitedReader::DropOpenQuote(std::uint64_t line) {
    if (m_keepFrom != kNotMarked) {
        m_pos = m_keepFrom;
        m_line = m_keepLine;
    } else {
        // The field is still on the quote's line: past the rest of it.
        for (;;) {
            if (m_pos == m_len && !Fill()) break;
            const char* begin = m_buffer.data() + m_pos;
            const void* lf = std::memchr(begin, '\n', m_len - m_pos);
            if (lf) {
                m_pos += static_cast<std::size_t>(static_cast<const char*>(lf) - begin) + 1;
                ++m_line;
                break;
            }
            m_pos = m_len;
        }
    }
    m_keepFrom = kNotMarked;
    m_quoteLeftOpen = line;
}

const CDelimitedReader::Marks& CDelimitedReader::Mark(std::size_t at) {
    const std::size_t offset = at * kMarked;
    const char* p = m_buffer.data() + offset;
    Marks marks{};
#if defined(__SSE2__) && !defined(TAVRIN_NO_SIMD)
    const __m128i separator = _mm_set1_epi8(m_separator);
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i lineEnd = _mm_set1_epi8('\n');
    for (std::size_t k = 0; k < kMarked; k += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const auto bits = [k](__m128i x) {
            return std::uint64_t{static_cast<std::uint32_t>(_mm_movemask_epi8(x))} << k;
        };
        marks.separator |= bits(_mm_cmpeq_epi8(v, separator));
        marks.quote |= bits(_mm_cmpeq_epi8(v, quote));
        marks.lineEnd |= bits(_mm_cmpeq_epi8(v, lineEnd));
        marks.high |= bits(v);
    }
#else
    for (std::size_t i = 0; i < kMarked; ++i) {
        const std::uint64_t bit = std::uint64_t{1} << i;
        if (p[i] == m_separator) marks.separator |= bit;
        if (p[i] == '"') marks.quote |= bit;
        if (p[i] == '\n') marks.lineEnd |= bit;
        if (static_cast<unsigned char>(p[i]) >= 0x80) marks.high |= bit;
    }
#endif
    // Past the bytes read lie old ones, which mean nothing.
    if (m_len - offset < kMarked) marks.read = (std::uint64_t{1} << (m_len - offset)) - 1;
    m_marks = marks;
    m_markedAt = at;
    return m_marks;
}

bool CDelimitedReader::NextPlain(std::vector<std::string_view>& fields) {
    std::size_t count = 0;
    const auto field = [&](std::string_view f) {
        if (count == fields.size()) fields.emplace_back();
        fields[count++] = f;
        return true;
    };
    bool ascii = false;
    if (!WalkPlainRow(field, ascii)) return false;
    fields.resize(count);
    std::string_view& last = fields.back();
    if (!last.empty() && last.back() == '\r') last.remove_suffix(1);
    m_rowAscii = ascii;
    m_rowInBuffer = true;
    return true;
}

bool CDelimitedReader::Next(std::vector<std::string_view>& views) {
    if (Peek() < 0) {
        views.clear();
        return false;
    }
    m_rowLine = m_line;
    m_quoteLeftOpen = 0;
    if (NextPlain(views)) return true;
    m_rowAscii = false;
    m_rowInBuffer = false;
    const int sep = static_cast<unsigned char>(m_separator);
    // The strings of the last row are refilled, so that a row of the usual width allocates
    // nothing.
    std::vector<std::string>& fields = m_fields;
    std::size_t count = 0;
    const auto done = [&] {
        fields.resize(count);
        views.assign(fields.begin(), fields.end());
        return true;
    };
    for (;;) {
        if (count == fields.size()) fields.emplace_back();
        std::string& field = fields[count++];
        field.clear();
        int c = Peek();
        if (c == '"') {
            const std::uint64_t quoteLine = m_line;
            std::size_t lines = 1;
            bool open = false;
            Get();
            for (;;) {
                AppendUntil(field, '"', '\n', kQuotedBytes + 1);
                if (field.size() > kQuotedBytes) {
                    open = true;
                    break;
                }
                c = Get();
                if (c < 0) {
                    // Open at the end: a mistake when it took lines after its own.
                    open = m_keepFrom != kNotMarked && m_keepFrom != m_len;
                    break;
                }
                if (c == '"') {
                    if (Peek() != '"') break;
                    Get();
                    field.push_back('"');
                } else {
                    if (lines++ == 1) {
                        m_keepFrom = m_pos;
                        m_keepLine = m_line;
                    }
                    if (lines > kQuotedLines) {
                        open = true;
                        break;
                    }
                    if (!field.empty() && field.back() == '\r') field.pop_back();
                    field.push_back(' ');
                }
            }
            if (open) {
                DropOpenQuote(quoteLine);
                fields.clear();
                views.clear();
                return true;
            }
            m_keepFrom = kNotMarked;
        }
        // Unquoted text, or whatever stands between a closing quote and the separator.
        AppendUntil(field, m_separator, '\n');
        c = Peek();
        if (c == sep) {
            Get();
            continue;
        }
        Get();  // the line end, or nothing at the end of the input
        if (!field.empty() && field.back() == '\r') field.pop_back();
        return done();
    }
}

void AppendField(std::string& out, std::string_view field, char separator, bool quoteHash) {
    const bool quote =
        field.find_first_of(std::string{'"', '\r', '\n', separator}) != std::string_view::npos ||
        (!field.empty() && (field.front() == ' ' || field.back() == ' ')) ||
        (quoteHash && !field.empty() && field.front() == '#');
    if (!quote) {
        out.append(field);
        return;
    }
    out.push_back('"');
    for (char c : field) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes the entity at the start of `s` ("&...;") into `out`; returns its length, or 0.
std::size_t DecodeEntity(std::string_view s, std::string& out) {
    const std::size_t semi = s.find(';');
    if (semi == std::string_view::npos || semi > 12) return 0;
    const std::string_view name = s.substr(1, semi - 1);
    static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
        {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
    for (const auto& [n, text] : kNamed) {
        if (name == n) {
            out.append(text);
            return semi + 1;
        }
    }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string_view digits = name.substr(hex ? 2 : 1);
    if (digits.empty()) return 0;
    std::uint32_t cp = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        } else {
            return 0;
        }
        cp =
            std::min<std::uint32_t>(cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d), 0x110000);
    }
    AppendUtf8(out, cp);
    return semi + 1;
}

bool IsBreakTag(std::string_view tag) {
    // "<br>", "<br/>", "<br />", "<BR>"
    if (tag.size() < 4) return false;
    const char b = static_cast<char>(tag[1] | 0x20);
    const char r = static_cast<char>(tag[2] | 0x20);
    return b == 'b' && r == 'r' && (tag[3] == '>' || tag[3] == '/' || tag[3] == ' ');
}

}  // namespace

std::string HtmlToText(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t close = html.find('>', i);
            if (close == std::string_view::npos) {
                out.append(html.substr(i));
                break;
            }
            if (IsBreakTag(html.substr(i, close - i + 1))) out.push_back(' ');
            i = close + 1;
        } else if (c == '&') {
            const std::size_t used = DecodeEntity(html.substr(i), out);
            if (used == 0) out.push_back('&');
            i += used == 0 ? 1 : used;
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}
