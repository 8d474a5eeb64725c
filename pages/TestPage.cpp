#include "TestPage.h"

#include "Answer.h"
#include "Resource.h"
#include "Tr.h"
#include "VocText.h"

namespace {

const char kCaptionError[] = N_("Error");
const char kCaptionScore[] = N_("Score");
const char kCaptionEnd[] = N_("End of Test");

const char kQuitFirst[] = N_("Quit the current test first");
const char kOpenFirst[] = N_("You Must open a vocabulary file first");
const char kSubmitFirst[] = N_("You Submit your answer before going on to the next word.");
const char kNextFirst[] = N_("You go to the next word before you submit your answer.");
const char kReadError[] = N_("Error Reading File");
const char kEmptyFile[] = N_("There are no words in this file.");
const char kNothingSubmitted[] = N_("No answers were submitted");

}  // namespace

tr::Message ScoreNotice(int correct, int asked) {
    if (asked == 0) return kNothingSubmitted;
    const double score = static_cast<double>(correct) * 100.0 / asked;
    return {N_("Score = %.4g%%"), {score}};
}

CTestPage::CTestPage(int templateId, const TestPageControls& ids, const TestPageTexts& texts)
    : CDialogLogic(templateId), m_ids(ids), m_texts(texts) {}

bool CTestPage::OnCommand(int id) {
    const CommandEntry<CTestPage> table[] = {
        {m_ids.begin, &CTestPage::OnBeginTest},
        {m_ids.next, &CTestPage::OnNextWord},
        {m_ids.submit, &CTestPage::OnSubmit},
        {m_ids.quit, &CTestPage::OnQuitTesting},
    };
    return Dispatch(*this, table, id);
}

void CTestPage::Refuse(const char* text) { Wnd().MessageBox(text, kCaptionError, MB_OKCANCEL); }

void CTestPage::ReportReadError() { Wnd().MessageBox(kReadError, kCaptionError, MB_OK); }

void CTestPage::ReadyForNextWord() {
    Wnd().SetDlgItemText(m_ids.answer, "");
    m_bWordReady = 1;
    m_bSubmitted = 0;
}

// A word is shown: the keys go where its answer is typed, and a screen reader learns the word
// there, since the prompt display is not a place the focus ever reaches.
void CTestPage::AskForAnswer() {
    Wnd().SetDescription(m_ids.answer, Asked());
    Wnd().SetDescription(m_ids.submit, "");
    Wnd().SetFocus(m_ids.answer);
}

tr::Message CTestPage::Asked() const { return {m_texts.askedFormat, {m_strWord}}; }

std::array<std::string, 5> CTestPage::ReadDefinitions() {
    std::array<std::string, 5> lines;
    for (auto& line : lines) ReadVocLine(m_vocFile, line);
    return lines;
}

bool CTestPage::IsRight(const std::string& answer, const std::string& expected) const {
    const DialogTemplate* t = FindDialogTemplate(TemplateId());
    const ControlTemplate* box = t ? t->Find(m_ids.answer) : nullptr;
    const bool lowers = box && (box->style & csLowercase);
    return AnswerMatches(answer, expected, lowers ? LetterCase::kLowered : LetterCase::kKept);
}

void CTestPage::OnBeginTest() {
    // The counters restart on every press, also one that is refused below.
    m_nAsked = 0;
    m_nCorrect = 0;
    if (m_bFileOpen) return Refuse(kQuitFirst);

    auto path = Wnd().ChooseFileToOpen(kVocExtension, kVocFilter);
    if (!path) return;

    CFileException error(CFileException::none, -1);
    m_bFileOpen = m_vocFile.Open(*path, CTextFile::modeRead, &error) ? 1 : 0;
    if (!m_bFileOpen) {
        Wnd().MessageBox({N_("Error Opening file for reading, Code: %d"), {error.m_cause}},
                         kCaptionError, MB_OK);
        return;
    }
    m_bTestStarted = 1;
    m_strPath = *path;

    try {
        std::string headword;
        if (!ReadVocLine(m_vocFile, headword)) {
            // Nothing to quiz: give the file back so that another one can be chosen.
            m_vocFile.Abort();
            m_bFileOpen = 0;
            m_bTestStarted = 0;
            Wnd().MessageBox(kEmptyFile, kCaptionEnd, MB_OK);
            return;
        }
        m_strHeadword = headword;
        TakeWord(headword);
    } catch (const CFileException&) {
        return ReportReadError();
    }
    AskForAnswer();
}

void CTestPage::OnNextWord() {
    if (!m_bTestStarted) return Refuse(kOpenFirst);
    if (!m_bSubmitted) return Refuse(kSubmitFirst);

    std::string headword;
    bool gotLine = false;
    try {
        gotLine = ReadVocLine(m_vocFile, headword);
    } catch (const CFileException&) {
        ReadyForNextWord();
        return ReportReadError();
    }
    if (!gotLine) {
        // Past the last entry: keep the last word and its marks; Quit gives the score.
        Wnd().MessageBox(m_texts.endOfFile, kCaptionEnd, MB_OK);
        return;
    }

    ReadyForNextWord();
    m_strHeadword = headword;
    try {
        TakeWord(headword);
    } catch (const CFileException&) {
        return ReportReadError();
    }
    AskForAnswer();
}

void CTestPage::OnSubmit() {
    if (!m_bTestStarted) return Refuse(kOpenFirst);
    if (!m_bWordReady) return Refuse(kNextFirst);

    m_bSubmitted = 1;
    m_bWordReady = 0;
    ++m_nAsked;
    m_strAnswer = Wnd().GetDlgItemText(m_ids.answer);

    bool correct = false;
    try {
        correct = Judge();
    } catch (const CFileException&) {
        return ReportReadError();
    }
    const char* mark = correct ? N_("Correct Answer") : N_("Wrong Answer");
    Wnd().SetDlgItemText(m_ids.mark, mark);
    if (correct) ++m_nCorrect;
    if (m_pAnswerLog) {
        m_pAnswerLog->Record({m_texts.cardName, m_strHeadword, m_strAnswer, correct, m_strPath});
    }

    // The verdict goes where the focus is after Submit: still in the answer box when Enter or
    // the button's key pressed it, on the button when it was clicked.
    const tr::Message verdict(N_("%s. Answer: %s. %s"),
                              {tr::Message(mark), Wnd().GetDlgItemText(m_ids.shown), Asked()});
    Wnd().SetDescription(m_ids.answer, verdict);
    Wnd().SetDescription(m_ids.submit, verdict);
}

void CTestPage::OnQuitTesting() {
    tr::Message notice = m_texts.exitNotice;
    if (m_bFileOpen) {
        notice = ScoreNotice(m_nCorrect, m_nAsked);
        // A file opened for reading has nothing to lose at close.
        m_vocFile.Abort();
        m_bTestStarted = 0;
    }
    Wnd().MessageBox(notice, kCaptionScore, MB_OKCANCEL);
    Wnd().EndDialog(kQuitResult);
}
