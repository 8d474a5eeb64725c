// Word Parts: shows the text form of each entry and expects the base word, the first word of
// its dictionary form; after Submit it shows the base word. Its answer box keeps capitals.
#pragma once

#include "TestPage.h"

class CWordPage : public CTestPage {
public:
    CWordPage();

    std::string m_strLine;  // the headword line as read; once split, the dictionary form

protected:
    void TakeWord(const std::string& headword) override;
    bool Judge() override;
};
