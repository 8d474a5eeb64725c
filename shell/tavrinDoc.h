// The document behind a document window. It holds no vocabulary: the tests and tools open their
// own files. Opening a file as a document only proves the file can be read and takes its name as
// the title; nothing is read, nothing is ever written, and the document is never modified, so
// closing it never asks to save.
#pragma once

#include <QString>

class CTavrinDoc {
public:
    CTavrinDoc() = default;

    // Starts an empty document; always succeeds.
    bool OnNewDocument();
    // Takes `path` as the document's file: checks it opens for reading and closes it again at
    // once, so the file is neither read nor held. On failure returns false and leaves the reason
    // in `error`; the document stays as it was.
    bool OnOpenDocument(const QString& path, QString* error);

    const QString& GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& title) { m_strTitle = title; }
    // The document's file, empty for a new document.
    const QString& GetPathName() const { return m_strPathName; }
    bool IsModified() const { return false; }

private:
    QString m_strTitle;
    QString m_strPathName;
};
