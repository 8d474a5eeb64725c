// Latin to English: shows the text form of each entry and takes any of its five definition
// lines as a correct answer; after Submit it shows the first three.
#pragma once

#include "TestPage.h"

class CLatinPage : public CTestPage {
public:
    CLatinPage();

    int m_bCorrect = 0;  // set during Submit when a definition line equals the answer

protected:
    void TakeWord(const std::string& headword) override;
    bool Judge() override;
};
