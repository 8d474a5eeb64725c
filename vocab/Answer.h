// Whether an answer is right: the one comparison of the three test pages, of the terminal's
// quiz through them, and of `tavrin-voc check`.
//
// An answer and the file's text match when they are the same text once both sides have been
// through the same three steps:
// - the marks of vowel length are left out: the macron on any letter and the breve on a Latin
//   vowel, combining or precomposed, in either case ("amo" and "amō" both match amō). Today's
//   Latin lists mark long vowels everywhere, and no answer box offers a key for them. A breve
//   on anything else (Cyrillic й, Turkish ğ) makes a letter of its own and stays;
// - the Greek final sigma counts as sigma, since lowering a capital sigma cannot know whether
//   the word goes on (Σ lowers to σ, while a Greek keyboard types ς at a word's end);
// - where the page's answer box lowers what is typed, the file's side is lowered by the same
//   rule (LowerAsTyped), so a meaning "Gaul" or a base word "Roma" can be answered there;
// and both are compared in one Unicode normal form (NFC), so that a file saved with combining
// marks (NFD) matches what a keyboard types. Nothing else is forgiven: other accents (é is not
// e), blanks, and capitals where the box keeps them all count.
#pragma once

#include <string>
#include <string_view>

enum class LetterCase {
    kKept,     // the answer box keeps capitals: so does the comparison
    kLowered,  // the answer box lowers what is typed: the file's side is lowered to meet it
};

// The form in which `text` is compared, in UTF-8 NFC. A text that is not valid UTF-8 is kept
// as it is (lowered where asked), so it matches only the same bytes.
std::string AnswerKey(std::string_view text, LetterCase letters);

// Whether `answer` is right for `expected`.
bool AnswerMatches(std::string_view answer, std::string_view expected, LetterCase letters);

// Whether `text` holds a letter that lowering changes: one that must be typed as a capital
// where the answer box keeps capitals, and need not be where it lowers them.
bool HoldsCapital(std::string_view text);
