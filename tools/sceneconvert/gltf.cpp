// ReadGltf and WriteGlb (sceneconvert.h): glTF 2.0 through tinygltf.
//
// tinygltf parses the JSON and the buffers but does not check that an accessor
// stays inside its buffer; every read below does, before it touches a byte.
// Colours in glTF are linear; a scene's are as shown (sRGB), so both ways convert.
#include "tools/sceneconvert/sceneconvert.h"

#include "core/safefile.h"

#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_EXTERNAL_IMAGE
#include <tiny_gltf.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

namespace {

using Matrix4 = std::array<double, 16>;  // column-major, as glTF stores it

// A node graph that shares children can blow up: so many instances and faces
// are more than any scene the editor can show.
constexpr long NodeVisitLimit = 1000000;
constexpr size_t FaceLimit = 20000000;

Matrix4 identity4()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix4 mult4(const Matrix4& a, const Matrix4& b)
{
    Matrix4 m{};
    for (int c = 0; c < 4; c++)
        for (int r = 0; r < 4; r++)
            for (int k = 0; k < 4; k++)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

// A node's own transform: its matrix, or translation * rotation * scale.
Matrix4 nodematrix(const tinygltf::Node& node)
{
    if (node.matrix.size() == 16) {
        Matrix4 m;
        std::copy(node.matrix.begin(), node.matrix.end(), m.begin());
        return m;
    }
    Matrix4 t = identity4(), r = identity4(), s = identity4();
    if (node.translation.size() == 3)
        for (int i = 0; i < 3; i++)
            t[12 + i] = node.translation[size_t(i)];
    if (node.rotation.size() == 4) {
        // clang-format off
        const double x = node.rotation[0], y = node.rotation[1];
        const double z = node.rotation[2], w = node.rotation[3];
        r = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
             2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
             2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
             0,                       0,                       0,                       1};
        // clang-format on
    }
    if (node.scale.size() == 3)
        for (int i = 0; i < 3; i++)
            s[i * 5] = node.scale[size_t(i)];
    return mult4(t, mult4(r, s));
}

double determinant3(const Matrix4& m)
{
    return m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
           m[8] * (m[1] * m[6] - m[5] * m[2]);
}

double tosrgb(double linear)
{
    linear = std::min(1.0, std::max(0.0, linear));
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

double tolinear(double srgb)
{
    return srgb <= 0.04045 ? srgb / 12.92 : std::pow((srgb + 0.055) / 1.055, 2.4);
}

// One component, as stored (little-endian, like every machine we build for).
template <typename T> double load(const unsigned char* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    return double(value);
}

// Accessor accessorindex as count rows of `components` numbers, each checked to
// lie inside its buffer. False, with the reason, for anything that does not.
bool readaccessor(const tinygltf::Model& model, int accessorindex, int components,
                  std::vector<double>* values, std::string* why)
{
    if (accessorindex < 0 || size_t(accessorindex) >= model.accessors.size())
        return *why = "accessor " + std::to_string(accessorindex) + " does not exist", false;
    const tinygltf::Accessor& a = model.accessors[size_t(accessorindex)];
    if (a.sparse.isSparse)
        return *why = "sparse accessors are not supported", false;
    if (tinygltf::GetNumComponentsInType(uint32_t(a.type)) != components)
        return *why = "accessor " + std::to_string(accessorindex) + " has the wrong type", false;
    const int size = tinygltf::GetComponentSizeInBytes(uint32_t(a.componentType));
    if (size <= 0)
        return *why =
                   "accessor " + std::to_string(accessorindex) + " has an unknown component type",
               false;
    if (a.count == 0) {
        values->clear();
        return true;
    }
    if (a.bufferView < 0 || size_t(a.bufferView) >= model.bufferViews.size())
        return *why = "accessor " + std::to_string(accessorindex) + " has no data (compressed?)",
               false;
    const tinygltf::BufferView& view = model.bufferViews[size_t(a.bufferView)];
    if (view.buffer < 0 || size_t(view.buffer) >= model.buffers.size())
        return *why = "buffer view " + std::to_string(a.bufferView) + " names no buffer", false;
    const std::vector<unsigned char>& data = model.buffers[size_t(view.buffer)].data;
    const size_t element = size_t(size) * size_t(components);
    const size_t stride = view.byteStride ? view.byteStride : element;
    const size_t viewend = view.byteOffset + view.byteLength;
    const bool fits = stride >= element && view.byteOffset <= data.size() &&
                      view.byteLength <= data.size() && viewend <= data.size() &&
                      a.byteOffset <= view.byteLength && a.count <= view.byteLength / stride + 1 &&
                      view.byteOffset + a.byteOffset + stride * (a.count - 1) + element <= viewend;
    if (!fits)
        return *why = "accessor " + std::to_string(accessorindex) + " reaches past its buffer",
               false;
    values->resize(a.count * size_t(components));
    const unsigned char* base = data.data() + view.byteOffset + a.byteOffset;
    for (size_t i = 0; i < a.count; i++)
        for (int c = 0; c < components; c++) {
            const unsigned char* p = base + i * stride + size_t(c) * size_t(size);
            double v = 0;
            // clang-format off
            switch (a.componentType) {
            case TINYGLTF_COMPONENT_TYPE_FLOAT: v = load<float>(p); break;
            case TINYGLTF_COMPONENT_TYPE_DOUBLE: v = load<double>(p); break;
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: v = load<uint8_t>(p); break;
            case TINYGLTF_COMPONENT_TYPE_BYTE: v = load<int8_t>(p); break;
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: v = load<uint16_t>(p); break;
            case TINYGLTF_COMPONENT_TYPE_SHORT: v = load<int16_t>(p); break;
            case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: v = load<uint32_t>(p); break;
            case TINYGLTF_COMPONENT_TYPE_INT: v = load<int32_t>(p); break;
            default: break;
            }
            // clang-format on
            (*values)[i * size_t(components) + size_t(c)] = v;
        }
    return true;
}

struct GltfWalk {
    const tinygltf::Model& model;
    Mesh* mesh;
    long visits = 0;
    long skippedprimitives = 0;
    std::set<std::string> problems;
};

void addprimitive(GltfWalk& walk, const tinygltf::Primitive& primitive, const Matrix4& m)
{
    const int mode = primitive.mode < 0 ? TINYGLTF_MODE_TRIANGLES : primitive.mode;
    if (mode != TINYGLTF_MODE_TRIANGLES && mode != TINYGLTF_MODE_TRIANGLE_STRIP &&
        mode != TINYGLTF_MODE_TRIANGLE_FAN) {
        walk.problems.insert("points and lines are not carried over: a scene has only surfaces");
        walk.skippedprimitives++;
        return;
    }
    if (walk.mesh->faceends.size() > FaceLimit) {
        walk.problems.insert("more than " + std::to_string(FaceLimit) +
                             " faces: the rest is left out");
        walk.skippedprimitives++;
        return;
    }
    const auto position = primitive.attributes.find("POSITION");
    std::vector<double> positions, indices;
    std::string why;
    if (position == primitive.attributes.end())
        why = "a primitive without positions";
    if (why.empty() && !readaccessor(walk.model, position->second, 3, &positions, &why))
        why = "POSITION: " + why;
    if (why.empty() && primitive.indices >= 0 &&
        !readaccessor(walk.model, primitive.indices, 1, &indices, &why))
        why = "indices: " + why;
    if (!why.empty()) {
        walk.problems.insert(why);
        walk.skippedprimitives++;
        return;
    }
    Mesh& mesh = *walk.mesh;
    const int64_t base = int64_t(mesh.positions.size() / 3);
    const int64_t count = int64_t(positions.size() / 3);
    for (size_t i = 0; i < positions.size(); i += 3) {
        const double x = positions[i], y = positions[i + 1], z = positions[i + 2];
        for (int r = 0; r < 3; r++)
            mesh.positions.push_back(float(m[size_t(r)] * x + m[size_t(4 + r)] * y +
                                           m[size_t(8 + r)] * z + m[size_t(12 + r)]));
    }
    if (primitive.indices < 0)
        for (int64_t i = 0; i < count; i++)
            indices.push_back(double(i));
    // An index outside this primitive's vertices becomes -1, which MeshToScene drops.
    auto corner = [&](size_t k) {
        const double i = indices[k];
        return i >= 0 && i < double(count) ? base + int64_t(i) : int64_t(-1);
    };
    const bool mirrored = determinant3(m) < 0;
    const int material =
        primitive.material >= 0 && size_t(primitive.material) < walk.model.materials.size()
            ? primitive.material
            : -1;
    auto triangle = [&](size_t a, size_t b, size_t c) {
        if (mirrored)
            std::swap(b, c);
        mesh.corners.push_back(corner(a));
        mesh.corners.push_back(corner(b));
        mesh.corners.push_back(corner(c));
        mesh.faceends.push_back(mesh.corners.size());
        mesh.facematerials.push_back(material);
    };
    const size_t n = indices.size();
    if (mode == TINYGLTF_MODE_TRIANGLES)
        for (size_t k = 0; k + 2 < n; k += 3)
            triangle(k, k + 1, k + 2);
    else if (mode == TINYGLTF_MODE_TRIANGLE_STRIP)
        for (size_t k = 0; k + 2 < n; k++)
            k % 2 == 0 ? triangle(k, k + 1, k + 2) : triangle(k + 1, k, k + 2);
    else
        for (size_t k = 1; k + 1 < n; k++)
            triangle(0, k, k + 1);
}

void addnode(GltfWalk& walk, int index, const Matrix4& parent, std::vector<int>& path)
{
    if (index < 0 || size_t(index) >= walk.model.nodes.size()) {
        walk.problems.insert("a node that does not exist is left out");
        return;
    }
    if (std::find(path.begin(), path.end(), index) != path.end()) {
        walk.problems.insert("a node that contains itself is left out the second time");
        return;
    }
    if (++walk.visits > NodeVisitLimit) {
        walk.problems.insert("more than " + std::to_string(NodeVisitLimit) +
                             " node instances: the rest is left out");
        return;
    }
    const tinygltf::Node& node = walk.model.nodes[size_t(index)];
    const Matrix4 m = mult4(parent, nodematrix(node));
    if (node.mesh >= 0 && size_t(node.mesh) < walk.model.meshes.size())
        for (const tinygltf::Primitive& primitive : walk.model.meshes[size_t(node.mesh)].primitives)
            addprimitive(walk, primitive, m);
    path.push_back(index);
    for (int child : node.children)
        addnode(walk, child, m, path);
    path.pop_back();
}

bool ignoreimage(tinygltf::Image*, const int, std::string*, std::string*, int, int,
                 const unsigned char*, int, void*)
{
    return true;
}

void trimnewlines(std::string* text)
{
    while (!text->empty() && (text->back() == '\n' || text->back() == ' '))
        text->pop_back();
    for (char& c : *text)
        if (c == '\n')
            c = ' ';
}

}  // namespace

bool ReadGltf(const std::string& path, Mesh* mesh)
{
    tinygltf::Model model;
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(ignoreimage, nullptr);
    std::string error, warning;
    bool binary = false;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char magic[4] = {};
        binary = std::fread(magic, 1, 4, file) == 4 && std::memcmp(magic, "glTF", 4) == 0;
        std::fclose(file);
    }
    bool ok = false;
    try {
        ok = binary ? loader.LoadBinaryFromFile(&model, &error, &warning, path)
                    : loader.LoadASCIIFromFile(&model, &error, &warning, path);
    } catch (const std::exception& e) {
        error = e.what();
        ok = false;
    }
    if (!ok) {
        trimnewlines(&error);
        mesh->report.error = error.empty() ? "the glTF library could not read it" : error;
        return false;
    }
    trimnewlines(&warning);
    if (!warning.empty())
        mesh->report.losses.push_back("glTF library: " + warning);
    for (const std::string& extension : model.extensionsRequired)
        mesh->report.losses.push_back("required extension " + extension + " is not supported");

    bool textured = false;
    for (const tinygltf::Material& m : model.materials) {
        const std::vector<double>& f = m.pbrMetallicRoughness.baseColorFactor;
        MeshColor color = {1, 1, 1};
        if (f.size() >= 3)
            color = {float(tosrgb(f[0])), float(tosrgb(f[1])), float(tosrgb(f[2]))};
        mesh->materials.push_back({m.name, color});
        textured = textured || m.pbrMetallicRoughness.baseColorTexture.index >= 0;
    }
    if (textured)
        mesh->report.losses.push_back(
            "textures are not carried over: faces take their base colour factor");

    GltfWalk walk{model, mesh, 0, 0, {}};
    std::vector<int> roots;
    const int scene = model.defaultScene >= 0 ? model.defaultScene : 0;
    if (size_t(scene) < model.scenes.size()) {
        roots = model.scenes[size_t(scene)].nodes;
    } else {
        // No scene: every node that is no other node's child.
        std::vector<bool> child(model.nodes.size());
        for (const tinygltf::Node& node : model.nodes)
            for (int c : node.children)
                if (c >= 0 && size_t(c) < child.size())
                    child[size_t(c)] = true;
        for (size_t i = 0; i < child.size(); i++)
            if (!child[i])
                roots.push_back(int(i));
    }
    std::vector<int> nodepath;
    for (int root : roots)
        addnode(walk, root, identity4(), nodepath);
    for (const std::string& problem : walk.problems)
        mesh->report.losses.push_back(problem);
    if (walk.skippedprimitives > 0)
        mesh->report.losses.push_back(std::to_string(walk.skippedprimitives) +
                                      " primitives left out");
    return true;
}

namespace {

template <typename T> int addview(tinygltf::Model& model, const std::vector<T>& values, int target)
{
    std::vector<unsigned char>& data = model.buffers[0].data;
    while (data.size() % 4 != 0)
        data.push_back(0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = values.size() * sizeof(T);
    view.target = target;
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(values.data());
    data.insert(data.end(), bytes, bytes + view.byteLength);
    model.bufferViews.push_back(view);
    return int(model.bufferViews.size() - 1);
}

// The camera: glTF's looks along -z with +y up, in the file's axes, which the
// mesh's camera already is in (SceneToMesh turned it).
void addcamera(tinygltf::Model& model, const Camera& cam, tinygltf::Scene* scene)
{
    auto column = [&](int j) {
        return std::array<double, 3>{cam.frame.m[j], cam.frame.m[4 + j], cam.frame.m[8 + j]};
    };
    auto length = [](const std::array<double, 3>& v) {
        return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    };
    const std::array<double, 3> front = column(2), lower = column(1), position = column(3);
    const double flen = length(front);
    if (!(flen > 0))
        return;
    const std::array<double, 3> f = {front[0] / flen, front[1] / flen, front[2] / flen};
    // Only the part of lower across the view counts, as in the renderer.
    const double along = lower[0] * f[0] + lower[1] * f[1] + lower[2] * f[2];
    std::array<double, 3> l = {lower[0] - along * f[0], lower[1] - along * f[1],
                               lower[2] - along * f[2]};
    const double halfheight = length(l);
    if (!(halfheight > 0))
        return;
    for (double& c : l)
        c /= halfheight;
    const std::array<double, 3> z = {-f[0], -f[1], -f[2]}, y = {-l[0], -l[1], -l[2]};
    const std::array<double, 3> x = {y[1] * z[2] - y[2] * z[1], y[2] * z[0] - y[0] * z[2],
                                     y[0] * z[1] - y[1] * z[0]};
    tinygltf::Camera camera;
    camera.name = "camera";
    if (cam.flags & CamCentral) {
        camera.type = "perspective";
        camera.perspective.yfov = 2 * std::atan(halfheight / flen);
        camera.perspective.znear = flen / 100;
        camera.perspective.zfar = flen * 1000;  // a far plane of 0 would be invalid, not endless
    } else {
        camera.type = "orthographic";
        camera.orthographic.ymag = halfheight;
        camera.orthographic.xmag =
            halfheight * 4 / 3;  // the width follows the window; 4:3 as scenerender draws
        camera.orthographic.znear = 0;
        camera.orthographic.zfar = 1000 * flen;
    }
    model.cameras.push_back(camera);
    tinygltf::Node node;
    node.name = "camera";
    node.camera = int(model.cameras.size() - 1);
    node.matrix = {x[0], x[1], x[2], 0, y[0],        y[1],        y[2],        0,
                   z[0], z[1], z[2], 0, position[0], position[1], position[2], 1};
    for (double& c : node.matrix)
        c += 0.0;  // no -0 in the file
    model.nodes.push_back(node);
    scene->nodes.push_back(int(model.nodes.size() - 1));
}

}  // namespace

bool WriteGlb(const std::string& path, Mesh& mesh)
{
    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "sceneconvert";
    model.buffers.resize(1);
    tinygltf::Scene scene;
    const size_t vertices = mesh.positions.size() / 3;

    if (vertices > 0 && !mesh.faceends.empty()) {
        tinygltf::Accessor positions;
        positions.bufferView = addview(model, mesh.positions, TINYGLTF_TARGET_ARRAY_BUFFER);
        positions.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
        positions.type = TINYGLTF_TYPE_VEC3;
        positions.count = vertices;
        positions.minValues = {mesh.positions[0], mesh.positions[1], mesh.positions[2]};
        positions.maxValues = positions.minValues;
        for (size_t i = 0; i < mesh.positions.size(); i++) {
            positions.minValues[i % 3] =
                std::min(positions.minValues[i % 3], double(mesh.positions[i]));
            positions.maxValues[i % 3] =
                std::max(positions.maxValues[i % 3], double(mesh.positions[i]));
        }
        model.accessors.push_back(positions);
        const int positionaccessor = int(model.accessors.size() - 1);

        for (const MeshMaterial& m : mesh.materials) {
            tinygltf::Material material;
            material.name = m.name;
            material.pbrMetallicRoughness.baseColorFactor = {
                tolinear(m.color.r), tolinear(m.color.g), tolinear(m.color.b), 1.0};
            material.pbrMetallicRoughness.metallicFactor = 0;
            material.pbrMetallicRoughness.roughnessFactor = 1;
            material.doubleSided = true;  // a polygon shows both its sides
            model.materials.push_back(material);
        }
        // One primitive per material, all over the one position list; faces as
        // fans of their corners (SceneToMesh gives only convex ones).
        tinygltf::Mesh gmesh;
        gmesh.name = "scene";
        for (int material = -1; material < int(mesh.materials.size()); material++) {
            std::vector<uint32_t> indices;
            size_t start = 0;
            for (size_t f = 0; f < mesh.faceends.size(); start = mesh.faceends[f++]) {
                if (mesh.facematerials[f] != material)
                    continue;
                for (size_t k = start + 1; k + 1 < mesh.faceends[f]; k++) {
                    indices.push_back(uint32_t(mesh.corners[start]));
                    indices.push_back(uint32_t(mesh.corners[k]));
                    indices.push_back(uint32_t(mesh.corners[k + 1]));
                }
            }
            if (indices.empty())
                continue;
            tinygltf::Accessor accessor;
            accessor.bufferView = addview(model, indices, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
            accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
            accessor.type = TINYGLTF_TYPE_SCALAR;
            accessor.count = indices.size();
            model.accessors.push_back(accessor);
            tinygltf::Primitive primitive;
            primitive.attributes["POSITION"] = positionaccessor;
            primitive.indices = int(model.accessors.size() - 1);
            primitive.material = material;
            primitive.mode = TINYGLTF_MODE_TRIANGLES;
            gmesh.primitives.push_back(primitive);
        }
        model.meshes.push_back(gmesh);
        tinygltf::Node node;
        node.name = "scene";
        node.mesh = 0;
        model.nodes.push_back(node);
        scene.nodes.push_back(0);
    }
    if (mesh.hascamera)
        addcamera(model, mesh.camera, &scene);
    model.scenes.push_back(scene);
    model.defaultScene = 0;
    if (model.buffers[0].data.empty())
        model.buffers.clear();

    // Into memory, then through the safe file: tinygltf's own file writing
    // would open the target in place.
    std::ostringstream bytes;
    tinygltf::TinyGLTF writer;
    bool written = false;
    try {
        written = writer.WriteGltfSceneToStream(&model, bytes, false, true);
    } catch (const std::exception&) {
        written = false;
    }
    const std::string glb = written ? bytes.str() : std::string();
    SafeFile file = written ? OpenSafe(path, true) : SafeFile();
    if (!CloseSafe(&file, file.file && std::fwrite(glb.data(), 1, glb.size(), file.file) == glb.size())) {
        mesh.report.error = "cannot write '" + path + "'";
        return false;
    }
    return true;
}
