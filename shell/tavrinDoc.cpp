#include "tavrinDoc.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

bool CTavrinDoc::OnNewDocument() {
    m_strPathName.clear();
    return true;
}

bool CTavrinDoc::OnOpenDocument(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (info.isDir()) {
        // A folder opens for reading on Linux, but it is no document.
        if (error) *error = QCoreApplication::translate("CTavrinDoc", "It is a folder.");
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
