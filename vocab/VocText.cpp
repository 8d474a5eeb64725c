#include "VocText.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace {

// A conversion descriptor, one for each thread that converts (TextAsUtf8 keeps it thread_local):
// iconv keeps no state between lines for a single-byte code page, but a descriptor is not safe
// to share between threads.
class CFrom1252 {
public:
    CFrom1252() : m_cd(::iconv_open("UTF-8", "WINDOWS-1252")) {}
    ~CFrom1252() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) ::iconv_close(m_cd);
    }
    CFrom1252(const CFrom1252&) = delete;
    CFrom1252& operator=(const CFrom1252&) = delete;

    std::string Convert(std::string_view bytes) const {
        std::string out;
        // Three bytes of UTF-8 at most for each byte of Windows-1252.
        out.resize(bytes.size() * 3);
        char* in = const_cast<char*>(bytes.data());
        std::size_t inLeft = bytes.size();
        char* to = out.data();
        std::size_t toLeft = out.size();
        while (inLeft > 0) {
            if (m_cd == reinterpret_cast<iconv_t>(-1)) {
                AppendReplacement(to, toLeft);
                ++in;
                --inLeft;
                continue;
            }
            if (::iconv(m_cd, &in, &inLeft, &to, &toLeft) != static_cast<std::size_t>(-1)) break;
            // A byte the code page leaves undefined: mark it and go on with the next one.
            AppendReplacement(to, toLeft);
            ++in;
            --inLeft;
        }
        out.resize(out.size() - toLeft);
        return out;
    }

private:
    static void AppendReplacement(char*& to, std::size_t& left) {
        static constexpr char kReplacement[] = "\xEF\xBF\xBD";
        for (char c : std::string_view(kReplacement, 3)) {
            *to++ = c;
            --left;
        }
    }

    iconv_t m_cd;
};

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Most text is ASCII: eight bytes at a time while none has its high bit set.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if (word & 0x8080808080808080ull) break;
            p += 8;
        }
        if (p == end) break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more;
        std::uint32_t min;
        std::uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            more = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more) return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        p += more + 1;
    }
    return true;
}

std::string TextAsUtf8(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    thread_local const CFrom1252 converter;
    return converter.Convert(bytes);
}

namespace {

// The length of `text` without a last character that the cut left incomplete.
std::size_t WholeCharacters(std::string_view text) {
    const std::size_t n = text.size();
    for (std::size_t back = 1; back <= 4 && back <= n; ++back) {
        const auto c = static_cast<unsigned char>(text[n - back]);
        if ((c & 0xC0) == 0x80) continue;
        const std::size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3
                                   : (c & 0xF8) == 0xF0                  ? 4
                                                                         : 1;
        return length > back ? n - back : n;
    }
    return n;
}

}  // namespace

bool ReadVocLine(CTextFile& file, std::string& line) {
    bool cut = false;
    if (!file.ReadString(line, kVocLineBytes, &cut)) return false;
    if (cut) {
        // A character cut in two would make a UTF-8 line look like Windows-1252.
        const std::size_t whole = WholeCharacters(line);
        if (IsValidUtf8(std::string_view(line).substr(0, whole))) line.erase(whole);
    }
    if (!IsValidUtf8(line)) line = TextAsUtf8(line);
    if (cut) line += kCutMark;
    return true;
}
