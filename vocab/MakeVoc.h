// The vocabulary file builder: names a file, then appends one word entry per SUBMIT.
//
// A file that already holds words is not emptied unasked: the user may add to it, replace it
// or change nothing. Adding first finishes a last line or entry left incomplete, so that every
// new word starts where a word must start, and no failure ever cuts into the words it held.
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
    // Ends the file just opened for adding after a whole entry. On failure the file is closed,
    // holds the bytes it had, and `error` says why.
    bool CompleteLastEntry(CFileException& error);
    void ReportWriteError(const CFileException& e, const char* outcome);
};
