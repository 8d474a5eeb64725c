#include "Answer.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cstdint>

#include "Lowercase.h"
#include "VocText.h"

namespace {

constexpr UChar32 kMacron = 0x0304;
constexpr UChar32 kBreve = 0x0306;
constexpr UChar32 kFinalSigma = 0x03C2;
constexpr UChar32 kSigma = 0x03C3;

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsLatinVowel(UChar32 c) {
    return c < 0x80 &&
           std::string_view("aeiouyAEIOUY").find(static_cast<char>(c)) != std::string_view::npos;
}

// `text` (decomposed) without its marks of vowel length, and with sigma for final sigma.
icu::UnicodeString WithoutLengthMarks(const icu::UnicodeString& text) {
    icu::UnicodeString out;
    UChar32 base = 0;  // the letter that the marks in hand sit on
    for (int32_t i = 0; i < text.length();) {
        const UChar32 c = text.char32At(i);
        i += U16_LENGTH(c);
        if (u_getCombiningClass(c) == 0) base = c;
        if (c == kMacron || (c == kBreve && IsLatinVowel(base))) continue;
        out.append(c == kFinalSigma ? kSigma : c);
    }
    return out;
}

}  // namespace

std::string AnswerKey(std::string_view text, LetterCase letters) {
    std::string lowered;
    if (letters == LetterCase::kLowered) {
        lowered = LowerAsTyped(text);
        text = lowered;
    }
    // Plain ASCII, nearly every line of most files, has no mark to drop and is its own NFC.
    if (IsAscii(text) || !IsValidUtf8(text) || text.size() > INT32_MAX) return std::string(text);

    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return std::string(text);
    const auto source = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    const icu::UnicodeString decomposed = nfd->normalize(source, status);
    const icu::UnicodeString key = nfc->normalize(WithoutLengthMarks(decomposed), status);
    if (U_FAILURE(status)) return std::string(text);
    std::string out;
    key.toUTF8String(out);
    return out;
}

bool AnswerMatches(std::string_view answer, std::string_view expected, LetterCase letters) {
    return AnswerKey(answer, letters) == AnswerKey(expected, letters);
}

bool HoldsCapital(std::string_view text) { return LowerAsTyped(text) != text; }
