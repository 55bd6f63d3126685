#include "core/memory.h"
#include "scenefile/tokenizer.h"
#include "scenefixture.h"

#include <cmath>
#include <cstring>
#include <filesystem>

std::vector<std::string> Entries(SceneList* list)
{
    std::vector<std::string> entries;
    for (ListBlock* block = list; block; block = block->next)
        for (int i = 0; i < block->count; i++)
            entries.push_back(std::string(Keywords[block->tags[i]]) + " " + block->names[i]);
    return entries;
}

namespace {

Vector* point(SceneList* list, const char* name)
{
    return static_cast<Vector*>(searchlist(list, TagPoint, name));
}

Pattern* pattern(SceneList* list, const char* name)
{
    return static_cast<Pattern*>(searchlist(list, TagPattern, name));
}

void expectVector(Vector v, float x, float y, float z)
{
    EXPECT_EQ(v.x, x);
    EXPECT_EQ(v.y, y);
    EXPECT_EQ(v.z, z);
}

void expectVector(const Vector* v, float x, float y, float z)
{
    ASSERT_NE(v, nullptr);
    expectVector(*v, x, y, z);
}

Vector column(int c)
{
    return columnm(ActualCam.frame, c);
}

}  // namespace

using LoadScene = SceneFileTest;

TEST_F(LoadScene, TheExampleFileGivesExactlyTheObjectsItDescribes)
{
    ActualCam.flags = 0;
    ActualLight.flags = LightBound | LightDirected;
    SceneList* list = load(ExampleScene);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"PNT p1", "PNT p2", "PNT p3", "PAT red", "PAT blue",
                                                      "SPH ball", "POL tri"}));
    expectVector(point(list, "p2"), 100, 0, 0);
    Pattern* red = pattern(list, "red");
    Pattern* blue = pattern(list, "blue");
    ASSERT_TRUE(red && blue);
    EXPECT_EQ(*red->color, packcolor(255, 0, 0));
    EXPECT_EQ(red->ambient, packcolor(33, 33, 33));
    EXPECT_EQ(red->flags, 0);
    EXPECT_EQ(*blue->color, packcolor(0, 0, 255));
    EXPECT_EQ(blue->flags, PatternHasBack);
    EXPECT_EQ(blue->back, red);
    const SphereObject* ball = static_cast<SphereObject*>(searchlist(list, TagSphere, "ball"));
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->center, point(list, "p1"));
    EXPECT_EQ(ball->radius, 50.0f);
    EXPECT_EQ(ball->pattern, red);
    const PolygonObject* tri = static_cast<PolygonObject*>(searchlist(list, TagPolygon, "tri"));
    ASSERT_NE(tri, nullptr);
    ASSERT_EQ(tri->count, 3);
    EXPECT_EQ(tri->corners[0], point(list, "p1"));
    EXPECT_EQ(tri->corners[1], point(list, "p2"));
    EXPECT_EQ(tri->corners[2], point(list, "p3"));
    EXPECT_EQ(tri->pattern, blue);
    EXPECT_EQ(ActualCam.flags, CamCentral | CamClip);
    EXPECT_EQ(ActualLight.flags, 0);
    EXPECT_TRUE(messages.empty());
    // Entered as the current scene, named after its file.
    EXPECT_EQ(ListScene[chosen_scene], list);
    EXPECT_EQ(std::string(SceneName[chosen_scene]), loaded.back().second);
}

TEST_F(LoadScene, ModeLettersChangeOnlyTheirOwnBits)
{
    struct {
        const char* line;
        uint8_t before, after;
    } const cam[] = {
        {"CAM PX\n", CamCentral, CamClip},
        {"CAM CF\n", 0, CamCentral | CamClip},  // second letter first: C wins
        {"CAM UF\n", CamClip, CamCentral},      // the central view without clipping
        {"CAM PF\n", CamCentral | CamClip, 0},
        {"CAM C\n", 0, CamCentral | CamClip},   // a missing second letter changes nothing
        {"CAM ZZ\n", CamClip, CamClip},
        {"CAM\n", CamClip, CamClip},
    };
    for (const auto& c : cam) {
        ActualCam.flags = c.before;
        load(c.line);
        EXPECT_EQ(ActualCam.flags, c.after) << c.line;
    }
    struct {
        const char* line;
        uint8_t before, after;
    } const lgt[] = {
        {"LGT CI\n", 0, LightBound | LightDirected},
        {"LGT IF\n", LightBound | LightDirected, 0},
        {"LGT C\n", LightDirected, LightBound | LightDirected},
        {"LGT xI\n", LightBound, LightBound | LightDirected},
    };
    for (const auto& c : lgt) {
        ActualLight.flags = c.before;
        load(c.line);
        EXPECT_EQ(ActualLight.flags, c.after) << c.line;
    }
    EXPECT_EQ(messages, (std::vector<std::string>{"line 1: CAM letter 'Z' ignored", "line 1: CAM letter 'Z' ignored",
                                                  "line 1: CAM record runs on into line 2",
                                                  "line 1: LGT letter 'x' ignored"}));
}

TEST_F(LoadScene, CameraEntriesMoveTheCameraEvenFromASecondScene)
{
    SceneList* first = load("PNT cam_position 1 2 3\nVEC cam_right 4 5 6\nVEC cam_lower 7 8 9\n"
                            "VEC cam_front 10 11 12\nPNT cam_right 99 99 99\nVEC cam_position 99 99 99\n");
    expectVector(column(0), 4, 5, 6);
    expectVector(column(1), 7, 8, 9);
    expectVector(column(2), 10, 11, 12);
    expectVector(column(3), 1, 2, 3);
    // They stay ordinary entries of the scene.
    EXPECT_EQ(Entries(first).size(), 6u);
    load("PNT cam_position -5 0 0\n");
    expectVector(column(3), -5, 0, 0);
    expectVector(column(0), 4, 5, 6);
    EXPECT_EQ(ListScene[chosen_scene - 1], first);
}

TEST_F(LoadScene, PatternClausesApplyLeftToRightAndFrtSharesTheColourCell)
{
    SceneList* list = load("PAT plain\n"
                           "PAT odd RGB 256 -1 7 AMB 1 2 3 RGB 9 9 9 junk CAM AMB 4 5 6\n"
                           "PAT a RGB 10 20 30 AMB 1 1 1\n"
                           "PAT b BCK a FRT a RGB 40 50 60 BCK nowhere FRT nowhere\n"
                           "PAT c BCK a\n"
                           "PAT d BCK c FRT c\n");
    const Pattern* plain = pattern(list, "plain");
    EXPECT_EQ(*plain->color, 0u);
    EXPECT_EQ(plain->ambient, packcolor(33, 33, 33));
    const Pattern* odd = pattern(list, "odd");
    EXPECT_EQ(*odd->color, packcolor(9, 9, 9));
    EXPECT_EQ(odd->ambient, packcolor(4, 5, 6));
    // RGB 256 -1 7 is (0, 255, 7): each component keeps its low 8 bits.
    SceneList* low = load("PAT x RGB 256 -1 7\n");
    EXPECT_EQ(*pattern(low, "x")->color, packcolor(0, 255, 7));

    Pattern* a = pattern(list, "a");
    Pattern* b = pattern(list, "b");
    EXPECT_EQ(b->color, a->color);
    EXPECT_EQ(*a->color, packcolor(40, 50, 60));  // coloured through b
    EXPECT_EQ(b->ambient, packcolor(1, 1, 1));
    EXPECT_EQ(b->flags, 0);                        // FRT cleared the earlier BCK
    const Pattern* d = pattern(list, "d");
    EXPECT_EQ(d->flags, 0);                        // FRT takes c's fields but not its back side
    EXPECT_EQ(pattern(list, "c")->back, a);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "line 2: pattern 'odd': clause 'junk' ignored",
                            "line 2: pattern 'odd': clause 'CAM' ignored",
                            "line 4: pattern 'b': BCK ignored: no pattern 'nowhere' defined before it",
                            "line 4: pattern 'b': FRT ignored: no pattern 'nowhere' defined before it",
                        }));
}

TEST_F(LoadScene, SpheresAndPolygonsSeeOnlyEarlierRecords)
{
    SceneList* list = load("SPH early c 5 red\n"
                           "PNT c 0 0 0\nPNT d 1 0 0\nPNT e 0 1 0\n"
                           "SPH nopattern c 5 red\n"
                           "PAT red\n"
                           "SPH ball c 5 red\n"
                           "POL second 3 c x e red\n"
                           "POL third 3 c d x red\n"
                           "POL nopat 3 c d e blue\n"
                           "POL empty 0 red\n"
                           "POL negative -5 c d e red\n"
                           "POL tri 3 c d e red\n"
                           "PNT x 0 0 1\n");
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"PNT c", "PNT d", "PNT e", "PAT red", "SPH ball",
                                                      "POL empty", "POL tri", "PNT x"}));
    const PolygonObject* empty = static_cast<PolygonObject*>(searchlist(list, TagPolygon, "empty"));
    EXPECT_EQ(empty->count, 0);
    expectVector(point(list, "d"), 1, 0, 0);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "line 1: sphere 'early' dropped: no point 'c' defined before it",
                            "line 5: sphere 'nopattern' dropped: no pattern 'red' defined before it",
                            "line 8: polygon 'second' dropped: no point 'x' defined before it",
                            "line 9: polygon 'third' dropped: no point 'x' defined before it",
                            "line 10: polygon 'nopat' dropped: no pattern 'blue' defined before it",
                            "line 12: polygon 'negative' dropped: negative corner count -5",
                        }));
}

namespace {
size_t LargestAllocation = 0;
void* trackingheap(size_t size)
{
    if (size > LargestAllocation)
        LargestAllocation = size;
    return std::malloc(size);
}
}  // namespace

TEST_F(LoadScene, ACornerCountClaimsNoMemoryThatTheFileDoesNotBack)
{
    LargestAllocation = 0;
    HeapAllocate = trackingheap;
    SceneList* list = load("PNT a 0 0 0\nPAT p\n"
                           "POL huge 2000000000 a a a a a p p\n"
                           "POL cut 2000000000 a a a");
    HeapAllocate = std::malloc;
    EXPECT_LT(LargestAllocation, size_t(1) << 16);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"PNT a", "PAT p"}));
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "line 3: polygon 'huge' dropped: no point 'p' defined before it",
                            "line 4: polygon 'cut' dropped: text ends after 3 of 2000000000 corners",
                        }));
    // Enough real corners still make a polygon of any size.
    std::string many = "PNT a 0 0 0\nPAT p\nPOL big 5000";
    for (int i = 0; i < 5000; i++)
        many += " a";
    const PolygonObject* big = static_cast<PolygonObject*>(searchlist(load(many + " p\n"), TagPolygon, "big"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->count, 5000);
    EXPECT_EQ(big->corners[4999], point(loaded.back().first, "a"));
}

TEST_F(LoadScene, RecordsTakeTheirWordsRegardlessOfLineEnds)
{
    // A record short of words takes them from the next line, as the format
    // always has: here the polygon t is completed from line 6, and the polygon
    // u swallows the point record on line 8.
    SceneList* list = load("PNT a 0 0 0\nPNT b 1 0 0\nPNT c 0 1 0\nPAT p\n"
                           "POL t 3 a b\nc p\n"
                           "POL u 3 a b\nPNT lost 0 0 0\n");
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"PNT a", "PNT b", "PNT c", "PAT p", "POL t"}));
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "line 5: POL record runs on into line 6",
                            "line 7: POL record runs on into line 8",
                            "line 7: polygon 'u' dropped: no point 'PNT' defined before it",
                        }));
}

TEST_F(LoadScene, WordsEmptyCutOrOddAreReadAsTheFormatSays)
{
    const std::string longname(NameWordLimit + 3, 'n');
    SceneList* list = load("PNT  7 8 9\n"                       // empty name, "7" is x
                           "PNT " + longname + " 2 3\n"          // the cut-off "nnn" is x
                           " PNT skipped 0 0 0\n"                // begins with a blank
                           "RGB 1 2 3\n"                         // not a record at line start
                           "NOP PNT skipped 0 0 0\n"
                           "PNTXXXXX skipped 0 0 0\n"
                           "\n"
                           "PNT n\xff\t 1e999 nan -0 4 5\r\n"    // byte 255 and tab belong to the name
                           "PNT last 1.5x 0x10 -4");              // no line feed after the last record
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"PNT ", "PNT " + longname.substr(0, NameWordLimit),
                                                      "PNT n\xff\t", "PNT last"}));
    expectVector(point(list, ""), 7, 8, 9);
    expectVector(point(list, longname.substr(0, NameWordLimit).c_str()), 0, 2, 3);
    const Vector* odd = point(list, "n\xff\t");
    ASSERT_NE(odd, nullptr);
    EXPECT_TRUE(std::isinf(odd->x) && odd->x > 0);
    EXPECT_TRUE(odd->y != odd->y);
    EXPECT_TRUE(odd->z == 0 && std::signbit(odd->z));
    expectVector(point(list, "last"), 1.5f, 16, -4);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "line 2: word cut after 1023 bytes, its rest is read as the next word",
                            "line 2: 'nnn' is not a number, read as 0",
                            "line 3: line begins with a blank, ignored",
                            "line 4: 'RGB' is not a record keyword, line ignored",
                            "line 6: 'PNTXXXX' is not a record keyword, line ignored",
                            "line 8: words after the PNT record ignored",
                            "line 9: '1.5x' is not a number, read as 1.5",
                        }));
}

TEST_F(LoadScene, CarriageReturnsAndANulByteEndTheTextCleanly)
{
    std::string crlf;
    for (const char* c = ExampleScene; *c; c++) {
        if (*c == '\n')
            crlf += '\r';
        crlf += *c;
    }
    EXPECT_EQ(Entries(load(crlf)), Entries(load(ExampleScene)));
    SceneList* cut = load(std::string("PNT a 1 2 3\nPNT b 4\0 5 6\nPNT c 7 8 9\n", 37));
    EXPECT_EQ(Entries(cut), (std::vector<std::string>{"PNT a", "PNT b"}));
    expectVector(point(cut, "b"), 4, 0, 0);
    EXPECT_EQ(messages.back(), "line 2: NUL byte ends the text, the rest of the file is ignored");
}

TEST_F(LoadScene, EveryReadEntersOneSceneNamedOnlyWhenTheFileOpened)
{
    const int before = number_of_scenes;
    const std::string path = TestPath("quoted scene.item");
    WriteBytes(path, "PNT a 1 2 3\n");
    SceneList* quoted = read("\"" + path + "\"");
    EXPECT_EQ(number_of_scenes, before + 1);
    EXPECT_EQ(chosen_scene, before);
    EXPECT_EQ(Entries(quoted), (std::vector<std::string>{"PNT a"}));
    EXPECT_EQ(std::string(SceneName[before]), path);

    WriteBytes(TestPath("empty.item"), "");
    SceneList* empty = read(TestPath("empty.item"));
    EXPECT_EQ(empty->count, 0);
    EXPECT_EQ(std::string(SceneName[before + 1]), TestPath("empty.item"));

    SceneList* missing = read(TestPath("missing.item"));
    EXPECT_EQ(missing->count, 0);
    EXPECT_EQ(number_of_scenes, before + 3);
    EXPECT_EQ(SceneName[before + 2], nullptr);
    EXPECT_EQ(SceneShort[before + 2], nullptr);

    // A path too long for the name buffer is not cut to a shorter one that
    // might open; here the long path itself names the file.
    const std::filesystem::path full(path);
    std::string steps;
    while (steps.size() + path.size() <= size_t(ScenePathLimit))
        steps += (std::filesystem::path(".") / "").string();
    const std::string longpath = full.root_path().string() + steps + full.relative_path().string();
    SceneList* toolong = read(longpath);
    EXPECT_EQ(toolong->count, 0);
    EXPECT_EQ(SceneName[before + 3], nullptr);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "cannot open '" + TestPath("missing.item") + "'",
                            "path of " + std::to_string(longpath.size()) + " characters is longer than 1023: not opened",
                        }));
}

TEST_F(LoadScene, AFullRegistryGetsNoSceneButTheReadStillWorks)
{
    const int before = number_of_scenes;
    const int chosen = chosen_scene;
    std::vector<SceneList*> fillers;
    while (number_of_scenes < MaxScenes) {
        fillers.push_back(initlist());
        AddScene(fillers.back(), nullptr);
    }
    const int16_t lastchosen = chosen_scene;
    SceneList* list = ReadScene(nullptr);  // no file at all
    SceneList* filled = load("CAM PF\nPNT a 1 2 3\n");
    EXPECT_EQ(number_of_scenes, MaxScenes);
    EXPECT_EQ(chosen_scene, lastchosen);
    EXPECT_EQ(Entries(filled), (std::vector<std::string>{"PNT a"}));
    EXPECT_EQ(ActualCam.flags, 0);
    EXPECT_EQ(messages, (std::vector<std::string>(2, "scene not entered: all 1024 scene slots are taken")));
    ReleaseScene(list, nullptr);
    for (auto it = fillers.rbegin(); it != fillers.rend(); ++it)
        ReleaseScene(*it, nullptr);
    EXPECT_EQ(number_of_scenes, before);
    chosen_scene = int16_t(chosen);
}

TEST_F(LoadScene, MessagesStopAtTheirLimitForEachFile)
{
    std::string garbage;
    for (int i = 0; i < SceneMessageLimit + 50; i++)
        garbage += "junk\n";
    load(garbage);
    ASSERT_EQ(messages.size(), size_t(SceneMessageLimit) + 1);
    EXPECT_EQ(messages.back(), "... further messages left out");
    load("junk\n");
    EXPECT_EQ(messages.back(), "line 1: 'junk' is not a record keyword, line ignored");
}
