// Reading the text of a vocabulary file the way a person sees it.
//
// Files come from many editors and eras. A line that is valid UTF-8 is taken as it is; any other
// line is taken as Windows-1252, the code page that the program's original platform wrote its
// files in, and turned into UTF-8 here. What a page shows is then exactly what it compares with
// the answer typed, which is UTF-8. Tools that move lines without looking at them (the
// reordering) read bytes and never come here.
#pragma once

#include <string>
#include <string_view>

#include "TextFile.h"

// Whether `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// `bytes` as UTF-8: unchanged when it is valid UTF-8, otherwise converted from Windows-1252.
// The five byte values that Windows-1252 leaves undefined become U+FFFD.
std::string TextAsUtf8(std::string_view bytes);

// Reads the next line of `file` as TextAsUtf8 gives it. Returns false, with `line` empty, when
// the file has no more text. Throws CFileException as CTextFile::ReadString does.
bool ReadVocLine(CTextFile& file, std::string& line);
