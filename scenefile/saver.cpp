// SaveScene (scenefile.h): every entry in the order the reader needs, through a safe file.
#include "core/registry.h"
#include "core/safefile.h"
#include "render/camera.h"
#include "scenefile/scenefile.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void addname(std::string& line, const char* name)
{
    line += ' ';
    line += name;
}

void addreal(std::string& line, float value)
{
    // "%g" agrees byte for byte between the C runtimes but for the sign of a NaN.
    if (std::isnan(value)) {
        line += " nan";
        return;
    }
    char text[32];
    std::snprintf(text, sizeof text, " %g", double(value));
    line += text;
}

void addinteger(std::string& line, long value)
{
    line += ' ';
    line += std::to_string(value);
}

void addcolor(std::string& line, uint32_t color)
{
    addinteger(line, long(color & 0xFF));
    addinteger(line, long(color >> 8 & 0xFF));
    addinteger(line, long(color >> 16 & 0xFF));
}

// The line of one entry, empty when it names something that is not in the
// list (it could not be read back).
std::string entryline(SceneList* list, ObjectTag tag, void* object, const char* name)
{
    std::string line;
    if (tag == TagPoint || tag == TagVector) {
        const Vector* v = static_cast<const Vector*>(object);
        line = tag == TagPoint ? "PNT" : "VEC";
        addname(line, name);
        addreal(line, v->x);
        addreal(line, v->y);
        addreal(line, v->z);
    } else if (tag == TagPattern) {
        const Pattern* pattern = static_cast<const Pattern*>(object);
        line = "PAT";
        addname(line, name);
        line += " RGB";
        addcolor(line, pattern->color ? *pattern->color : 0);
        line += " AMB";
        addcolor(line, pattern->ambient);
        if (pattern->flags & PatternHasBack) {
            const char* back = searchtext(list, TagPattern, pattern->back);
            if (back) {
                line += " BCK";
                addname(line, back);
            }
        }
    } else if (tag == TagSphere) {
        const SphereObject* sphere = static_cast<const SphereObject*>(object);
        const char* center = searchtext(list, TagPoint, sphere->center);
        const char* pattern = searchtext(list, TagPattern, sphere->pattern);
        if (!center || !pattern)
            return std::string();
        line = "SPH";
        addname(line, name);
        addname(line, center);
        addreal(line, sphere->radius);
        addname(line, pattern);
    } else if (tag == TagPolygon) {
        const PolygonObject* polygon = static_cast<const PolygonObject*>(object);
        const char* pattern = searchtext(list, TagPattern, polygon->pattern);
        if (!pattern || (polygon->count > 0 && !polygon->corners))
            return std::string();
        line = "POL";
        addname(line, name);
        addinteger(line, polygon->count);
        for (int i = 0; i < polygon->count; i++) {
            const char* corner = searchtext(list, TagPoint, polygon->corners[i]);
            if (!corner)
                return std::string();
            addname(line, corner);
        }
        addname(line, pattern);
    } else {
        return std::string();
    }
    line += '\n';
    return line;
}

// Points, vectors and patterns first, then spheres and polygons, each in
// list order: every reference then names an entry read before it.
bool writescene(std::FILE* file, SceneList* list)
{
    // C alone would read back with clipping: U is the central view without it.
    const bool clip = (ActualCam.flags & CamClip) != 0;
    std::string line = "CAM ";
    line += !(ActualCam.flags & CamCentral) ? 'P' : clip ? 'C' : 'U';
    line += clip ? 'X' : 'F';
    line += "\nLGT ";
    line += ActualLight.flags & LightBound ? 'C' : 'I';
    line += ActualLight.flags & LightDirected ? 'I' : 'F';
    line += '\n';
    if (std::fputs(line.c_str(), file) < 0)
        return false;
    for (int pass = 0; pass < 2; pass++)
        for (ListBlock* block = list; block; block = block->next)
            for (int i = 0; i < block->count; i++) {
                const ObjectTag tag = block->tags[i];
                const bool shape = tag == TagSphere || tag == TagPolygon;
                if (tag == TagDeleted || shape != (pass == 1) || !block->names[i])
                    continue;
                line = entryline(list, tag, block->objects[i], block->names[i]);
                if (!line.empty() && std::fputs(line.c_str(), file) < 0)
                    return false;
            }
    return true;
}

}  // namespace

const char* SaveScene(const char* path, SceneList* list)
{
    if (!path || !list || std::strlen(path) > size_t(ScenePathLimit))
        return nullptr;
    SafeFile safe = OpenSafe(path, false);
    if (!safe.file)
        return nullptr;
    if (!CloseSafe(&safe, writescene(safe.file, list)))
        return nullptr;
    if (chosen_scene >= 0 && chosen_scene < number_of_scenes) {
        NameScene(chosen_scene, path);
        return SceneShort[chosen_scene];
    }
    const char* slash = std::strrchr(path, '\\');
    return slash ? slash + 1 : path;
}
