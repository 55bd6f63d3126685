// registry.h - every scene loaded or created in this run, one of them current.
//
// Scenes are numbered from 0 in the order they were added and are never
// removed. The registry owns the SceneName strings; a replaced name stays
// allocated (a chooser line or a caller may still show it).
//
//   AddScene(list, path)   enter a new scene as current; path null for a scene without file;
//                          false (and nothing changed) when all 1024 slots are taken
//   NameScene(n, path)     name scene n after the file path (quotes stripped, short name)
//   ChooseScene(n)         make scene n current
#pragma once

#include "core/scenelist.h"

#include <cstdint>

constexpr int MaxScenes = 1024;

extern SceneList* ListScene[MaxScenes];  // each scene's list, by number
extern char* SceneName[MaxScenes];       // its file, without quotes; null without file
extern char* SceneShort[MaxScenes];      // past the last backslash of SceneName
extern int16_t number_of_scenes;
extern int16_t chosen_scene;
extern SceneList* ActualScene;           // == ListScene[chosen_scene]

bool AddScene(SceneList* list, const char* path);
void NameScene(int scene, const char* path);
void ChooseScene(int scene);
