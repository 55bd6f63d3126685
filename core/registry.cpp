#include "core/registry.h"

#include "core/memory.h"

#include <cstring>

SceneList* ListScene[MaxScenes] = {};
char* SceneName[MaxScenes] = {};
char* SceneShort[MaxScenes] = {};
int16_t number_of_scenes = 0;
int16_t chosen_scene = 0;
SceneList* ActualScene = nullptr;

void NameScene(int scene, const char* path)
{
    if (!path) {
        SceneName[scene] = nullptr;
        SceneShort[scene] = nullptr;
        return;
    }
    char* copy = copytext(path);
    char* name = copy[0] == '"' ? copy + 1 : copy;
    const size_t length = std::strlen(name);
    if (length > 0 && name[length - 1] == '"')
        name[length - 1] = '\0';
    // Only the backslash separates folders: a slash is part of the name.
    const char* slash = std::strrchr(name, '\\');
    SceneName[scene] = name;
    SceneShort[scene] = slash ? const_cast<char*>(slash) + 1 : name;
}

bool AddScene(SceneList* list, const char* path)
{
    if (number_of_scenes >= MaxScenes)
        return false;
    const int slot = number_of_scenes;
    chosen_scene = int16_t(slot);
    ListScene[slot] = list;
    NameScene(slot, path);
    number_of_scenes += 1;
    return true;
}

void ChooseScene(int scene)
{
    chosen_scene = int16_t(scene);
    ActualScene = ListScene[scene];
}
