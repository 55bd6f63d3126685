// tokenizer.h - the words of a scene file.
//
// A word is a run of bytes ended by a blank, a line feed, a NUL byte or the
// end of the file. A carriage return is dropped wherever it stands, so lines
// may end in LF or CR LF; every other byte (tab and bytes above 127 included)
// belongs to the word. Two blanks in a row give an empty word. A NUL byte ends
// the text for good, exactly like the end of the file.
//
// A word that reaches the limit ends there with WordCut, and its delimiter is
// left for the next call, even when nothing of the word is left: a name of
// exactly 1023 bytes reads back followed by an empty word, so the longest name
// that survives a save and a load is 1022 bytes.
//
//   ReadWord(stream, buffer, limit, length)  next word into buffer (limit + 1 bytes);
//                                            length set; returns a WordEnd code
//   RestLine(stream)                         skip to the start of the next line;
//                                            WordLineEnd or WordTextEnd
//   GetKeyword(word)                         index of word in Keywords, or -1
#pragma once

#include <cstdio>

// Why ReadWord stopped.
constexpr int WordCut = 0;      // the limit was reached; the next call returns the rest
constexpr int WordBlank = 1;    // a blank followed
constexpr int WordLineEnd = 2;  // a line feed followed
constexpr int WordTextEnd = 3;  // a NUL byte or the end of the file; every later call says so again

// Word limits of the format, in bytes.
constexpr int KeywordLimit = 7;      // keywords and mode letters
constexpr int NumberWordLimit = 31;  // reals and integers
constexpr int NameWordLimit = 1023;  // names and skipped words

// A keyword's index is also the ObjectTag of its kind (TagPoint for "PNT" and so
// on); these are the indices that name no kind.
constexpr int KeywordCount = 17;
extern const char* const Keywords[KeywordCount];
constexpr int KeyNop = 0;
constexpr int KeyCam = 1;
constexpr int KeyLgt = 2;
constexpr int KeyRgb = 7;
constexpr int KeyBck = 12;
constexpr int KeyFrt = 13;
constexpr int KeyAmb = 16;

int ReadWord(std::FILE* stream, char* buffer, int limit, int* length);
int RestLine(std::FILE* stream);
int GetKeyword(const char* word);
