// diagnostics.h - what the loader ignored or dropped, for tools that ask.
//
// The program itself loads silently. A caller that wants to know why a scene
// came out as it did (a command-line check, a test) points SceneMessages at a
// list of its own before ReadScene and takes it back afterwards; ReadScene
// appends one line per finding, in file order, and never clears the list.
// Line numbers count from 1; a record is reported at the line it starts on.
// Names and words are quoted as read, byte for byte.
//
// The messages, exactly:
//   cannot open 'PATH'
//   path of N characters is longer than 1023: not opened
//   scene not entered: all 1024 scene slots are taken
//   line L: 'WORD' is not a record keyword, line ignored
//   line L: line begins with a blank, ignored
//   line L: word cut after N bytes, its rest is read as the next word
//   line L: 'WORD' is not a number, read as V
//   line L: KEY record runs on into line M
//   line L: words after the KEY record ignored
//   line L: KEY letter 'C' ignored
//   line L: pattern 'NAME': clause 'WORD' ignored
//   line L: pattern 'NAME': BCK ignored: no pattern 'REF' defined before it
//   line L: pattern 'NAME': FRT ignored: no pattern 'REF' defined before it
//   line L: sphere 'NAME' dropped: no point 'REF' defined before it
//   line L: sphere 'NAME' dropped: no pattern 'REF' defined before it
//   line L: polygon 'NAME' dropped: negative corner count N
//   line L: polygon 'NAME' dropped: no point 'REF' defined before it
//   line L: polygon 'NAME' dropped: text ends after K of N corners
//   line L: polygon 'NAME' dropped: no pattern 'REF' defined before it
//   line L: NUL byte ends the text, the rest of the file is ignored
//   ... further messages left out
// (KEY is CAM, LGT, PNT, VEC, PAT, SPH or POL; V is printed with %g.) After
// SceneMessageLimit messages from one file its messages end with the last line above.
//
//   beginnotes()                   start counting towards the limit (ReadScene calls it)
//   notescene(line, format, ...)   append one message when a list is set (printf format;
//                                  "line L: " is prefixed when line > 0)
#pragma once

#include <string>
#include <vector>

constexpr int SceneMessageLimit = 1000;

// Null (the default): ReadScene reports nothing.
extern std::vector<std::string>* SceneMessages;
// Messages noted since the last beginnotes().
extern int SceneMessageCount;

void beginnotes();
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void notescene(long line, const char* format, ...);
