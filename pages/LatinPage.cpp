#include "LatinPage.h"

#include "Resource.h"
#include "Tr.h"
#include "VocFormat.h"

CLatinPage::CLatinPage()
    : CTestPage(IDD_LATIN_PAGE,
                {IDC_LATIN_BEGIN, IDC_LATIN_NEXT, IDC_LATIN_SUBMIT, IDC_LATIN_QUIT,
                 IDC_LATIN_ANSWER, IDC_LATIN_PROMPT, IDC_LATIN_MARK, IDC_LATIN_SHOWN},
                {N_("Exiting Latin test"),
                 N_("There are no more words in this file. Press Quit Testing to see your score."),
                 N_("Latin Word: %s"), "latin"}) {}

void CLatinPage::TakeWord(const std::string& headword) {
    // Only the headword line is read now; the definitions wait for Submit.
    m_strWord = SplitHeadword(headword).textForm;
    Wnd().SetDlgItemText(Controls().prompt, m_strWord);
    m_bCorrect = 0;
}

bool CLatinPage::Judge() {
    const auto lines = ReadDefinitions();
    for (const auto& line : lines) {
        if (IsRight(m_strAnswer, line)) m_bCorrect = 1;
    }
    m_strShown = lines[0] + " " + lines[1] + " " + lines[2];
    Wnd().SetDlgItemText(Controls().shown, m_strShown);
    const bool correct = m_bCorrect != 0;
    m_bCorrect = 0;
    return correct;
}
