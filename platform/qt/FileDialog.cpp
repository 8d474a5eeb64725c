// The open-file dialog, as the vocabulary file choices expect it: Qt's own widget dialog (the
// same everywhere, and drivable from tests), filters given as "label|pattern|...||".
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include "QtWindows.h"

QStringList QtNameFilters(const std::string& filter) {
    const QStringList parts = ToQString(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty()) break;  // the "||" that ends the list
        const QString label = ShownText(FromQString(parts[i]));
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        // "*.*" has always meant every file, also one whose name has no dot.
        for (QString& p : patterns) {
            if (p.trimmed() == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        // Qt reads the patterns from the last parentheses and, with the details hidden, shows
        // what stands before them: the label exactly as given.
        filters << label + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

std::optional<std::string> ChooseFileToOpen(QWidget* owner, const std::string& defaultExt,
                                            const std::string& filter) {
    QFileDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("openFileDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The file need not exist: the builder names a new file here.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDirectory(QDir::currentPath());
    const QStringList filters = QtNameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    const QString suffix = ToQString(defaultExt);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    QString path = files.first();
    // The default suffix is for names typed without one; an existing file whose name has no
    // dot, picked from the list, is that file and not a new name with ".voc" added.
    if (!suffix.isEmpty() && path.endsWith(u'.' + suffix) && !QFileInfo::exists(path)) {
        const QString asPicked = path.left(path.size() - suffix.size() - 1);
        if (QFileInfo(asPicked).isFile()) path = asPicked;
    }
    // A path is the file system's bytes, which need not be UTF-8.
    const QByteArray bytes = QFile::encodeName(QDir::toNativeSeparators(path));
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}
