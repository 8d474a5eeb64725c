// The program's translations: one gettext text domain, "tavrin", for the windows and for
// tavrin-voc alike. No Qt here, so both front ends share it.
//
// The English texts are the catalog's keys, so the C, POSIX and English locales show every text
// exactly as written in the sources. Logic code never translates: it marks its texts with N_()
// so that xgettext finds them, and each front end translates once, where a text is shown, with
// tr::Shown(). Texts the logic formats with numbers are recognised there by the formats listed
// in Tr.cpp (see tr::Shown).
#pragma once

#include <string>
#include <vector>

// Marks a text for the catalog where it is kept as data; translates nothing.
#define N_(text) text
// Marks a singular/plural pair kept as data.
#define NP_(singular, plural) singular, plural
// Translates a text the code itself shows.
#define _(text) ::tr::Gettext(text)
// The form of `singular`/`plural` (printf formats with one count, "%lu") that the language
// uses for `count`, with the count put in; or, given values after the count, with those put in
// as tr::Format puts them (the count among them, as text, where the format shows it).
#define P_(singular, plural, ...) ::tr::Plural(singular, plural, __VA_ARGS__)

namespace tr {

// Follows the user's locale (LANGUAGE, LC_ALL, LC_MESSAGES, LANG) and finds the catalogs: beside
// the program (its folder's ../share/locale, as installed or as in the build tree), else the
// folder the program was installed for. Call once, first thing in main().
void Init();

// Reads the catalogs from `localeDir` from now on (tests; a build tree).
void BindDir(const std::string& localeDir);

// The folder Init() chose.
std::string LocaleDir();

// The translation of `msgid`, or `msgid` itself.
// The format checks of the compiler see through it to `msgid`.
__attribute__((format_arg(1))) const char* Gettext(const char* msgid);

// See P_().
std::string Plural(const char* singular, const char* plural, unsigned long count);
std::string Plural(const char* singular, const char* plural, unsigned long count,
                   const std::vector<std::string>& values);

// `format` (as translated) with its conversions replaced by `values` in order, or by position
// where the translation reorders them ("%2$s ... %1$s"): for texts with values that are not a
// count, e.g. Format(_("same text form as line %s"), {std::to_string(line)}).
std::string Format(const char* format, const std::vector<std::string>& values);

// `text` as the user's language shows it: a catalog entry as a whole; else a text made from one
// of the logic's known formats, its values kept and the format translated; else each line by
// itself where the text has several; else unchanged. Never use it for a file's contents.
std::string Shown(const std::string& text);

}  // namespace tr
