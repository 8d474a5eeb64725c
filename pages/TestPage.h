// The rules that the three test pages share.
//
// A page walks through a vocabulary file one word entry at a time, driven by four buttons:
// Begin Test, Next Word, Submit and Quit. This class holds the flags and counters, checks every
// press in a fixed order, counts and marks the answers, and composes the score; each page says
// only which lines it reads when, what it shows and what it compares (TakeWord and Judge).
#pragma once

#include <array>
#include <string>

#include "AnswerLog.h"
#include "DialogLogic.h"
#include "TextFile.h"
#include "Tr.h"

// The control ids of one page.
struct TestPageControls {
    int begin, next, submit, quit;  // buttons
    int answer;                     // the answer box
    int prompt;                     // the word asked
    int mark;                       // "Correct Answer" or "Wrong Answer"
    int shown;                      // the expected answer, after Submit
};

// Texts that differ between pages.
struct TestPageTexts {
    const char* exitNotice;   // Quit with no file open
    const char* endOfFile;    // Next Word with no word left
    const char* askedFormat;  // the word asked, as its label names it: "Latin Word: %s"
    const char* cardName;     // the page's name where answers are recorded
};

// The result code with which Quit ends the whole test sheet.
constexpr int kQuitResult = 32771;

// "Score = 66.67%": the share of correct answers to four significant digits.
tr::Message ScoreNotice(int correct, int asked);

class CTestPage : public CDialogLogic {
public:
    void OnBeginTest();
    void OnNextWord();
    void OnSubmit();
    void OnQuitTesting();

    bool OnCommand(int id) override;
    const TestPageControls& Controls() const { return m_ids; }

    // Each marked answer is reported to `log` from now on; none is without one.
    void SetAnswerLog(IAnswerLog* log) { m_pAnswerLog = log; }
    const char* CardName() const { return m_texts.cardName; }

    // The page's state. Only the handlers write it; it is public so tests can check invariants.
    std::string m_strAnswer;
    std::string m_strWord;
    std::string m_strShown;
    CTextFile m_vocFile;
    int m_nAsked = 0;
    int m_nCorrect = 0;
    int m_bTestStarted = 0;  // a file was opened and its first word shown
    int m_bSubmitted = 0;    // the word shown has been answered
    int m_bWordReady = 1;    // the word shown awaits an answer
    int m_bFileOpen = 0;     // the result of the last open of m_vocFile

protected:
    CTestPage(int templateId, const TestPageControls& ids, const TestPageTexts& texts);

    // Takes the word entry whose headword line has just been read: reads what the page reads
    // of it at Begin Test and Next Word, and shows the prompt. May throw CFileException.
    virtual void TakeWord(const std::string& headword) = 0;
    // Judges m_strAnswer against the word shown and fills the answer display. Returns whether
    // the answer is correct. May throw CFileException.
    virtual bool Judge() = 0;

    // Reads the five definition lines of the entry in hand; lines past the end come back empty.
    std::array<std::string, 5> ReadDefinitions();

    // Whether `answer` is right for `expected`, the file's text, taken as this page's answer
    // box takes what is typed: lowered where the box lowers it.
    bool IsRight(const std::string& answer, const std::string& expected) const;

private:
    void Refuse(const char* text);
    void ReportReadError();
    void ReadyForNextWord();
    void AskForAnswer();
    tr::Message Asked() const;

    TestPageControls m_ids;
    TestPageTexts m_texts;
    IAnswerLog* m_pAnswerLog = nullptr;
    std::string m_strHeadword;  // of the word shown
    std::string m_strPath;      // of the file open
};
