// A file that is not vocabulary (one huge line, no line ends) is shown cut, visibly, and the
// lines after a cut are read as they are.
#include <gtest/gtest.h>

#include <string>

#include "FakeWindow.h"
#include "LatinPage.h"
#include "TempDir.h"
#include "VocTestSupport.h"
#include "VocText.h"

namespace {

const std::string kEllipsis = "\xE2\x80\xA6";

TEST(LongLine, IsCutAtACharacterAndEndsInAnEllipsis) {
    TempDir dir;
    const std::size_t n = kVocLineBytes;
    const std::string e = "\xC3\xA9";  // é, two bytes in UTF-8
    struct Case {
        const char* name;
        std::string line;
        std::string shown;
    };
    const Case cases[] = {
        {"fits", std::string(n, 'a'), std::string(n, 'a')},
        {"one byte over", std::string(n + 1, 'a'), std::string(n, 'a') + kEllipsis},
        {"a character across the cut", std::string(n - 1, 'a') + e + "zz",
         std::string(n - 1, 'a') + kEllipsis},
        {"a character ending at the cut", std::string(n - 2, 'a') + e + "z",
         std::string(n - 2, 'a') + e + kEllipsis},
        {"Windows-1252 past the cut", std::string(n, '\xE9') + "zz",
         [&] {
             std::string s;
             for (std::size_t i = 0; i < n; ++i) s += e;
             return s + kEllipsis;
         }()},
        {"huge", std::string(20 << 20, 'q'), std::string(n, 'q') + kEllipsis},
    };
    for (const auto& c : cases) {
        CTextFile file;
        ASSERT_TRUE(file.Open(dir.Write("long.voc", c.line + "\r\nnext\r\n"), 0, nullptr));
        std::string line;
        ASSERT_TRUE(ReadVocLine(file, line)) << c.name;
        EXPECT_TRUE(line == c.shown) << c.name << ": " << line.size() << " bytes";
        ASSERT_TRUE(ReadVocLine(file, line)) << c.name;
        EXPECT_EQ(line, "next") << c.name;
    }
}

TEST(LongLine, APageShowsTheCutWordAndGoesOnToTheNextEntry) {
    TempDir dir;
    const std::string huge(8 << 20, 'h');
    const std::string path =
        dir.Write("dump.voc", Entry(huge + " dict", huge, "b", "c") + Entry("amo amare", "love"));
    CLatinPage page;
    CFakeWindow wnd(page.TemplateId());
    page.SetWindow(&wnd);
    wnd.choices.push_back(path);
    page.OnBeginTest();
    const std::string prompt = wnd.texts[page.Controls().prompt];
    EXPECT_EQ(prompt.size(), kVocLineBytes + kEllipsis.size());
    EXPECT_EQ(prompt.substr(prompt.size() - 3), kEllipsis);

    wnd.texts[page.Controls().answer] = "b";
    page.OnSubmit();
    EXPECT_EQ(wnd.texts[page.Controls().mark], "Correct Answer");
    EXPECT_EQ(wnd.texts[page.Controls().shown],
              std::string(kVocLineBytes, 'h') + kEllipsis + " b c");
    page.OnNextWord();
    EXPECT_EQ(wnd.texts[page.Controls().prompt], "amo");
    EXPECT_TRUE(wnd.boxes.empty());
}

}  // namespace
