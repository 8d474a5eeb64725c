// Runs tavrin-voc in this process, with the answers as its input, and the vocabulary the quiz
// tests share.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "TavrinVoc.h"
#include "VocRun.h"

inline VocRun RunVoc(std::vector<std::string> args, const std::string& input) {
    args.insert(args.begin(), "tavrin-voc");
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunTavrinVoc(static_cast<int>(argv.size()), argv.data(), {in, out, err});
    return {status, out.str(), err.str()};
}

// One entry as stored: six lines, each ending in CR LF.
inline std::string Entry(const std::string& headword, const std::string& d1 = "",
                         const std::string& d2 = "", const std::string& d3 = "") {
    return headword + "\r\n" + d1 + "\r\n" + d2 + "\r\n" + d3 + "\r\n\r\n\r\n";
}

inline const std::string kPortas =
    Entry("portas porto portare portavi portatum", "carry", "bring", "bear");
inline const std::string kAmat = Entry("amat amo amare amavi amatum", "love", "like");
inline const std::string kRosa = Entry("rosa rosa", "rose");
inline const std::string kThreeWords = kPortas + kAmat + kRosa;

inline const char kLatinIntro[] =
    "Latin to English: type each answer and press Enter; a line :q or Ctrl+D quits with the score.";
