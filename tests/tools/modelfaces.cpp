// modelfaces - how many faces a model has, as assimp reports them: the
// reference the sceneconvert tests hold the converter's own readers to.
//
//   modelfaces FILE   prints "faces F triangles T": faces of 3 or more corners over
//                     every instance in the node tree, T the sum of corners - 2
#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <cstdio>

namespace {

void count(const aiScene* scene, const aiNode* node, long* faces, long* triangles)
{
    for (unsigned i = 0; i < node->mNumMeshes; i++) {
        const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
        for (unsigned f = 0; f < mesh->mNumFaces; f++)
            if (mesh->mFaces[f].mNumIndices >= 3) {
                ++*faces;
                *triangles += long(mesh->mFaces[f].mNumIndices) - 2;
            }
    }
    for (unsigned i = 0; i < node->mNumChildren; i++)
        count(scene, node->mChildren[i], faces, triangles);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: modelfaces FILE\n", stderr);
        return 2;
    }
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(argv[1], 0);
    if (!scene || !scene->mRootNode) {
        std::fprintf(stderr, "modelfaces: %s: %s\n", argv[1], importer.GetErrorString());
        return 2;
    }
    long faces = 0, triangles = 0;
    count(scene, scene->mRootNode, &faces, &triangles);
    std::printf("faces %ld triangles %ld\n", faces, triangles);
    return 0;
}
