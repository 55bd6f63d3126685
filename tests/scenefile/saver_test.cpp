#include "core/memory.h"
#include "scenefixture.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#ifdef __linux__
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Temporary files left in a folder: the saver's are named "~" and seven letters.
int strays(const std::string& folder)
{
    int count = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        count += entry.path().filename().string()[0] == '~';
    return count;
}

template <typename T>
T* stored(T value)
{
    T* record = static_cast<T*>(Memory_Gra(sizeof(T)));
    *record = value;
    return record;
}

Vector* addpoint(SceneList* list, const char* name, float x, float y, float z, ObjectTag tag = TagPoint)
{
    Vector* v = stored(Vector{x, y, z});
    insertlist(list, tag, v, copytext(name));
    return v;
}

Pattern* addpattern(SceneList* list, const char* name, int red, int green, int blue)
{
    Pattern* pattern = stored(RGBpattern(red, green, blue, 33, 33, 33));
    insertlist(list, TagPattern, pattern, copytext(name));
    return pattern;
}

// A scene list that no file made, entered as the current scene.
SceneList* newscene()
{
    SceneList* list = initlist();
    AddScene(list, nullptr);
    return list;
}

}  // namespace

using SaveScene_ = SceneFileTest;

TEST_F(SaveScene_, TheExampleFileIsWrittenBackByteForByte)
{
    SceneList* list = load(ExampleScene);
    const std::string path = TestPath("example.item");
    const char* shortname = SaveOver(path.c_str(), list);
    ASSERT_NE(shortname, nullptr);
    EXPECT_EQ(ReadBytes(path), Lines(ExampleScene));
    EXPECT_EQ(std::string(SceneName[chosen_scene]), path);
    EXPECT_EQ(shortname, SceneShort[chosen_scene]);
    EXPECT_EQ(strays(TestPath("")), 0);
}

TEST_F(SaveScene_, ModeLettersFollowTheFlagsAndReadBackAsTheyWere)
{
    SceneList* list = load("");
    const std::string path = TestPath("modes.item");
    const struct {
        uint8_t cam, light;
        const char* text;
    } cases[] = {
        {CamCentral | CamClip, LightBound | LightDirected, "CAM CX\nLGT CI\n"},
        {0, 0, "CAM PF\nLGT IF\n"},
        {CamClip, LightDirected, "CAM PX\nLGT II\n"},
        {CamCentral, LightBound, "CAM UF\nLGT CF\n"},
    };
    for (const auto& c : cases) {
        ActualCam.flags = c.cam;
        ActualLight.flags = c.light;
        ASSERT_NE(SaveOver(path.c_str(), list), nullptr);
        EXPECT_EQ(ReadBytes(path), Lines(c.text));
        // Whatever the view before loading, the file restores the one it was saved with.
        for (const uint8_t before : {0, int(CamClip), int(CamCentral), int(CamCentral | CamClip)}) {
            ActualCam.flags = before;
            ActualLight.flags = uint8_t(~c.light & 3);
            read(path);
            EXPECT_EQ(ActualCam.flags, c.cam) << c.text << " over " << int(before);
            EXPECT_EQ(ActualLight.flags, c.light) << c.text;
        }
    }
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(SaveScene_, ASphereMadeBeforeItsPointIsWrittenAfterIt)
{
    SceneList* list = newscene();
    loaded.emplace_back(list, "");
    Pattern* red = addpattern(list, "red", 255, 0, 0);
    Vector* later = stored(Vector{1.23456789f, -0.000123456789f, 98765432.0f});
    insertlist(list, TagSphere, stored(SphereObject{later, 2.5f, red}), copytext("ball"));
    insertlist(list, TagPoint, later, copytext("centre"));
    insertlist(list, TagSphere, stored(SphereObject{later, 1.0f, red}), copytext("gone"));
    deletelist(list, TagSphere, "gone");
    const std::string path = TestPath("reorder.item");
    ASSERT_NE(SaveOver(path.c_str(), list), nullptr);
    EXPECT_EQ(ReadBytes(path), Lines("CAM CX\nLGT II\n"
                                     "PAT red RGB 255 0 0 AMB 33 33 33\n"
                                     "PNT centre 1.23457 -0.000123457 9.87654e+07\n"
                                     "SPH ball centre 2.5 red\n"));
    SceneList* again = read(path);
    EXPECT_EQ(Entries(again), (std::vector<std::string>{"PAT red", "PNT centre", "SPH ball"}));
    const Vector* centre = static_cast<Vector*>(searchlist(again, TagPoint, "centre"));
    EXPECT_EQ(centre->x, 1.23457f);
    EXPECT_EQ(centre->z, 98765400.0f);
}

TEST_F(SaveScene_, ABackSideThatStandsLaterIsWrittenButLostOnReading)
{
    SceneList* list = newscene();
    loaded.emplace_back(list, "");
    Pattern* front = addpattern(list, "front", 1, 2, 3);
    Pattern* back = addpattern(list, "back", 4, 5, 6);
    front->back = back;
    front->flags |= PatternHasBack;
    const std::string path = TestPath("back.item");
    ASSERT_NE(SaveOver(path.c_str(), list), nullptr);
    EXPECT_NE(ReadBytes(path).find("PAT front RGB 1 2 3 AMB 33 33 33 BCK back"), std::string::npos);
    SceneList* again = read(path);
    EXPECT_EQ(static_cast<Pattern*>(searchlist(again, TagPattern, "front"))->flags, 0);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "line 3: pattern 'front': BCK ignored: no pattern 'back' defined before it"}));
}

TEST_F(SaveScene_, RealsAreWrittenAlikeByEveryBuild)
{
    SceneList* list = newscene();
    loaded.emplace_back(list, "");
    addpoint(list, "a", 1e-45f, -0.0f, 3.4028235e38f);
    addpoint(list, "b", HUGE_VALF, -HUGE_VALF, -std::nanf(""));
    addpoint(list, "c", 999999.5f, 123456.5f, 0.0001f);
    addpoint(list, "d", 0.00001f, 1.17549435e-38f, 100.0f);
    addpoint(list, "e", 33.333333f, -2.5e-7f, 16777216.0f);
    const std::string path = TestPath("reals.item");
    ASSERT_NE(SaveOver(path.c_str(), list), nullptr);
    EXPECT_EQ(ReadBytes(path), Lines("CAM CX\nLGT II\n"
                                     "PNT a 1.4013e-45 -0 3.40282e+38\n"
                                     "PNT b inf -inf nan\n"
                                     "PNT c 1e+06 123456 0.0001\n"
                                     "PNT d 1e-05 1.17549e-38 100\n"
                                     "PNT e 33.3333 -2.5e-07 1.67772e+07\n"));
}

namespace {

// A random name of any bytes a name can hold: no blank, line feed, CR or NUL
// (byte 26 included, which ends a Windows text stream).
std::string randomname(std::mt19937& random)
{
    std::string name;
    const int length = int(random() % 12);
    for (int i = 0; i < length; i++) {
        char c;
        do
            c = char(random() % 255 + 1);
        while (c == ' ' || c == '\n' || c == '\r');
        name += c;
    }
    return name;
}

float randomreal(std::mt19937& random)
{
    static const float special[] = {0.0f, -0.0f, 1e-45f, -1.17549e-38f, 3.40282e+38f, HUGE_VALF,
                                    -HUGE_VALF, std::nanf(""), 1e6f, 999999.5f, 0.0001f, 1e-5f};
    const unsigned pick = random() % 10;
    if (pick == 0)
        return special[random() % (sizeof special / sizeof special[0])];
    if (pick < 4) {
        const uint32_t bits = uint32_t(random());
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    return float(int(random() % 200001) - 100000) / float(1 + random() % 1000);
}

// Thousands of objects of every kind, duplicate names, shared colour cells,
// back sides standing earlier, deleted spheres and polygons.
SceneList* randomscene(std::mt19937& random, int objects)
{
    SceneList* list = newscene();
    std::vector<Vector*> points;
    std::vector<Pattern*> patterns;
    std::vector<std::string> doomed;
    for (int i = 0; i < objects; i++) {
        const unsigned kind = points.empty() || patterns.empty() ? i % 3 : random() % 6;
        std::string name = randomname(random);
        if (kind == 0 || kind == 1) {
            Vector* v = addpoint(list, name.c_str(), randomreal(random), randomreal(random), randomreal(random),
                                 kind == 0 ? TagPoint : TagVector);
            if (kind == 0)
                points.push_back(v);
        } else if (kind == 2) {
            Pattern* p = addpattern(list, name.c_str(), int(random()), int(random()), int(random()));
            p->ambient = packcolor(int(random()), int(random()), int(random()));
            if (!patterns.empty() && random() % 3 == 0) {
                p->back = patterns[random() % patterns.size()];
                p->flags |= PatternHasBack;
            }
            if (!patterns.empty() && random() % 5 == 0) {
                std::free(p->color);
                p->color = patterns[random() % patterns.size()]->color;
            }
            patterns.push_back(p);
        } else if (kind == 3) {
            insertlist(list, TagSphere,
                       stored(SphereObject{points[random() % points.size()], randomreal(random),
                                           patterns[random() % patterns.size()]}),
                       copytext(name.c_str()));
        } else {
            const int count = int(random() % 9);
            Vector** corners = count ? static_cast<Vector**>(Memory_Gra(sizeof(Vector*) * size_t(count))) : nullptr;
            for (int k = 0; k < count; k++)
                corners[k] = points[random() % points.size()];
            insertlist(list, TagPolygon,
                       stored(PolygonObject{count, corners, patterns[random() % patterns.size()]}),
                       copytext(name.c_str()));
        }
        if (kind >= 3 && random() % 10 == 0)
            doomed.push_back((kind == 3 ? "S" : "P") + name);
    }
    for (const std::string& d : doomed) {
        // Deleting frees only the record; keep the corner array from leaking.
        if (d[0] == 'P') {
            PolygonObject* polygon = static_cast<PolygonObject*>(searchlist(list, TagPolygon, d.c_str() + 1));
            Vector** corners = polygon ? polygon->corners : nullptr;
            deletelist(list, TagPolygon, d.c_str() + 1);
            std::free(corners);
        } else {
            deletelist(list, TagSphere, d.c_str() + 1);
        }
    }
    return list;
}

}  // namespace

TEST_F(SaveScene_, GeneratedScenesSurviveSaveLoadSaveByteForByte)
{
    std::mt19937 random(7);
    for (int round = 0; round < 4; round++) {
        ActualCam.flags = uint8_t(random() % 2 ? CamCentral | CamClip : random() % 2 ? CamClip : 0);
        ActualLight.flags = uint8_t(random() % 4);
        SceneList* list = randomscene(random, 3000);
        loaded.emplace_back(list, "");
        const std::string first = TestPath("generated1.item");
        const std::string second = TestPath("generated2.item");
        ASSERT_NE(SaveOver(first.c_str(), list), nullptr);
        SceneList* again = read(first);
        ASSERT_NE(SaveOver(second.c_str(), again), nullptr);
        const std::string bytes = ReadBytes(first);
        ASSERT_GT(bytes.size(), 50000u);
        ASSERT_TRUE(bytes == ReadBytes(second)) << "round " << round;
        EXPECT_TRUE(messages.empty()) << messages.front();
        // Everything but the shapes comes first on reading; nothing deleted is written.
        const std::vector<std::string> entries = Entries(again);
        bool shapes = false;
        for (const std::string& e : entries) {
            ASSERT_NE(e.substr(0, 3), "NOP");
            const bool shape = e.substr(0, 3) == "SPH" || e.substr(0, 3) == "POL";
            ASSERT_FALSE(shapes && !shape) << e;
            shapes |= shape;
        }
        size_t lines = 0, crlf = 0;
        for (size_t i = 0; i < bytes.size(); i++)
            if (bytes[i] == '\n') {
                lines++;
                crlf += i > 0 && bytes[i - 1] == '\r';
            }
        EXPECT_EQ(lines, entries.size() + 2);
#ifdef _WIN32
        EXPECT_EQ(crlf, lines);
#else
        EXPECT_EQ(crlf, 0u);
#endif
    }
}

TEST_F(SaveScene_, AFailedSaveLeavesTheOldFileTheRegistryAndNoTemporary)
{
    SceneList* list = load("PNT a 1 2 3\n");
    char* const name = SceneName[chosen_scene];
    EXPECT_EQ(SaveScene(TestPath("no folder/x.item").c_str(), list), nullptr);
    EXPECT_FALSE(FileExists(TestPath("no folder")));

    const std::string folder = TestPath("a folder");
    std::filesystem::create_directory(folder);
    WriteBytes(folder + "/inside", "kept");
    EXPECT_EQ(SaveScene(folder.c_str(), list), nullptr);
    EXPECT_EQ(ReadBytes(folder + "/inside"), "kept");
    EXPECT_EQ(strays(TestPath("")), 0);

    // Never shortened to a path that would work.
    const std::string longpath = TestPath(std::string(ScenePathLimit, 'x'));
    EXPECT_EQ(SaveScene(longpath.c_str(), list), nullptr);
    EXPECT_EQ(SaveScene(nullptr, list), nullptr);
    EXPECT_EQ(SceneName[chosen_scene], name);
}

#ifdef __linux__
TEST_F(SaveScene_, AWriteThatFailsHalfWayLeavesTheOldFileWhole)
{
    SceneList* list = load("");
    for (int i = 0; i < 2000; i++)
        addpoint(list, "point", float(i), 0, 0);
    const std::string path = TestPath("full.item");
    WriteBytes(path, "old contents\n");
    // A file size limit makes the disk look full after 4 KiB.
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    auto oldhandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const char* result = SaveScene(path.c_str(), list);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldhandler);
    EXPECT_EQ(result, nullptr);
    EXPECT_EQ(ReadBytes(path), "old contents\n");
    EXPECT_EQ(strays(TestPath("")), 0);
}

TEST_F(SaveScene_, NoLinkMisdirectsASaveAndAReadOnlyFolderDoesNotBlockIt)
{
    SceneList* list = load("PNT a 1 2 3\n");
    const std::string bytes = "CAM CX\nLGT II\nPNT a 1 2 3\n";
    const std::string folder = TestPath("links");
    fs::create_directory(folder);

    // A link waiting at the name the saver once used, and at the name itself.
    const std::string victim = TestPath("victim");
    WriteBytes(victim, "precious\n");
    const std::string path = folder + "/scene.item";
    ASSERT_EQ(symlink(victim.c_str(), (path + "~saving").c_str()), 0);
    ASSERT_NE(SaveOver(path.c_str(), list), nullptr);
    EXPECT_EQ(ReadBytes(victim), "precious\n");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(ReadBytes(path), bytes);

    // Saved through a chain of relative links into the file at its end; the links
    // stay links. A link to nothing yet makes the file it names.
    WriteBytes(folder + "/real.item", "old\n");
    ASSERT_EQ(symlink("real.item", (folder + "/hop.item").c_str()), 0);
    ASSERT_EQ(symlink("../links/hop.item", (folder + "/link.item").c_str()), 0);
    ASSERT_EQ(symlink("later.item", (folder + "/dangling.item").c_str()), 0);
    for (const char* name : {"/link.item", "/dangling.item"}) {
        ASSERT_NE(SaveOver((folder + name).c_str(), list), nullptr) << name;
        EXPECT_TRUE(fs::is_symlink(folder + name)) << name;
        EXPECT_EQ(std::string(SceneName[chosen_scene]), folder + name);
    }
    EXPECT_TRUE(fs::is_symlink(folder + "/hop.item"));
    EXPECT_EQ(ReadBytes(folder + "/real.item"), bytes);
    EXPECT_EQ(ReadBytes(folder + "/later.item"), bytes);
    EXPECT_EQ(strays(folder), 0);

    // A folder nobody may write, a scene everybody may. Root writes anywhere, so the
    // saves run as nobody: a whole one, then one that fails half-way.
    const std::string locked = TestPath("locked");
    fs::create_directory(locked);
    const std::string inside = locked + "/scene.item";
    WriteBytes(inside, "old\n");
    chmod(inside.c_str(), 0666);
    chmod(locked.c_str(), 0555);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        if (!SaveScene(inside.c_str(), list))
            _exit(1);
        for (int i = 0; i < 2000; i++)
            addpoint(list, "point", float(i), 0, 0);
        rlimit small = {4096, 4096};
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        _exit(SaveScene(inside.c_str(), list) ? 2 : 0);
    }
    int status = -1;
    waitpid(child, &status, 0);
    chmod(locked.c_str(), 0755);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(inside), bytes);
    EXPECT_EQ(strays(locked), 0);
}
#endif

TEST_F(SaveScene_, APathJustBelowTheWindowsLimitIsSaved)
{
    // MAX_PATH is 260 with the terminating zero: 259 characters fit, and the
    // temporary file beside the scene must fit as well.
    SceneList* list = load("PNT a 1 2 3\n");
    const size_t folder = TestPath("").size();
    for (size_t length = 253; length <= 259; length++) {
        const std::string path = TestPath(std::string(length - folder, 'n'));
        ASSERT_EQ(path.size(), length);
        ASSERT_NE(SaveOver(path.c_str(), list), nullptr) << length;
        EXPECT_EQ(ReadBytes(path), Lines("CAM CX\nLGT II\nPNT a 1 2 3\n"));
    }
    EXPECT_EQ(strays(TestPath("")), 0);
}
