#include "WordPage.h"

#include "Resource.h"
#include "Tr.h"
#include "VocFormat.h"

CWordPage::CWordPage()
    : CTestPage(IDD_WORD_PAGE,
                {IDC_WORD_BEGIN, IDC_WORD_NEXT, IDC_WORD_SUBMIT, IDC_WORD_QUIT, IDC_WORD_ANSWER,
                 IDC_WORD_PROMPT, IDC_WORD_MARK, IDC_WORD_SHOWN},
                {N_("Exiting Word Parts test"),
                 N_("There are no more words in this file. Press Quit Test to see your score."),
                 N_("Latin Word: %s"), "parts"}) {}

void CWordPage::TakeWord(const std::string& headword) {
    Headword parts = SplitHeadword(headword);
    m_strWord = std::move(parts.textForm);
    m_strLine = std::move(parts.dictionaryForm);
    m_strShown = BaseWord(m_strLine);
    ReadDefinitions();  // never shown on this page
    Wnd().SetDlgItemText(Controls().prompt, m_strWord);
}

bool CWordPage::Judge() {
    Wnd().SetDlgItemText(Controls().shown, m_strShown);
    return IsRight(m_strAnswer, m_strShown);
}
