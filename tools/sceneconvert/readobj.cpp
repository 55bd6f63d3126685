// ReadObj (sceneconvert.h): Wavefront OBJ and its MTL through tinyobjloader.
#include "tools/sceneconvert/sceneconvert.h"

#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>

#include <algorithm>
#include <sstream>

namespace {

// tinyobjloader's warnings, one loss per line.
void addwarnings(const std::string& text, Report* report)
{
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty() && std::find(report->losses.begin(), report->losses.end(),
                                       "OBJ library: " + line) == report->losses.end())
            report->losses.push_back("OBJ library: " + line);
}

}  // namespace

bool ReadObj(const std::string& path, Mesh* mesh)
{
    tinyobj::ObjReaderConfig config;
    // Faces as the file has them: whether one is flat is ours to judge. The
    // library's own triangulation also reads vertices before indices are checked.
    config.triangulate = false;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    if (!reader.ParseFromFile(path, config)) {
        mesh->report.error =
            reader.Error().empty() ? "the OBJ library could not read it" : reader.Error();
        while (!mesh->report.error.empty() && mesh->report.error.back() == '\n')
            mesh->report.error.pop_back();
        return false;
    }
    addwarnings(reader.Warning(), &mesh->report);

    const tinyobj::attrib_t& attrib = reader.GetAttrib();
    mesh->positions.assign(attrib.vertices.begin(), attrib.vertices.end());
    mesh->positions.resize(mesh->positions.size() / 3 * 3);

    bool textured = false;
    for (const tinyobj::material_t& m : reader.GetMaterials()) {
        mesh->materials.push_back({m.name, {m.diffuse[0], m.diffuse[1], m.diffuse[2]}});
        textured = textured || !m.diffuse_texname.empty();
    }
    if (textured)
        mesh->report.losses.push_back(
            "textures are not carried over: faces take their material's colour");

    const long materials = long(mesh->materials.size());
    size_t lines = 0, points = 0;
    for (const tinyobj::shape_t& shape : reader.GetShapes()) {
        lines += shape.lines.num_line_vertices.size();
        points += shape.points.indices.size();
        const tinyobj::mesh_t& m = shape.mesh;
        // The library keeps each face's corner count in a byte: a face of more
        // than 255 corners leaves the counts short of the corners, and then no
        // face of the shape can be told from the next.
        size_t total = 0;
        for (unsigned char n : m.num_face_vertices)
            total += n;
        if (total != m.indices.size()) {
            mesh->longfaces = true;
            mesh->report.losses.push_back("object '" + shape.name +
                                          "': " + std::to_string(m.num_face_vertices.size()) +
                                          " faces dropped: one has more than 255 corners, "
                                          "which the OBJ library cannot give");
            continue;
        }
        size_t next = 0;
        for (size_t f = 0; f < m.num_face_vertices.size(); f++) {
            for (unsigned char k = 0; k < m.num_face_vertices[f]; k++)
                mesh->corners.push_back(m.indices[next++].vertex_index);
            mesh->faceends.push_back(mesh->corners.size());
            const int id = f < m.material_ids.size() ? m.material_ids[f] : -1;
            mesh->facematerials.push_back(id >= 0 && id < materials ? id : -1);
        }
    }
    if (lines > 0 || points > 0)
        mesh->report.losses.push_back(
            std::to_string(lines) + " line and " + std::to_string(points) +
            " point elements are not carried over: a scene has only surfaces");
    return true;
}
