#include "ImportRules.h"

#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "Answer.h"
#include "Delimited.h"
#include "Text.h"

namespace {

// The tables of words below are laid out to be read, not as the formatter would put them.

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// clang-format off
// The plain letter of a two-byte UTF-8 letter of Latin-1 (second byte after 0xC3), or null.
// HeaderKey lowers first, so of the capitals (0x80 to 0x9E) none is left; of the second bytes
// below 0xA0 only ß (0x9F, which has no capital of its own here) and × (0x97) are.
const char* PlainOfLatin1(unsigned char second) {
    static constexpr std::array<const char*, 32> kPlain = {
        "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",  // A0-AF
        "d", "n", "o", "o", "o", "o", "o", nullptr, "o", "u", "u", "u", "u", "y", nullptr, "y"};
    if (second == 0x9F) return "ss";
    return second >= 0xA0 && second < 0xC0 ? kPlain[second - 0xA0] : nullptr;
}
// clang-format on

// clang-format off
// Column names, as HeaderKey gives them, in English, German, French, Italian, Spanish and Dutch.
const std::map<std::string_view, ColumnRole>& HeaderNames() {
    static const std::map<std::string_view, ColumnRole> names = [] {
        std::map<std::string_view, ColumnRole> m;
        for (std::string_view n :
             {"textform", "form", "formintext", "inflectedform", "occurrence", "textwort",
              "formimtext", "formedutexte", "formanelitesto", "formaneltesto", "formaeneltexto",
              "vormindetekst", "tekstvorm"}) {
            m.emplace(n, ColumnRole::kForm);
        }
        for (std::string_view n :
             {"latin", "latinword", "latinwords", "latinterm", "latinform", "word", "words",
              "lemma", "headword", "vocab", "vocabulary", "vocable", "term", "entry", "front",
              "question", "dictionaryform", "dictionaryentry", "principalparts", "principalpart",
              "pp", "nominative", "nomsg", "nominativesingular", "genitive", "gensg",
              "genitivesingular", "nom", "gen", "infinitive", "presentinfinitive", "present",
              "perfect", "perfectactive", "supine", "participle", "perfectpassiveparticiple",
              "ppp", "firstperson", "latein", "lateinisch", "lateinischeswort", "wort", "vokabel",
              "lernwort", "grundform", "stammformen", "lexikonform", "latinmot", "motlatin", "mot",
              "formes", "formesprimitives", "enonce", "latino", "parolalatina", "parola",
              "vocabolo", "paradigma", "forma", "latinopalabra", "palabralatina", "palabra",
              "vocablo", "enunciado", "latijn", "latijnswoord", "woord", "stamtijden",
              "woordenboekvorm"}) {
            m.emplace(n, ColumnRole::kLatin);
        }
        for (std::string_view n :
             {"meaning", "meanings", "definition", "definitions", "shortdefinition", "translation",
              "translations", "english", "englishtranslation", "englishmeaning", "gloss",
              "glosses", "back", "answer", "sense", "senses", "deutsch", "german", "bedeutung",
              "bedeutungen", "ubersetzung", "uebersetzung", "englisch", "francais", "french",
              "traduction", "traductions", "sens", "signification", "anglais", "italiano",
              "italian", "traduzione", "significato", "inglese", "espanol", "spanish",
              "castellano", "traduccion", "significado", "ingles", "nederlands", "dutch",
              "betekenis", "vertaling", "engels"}) {
            m.emplace(n, ColumnRole::kMeaning);
        }
        for (std::string_view n :
             {"partofspeech", "pos", "wordtype", "type", "class", "wordclass", "category",
              "categories", "gender", "declension", "conjugation", "decl", "conj", "chapter",
              "lesson", "unit", "section", "tags", "tag", "notes", "note", "comment", "comments",
              "frequency", "freq", "rank", "id", "number", "no", "nr", "test", "quiz", "deck",
              "notetype", "guid", "source", "example", "examples", "level", "week", "stem",
              "pronunciation", "audio", "sound", "image", "picture", "derivatives", "etymology",
              "related", "wortart", "kategorie", "genus", "geschlecht", "deklination",
              "konjugation", "kapitel", "lektion", "einheit", "notiz", "notizen", "anmerkung",
              "bemerkung", "haufigkeit", "nummer", "beispiel", "stufe", "woche", "naturedumot",
              "classegrammaticale", "nature", "categorie", "genre", "declinaison", "conjugaison",
              "chapitre", "lecon", "unite", "remarque", "remarques", "frequence", "numero",
              "exemple", "niveau", "semaine", "partedeldiscorso", "categoriagrammaticale",
              "categoria", "genere", "declinazione", "coniugazione", "capitolo", "lezione", "unita",
              "nota", "note", "frequenza", "esempio", "livello", "settimana",
              "categoriagramatical", "genero", "declinacion", "conjugacion", "capitulo", "leccion",
              "unidad", "notas", "frecuencia", "ejemplo", "nivel", "semana", "woordsoort",
              "soort", "geslacht", "verbuiging", "vervoeging", "hoofdstuk", "les", "opmerking",
              "opmerkingen", "frequentie", "voorbeeld"}) {
            m.emplace(n, ColumnRole::kSkip);
        }
        return m;
    }();
    return names;
}
// clang-format on

// clang-format off
// Cell values that say what kind of word a row is, its gender or its declension: a column of
// them is set aside whatever it is called.
bool IsGrammarLabel(std::string_view cell) {
    static const std::set<std::string, std::less<>> labels = {
        "noun", "verb", "adjective", "adverb", "preposition", "conjunction", "pronoun",
        "interjection", "numeral", "participle", "adj", "adv", "prep", "conj", "pron", "interj",
        "num", "masculine", "feminine", "neuter", "masc", "fem", "neut", "substantiv", "adjektiv",
        "praposition", "konjunktion", "verbe", "adjectif", "adverbe", "sostantivo", "aggettivo",
        "avverbio", "sustantivo", "adjetivo", "adverbio", "zelfstandignaamwoord", "werkwoord",
        "bijvoeglijknaamwoord", "irregular", "deponent", "1st", "2nd", "3rd", "4th", "5th",
        "first", "second", "third", "fourth", "fifth", "phrase", "expression", "idiom"};
    const std::string key = HeaderKey(cell);
    return !key.empty() && labels.count(key) > 0;
}
// clang-format on

// clang-format off
// Words that no Latin dictionary entry holds but meanings in the languages Latin is taught in
// often do.
bool IsMeaningMarker(std::string_view word) {
    static const std::set<std::string, std::less<>> markers = {
        "to", "the", "of", "an", "be", "and", "or", "with", "from", "for", "by", "on", "at",
        "someone", "something", "sb", "sth", "one", "who", "which", "that", "it", "he", "she",
        "zu", "der", "das", "den", "dem", "ein", "eine", "einen", "sein", "und", "oder", "mit",
        "von", "fur", "etwas", "jemand", "jemanden", "sich", "le", "les", "une", "du", "des",
        "etre", "ou", "avec", "pour", "quelque", "quelquun", "qqn", "qqch", "il", "lo", "gli",
        "uno", "una", "essere", "con", "qualcosa", "qualcuno", "el", "los", "las", "ser",
        "estar", "algo", "alguien", "het", "een", "zijn", "van", "met", "iets", "iemand"};
    return markers.count(HeaderKey(word)) > 0;
}
// clang-format on

// Calls `f` with each blank- or punctuation-separated word of `text`.
template <typename F>
void ForEachWord(std::string_view text, F f) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        if (IsBlank(c) || c == ',' || c == ';' || c == '/' || c == '(' || c == ')' || c == '[' ||
            c == ']') {
            if (i > start) f(text.substr(start, i - start));
            start = i + 1;
        }
    }
}

bool IsGenderMark(std::string_view word) {
    const std::string key = HeaderKey(word);
    return key == "m" || key == "f" || key == "n" || key == "c" || key == "mf";
}

// The first letters of a word, lowered, for comparing the stems of forms.
std::string Stem(std::string_view word, std::size_t letters) {
    std::string key = HeaderKey(word);
    if (key.size() < letters) return {};
    key.resize(letters);
    return key;
}

// Whether a cell looks like a Latin dictionary entry: forms that share their first letters
// ("porto, portare"), an ending given alone ("-ae"), or a gender mark ("columba, -ae, f").
bool LooksLatin(std::string_view cell) {
    std::vector<std::string_view> words;
    ForEachWord(cell, [&](std::string_view w) { words.push_back(w); });
    if (words.size() < 2) return false;
    bool latin = false;
    if (IsMeaningMarker(words[0])) return false;
    const std::string first = Stem(words[0], 2);
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string_view w = words[i];
        if (IsMeaningMarker(w)) return false;
        // An ending given alone is "-ae", not a dash between words.
        const bool ending = w.size() > 1 && w.front() == '-';
        if (ending || IsGenderMark(w) || (!first.empty() && Stem(w, 2) == first)) {
            latin = true;
        }
    }
    return latin;
}

bool LooksMeaning(std::string_view cell) {
    bool marker = false;
    ForEachWord(cell, [&](std::string_view w) { marker = marker || IsMeaningMarker(w); });
    return marker;
}

// Whether a cell is a number, a code of one or two letters ("m", "3rd", "f."), or empty.
bool IsCode(std::string_view cell) {
    int letters = 0;
    for (char c : cell) {
        if (IsAsciiLetter(c)) ++letters;
        if (static_cast<unsigned char>(c) >= 0x80 || c == ' ') return false;
    }
    return letters <= 2;
}

std::size_t CountOutsideQuotes(std::string_view line, char c) {
    std::size_t n = 0;
    bool quoted = false;
    for (char ch : line) {
        if (ch == '"') quoted = !quoted;
        if (ch == c && !quoted) ++n;
    }
    return n;
}

// Appends `text` with its runs of blanks as single blanks and no blank at either end.
void AppendCollapsed(std::string& out, std::string_view text) {
    bool blank = false;
    for (char c : Trim(text)) {
        if (IsBlank(c)) {
            blank = true;
            continue;
        }
        if (blank && !out.empty() && out.back() != ' ') out.push_back(' ');
        blank = false;
        out.push_back(c);
    }
}

// Takes notes in brackets out of a meaning; a meaning that is all note keeps the note's words.
std::string WithoutNotes(std::string_view piece) {
    std::string kept;
    std::string notes;
    int depth = 0;
    for (char c : piece) {
        if (c == '(' || c == '[') {
            ++depth;
            notes.push_back(' ');
        } else if ((c == ')' || c == ']') && depth > 0) {
            --depth;
            notes.push_back(' ');
        } else {
            (depth > 0 ? notes : kept).push_back(c);
        }
    }
    std::string out;
    AppendCollapsed(out, Trim(kept).empty() ? std::string_view(notes) : std::string_view(kept));
    return out;
}

bool StartsWithTag(std::string_view text, std::string_view tag) {
    if (text.size() < tag.size()) return false;
    for (std::size_t i = 0; i < tag.size(); ++i) {
        if (AsciiLower(text[i]) != tag[i]) return false;
    }
    return true;
}

// The length of a tag at the start of `text` that ends a line of an Anki field, or 0.
std::size_t LineBreakTag(std::string_view text) {
    for (std::string_view tag : {"<br", "<div", "</div", "<p>", "</p", "<li", "</li"}) {
        if (StartsWithTag(text, tag)) {
            // Closed soon, or not a tag: a stray '<' must not send every later one to the end.
            const std::size_t close = text.substr(0, 256).find('>');
            return close == std::string_view::npos ? 0 : close + 1;
        }
    }
    return 0;
}

}  // namespace

std::string HeaderKey(std::string_view name) {
    // Names are first put in the form answers are compared in (capitals of any alphabet lowered,
    // vowel-length marks out, one Unicode form); then blanks, '_' and punctuation go, and so do
    // the accents of Latin-1 letters, which lists write or leave out at will ("Latín", "Latin").
    const std::string folded = AnswerKey(name, LetterCase::kLowered);
    std::string key;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const auto c = static_cast<unsigned char>(folded[i]);
        if (c < 0x80) {
            if (IsAsciiLetter(static_cast<char>(c)) || (c >= '0' && c <= '9')) {
                key.push_back(AsciiLower(static_cast<char>(c)));
            }
        } else if (c == 0xC3 && i + 1 < folded.size()) {
            if (const char* plain = PlainOfLatin1(static_cast<unsigned char>(folded[++i])))
                key += plain;
        } else {
            key.push_back(static_cast<char>(c));
        }
    }
    return key;
}

namespace {

// The role of a column name as HeaderKey gives it, or of a numbered one ("meaning2", "pp3").
std::optional<ColumnRole> RoleOfKey(std::string key) {
    const auto& names = HeaderNames();
    for (;;) {
        if (const auto it = names.find(key); it != names.end()) return it->second;
        if (key.empty() || key.back() < '0' || key.back() > '9') return std::nullopt;
        while (!key.empty() && key.back() >= '0' && key.back() <= '9') key.pop_back();
    }
}

// The role of one word of a name, as written or as the singular of a plural (English -s and
// -es, German -en, -n and -e, French -s and -x, Italian -i and -e, Spanish -es, Dutch -en and
// -s), or of an adjective's other endings ("lateinische", "anglaise", "italiana").
std::optional<ColumnRole> RoleOfWord(const std::string& key) {
    if (key.size() < 2) return std::nullopt;
    if (const auto role = RoleOfKey(key)) return role;
    const auto without = [&](std::size_t n, std::string_view add = {}) {
        return key.size() > n + 2 ? key.substr(0, key.size() - n) + std::string(add)
                                  : std::string();
    };
    for (const std::string& singular :
         {without(1), without(2), without(3), without(1, "o"), without(1, "a"), without(1, "e")}) {
        if (singular.empty()) continue;
        if (const auto role = RoleOfKey(singular)) return role;
    }
    return std::nullopt;
}

// Words that make a name another column than the one it names ("other forms", "weitere
// Bedeutungen"): such a column's role is not told by its name.
bool IsOtherName(const std::string& key) {
    static const std::set<std::string, std::less<>> other = {
        "other",   "others", "alternative", "alt",   "additional", "extra", "more",  "further",
        "weitere", "andere", "sonstige",    "autre", "autres",     "altro", "altri", "altre",
        "otro",    "otros",  "otra",        "otras", "overige",    "meer"};
    return other.count(key) > 0;
}

// Names that say little alone ("word", "front", "form"): another name beside them says more.
bool IsGenericName(const std::string& key) {
    static const std::set<std::string, std::less<>> generic = {
        "word",   "words",    "term",   "entry", "vocab",   "vocabulary", "vocable", "mot",
        "parola", "palabra",  "woord",  "wort",  "vokabel", "vocabolo",   "vocablo", "front",
        "back",   "question", "answer", "form",  "forma",   "formes"};
    return generic.count(key) > 0;
}

// clang-format off
// Grammatical abbreviations that name the forms of a word: a column named by nothing else
// ("first_sg_pres_act_ind", "prf_pass_ptcp") holds a Latin form.
bool IsFormAbbreviation(const std::string& key) {
    static const std::set<std::string, std::less<>> forms = {
        "sg", "pl", "sing", "plur", "singular", "plural", "nom", "gen", "dat", "acc", "abl", "voc",
        "loc", "pres", "praes", "perf", "prf", "pf", "impf", "plpf", "plupf", "fut", "inf",
        "infin", "ptcp", "ppl", "part", "act", "pass", "ind", "indic", "subj", "conj", "imp",
        "imper", "supine", "sup", "ger", "gerund", "gerundive", "first", "second", "third",
        "fourth", "1st", "2nd", "3rd", "4th", "masc", "fem", "neut", "m", "f", "n",
        "nominative", "genitive", "dative", "accusative", "ablative", "vocative", "present",
        "perfect", "imperfect", "future", "infinitive", "participle", "active", "passive",
        "indicative", "subjunctive", "person", "pers"};
    return forms.count(key) > 0;
}
// clang-format on

// The words of a column name: parted at blanks, punctuation, '_' and '-', at a capital after a
// small letter ("englishTranslation") and between letters and digits; digits alone left out.
std::vector<std::string> NameWords(std::string_view name) {
    std::vector<std::string> words;
    std::string word;
    const auto end = [&] {
        if (!word.empty() && word.find_first_not_of("0123456789") != std::string::npos) {
            words.push_back(HeaderKey(word));
        }
        word.clear();
    };
    char before = 0;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool letter = IsAsciiLetter(c) || u >= 0x80;
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !digit) {
            end();
        } else {
            const bool beforeDigit = before >= '0' && before <= '9';
            if ((c >= 'A' && c <= 'Z' && before >= 'a' && before <= 'z') ||
                (!word.empty() && digit != beforeDigit)) {
                end();
            }
            word.push_back(c);
        }
        before = c;
    }
    end();
    return words;
}

}  // namespace

std::optional<ColumnRole> RoleOfHeaderName(std::string_view name) {
    if (const auto role = RoleOfKey(HeaderKey(name))) return role;
    // Word by word: the first name that says what the column holds, else one that says little,
    // else forms named by their grammar.
    const std::vector<std::string> words = NameWords(name);
    std::optional<ColumnRole> generic;
    bool allForms = !words.empty();
    bool anyForm = false;
    for (const std::string& w : words) {
        if (IsOtherName(w)) return std::nullopt;
        const bool form = IsFormAbbreviation(w);
        anyForm = anyForm || form;
        allForms = allForms && (form || w == "st" || w == "nd" || w == "rd" || w == "th");
        if (form && w.size() <= 3) continue;  // "gen", "part": the forms' names, not others
        const auto role = RoleOfWord(w);
        if (!role) continue;
        if (!IsGenericName(w)) return role;
        if (!generic) generic = role;
    }
    if (allForms && anyForm) return ColumnRole::kLatin;
    return generic;
}

std::optional<std::vector<ColumnRole>> RolesOfHeader(const std::vector<std::string>& cells) {
    std::vector<ColumnRole> roles;
    std::size_t named = 0;
    std::size_t known = 0;
    bool latin = false;
    bool form = false;
    bool meaning = false;
    for (const auto& cell : cells) {
        const auto role = Trim(cell).empty() ? std::nullopt : RoleOfHeaderName(cell);
        named += Trim(cell).empty() ? 0 : 1;
        known += role ? 1 : 0;
        roles.push_back(role.value_or(ColumnRole::kSkip));
        latin = latin || role == ColumnRole::kLatin;
        form = form || role == ColumnRole::kForm;
        meaning = meaning || role == ColumnRole::kMeaning;
    }
    if (!(latin || form) || !meaning || known * 2 <= named) return std::nullopt;
    if (!latin) {
        // A text form and meanings only: the form is all the Latin there is.
        std::replace(roles.begin(), roles.end(), ColumnRole::kForm, ColumnRole::kLatin);
    }
    return roles;
}

const char* RoleName(ColumnRole role) {
    switch (role) {
        case ColumnRole::kForm:
            return "form";
        case ColumnRole::kLatin:
            return "latin";
        case ColumnRole::kMeaning:
            return "meaning";
        case ColumnRole::kSkip:
            break;
    }
    return "skip";
}

std::optional<std::vector<ColumnRole>> ParseColumnRoles(std::string_view text) {
    std::vector<ColumnRole> roles;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string key = HeaderKey(text.substr(start, comma - start));
        bool found = false;
        for (ColumnRole role :
             {ColumnRole::kSkip, ColumnRole::kForm, ColumnRole::kLatin, ColumnRole::kMeaning}) {
            if (key == RoleName(role)) {
                roles.push_back(role);
                found = true;
            }
        }
        if (!found) return std::nullopt;
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return roles;
}

std::vector<std::optional<ColumnRole>> RolesOfContent(
    const std::vector<std::vector<std::string>>& rows, bool* guessed) {
    if (guessed) *guessed = false;
    std::size_t width = 0;
    for (const auto& row : rows) width = std::max(width, row.size());
    std::vector<std::optional<ColumnRole>> roles(width);
    if (width > kMostJudgedColumns) return roles;  // no word list is that wide
    auto cell = [&](const std::vector<std::string>& row, std::size_t column) {
        return column < row.size() ? Trim(row[column]) : std::string_view();
    };

    // Columns set aside: empty, numbers and codes, grammar labels, a few values repeated.
    for (std::size_t column = 0; column < width; ++column) {
        std::set<std::string_view> values;
        std::size_t filled = 0;
        bool codes = true;
        bool labels = true;
        for (const auto& row : rows) {
            const std::string_view c = cell(row, column);
            if (c.empty()) continue;
            ++filled;
            values.insert(c);
            codes = codes && IsCode(c);
            labels = labels && IsGrammarLabel(c);
        }
        if (filled == 0 || codes || labels || (filled >= 6 && values.size() * 3 <= filled)) {
            roles[column] = ColumnRole::kSkip;
        }
    }

    // The rest by what their cells look like; forms of one word spread over columns share
    // their stem ("porto" "portare" "portavi").
    std::vector<std::size_t> latin(width), shared(width), meaning(width), filled(width);
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < width; ++column) {
            if (roles[column]) continue;
            const std::string_view c = cell(row, column);
            if (c.empty()) continue;
            ++filled[column];
            const bool isLatin = LooksLatin(c);
            const std::string stem = Stem(c, 2);
            bool stemShared = false;
            for (std::size_t other = 0; other < width && !stemShared && !stem.empty(); ++other) {
                stemShared = other != column && !roles[other] &&
                             Stem(cell(row, other), 2) == stem && !LooksMeaning(c);
            }
            latin[column] += isLatin ? 1 : 0;
            shared[column] += stemShared ? 1 : 0;
            meaning[column] += !isLatin && !stemShared && LooksMeaning(c) ? 1 : 0;
        }
    }
    std::vector<std::size_t> open;
    for (std::size_t column = 0; column < width; ++column) {
        if (roles[column]) continue;
        open.push_back(column);
        // A stem shared by chance ("rosa" "rose") is no sign; shared on most rows, it is.
        if (shared[column] * 2 > filled[column])
            latin[column] = std::max(latin[column], shared[column]);
        if (latin[column] * 4 >= filled[column] && latin[column] > meaning[column]) {
            roles[column] = ColumnRole::kLatin;
        } else if (meaning[column] * 4 >= filled[column] && meaning[column] > latin[column]) {
            roles[column] = ColumnRole::kMeaning;
        }
    }
    // A column of single words before a Latin column of several forms, each word sharing its
    // first letters with the Latin, is the text form as it stands in the text ("portas" before
    // "porto portare").
    for (std::size_t column = 0; column + 1 < width; ++column) {
        if (roles[column] == ColumnRole::kMeaning || roles[column + 1] != ColumnRole::kLatin)
            continue;
        std::size_t single = 0, several = 0, stems = 0, both = 0;
        for (const auto& row : rows) {
            const std::string_view a = cell(row, column);
            const std::string_view b = cell(row, column + 1);
            if (a.empty() || b.empty()) continue;
            ++both;
            single += a.find_first_of(" ,;") == std::string_view::npos ? 1 : 0;
            several += b.find(' ') != std::string_view::npos ? 1 : 0;
            stems += !Stem(a, 2).empty() && Stem(a, 2) == Stem(b, 2) ? 1 : 0;
        }
        if (both > 0 && single == both && several * 2 > both && stems * 2 > both) {
            roles[column] = ColumnRole::kForm;
        }
    }
    // One column left untold: every list has Latin and meanings, so it is the one missing.
    const auto untold = std::count(roles.begin(), roles.end(), std::nullopt);
    if (untold == 1 && open.size() > 2) {
        const bool hasLatin = std::count(roles.begin(), roles.end(), ColumnRole::kLatin) > 0;
        const bool hasMeaning = std::count(roles.begin(), roles.end(), ColumnRole::kMeaning) > 0;
        auto& role = *std::find(roles.begin(), roles.end(), std::nullopt);
        if (hasLatin && !hasMeaning) role = ColumnRole::kMeaning;
        if (hasMeaning && !hasLatin) role = ColumnRole::kLatin;
        if (guessed) *guessed = role.has_value();
    }
    // Two columns left: the Latin comes first, as on a card, unless their content says otherwise.
    if (open.size() == 2) {
        auto& a = roles[open[0]];
        auto& b = roles[open[1]];
        if (!a && !b) {
            a = ColumnRole::kLatin;
            b = ColumnRole::kMeaning;
        } else if (!a || !b) {
            auto& unknown = a ? b : a;
            const ColumnRole known = a ? *a : *b;
            unknown = known == ColumnRole::kLatin ? ColumnRole::kMeaning : ColumnRole::kLatin;
        }
    }
    return roles;
}

bool IsHeaderByContrast(const std::vector<std::vector<std::string>>& rows) {
    if (rows.size() < 3) return false;
    const std::vector<std::string>& first = rows[0];
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (rows[r] == first) return false;
    }
    const auto cell = [](const std::vector<std::string>& row, std::size_t column) {
        return column < row.size() ? Trim(row[column]) : std::string_view();
    };
    bool known = false;
    for (const auto& name : first) known = known || RoleOfHeaderName(name).has_value();
    for (std::size_t column = 0; column < first.size(); ++column) {
        const std::string_view name = cell(first, column);
        // A name: letters (over numbers, a short one such as "Nr" will do; over codes, more
        // than a code has), and no dictionary entry itself.
        const auto letters = std::count_if(name.begin(), name.end(), [](char c) {
            return IsAsciiLetter(c) || static_cast<unsigned char>(c) >= 0x80;
        });
        if (letters == 0 || LooksLatin(name)) continue;
        // Codes repeat (genders, declensions) or are numbers; short words of a list do not.
        std::size_t filled = 0, codes = 0, numbers = 0, entries = 0;
        std::set<std::string_view> values;
        for (std::size_t r = 1; r < rows.size(); ++r) {
            const std::string_view c = cell(rows[r], column);
            if (c.empty()) continue;
            ++filled;
            values.insert(c);
            codes += IsCode(c) ? 1 : 0;
            numbers += c.find_first_not_of("0123456789.") == std::string_view::npos ? 1 : 0;
            entries += LooksLatin(c) ? 1 : 0;
        }
        if (filled < 2) continue;
        const bool longName = letters >= 3 && !IsCode(name);
        if (numbers == filled) return true;
        if (longName && codes == filled && values.size() < filled) return true;
        if (longName && known && entries * 5 >= filled * 4) return true;
    }
    return false;
}

Separator GuessSeparator(std::string_view start) {
    std::vector<std::string_view> lines;
    bool frontMatter = false;
    for (std::size_t pos = 0; pos < start.size() && lines.size() < 40;) {
        const std::size_t lf = start.find('\n', pos);
        if (lf == std::string_view::npos && !lines.empty()) break;  // perhaps cut short
        const std::string_view line = start.substr(pos, lf - pos);
        if (Trim(line) == "---" && (pos == 0 || frontMatter)) frontMatter = !frontMatter;
        if (!frontMatter && !IsNonWordLine(line)) lines.push_back(line);
        if (lf == std::string_view::npos) break;
        pos = lf + 1;
    }
    Separator guess;
    if (lines.empty()) return guess;
    // Each candidate is weighed by how many lines hold it the same number of times, as a
    // separator is held; one that half the lines or more lack is none. The most consistent is
    // taken, this order breaking ties only: the field separators that fields seldom hold, then
    // the texts of line lists (so that "rosa, rosae - rose" is a line list), then ',' and '/'.
    struct Candidate {
        char delimiter;
        std::string_view text;  // a line list's; empty for a delimiter
    };
    static constexpr Candidate kCandidates[] = {{'\t', {}},
                                                {';', {}},
                                                {'|', {}},
                                                {',', " : "},
                                                {',', " \xE2\x80\x93 "},
                                                {',', " \xE2\x80\x94 "},
                                                {',', " - "},
                                                {',', " = "},
                                                {',', ": "},
                                                {',', {}},
                                                {'/', {}}};
    std::size_t bestSame = 0;
    for (const Candidate& c : kCandidates) {
        std::map<std::size_t, std::size_t> linesWithCount;
        std::size_t holding = 0;
        for (std::string_view line : lines) {
            std::size_t n = 0;
            if (c.text.empty()) {
                n = CountOutsideQuotes(line, c.delimiter);
            } else {
                for (std::size_t at = line.find(c.text); at != std::string_view::npos;
                     at = line.find(c.text, at + c.text.size())) {
                    ++n;
                }
            }
            if (n == 0) continue;
            ++holding;
            ++linesWithCount[n];
        }
        if (holding * 2 <= lines.size()) continue;
        std::size_t same = 0;
        for (const auto& [count, n] : linesWithCount) same = std::max(same, n);
        if (same > bestSame) {
            bestSame = same;
            guess.delimiter = c.delimiter;
            guess.lineList = c.text;
        }
    }
    return guess;
}

bool IsNonWordLine(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == '#') return true;
    // A Markdown rule or front matter fence: "---", "***", "___", "===".
    return line.size() >= 3 && line.find_first_not_of("-*_= ") == std::string_view::npos;
}

void SplitLine(std::string_view line, std::string_view separator,
               std::vector<std::string>& fields) {
    fields.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = line.find(separator, start);
        fields.emplace_back(Trim(line.substr(start, at - start)));
        if (at == std::string_view::npos) break;
        start = at + separator.size();
    }
}

std::string HeadwordOfLatin(std::string_view latin, std::string_view form) {
    latin = Trim(latin);
    // An enclitic written with its dash ("-ne", "–que") is typed without it.
    for (std::string_view dash : {"-", "\xE2\x80\x93", "\xE2\x80\x94"}) {
        if (latin.starts_with(dash) && latin.size() > dash.size() && !IsBlank(latin[dash.size()])) {
            latin.remove_prefix(dash.size());
        }
    }
    std::string dictionary;
    int depth = 0;
    for (char c : latin) {
        if (c == '(' || c == '[') ++depth;
        if ((c == ')' || c == ']') && depth > 0) --depth;
        dictionary.push_back(depth == 0 && (c == ',' || c == ';' || IsBlank(c)) ? ' ' : c);
    }
    std::string collapsed;
    AppendCollapsed(collapsed, dictionary);
    // The base word without a colon after it ("amo:").
    const std::size_t firstEnd = std::min(collapsed.find(' '), collapsed.size());
    if (firstEnd > 0 && collapsed[firstEnd - 1] == ':') collapsed.erase(firstEnd - 1, 1);
    if (collapsed.empty()) return {};

    const std::string_view given = Trim(form);
    std::string text(given.substr(0, given.find_first_of(" \t")));
    while (!text.empty() && (text.back() == ',' || text.back() == ';' || text.back() == ':')) {
        text.pop_back();
    }
    if (text.empty()) text = collapsed.substr(0, collapsed.find(' '));
    text += ' ';
    text += collapsed;
    return text;
}

std::vector<std::string> MeaningsOfCell(std::string_view cell, bool html) {
    std::vector<std::string> meanings;
    auto take = [&](std::string_view chunk) {
        const std::string text = html ? HtmlToText(chunk) : std::string(chunk);
        int depth = 0;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= text.size(); ++i) {
            const char c = i < text.size() ? text[i] : ';';
            if (c == '(' || c == '[') ++depth;
            if ((c == ')' || c == ']') && depth > 0) --depth;
            if (depth > 0 || (c != ';' && c != ',' && c != '/' && c != '\n')) continue;
            std::string meaning = WithoutNotes(std::string_view(text).substr(start, i - start));
            if (!meaning.empty() && meanings.size() < kMostMeaningsTaken &&
                std::find(meanings.begin(), meanings.end(), meaning) == meanings.end()) {
                meanings.push_back(std::move(meaning));
            }
            start = i + 1;
        }
    };
    std::size_t start = 0;
    for (std::size_t i = 0; i < cell.size();) {
        const std::size_t tag = cell[i] == '<' ? LineBreakTag(cell.substr(i)) : 0;
        if (tag == 0) {
            ++i;
            continue;
        }
        take(cell.substr(start, i - start));
        i += tag;
        start = i;
    }
    take(cell.substr(start));
    return meanings;
}

MeaningStops StopsOfMeanings(const std::vector<std::string_view>& cells) {
    MeaningStops stops;
    std::size_t filled = 0, stopped = 0;
    for (std::string_view cell : cells) {
        cell = Trim(cell);
        if (cell.empty()) continue;
        ++filled;
        stopped += cell.back() == '.' ? 1 : 0;
        // A word with a stop that more of the cell follows is an abbreviation of the list's.
        std::size_t start = 0;
        for (std::size_t i = 0; i < cell.size(); ++i) {
            if (IsBlank(cell[i])) {
                start = i + 1;
            } else if (cell[i] == '.' && i + 1 < cell.size() &&
                       (IsBlank(cell[i + 1]) || cell[i + 1] == ',' || cell[i + 1] == ';') &&
                       Trim(cell.substr(i + 1)).find_first_not_of(",;") != std::string_view::npos) {
                std::string word = AsciiLower(cell.substr(start, i + 1 - start));
                if (std::find(stops.abbreviations.begin(), stops.abbreviations.end(), word) ==
                    stops.abbreviations.end()) {
                    stops.abbreviations.push_back(std::move(word));
                }
            }
        }
    }
    stops.dropped = filled >= 2 && stopped * 2 >= filled;
    return stops;
}

void DropEndingStop(std::string& meaning, const MeaningStops& stops) {
    if (!stops.dropped || meaning.size() < 2 || meaning.back() != '.' ||
        meaning[meaning.size() - 2] == '.') {
        return;
    }
    const std::size_t blank = meaning.find_last_of(' ');
    const std::string word =
        AsciiLower(std::string_view(meaning).substr(blank == std::string::npos ? 0 : blank + 1));
    if (std::find(stops.abbreviations.begin(), stops.abbreviations.end(), word) !=
        stops.abbreviations.end()) {
        return;
    }
    meaning.pop_back();
}

std::string WithoutEmphasis(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '*') continue;
        if (c == '_') {
            // At a word's start or end: after or before a blank, punctuation or the text's end.
            const auto edge = [](char n) {
                return IsBlank(n) || n == ',' || n == ';' || n == '.' || n == ':' || n == '*' ||
                       n == '_';
            };
            const bool start = i == 0 || edge(text[i - 1]);
            const bool end = i + 1 == text.size() || edge(text[i + 1]);
            if (start || end) continue;
        }
        out.push_back(c);
    }
    return out;
}

bool IsOnlyPicture(std::string_view field) {
    bool picture = false;
    for (std::size_t i = 0; i < field.size();) {
        if (StartsWithTag(field.substr(i), "<img")) {
            const std::size_t close = field.find('>', i);
            if (close == std::string_view::npos) return false;
            picture = true;
            i = close + 1;
        } else if (IsBlank(field[i])) {
            ++i;
        } else if (field.substr(i).starts_with("&nbsp;")) {
            i += 6;
        } else {
            return false;
        }
    }
    return picture;
}

bool IsCloze(std::string_view field) {
    for (std::size_t at = field.find("{{c"); at != std::string_view::npos;
         at = field.find("{{c", at + 1)) {
        std::size_t i = at + 3;
        while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
        if (i > at + 3 && field.substr(i).starts_with("::")) return true;
    }
    return false;
}
