// Texts taken apart by the formats the windows recognise: whatever a text holds (a file name,
// a cause, stray percent signs), it comes back unchanged in the C locale, and quickly.
#include <clocale>
#include <string>

#include "FuzzSupport.h"
#include "Tr.h"

void FuzzShownText(const std::uint8_t* data, std::size_t size) {
    static const bool plainC = std::setlocale(LC_ALL, "C") != nullptr;
    FUZZ_CHECK(plainC);
    const std::string text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(tr::Shown(text) == text);
}
