#include "tavrinDoc.h"

#include <QFile>
#include <QFileInfo>

#include "Tr.h"

bool CTavrinDoc::OnNewDocument() {
    m_strPathName.clear();
    return true;
}

bool CTavrinDoc::OnOpenDocument(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (info.isDir()) {
        // A folder opens for reading on Linux, but it is no document.
        // English here: the message box that shows it translates.
        if (error) *error = QStringLiteral(N_("It is a folder."));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    file.close();
    m_strPathName = info.absoluteFilePath();
    m_strTitle = info.fileName();
    return true;
}
