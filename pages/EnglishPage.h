// English to Latin: shows the first three definition lines of each entry and expects the base
// word; after Submit it shows the whole dictionary form.
#pragma once

#include "TestPage.h"

class CEnglishPage : public CTestPage {
public:
    CEnglishPage();

    std::string m_strBaseWord;  // the expected answer

protected:
    void TakeWord(const std::string& headword) override;
    bool Judge() override;
};
