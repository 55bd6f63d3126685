// RenderSceneLiteral (render.h): every sphere and polygon through Sphere and Porygon.
#include "render/render.h"

void RenderSceneLiteral(SceneList* list)
{
    if (!list || !ActualViewOk)
        return;
    for (const ListBlock* block = list; block; block = block->next) {
        if (block->count <= 0)
            break;
        for (int i = 0; i < block->count; i++) {
            if (block->tags[i] == TagSphere) {
                const SphereObject* sphere = static_cast<const SphereObject*>(block->objects[i]);
                if (sphere && sphere->center && sphere->pattern)
                    Sphere(*sphere->center, sphere->radius, *sphere->pattern);
            } else if (block->tags[i] == TagPolygon) {
                const PolygonObject* polygon = static_cast<const PolygonObject*>(block->objects[i]);
                if (polygon && polygon->pattern)
                    Porygon(polygon->corners, polygon->count, *polygon->pattern);
            }
        }
    }
}
