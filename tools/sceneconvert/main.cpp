// sceneconvert - models of the common 3D formats into scene files and back.
//
// Every conversion goes through a scene list: a model is read into a Mesh and
// built into a scene (MeshToScene), a scene file is read by the editor's own
// loader; the list is then saved by the editor's own saver, or turned into
// faces (SceneToMesh) for OBJ and glTF.
#include "core/registry.h"
#include "core/safefile.h"
#include "render/camera.h"
#include "scenefile/diagnostics.h"
#include "scenefile/scenefile.h"
#include "tools/sceneconvert/sceneconvert.h"
#include "tools/toolfiles.h"

#include <cctype>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int ExitOk = 0, ExitLosses = 1, ExitFailure = 2;

const char Usage[] =
    "usage: sceneconvert [options] INPUT OUTPUT\n"
    "\n"
    "Converts between scene files and the common 3D formats; the extensions choose:\n"
    "  read:  .item, .obj (with its .mtl), .stl, .ply, .gltf, .glb\n"
    "  write: .item, .obj (and a .mtl beside it), .glb\n"
    "A model becomes a scene: shared vertices shared points, each face a polygon (a face\n"
    "that is not flat becomes triangles), each material or colour a pattern. A scene\n"
    "becomes faces: polygons as they are or cut into triangles, spheres as UV spheres,\n"
    "patterns as materials, the camera as the glTF camera.\n"
    "\n"
    "  --fit           scale and centre the model into view, and add the camera\n"
    "                  objects that frame it\n"
    "  --back R,G,B    give every pattern a back colour (0 to 255 each)\n"
    "  --segments N    steps around a sphere when writing faces, 4 to 1024 (default 24)\n"
    "  --timings       print how long reading, converting and writing took (wall clock\n"
    "                  and processor time)\n"
    "  --help          this text\n"
    "\n"
    "The output is written to a new temporary file beside it and renamed when\n"
    "complete (an OUTPUT that is a link keeps the link and gets the file it names);\n"
    "the input is never written over.\n"
    "\n"
    "Exit status: 0 done, 1 done but something was not carried over (each said on\n"
    "standard error), 2 bad arguments, an input that cannot be read or an output\n"
    "that cannot be written.\n";

enum class Format { Unknown, Item, Obj, Stl, Ply, Gltf, Glb };

struct Options {
    ImportOptions import;
    bool backgiven = false;
    int segments = 24;
    bool timings = false;
    bool help = false;
    std::vector<std::string> files;
};

int fail(const std::string& message)
{
    std::fprintf(stderr, "sceneconvert: %s\n", message.c_str());
    return ExitFailure;
}

Format formatof(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return Format::Unknown;
    std::string ext;
    for (size_t i = dot + 1; i < path.size(); i++)
        ext += char(std::tolower(static_cast<unsigned char>(path[i])));
    return ext == "item"   ? Format::Item
           : ext == "obj"  ? Format::Obj
           : ext == "stl"  ? Format::Stl
           : ext == "ply"  ? Format::Ply
           : ext == "gltf" ? Format::Gltf
           : ext == "glb"  ? Format::Glb
                           : Format::Unknown;
}

// Decimal digits only, lo to hi.
bool parseint(const std::string& text, int lo, int hi, int* value)
{
    if (text.empty() || text.size() > 5)
        return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < lo || v > hi)
        return false;
    *value = v;
    return true;
}

bool parsecolor(const std::string& text, uint8_t color[3])
{
    size_t from = 0;
    for (int i = 0; i < 3; i++) {
        const size_t comma = i < 2 ? text.find(',', from) : text.size();
        int v;
        if (comma == std::string::npos || !parseint(text.substr(from, comma - from), 0, 255, &v))
            return false;
        color[i] = uint8_t(v);
        from = comma + 1;
    }
    return true;
}

int parseargs(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--fit") {
            options->import.fit = true;
        } else if (arg == "--timings") {
            options->timings = true;
        } else if (arg == "--back" || arg == "--segments") {
            if (i + 1 >= argc)
                return fail(arg + " needs a value (see --help)");
            const std::string value = argv[++i];
            if (arg == "--back" && !parsecolor(value, options->import.backcolor))
                return fail("bad colour '" + value + "': expected R,G,B, each 0 to 255");
            if (arg == "--segments" && !parseint(value, 4, 1024, &options->segments))
                return fail("bad segment count '" + value + "': expected 4 to 1024");
            options->backgiven = options->backgiven || arg == "--back";
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option '" + arg + "' (see --help)");
        } else {
            options->files.push_back(arg);
        }
    }
    options->import.back = options->backgiven;
    if (options->help)
        return ExitOk;
    if (options->files.size() != 2)
        return fail(options->files.size() < 2 ? "need an INPUT and an OUTPUT (see --help)"
                                              : "more than two files given (see --help)");
    return ExitOk;
}

// Wall and processor time of each step. On a shared machine the processor
// time is the figure that does not depend on what the others run.
struct Lap {
    double wall = 0, cpu = 0;
};

struct Stopwatch {
    std::chrono::steady_clock::time_point wall = std::chrono::steady_clock::now();
    std::clock_t cpu = std::clock();
    Lap lap()
    {
        const auto now = std::chrono::steady_clock::now();
        const std::clock_t cpunow = std::clock();
        const Lap lap = {std::chrono::duration<double>(now - wall).count(),
                         double(cpunow - cpu) / CLOCKS_PER_SEC};
        wall = now;
        cpu = cpunow;
        return lap;
    }
};

// The files this run writes.
std::vector<std::string> outputsof(const std::string& output, Format format)
{
    if (format == Format::Obj)
        return {output, mtlpath(output)};
    return {output};
}

long counttag(SceneList* list, ObjectTag tag)
{
    long n = 0;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            n += block->tags[i] == tag;
    return n;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    const int status = parseargs(argc, argv, &options);
    if (status != ExitOk)
        return status;
    if (options.help) {
        std::fputs(Usage, stdout);
        return ExitOk;
    }
    const std::string input = options.files[0], output = options.files[1];
    const Format from = formatof(input), to = formatof(output);
    if (from == Format::Unknown)
        return fail("cannot tell the format of '" + input +
                    "': use .item, .obj, .stl, .ply, .gltf or .glb");
    if (to != Format::Item && to != Format::Obj && to != Format::Glb)
        return fail("cannot write '" + output + "': write .item, .obj or .glb");
    if (from == Format::Item && (options.import.fit || options.backgiven))
        return fail(
            "--fit and --back shape a model as it is read: the input must not be a scene file");
    const std::string why = unreadablewhy(input);
    if (!why.empty())
        return fail("cannot read '" + input + "': " + why);
    for (const std::string& path : outputsof(output, to))
        if (SameFile(input, path))
            return fail("'" + path + "' is the input itself: choose another output");

    Stopwatch watch;
    Lap reading, converting, writing;
    std::vector<std::string> losses, notes;
    SceneList* list = nullptr;
    ImportCounts counts;
    if (from == Format::Item) {
        // The editor's start-up view, then whatever the file sets.
        StartView();
        std::vector<std::string> messages;
        SceneMessages = &messages;
        list = ActualScene = ReadScene(input.c_str());
        SceneMessages = nullptr;
        for (const std::string& message : messages)
            losses.push_back("scene file: " + message);
        reading = watch.lap();
    } else {
        Mesh mesh;
        bool read = from == Format::Obj                           ? ReadObj(input, &mesh)
                    : from == Format::Gltf || from == Format::Glb ? ReadGltf(input, &mesh)
                                                                  : ReadAssimp(input, &mesh);
        if (read && mesh.longfaces && AssimpBuilt) {
            mesh = Mesh();
            read = ReadAssimp(input, &mesh);
            mesh.report.notes.push_back(
                "faces of more than 255 corners: read with assimp instead of tinyobjloader");
        }
        if (!read)
            return fail("cannot read '" + input + "': " + mesh.report.error);
        reading = watch.lap();
        list = MeshToScene(mesh, options.import, &counts);
        converting = watch.lap();
        losses = mesh.report.losses;
        notes = mesh.report.notes;
        if (counts.polygons == 0)
            losses.push_back("no faces: the scene is empty");
    }

    std::string summary;
    if (to == Format::Item) {
        if (!SaveScene(output.c_str(), list))
            return fail("cannot write '" + output + "'");
        if (from == Format::Item)
            summary = std::to_string(counttag(list, TagPolygon)) + " polygons, " +
                      std::to_string(counttag(list, TagSphere)) + " spheres written";
        else
            summary = std::to_string(counts.faces) + " faces (" + std::to_string(counts.triangles) +
                      " triangles) read; " + std::to_string(counts.polygons) + " polygons (" +
                      std::to_string(counts.polytriangles) + " triangles), " +
                      std::to_string(counts.points) + " points, " +
                      std::to_string(counts.patterns) + " patterns written";
    } else {
        Mesh faces = SceneToMesh(list, options.segments);
        const Lap turning = watch.lap();
        converting.wall += turning.wall;
        converting.cpu += turning.cpu;
        const bool written = to == Format::Obj ? WriteObj(output, faces) : WriteGlb(output, faces);
        if (!written)
            return fail(faces.report.error);
        losses.insert(losses.end(), faces.report.losses.begin(), faces.report.losses.end());
        summary = std::to_string(faces.faceends.size()) + " faces, " +
                  std::to_string(faces.positions.size() / 3) + " vertices, " +
                  std::to_string(faces.materials.size()) + " materials written";
    }
    writing = watch.lap();

    for (const std::string& note : notes)
        std::fprintf(stderr, "sceneconvert: %s: %s\n", input.c_str(), note.c_str());
    for (const std::string& loss : losses)
        std::fprintf(stderr, "sceneconvert: %s: %s\n", input.c_str(), loss.c_str());
    std::printf("%s -> %s: %s\n", input.c_str(), output.c_str(), summary.c_str());
    if (options.timings)
        std::fprintf(stderr,
                     "sceneconvert: read %.3f s (processor %.3f s), convert %.3f s (%.3f s), "
                     "write %.3f s (%.3f s)\n",
                     reading.wall, reading.cpu, converting.wall, converting.cpu, writing.wall,
                     writing.cpu);
    return losses.empty() ? ExitOk : ExitLosses;
}
