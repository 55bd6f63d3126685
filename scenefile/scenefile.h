// scenefile.h - loading and saving whole scenes.
//
//   ReadScene(path)        read a scene file into a new list, enter it in the registry as
//                          the current scene, apply its camera and light records; never null
//   SaveScene(path, list)  write the list; on success name the current scene after the
//                          file and return its short name, else null (old file untouched)
#pragma once

#include "core/scenelist.h"

SceneList* ReadScene(const char* path);
const char* SaveScene(const char* path, SceneList* list);
