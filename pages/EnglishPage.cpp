#include "EnglishPage.h"

#include "Resource.h"
#include "Tr.h"
#include "VocFormat.h"

CEnglishPage::CEnglishPage()
    : CTestPage(IDD_ENGLISH_PAGE,
                {IDC_ENGLISH_BEGIN, IDC_ENGLISH_NEXT, IDC_ENGLISH_SUBMIT, IDC_ENGLISH_QUIT,
                 IDC_ENGLISH_ANSWER, IDC_ENGLISH_PROMPT, IDC_ENGLISH_MARK, IDC_ENGLISH_SHOWN},
                {N_("Exiting English test"),
                 N_("There are no more words in this file. Press Quit Testing to see your score."),
                 N_("English Word: %s"), "english"}) {}

void CEnglishPage::TakeWord(const std::string& headword) {
    // The whole entry is read now, so Submit reads nothing.
    m_strShown = SplitHeadword(headword).dictionaryForm;
    m_strBaseWord = BaseWord(m_strShown);
    const auto lines = ReadDefinitions();
    m_strWord = lines[0] + " " + lines[1] + " " + lines[2];
    Wnd().SetDlgItemText(Controls().prompt, m_strWord);
}

bool CEnglishPage::Judge() {
    Wnd().SetDlgItemText(Controls().shown, m_strShown);
    return IsRight(m_strAnswer, m_strBaseWord);
}
