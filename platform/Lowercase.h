// How an edit box that lowers what is entered lowers it: the one rule of the windows' answer
// boxes, the terminal's, and the comparison that lowers the file's side to meet them.
#pragma once

#include <string>
#include <string_view>

// `text` with every letter lowered by Unicode's simple case mapping: one letter for one letter,
// whatever the letters around it. A box lowers as keys are pressed, one letter at a time; only
// a mapping that ignores context and never turns one letter into two gives the same text typed
// key by key as pasted whole (full mapping would lower a final capital sigma to the final form
// when it is typed last, and dotted capital I to i with a combining dot, which no student
// types). So: Ä to ä, ẞ to ß, Σ to σ, İ to i. Bytes that are not UTF-8 stay as they are.
std::string LowerAsTyped(std::string_view text);
