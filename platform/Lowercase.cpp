#include "Lowercase.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

std::string LowerAsTyped(std::string_view text) {
    std::string out(text);
    const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    if (std::all_of(text.begin(), text.end(), ascii)) {
        for (char& c : out) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        return out;
    }
    out.clear();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    for (std::int32_t i = 0; i < length;) {
        const std::int32_t start = i;
        UChar32 c;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            out.append(text.data() + start, static_cast<std::size_t>(i - start));
            continue;
        }
        const UChar32 lower = u_tolower(c);
        char encoded[U8_MAX_LENGTH];
        std::int32_t n = 0;
        U8_APPEND_UNSAFE(encoded, n, lower);
        out.append(encoded, static_cast<std::size_t>(n));
    }
    return out;
}
