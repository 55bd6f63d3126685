// scenefile.h - loading and saving whole scenes.
//
// Both are silent: a file that cannot be read gives an empty scene without a
// name, one that cannot be written leaves the old file as it was. A tool that
// wants to know what a load ignored sets SceneMessages (diagnostics.h).
//
//   ReadScene(path)        read a scene file into a new list, enter it in the registry as
//                          the current scene, apply its camera and light records; never null
//   SaveScene(path, list)  write the list; on success name the current scene after the
//                          file and return its short name, else null (old file untouched)
//
// ReadScene: a path that begins with a double quote names the text up to the
// next quote. A file name longer than ScenePathLimit is never shortened: it
// counts as a file that cannot be opened. When all registry slots are taken
// the file is still read (camera and light included) and the list returned,
// but it is not entered: the registry and chosen_scene stay as they were.
// The shell checks for a free slot first.
//
// SaveScene writes through a safe file (core/safefile.h): a new file with a
// short unpredictable name beside the target, renamed over it only when every
// write and the close succeeded, and removed on failure; a symbolic link is
// saved through to the file it names; a folder that cannot be written gets the
// file written in place. The path is used as given (quotes are not removed).
//
// The CAM letters: the view (C central with clipping, U central without, P
// parallel), then the clipping (X clipped, F free); the second letter is
// applied first, so every file written before U existed reads as it always did.
#pragma once

#include "core/scenelist.h"

constexpr int ScenePathLimit = 1023;

SceneList* ReadScene(const char* path);
const char* SaveScene(const char* path, SceneList* list);
