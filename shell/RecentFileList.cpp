#include "RecentFileList.h"

#include <QFileInfo>
#include <QSettings>

namespace {
constexpr const char* kGroup = "Recent File List";
constexpr const char* kKey = "File";
}  // namespace

QString CRecentFileList::Normalize(const QString& path) {
    // Absolute but not canonical: a link the user chose stays the name the user knows.
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

void CRecentFileList::ReadList(QSettings& settings) {
    m_files.clear();
    const int count = settings.beginReadArray(kGroup);
    for (int i = 0; i < count && m_files.size() < m_nSize; ++i) {
        settings.setArrayIndex(i);
        const QString path = Normalize(settings.value(kKey).toString());
        // A hand-edited settings file may hold blanks or repeats; keep the list's promise.
        if (!path.isEmpty() && !m_files.contains(path)) m_files.append(path);
    }
    settings.endArray();
}

void CRecentFileList::WriteList(QSettings& settings) const {
    settings.remove(kGroup);
    settings.beginWriteArray(kGroup, static_cast<int>(m_files.size()));
    for (int i = 0; i < m_files.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(kKey, m_files[i]);
    }
    settings.endArray();
}

void CRecentFileList::Add(const QString& path) {
    const QString file = Normalize(path);
    if (file.isEmpty()) return;
    m_files.removeAll(file);
    m_files.prepend(file);
    while (m_files.size() > m_nSize) m_files.removeLast();
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < m_files.size()) m_files.removeAt(index);
}

QString CRecentFileList::MenuText(int index) const {
    if (index < 0 || index >= m_files.size()) return {};
    QString name = QFileInfo(m_files[index]).fileName();
    // A "&" in a file name is a letter, not a mnemonic.
    name.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}
