// Lines of another era's code page: shown and compared as the letters they stand for.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "EnglishPage.h"
#include "FakeWindow.h"
#include "LatinPage.h"
#include "TempDir.h"
#include "VocText.h"
#include "WordPage.h"

namespace {

struct TextCase {
    const char* bytes;
    const char* utf8;
};

TEST(VocText, TakesUtf8AsItIsAndAnythingElseAsWindows1252) {
    const TextCase cases[] = {
        {"", ""},
        {"amo amare", "amo amare"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},                        // UTF-8 stays
        {"caf\xE9", "caf\xC3\xA9"},                            // 1252 e acute
        {"\x80 \x9C \xFF", "\xE2\x82\xAC \xC5\x93 \xC3\xBF"},  // euro, oe, y diaeresis
        {"a\x81"
         "b",
         "a\xEF\xBF\xBD"
         "b"},                                             // undefined in 1252
        {"\xC3\xA9\xE9", "\xC3\x83\xC2\xA9\xC3\xA9"},      // one bad byte makes the line 1252
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // overlong slash is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // nor is a surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC"},  // nor past U+10FFFF
        {"\xF0\x9F\x8F\x9B", "\xF0\x9F\x8F\x9B"},  // a four-byte character is
        {"x\xE2\x82", "x\xC3\xA2\xE2\x80\x9A"},    // cut short at the end
        // Past a run of eight plain bytes and more, read a word at a time
        {"abcdefghijklmnop\xC3\xA9", "abcdefghijklmnop\xC3\xA9"},
        {"abcdefgh\xE9", "abcdefgh\xC3\xA9"},
        {"abcdefghijk\xC3", "abcdefghijk\xC3\x83"},
        {"abcdefgh\xC3\xA9" "abcdefgh\xE9", "abcdefgh\xC3\x83\xC2\xA9" "abcdefgh\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextAsUtf8(c.bytes), c.utf8) << c.bytes;
        EXPECT_TRUE(IsValidUtf8(TextAsUtf8(c.bytes))) << c.bytes;
    }
}

// One entry in Windows-1252 after one in UTF-8; each page must take the letters it shows.
const char kMixed[] =
    "arma arma\r\narms\r\n\r\n\r\n\r\n\r\n"
    "caf\xE9 caf\xE9s caf\xE9\r\nd\xE9j\xE0 vu\r\n\x80\r\n\r\n\r\n\r\n";

struct PageCase {
    const char* name;
    std::unique_ptr<CTestPage> (*make)();
    const char* prompt;
    const char* answer;
    const char* shown;
};

TEST(VocText, EveryPageMarksTheLettersItShowsCorrect) {
    const PageCase cases[] = {
        {"latin", [] { return std::unique_ptr<CTestPage>(new CLatinPage); }, "caf\xC3\xA9",
         "d\xC3\xA9j\xC3\xA0 vu", "d\xC3\xA9j\xC3\xA0 vu \xE2\x82\xAC "},
        {"english", [] { return std::unique_ptr<CTestPage>(new CEnglishPage); },
         "d\xC3\xA9j\xC3\xA0 vu \xE2\x82\xAC ", "caf\xC3\xA9s", "caf\xC3\xA9s caf\xC3\xA9"},
        {"parts", [] { return std::unique_ptr<CTestPage>(new CWordPage); }, "caf\xC3\xA9",
         "caf\xC3\xA9s", "caf\xC3\xA9s"},
    };
    TempDir dir;
    const std::string path = dir.Write("old.voc", kMixed);
    for (const auto& c : cases) {
        auto page = c.make();
        CFakeWindow wnd(page->TemplateId());
        page->SetWindow(&wnd);
        const auto& ids = page->Controls();
        wnd.choices.push_back(path);
        page->OnBeginTest();
        wnd.texts[ids.answer] = "";
        page->OnSubmit();
        page->OnNextWord();
        EXPECT_EQ(wnd.texts[ids.prompt], c.prompt) << c.name;
        wnd.texts[ids.answer] = c.answer;
        page->OnSubmit();
        EXPECT_EQ(wnd.texts[ids.mark], "Correct Answer") << c.name;
        EXPECT_EQ(wnd.texts[ids.shown], c.shown) << c.name;
        EXPECT_TRUE(wnd.boxes.empty()) << c.name << ": " << wnd.LastBox();
    }
}

}  // namespace
