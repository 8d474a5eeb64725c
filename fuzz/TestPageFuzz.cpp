// A test page over any file: the first bytes pick the page and a run of presses, the rest is
// the file. No press may crash, and the flags and counters keep their rules throughout.
#include <memory>
#include <string>

#include "Answer.h"
#include "EnglishPage.h"
#include "FakeWindow.h"
#include "FuzzSupport.h"
#include "LatinPage.h"
#include "Lowercase.h"
#include "VocText.h"
#include "WordPage.h"

namespace {

constexpr std::size_t kPresses = 12;

std::unique_ptr<CTestPage> MakePage(std::uint8_t kind) {
    switch (kind % 3) {
        case 0:
            return std::make_unique<CLatinPage>();
        case 1:
            return std::make_unique<CEnglishPage>();
        default:
            return std::make_unique<CWordPage>();
    }
}

void CheckInvariants(const CTestPage& page, const CFakeWindow& wnd) {
    for (int flag : {page.m_bTestStarted, page.m_bSubmitted, page.m_bWordReady, page.m_bFileOpen}) {
        FUZZ_CHECK(flag == 0 || flag == 1);
    }
    FUZZ_CHECK(0 <= page.m_nCorrect && page.m_nCorrect <= page.m_nAsked);
    FUZZ_CHECK(page.m_bWordReady != page.m_bSubmitted);
    if (page.m_bTestStarted) FUZZ_CHECK(page.m_bFileOpen && page.m_vocFile.IsOpen());
    // What a page shows is bounded whatever the file holds: three lines and two blanks at most.
    const std::size_t most = 3 * (3 * kVocLineBytes + 3) + 2;
    for (const auto& [id, text] : wnd.texts) FUZZ_CHECK(text.size() <= most);
    for (const auto& box : wnd.boxes)
        FUZZ_CHECK(box.caption == "Error" || box.caption == "Score" ||
                   box.caption == "End of Test");
}

}  // namespace

void FuzzTestPage(const std::uint8_t* data, std::size_t size) {
    if (size < 1 + kPresses) return;
    auto page = MakePage(data[0]);
    const std::uint8_t* presses = data + 1;
    const std::string path = MemoryFile(data + 1 + kPresses, size - 1 - kPresses);
    // An answer that is sometimes right: the file's first word.
    const std::string text(reinterpret_cast<const char*>(data + 1 + kPresses), size - 1 - kPresses);
    const std::string firstWord = text.substr(0, text.find_first_of(" \r\n"));
    // The comparison's form is a fixed point, so whatever a lowering box makes of a text is
    // right for that text.
    for (const LetterCase letters : {LetterCase::kKept, LetterCase::kLowered}) {
        const std::string key = AnswerKey(firstWord, letters);
        FUZZ_CHECK(AnswerKey(key, letters) == key);
    }
    FUZZ_CHECK(AnswerMatches(LowerAsTyped(firstWord), firstWord, LetterCase::kLowered));

    CFakeWindow wnd(page->TemplateId());
    page->SetWindow(&wnd);
    const TestPageControls& ids = page->Controls();
    for (std::size_t i = 0; i < kPresses && !wnd.endResult; ++i) {
        const std::size_t boxes = wnd.boxes.size();
        switch (presses[i] % 6) {
            case 0:
                wnd.choices.push_back(path);
                page->OnCommand(ids.begin);
                break;
            case 1:
                page->OnCommand(ids.next);
                break;
            case 2:
                wnd.texts[ids.answer] = presses[i] & 0x80 ? firstWord : std::string("amo");
                page->OnCommand(ids.submit);
                break;
            case 3:
                page->OnCommand(ids.quit);
                break;
            case 4:
                wnd.choices.push_back(std::nullopt);  // the file dialog cancelled
                page->OnCommand(ids.begin);
                break;
            default: {
                const int asked = page->m_nAsked;
                wnd.texts[ids.answer] = firstWord;
                page->OnCommand(ids.submit);
                FUZZ_CHECK(page->m_nAsked == asked || page->m_nAsked == asked + 1);
            }
        }
        FUZZ_CHECK(wnd.boxes.size() <= boxes + 1);
        CheckInvariants(*page, wnd);
    }
}
