// sceneconvert.h - models of the common 3D formats in and out of scene files.
//
// Every format meets the scene through one record, the Mesh: positions, faces
// as runs of vertex numbers, one material per face. Readers fill a Mesh as the
// file's library reports it, in the file's own axes (y up, faces
// counter-clockwise from their front), checking only what they must to read
// safely; MeshToScene checks every index and number before it trusts it.
// Writers take a Mesh made by SceneToMesh, whose faces are all flat and convex.
//
// Scenes look along +z with y pointing down the picture, and a polygon shows
// its front when its corners run clockwise on the screen. Going in, positions
// are turned half a turn about the x axis and every face's corners are reversed;
// going out, the same again. A model thus appears upright and front side on in
// the editor, and a round trip gives back the file's numbers.
//
//   ReadObj(path, mesh)          Wavefront OBJ with its MTL colours (tinyobjloader)
//   ReadGltf(path, mesh)         glTF 2.0, .gltf or .glb, base colour factors (tinygltf)
//   ReadAssimp(path, mesh)       STL, PLY, and OBJ with faces of over 255 corners (assimp;
//                                native builds only, see AssimpBuilt)
//   MeshToScene(mesh, options)   the scene list (ActualScene) and the camera and light
//                                records to save with it; notes and losses in mesh.report
//   SceneToMesh(list, segments)  the scene as convex faces, spheres as UV spheres; the camera
//   WriteObj(path, mesh)         OBJ and its MTL beside it (mtlpath)
//   WriteGlb(path, mesh)         binary glTF 2.0 with the camera (tinygltf)
//   readableambient(r, g, b)     the ambient share (0 to 255) that keeps the unlit side
//                                of a colour readable
// Each reader and writer returns false after putting the reason into
// mesh.report.error; a reader that returns true may still have noted losses.
// Writers go through OpenSafe (core/safefile.h): an output is complete or untouched.
#pragma once

#include "core/scenelist.h"
#include "render/camera.h"

#include <cstdint>
#include <string>
#include <vector>

// A colour as shown: sRGB, each channel 0 to 1.
struct MeshColor {
    float r, g, b;
};

struct MeshMaterial {
    std::string name;
    MeshColor color;
};

// What a conversion did not carry over (exit status 1), what it changed on the
// way (said, but no loss), and why it failed.
struct Report {
    std::vector<std::string> losses;
    std::vector<std::string> notes;
    std::string error;
};

struct Mesh {
    std::vector<float> positions;       // x, y, z of each vertex
    std::vector<MeshColor> colors;      // one per vertex, or none
    std::vector<int64_t> corners;       // vertex numbers, face after face; not yet checked
    std::vector<size_t> faceends;       // where each face's corners end in corners
    std::vector<int32_t> facematerials;  // index into materials, or -1 for none
    std::vector<MeshMaterial> materials;
    bool longfaces = false;  // ReadObj: a face too long for its library
    bool hascamera = false;  // writers: camera holds the scene's view
    Camera camera = {};
    Report report;
};

struct ImportOptions {
    bool fit = false;  // scale and centre into view, write a camera that frames it
    bool back = false;  // give every pattern a back pattern of backcolor
    uint8_t backcolor[3] = {0, 0, 0};
};

// What MeshToScene wrote, for the summary and the tests.
struct ImportCounts {
    long faces = 0, triangles = 0;        // as read (a face of n corners counts n - 2)
    long polygons = 0, polytriangles = 0;  // as written
    long points = 0, patterns = 0;
    long split = 0;  // faces not flat, written as triangles
};

bool ReadObj(const std::string& path, Mesh* mesh);
bool ReadGltf(const std::string& path, Mesh* mesh);
bool ReadAssimp(const std::string& path, Mesh* mesh);
extern const bool AssimpBuilt;  // false: ReadAssimp only says that it cannot
SceneList* MeshToScene(Mesh& mesh, const ImportOptions& options, ImportCounts* counts);
Mesh SceneToMesh(SceneList* list, int segments);
bool WriteObj(const std::string& path, Mesh& mesh);
bool WriteGlb(const std::string& path, Mesh& mesh);
int readableambient(int red, int green, int blue);

// The MTL that WriteObj writes beside an OBJ.
std::string mtlpath(const std::string& objpath);
