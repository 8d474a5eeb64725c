// The headword split and the base word: nothing is lost or invented, and the parts are what
// their names promise.
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "VocFormat.h"
#include "VocText.h"

void FuzzHeadword(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    const std::string line = TextAsUtf8(raw);
    FUZZ_CHECK(IsValidUtf8(line));
    if (IsValidUtf8(raw)) FUZZ_CHECK(line == raw);

    const Headword h = SplitHeadword(line);
    FUZZ_CHECK(h.textForm.find(' ') == std::string::npos);
    if (line.find(' ') == std::string::npos) {
        FUZZ_CHECK(h.textForm == line && h.dictionaryForm == line);
    } else {
        FUZZ_CHECK(h.textForm + " " + h.dictionaryForm == line);
    }
    const std::string base = BaseWord(h.dictionaryForm);
    FUZZ_CHECK(base.find(' ') == std::string::npos);
    FUZZ_CHECK(h.dictionaryForm.compare(0, base.size(), base) == 0);
    FUZZ_CHECK(base.size() == h.dictionaryForm.size() || h.dictionaryForm[base.size()] == ' ');
}
