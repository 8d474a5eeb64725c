// Qt's own texts (the file dialog's buttons and labels, the headings of tavrin --help) in the
// language the program speaks.
#pragma once

class QCoreApplication;

// Installs into `app` Qt's translations for the user's language, from Qt's translations folder
// (Debian's qt6-translations-l10n), as the program's own catalog follows the locale: LANGUAGE
// first, then LC_ALL, LC_MESSAGES and LANG, and nothing in the C and POSIX locales. Call after
// tr::Init(). Returns whether a catalog was found; without one Qt speaks English.
bool InstallQtTranslations(QCoreApplication& app);
