// The program's translations: one gettext text domain, "tavrin", for the windows and for
// tavrin-voc alike. No Qt here, so both front ends share it.
//
// The English texts are the catalog's keys, so the C, POSIX and English locales show every text
// exactly as written in the sources. Logic code never translates: it marks its texts with N_()
// so that xgettext finds them, and hands a front end a tr::Message, which the front end shows
// once, where the user sees it (Message::Shown). A text with values travels as its English
// format and the values themselves, never as a finished sentence, so translating it needs no
// guessing and its numbers never take the C library's locale.
#pragma once

#include <concepts>
#include <memory>
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

class Message;

// One value of a message: a name or a file's words (shown as they are), a number (written the
// same in every locale: decimal digits, '.' before a fraction), or another of the program's
// texts (shown in the user's language).
class Value {
public:
    Value(std::string text) : m_kind(Kind::kText), m_text(std::move(text)) {}
    Value(const char* text) : Value(std::string(text)) {}
    template <std::signed_integral T>
    requires(!std::same_as<T, char>) Value(T n) : m_kind(Kind::kSigned), m_signed(n) {}
    template <std::unsigned_integral T>
    requires(!std::same_as<T, bool> && !std::same_as<T, char>) Value(T n)
        : m_kind(Kind::kUnsigned), m_unsigned(n) {}
    Value(double x) : m_kind(Kind::kReal), m_real(x) {}
    Value(Message nested);

private:
    friend class Message;
    enum class Kind { kText, kSigned, kUnsigned, kReal, kNested };
    Kind m_kind;
    std::string m_text;
    long long m_signed = 0;
    unsigned long long m_unsigned = 0;
    double m_real = 0;
    std::shared_ptr<const Message> m_nested;
};

// A text of the program's own as the logic hands it to a front end, to be shown in the user's
// language. Either a whole text (a plain std::string or const char* converts to one), or an
// English printf format marked N_() or NP_() with the values its conversions take.
class Message {
public:
    // A whole text: the catalog's entry for it, else each line's entry where it has several
    // lines, else the text itself (a file's words, say).
    Message(std::string text) : m_kind(Kind::kWhole), m_text(std::move(text)) {}
    Message(const char* text) : Message(std::string(text)) {}
    // `format` (a catalog key) with its conversions ("%s", "%d", "%lu", "%.4g", "%%", and
    // "%2$s" where a translation reorders them) filled from `values` in order.
    Message(const char* format, std::vector<Value> values);
    // The form of `singular`/`plural` (NP_()) that the language uses for `count`, filled from
    // `values`, which hold the count too where the format shows it.
    Message(const char* singular, const char* plural, unsigned long count,
            std::vector<Value> values);

    // Several texts shown one below the other, each translated by itself.
    static Message Lines(std::vector<Message> lines);

    // The English text, filled in: what the logic's tests see.
    std::string English() const;
    // The text in the user's language, filled in.
    std::string Shown() const;

private:
    enum class Kind { kWhole, kFormat, kLines };
    std::string Text(bool shown) const;

    Kind m_kind;
    std::string m_text;    // the whole text; the format, or its singular form
    std::string m_plural;  // with a count: the plural form
    unsigned long m_count = 0;
    bool m_hasCount = false;
    std::vector<Value> m_values;
    std::vector<Message> m_lines;
};

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

// `text` as the user's language shows it: a catalog entry as a whole; else each line by itself
// where the text has several; else unchanged. Never use it for a file's contents.
std::string Shown(const std::string& text);

}  // namespace tr
