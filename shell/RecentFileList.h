// The files most recently opened as documents, most recent first, without duplicates and never
// more than the list's size. The list lives in the user's settings so it outlives the session;
// only files that actually opened belong in it.
#pragma once

#include <QString>
#include <QStringList>

class QSettings;

class CRecentFileList {
public:
    explicit CRecentFileList(int size) : m_nSize(size) {}

    // Replaces the list with the one stored in `settings`, trimmed to the list's size.
    void ReadList(QSettings& settings);
    // Stores the list in `settings`, replacing whatever was stored before.
    void WriteList(QSettings& settings) const;

    // Puts `path` at the top, removing an earlier entry for the same file.
    void Add(const QString& path);
    // Drops entry `index`; an index outside the list is ignored.
    void Remove(int index);

    const QStringList& Files() const { return m_files; }
    int Size() const { return m_nSize; }

    // "&1 name" and so on: the text of entry `index` in the File menu.
    QString MenuText(int index) const;

private:
    static QString Normalize(const QString& path);

    int m_nSize;
    QStringList m_files;
};
