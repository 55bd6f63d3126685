// scenetest.h - files and scenes for the scene-file tests and the fuzz target.
//
//   ExampleScene              a small scene of every kind, as the saver writes it
//   TestPath(name)            a path in a folder of this process's own (removed at exit)
//   WriteBytes(path, bytes)   create or replace a file with exactly these bytes
//   ReadBytes(path)           a file's bytes; empty when it cannot be read
//   FileExists(path)          whether anything (file or folder) stands at path
//   Lines(text)               text with "\n" turned into this platform's text line end
//   ReleaseScene(list, path)  free everything ReadScene(path) built; give back its registry
//                             slot when it is the last one (tests must not fill the registry)
//   SaveOver(path, list)      SaveScene, freeing the registry name that it replaces
//   SaveLoadSave(list, a, b)  save list to a, read a, save that to b; the list read from a,
//                             or null when a save failed
//   RoundTrips(list)          whether a and b must then be identical: false only when a
//                             name fills the whole 1023-byte word (read back, the blank
//                             after it becomes an empty word)
#pragma once

#include "core/scenelist.h"

#include <string>

extern const char* const ExampleScene;

std::string TestPath(const std::string& name);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
std::string Lines(const std::string& text);
void ReleaseScene(SceneList* list, const char* path);
const char* SaveOver(const char* path, SceneList* list);
SceneList* SaveLoadSave(SceneList* list, const std::string& first, const std::string& second);
bool RoundTrips(SceneList* list);
