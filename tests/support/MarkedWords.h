// A vocabulary as today's Latin lists are written: proper names and German nouns with
// capitals, long vowels marked, and one base word saved decomposed (o and a combining macron),
// as some systems save it.
#pragma once

inline constexpr char kMarkedWords[] =
    "Galliam Gallia Galliae\r\nGaul\r\n\r\n\r\n\r\n\r\n"
    "amās amo\u0304 amāre amāvī amātum\r\nI love\r\nlike\r\n\r\n\r\n\r\n"
    "bellō bellum bellī\r\nKrieg\r\nwar\r\n\r\n\r\n\r\n"
    "Caesarem Caesar Caesaris\r\nCaesar\r\n\r\n\r\n\r\n\r\n";
