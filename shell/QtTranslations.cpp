#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <clocale>
#include <cstring>

bool InstallQtTranslations(QCoreApplication& app) {
    // gettext heeds no LANGUAGE in these locales, and neither do we: a script that asks for C
    // gets Qt's English too.
    const char* messages = std::setlocale(LC_MESSAGES, nullptr);
    if (!messages || std::strcmp(messages, "C") == 0 || std::strcmp(messages, "POSIX") == 0) {
        return false;
    }
    // Qt reads LANGUAGE, LC_ALL, LC_MESSAGES and LANG as gettext does, including the LANGUAGE
    // that tr::Init() sets for a locale that was never generated. qt_XX loads qtbase_XX and the
    // other modules' catalogs; where only qtbase_XX is installed, that is all the program needs.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* catalog : {"qt", "qtbase"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QLocale::system(), QLatin1String(catalog), QStringLiteral("_"),
                             folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
        delete translator;
    }
    return false;
}
