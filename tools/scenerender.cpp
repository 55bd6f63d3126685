// scenerender - renders a scene file into a picture, exactly as the editor
// shows it right after it was started with that scene and a client area of
// the given size: start-up camera and light, load, prepare, render.
#include "core/registry.h"
#include "core/safefile.h"
#include "render/camera.h"
#include "render/display_headless.h"
#include "render/image.h"
#include "render/render.h"
#include "scenefile/diagnostics.h"
#include "scenefile/scenefile.h"
#include "tools/picturefile.h"
#include "tools/toolfiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int ExitOk = 0, ExitFindings = 1, ExitFailure = 2;
constexpr long MaxSide = 8192;

const char Usage[] =
    "usage: scenerender [--size WxH] [--output FILE] [--check] SCENE\n"
    "\n"
    "Renders the scene file SCENE as the editor shows it right after starting with it:\n"
    "default camera in central view with clipping, a directed light along the view,\n"
    "then whatever camera and light the file sets.\n"
    "\n"
    "  --size WxH     drawing area in pixels, each side 1 to 8192 (default 640x480)\n"
    "  --output FILE  the picture; its extension chooses the format: .png, .bmp or .ppm\n"
    "                 (default: SCENE with its extension replaced by .png)\n"
    "  --check        print what the loader ignored or dropped, with line numbers, and\n"
    "                 exit with 1 if there was anything; renders only with --output\n"
    "  --help         this text\n"
    "\n"
    "The picture never replaces the scene itself, and an old picture is replaced only\n"
    "by a whole new one.\n"
    "\n"
    "Exit status: 0 done, 1 --check found something, 2 bad arguments, a scene that\n"
    "cannot be read, a picture that would replace it, or one that cannot be written.\n";

struct Options {
    int32_t width = 640;
    int32_t height = 480;
    std::string output;
    bool check = false;
    bool help = false;
    std::string scene;
};

int fail(const std::string& message)
{
    std::fprintf(stderr, "scenerender: %s\n", message.c_str());
    return ExitFailure;
}

// One side of --size: decimal digits only, 1 to MaxSide.
bool parseside(const std::string& text, int32_t* side)
{
    if (text.empty() || text.size() > 5)
        return false;
    long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > MaxSide)
        return false;
    *side = int32_t(value);
    return true;
}

bool parsesize(const std::string& text, Options* options)
{
    const size_t x = text.find_first_of("xX");
    return x != std::string::npos && parseside(text.substr(0, x), &options->width) &&
           parseside(text.substr(x + 1), &options->height);
}

// Returns ExitOk, or the status to end with after the message was printed.
int parseargs(int argc, char** argv, Options* options)
{
    bool scenegiven = false;
    for (int i = 1; i < argc; i++) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--check") {
            options->check = true;
        } else if (arg == "--size" || arg == "--output") {
            if (i + 1 >= argc)
                return fail(arg + " needs a value (see --help)");
            const std::string value = argv[++i];
            if (arg == "--output")
                options->output = value;
            else if (!parsesize(value, options))
                return fail("bad size '" + value + "': expected WxH, each side 1 to 8192");
        } else if (arg.size() > 1 && arg[0] == '-') {
            return fail("unknown option '" + arg + "' (see --help)");
        } else if (scenegiven) {
            return fail("more than one scene given: '" + options->scene + "' and '" + arg + "'");
        } else {
            options->scene = arg;
            scenegiven = true;
        }
    }
    if (!options->help && !scenegiven)
        return fail("no scene given (see --help)");
    return ExitOk;
}

// The editor's start-up, with the scene named on its command line.
SceneList* LoadAndRender(const std::string& scene, HeadlessWindow* window)
{
    StartView();
    ActualImage = emptyimg();
    FormatImage(&ActualImage, window);
    ActualScene = ReadScene(scene.c_str());
    PrepareScene();
    RenderScene(ActualScene);
    return ActualScene;
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

    const std::string why = unreadablewhy(options.scene);
    if (!why.empty())
        return fail("cannot read scene '" + options.scene + "': " + why);

    const bool render = !options.check || !options.output.empty();
    const std::string output = options.output.empty() ? withextension(options.scene, ".png") : options.output;
    const PictureKind kind = picturekind(output.c_str());
    SafeFile picture;
    if (render) {
        if (kind == PictureKind::Unknown)
            return fail("cannot tell the picture format of '" + output +
                        "': use .png, .bmp or .ppm");
        // Compared by identity: another spelling or a link must not empty the scene either.
        if (SameFile(options.scene, output))
            return fail("will not write the picture over the scene '" + options.scene + "'");
        // Opened before the work, so that a wrong folder is told at once; the picture
        // replaces an old one only when it was written whole.
        picture = OpenSafe(output, true);
        if (!picture.file)
            return fail("cannot write '" + output + "': " + std::strerror(errno));
    }

    std::vector<std::string> messages;
    if (options.check)
        SceneMessages = &messages;
    HeadlessWindow window = {options.width, options.height, {}, 0};
    LoadAndRender(options.scene, &window);
    SceneMessages = nullptr;

    for (const std::string& message : messages)
        std::printf("%s: %s\n", options.scene.c_str(), message.c_str());
    std::fflush(stdout);

    if (picture.file && !CloseSafe(&picture, WritePicture(picture.file, kind, ActualImage)))
        return fail("cannot write '" + output + "'");
    return messages.empty() ? ExitOk : ExitFindings;
}
