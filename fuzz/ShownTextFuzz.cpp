// The texts the front ends show, over what comes from outside the program: a file's words put
// into a message come out exactly as they are, never taken for a format or for a text of ours;
// a format as a catalog's translation holds it (any bytes) is filled without reading past its
// values, and its text stays bounded; a whole text comes back unchanged in the C locale.
#include <clocale>
#include <string>

#include "FuzzSupport.h"
#include "Tr.h"

void FuzzShownText(const std::uint8_t* data, std::size_t size) {
    static const bool plainC = std::setlocale(LC_ALL, "C") != nullptr;
    FUZZ_CHECK(plainC);
    const std::string text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(tr::Shown(text) == text);

    const tr::Message asked("Latin Word: %s", {text});
    const tr::Message verdict("%s. Answer: %s. %s", {tr::Message("Wrong Answer"), text, asked});
    const std::string expected = "Wrong Answer. Answer: " + text + ". Latin Word: " + text;
    FUZZ_CHECK(verdict.English() == expected);
    FUZZ_CHECK(verdict.Shown() == expected);
    const tr::Message counted("%s already holds %lu word.", "%s already holds %lu words.", 2,
                              {text, 2u});
    FUZZ_CHECK(counted.Shown() == text + " already holds 2 words.");

    // One value of every kind; none is longer than this when written.
    constexpr std::size_t kLongestValue = 80;
    const tr::Message filled(text.c_str(),
                             {"Error.voc", -7, 46ul, 100.0 / 3, tr::Message("Correct Answer")});
    const std::string english = filled.English();
    // Every conversion takes two bytes of the format at least.
    FUZZ_CHECK(english.size() <= text.size() + text.size() / 2 * kLongestValue);
    FUZZ_CHECK(filled.Shown() == english);
}
