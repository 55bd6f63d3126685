// ReadAssimp (sceneconvert.h): STL, PLY and long-faced OBJ through assimp, where the build has it.
//
// Debian has no assimp for MinGW, so the Windows builds read neither format
// and say so; they still read OBJ and glTF and write every format.
#include "tools/sceneconvert/sceneconvert.h"

#ifdef SCENECONVERT_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <cstdio>
#include <cstring>

namespace {

// assimp 5.2 reads a PLY file's vertex colours but not its face colours. Its
// header says whether there are any (it is text even in binary files), so
// that such a loss is at least told.
bool plyfacecolors(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char line[256];
    bool inface = false, colors = false;
    for (int n = 0; n < 1000 && std::fgets(line, sizeof line, file); n++) {
        if (std::strncmp(line, "end_header", 10) == 0)
            break;
        char word[3][64] = {};
        if (std::sscanf(line, "%63s %63s %63s", word[0], word[1], word[2]) < 2)
            continue;
        if (std::strcmp(word[0], "element") == 0)
            inface = std::strcmp(word[1], "face") == 0;
        const char* name = std::strcmp(word[1], "list") == 0 ? "" : word[2];
        if (inface && std::strcmp(word[0], "property") == 0)
            for (const char* c : {"red", "green", "blue", "diffuse_red", "r", "g", "b"})
                colors = colors || std::strcmp(name, c) == 0;
    }
    std::fclose(file);
    return colors;
}

struct AssimpWalk {
    const aiScene* scene;
    Mesh* mesh;
    bool colored;  // some mesh has vertex colours: every vertex gets one
    long pointsandlines = 0;
    int depth = 0;
};

void addmesh(AssimpWalk& walk, const aiMesh* m, const aiMatrix4x4& t)
{
    Mesh& mesh = *walk.mesh;
    const int64_t base = int64_t(mesh.positions.size() / 3);
    const bool mirrored = t.Determinant() < 0;
    const int material =
        m->mMaterialIndex < walk.scene->mNumMaterials ? int(m->mMaterialIndex) : -1;
    for (unsigned i = 0; i < m->mNumVertices; i++) {
        const aiVector3D v = t * m->mVertices[i];
        mesh.positions.insert(mesh.positions.end(), {v.x, v.y, v.z});
        if (!walk.colored)
            continue;
        if (m->HasVertexColors(0))
            mesh.colors.push_back({m->mColors[0][i].r, m->mColors[0][i].g, m->mColors[0][i].b});
        else
            mesh.colors.push_back(material >= 0 ? mesh.materials[size_t(material)].color
                                                : MeshColor{0.8f, 0.8f, 0.8f});
    }
    for (unsigned f = 0; f < m->mNumFaces; f++) {
        const aiFace& face = m->mFaces[f];
        if (face.mNumIndices < 3) {
            walk.pointsandlines++;
            continue;
        }
        for (unsigned k = 0; k < face.mNumIndices; k++) {
            const unsigned i = face.mIndices[mirrored ? face.mNumIndices - 1 - k : k];
            mesh.corners.push_back(i < m->mNumVertices ? base + int64_t(i) : int64_t(-1));
        }
        mesh.faceends.push_back(mesh.corners.size());
        mesh.facematerials.push_back(material);
    }
}

void addnode(AssimpWalk& walk, const aiNode* node, const aiMatrix4x4& parent)
{
    if (!node || walk.depth > 64)
        return;
    const aiMatrix4x4 t = parent * node->mTransformation;
    for (unsigned i = 0; i < node->mNumMeshes; i++)
        if (node->mMeshes[i] < walk.scene->mNumMeshes)
            addmesh(walk, walk.scene->mMeshes[node->mMeshes[i]], t);
    walk.depth++;
    for (unsigned i = 0; i < node->mNumChildren; i++)
        addnode(walk, node->mChildren[i], t);
    walk.depth--;
}

}  // namespace

const bool AssimpBuilt = true;

bool ReadAssimp(const std::string& path, Mesh* mesh)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    if (!scene || !scene->mRootNode) {
        const char* why = importer.GetErrorString();
        mesh->report.error = why && *why ? why : "assimp could not read it";
        return false;
    }
    for (unsigned i = 0; i < scene->mNumMaterials; i++) {
        aiColor4D diffuse(0.8f, 0.8f, 0.8f, 1);
        scene->mMaterials[i]->Get(AI_MATKEY_COLOR_DIFFUSE, diffuse);
        aiString name;
        scene->mMaterials[i]->Get(AI_MATKEY_NAME, name);
        mesh->materials.push_back({name.C_Str(), {diffuse.r, diffuse.g, diffuse.b}});
    }
    AssimpWalk walk{scene, mesh, false};
    for (unsigned i = 0; i < scene->mNumMeshes; i++)
        walk.colored = walk.colored || scene->mMeshes[i]->HasVertexColors(0);
    addnode(walk, scene->mRootNode, aiMatrix4x4());
    if (plyfacecolors(path))
        mesh->report.losses.push_back(
            "face colours are not carried over: assimp reads only a PLY file's vertex "
            "colours");
    if (walk.pointsandlines > 0)
        mesh->report.losses.push_back(
            std::to_string(walk.pointsandlines) +
            " points and lines are not carried over: a scene has only surfaces");
    return true;
}
#else
const bool AssimpBuilt = false;

bool ReadAssimp(const std::string&, Mesh* mesh)
{
    mesh->report.error =
        "this build reads no STL or PLY files: the library that reads them (assimp) "
        "is not available for Windows; convert them with the Linux build";
    return false;
}
#endif
