// The vocabulary file builder: names a new file, then appends one word entry per SUBMIT.
//
// Every SUBMIT reaches the disk before the boxes are cleared, so a crash or a dialog closed
// with Esc never costs a word that the user saw accepted. A write that fails (a full disk)
// leaves the file ending after its last whole entry and the word still in the boxes.
#pragma once

#include "DialogLogic.h"
#include "TextFile.h"

class CMakeVoc : public CDialogLogic {
public:
    CMakeVoc();

    void OnCreateVocFile();
    void OnSubmit();
    void OnFinish();

    bool OnCommand(int id) override;

    // Public so tests can check the file and its flag; only the handlers write them.
    CTextFile m_vocFile;  // its destructor closes a file still open, keeping every entry
    int m_bFileOpen = 0;  // the result of the last open of m_vocFile

private:
    void ReportWriteError(const CFileException& e, const char* outcome);
};
