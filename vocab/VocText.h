// Reading the text of a vocabulary file the way a person sees it.
//
// Files come from many editors and eras. A line that is valid UTF-8 is taken as it is; any other
// line is taken as Windows-1252, the code page that the program's original platform wrote its
// files in, and turned into UTF-8 here. What a page shows is then exactly what it compares with
// the answer typed, which is UTF-8. Tools that move lines without looking at them (the
// reordering) read bytes and never come here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "TextFile.h"

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// `bytes` as UTF-8: unchanged when it is valid UTF-8, otherwise converted from Windows-1252.
// The five byte values that Windows-1252 leaves undefined become U+FFFD.
std::string TextAsUtf8(std::string_view bytes);

// How much of one line a reader keeps. A line of a vocabulary file is a word or a few short
// definitions; anything longer comes from a file that is not vocabulary (a log, a dump, one
// huge line with no line end). Keeping 4 KiB at most shows far more than any box can, keeps
// every press quick and the memory small whatever the file holds, and no real line is cut.
constexpr std::size_t kVocLineBytes = 4096;
// Ends a line that was cut, so that the cut shows: U+2026, the ellipsis.
inline constexpr char kCutMark[] = "\xE2\x80\xA6";

// Reads the next line of `file` as TextAsUtf8 gives it. Returns false, with `line` empty, when
// the file has no more text. Throws CFileException as CTextFile::ReadString does.
// A line longer than kVocLineBytes bytes is cut there, at a character's boundary, and ends in
// kCutMark; the rest of it is read past, not kept. The file itself is never changed.
bool ReadVocLine(CTextFile& file, std::string& line);
