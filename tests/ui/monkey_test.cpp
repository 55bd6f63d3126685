// A seeded monkey: thousands of random user actions on the real main window and
// its real dialogs, each followed by the checks that no action may break: the
// window answers, every dialog handle is alive, no box but a warning or the close
// question appeared, the picture is drawn unless the camera itself is unusable,
// every saved file loads back without a loader message and saves to the same
// bytes, and the memory stays below a ceiling.
//
// ui_tests runs it for MONKEY_SECONDS (default 30) with MONKEY_SEED (default 11);
// MONKEY_ACTIONS=N runs exactly N actions instead, to repeat a run that failed.
#include "tests/ui/dialogfixture.h"

#include "render/raster.h"
#include "render/render.h"
#include "scenefile/diagnostics.h"
#include "scenefile/scenefile.h"

#include <psapi.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <map>
#include <random>

// From tests/scenefile/scenetest.cpp (its header's Lines clashes with the dialog fixture's).
std::string ReadBytes(const std::string& path);
void ReleaseScene(SceneList* list, const char* path);
const char* SaveOver(const char* path, SceneList* list);

namespace {

// Memory the run may reach: the largest picture (4000 x 3000, 96 MB with
// its depths) and every object a run of this length can create, with room to spare.
constexpr size_t MemoryCeiling = size_t(768) << 20;

long envnumber(const char* name, long fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::strtol(text, nullptr, 10) : fallback;
}

// The memory the process has committed (Wine fills PagefileUsage, not PrivateUsage).
size_t committedbytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return std::max(counters.PagefileUsage, counters.WorkingSetSize);
}

class Monkey : public DialogTest
{
  protected:
    std::mt19937 random;
    std::map<std::string, long> tally;  // actions and findings by kind
    std::deque<std::string> recent;    // the last actions, shown when a check fails
    std::vector<std::string> files;    // paths the file chooser may answer with
    std::string folder;
    size_t peak = 0;

    unsigned pick(unsigned n)
    {
        return n ? unsigned(random() % n) : 0;
    }
    bool chance(unsigned percent)
    {
        return pick(100) < percent;
    }

    void note(const std::string& action)
    {
        tally[action.substr(0, action.find(':'))]++;
        recent.push_back(action);
        if (recent.size() > 12)
            recent.pop_front();
    }

    std::string trail() const
    {
        std::string text;
        for (const std::string& action : recent)
            text += "\n    " + action.substr(0, 120);
        return text;
    }

    // Any name of the current scene, of any kind.
    std::string scenename()
    {
        std::vector<const char*> names;
        for (ListBlock* block = ActualScene; block; block = block->next)
            for (int i = 0; i < block->count; i++)
                if (block->names[i])
                    names.push_back(block->names[i]);
        return names.empty() ? std::string("cam_position")
                             : std::string(names[pick(unsigned(names.size()))]);
    }

    std::string number()
    {
        static const char* const forms[] = {
            "0",           "-0",    "1",    "-1",  "0.5",   "1e3",    "-2.5e-3",
            "1000",        "-1000", "0x1F", "010", "1e-50", "3.4e38", "-3.4e38",
            "1e39",        "-1e39", "nan",  "inf", "-inf",  "NaN",    "infinity",
            "99999999999", "1e",    "+5",   ".5",  "5.",    "1,2",    "1e-45"};
        if (chance(50))
            return forms[pick(sizeof forms / sizeof forms[0])];
        return std::to_string(int(pick(4001)) - 2000);
    }

    std::string fieldtext()
    {
        switch (pick(9)) {
        case 0:
            return "";
        case 1:
            return std::string(1 + pick(5000), char('a' + pick(26)));
        case 2:
            return std::string(1 + pick(4), ' ');
        case 3: {
            // Control characters, punctuation and accented letters. Other high bytes make
            // Wine 8's edit control crash in its text shaping (GPOS_apply_MarkToLigature),
            // before our code sees them.
            std::string odd;
            for (unsigned n = 1 + pick(20); n > 0; n--)
                odd += chance(30) ? char(0xC0 + pick(64)) : char(1 + pick(126));
            return odd;
        }
        case 4:
        case 5:
            return number() + " " + number() + " " + number();
        case 6:
            return number();
        case 7:
            return "nosuch" + std::to_string(pick(5));
        default:
            return scenename();
        }
    }


    // ------------------------------------------------------------- the actions

    void menu()
    {
        static const int commands[] = {CmdNewScene,    CmdLoadScene, CmdSaveScene, CmdSaveSceneAs,
                                       CmdChooseScene, CmdPoints,    CmdVectors,   CmdColors,
                                       CmdSpheres,     CmdPolygons,  CmdCamera,    CmdLight};
        const int cmd = commands[pick(sizeof commands / sizeof commands[0])];
        fileanswer = chance(10) ? std::string() : files[pick(unsigned(files.size()))];
        note("menu: " + std::to_string(cmd) + " " + fileanswer);
        const size_t boxesbefore = boxes.size();
        command(cmd);
        if (cmd == CmdSaveScene || cmd == CmdSaveSceneAs) {
            bool refused = false;
            for (size_t i = boxesbefore; i < boxes.size(); i++)
                refused |= boxes[i].text == "Scene could not be saved.";
            if (!refused && SceneName[chosen_scene])
                checksaved(SceneName[chosen_scene]);
        }
    }

    void newscenes()
    {
        const unsigned count = 1 + pick(200);
        note("new scenes: " + std::to_string(count));
        for (unsigned i = 0; i < count; i++)
            command(CmdNewScene);
    }

    std::vector<HWND> children(HWND dlg)
    {
        std::vector<HWND> found;
        for (HWND child = GetWindow(dlg, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (GetDlgCtrlID(child) != 0xFFFF && GetDlgCtrlID(child) != -1)
                found.push_back(child);
        return found;
    }

    void dialogaction()
    {
        std::vector<HWND> open;
        for (HWND dlg : GDlgs)
            if (dlg)
                open.push_back(dlg);
        if (open.empty())
            return menu();
        const HWND dlg = open[pick(unsigned(open.size()))];
        const std::vector<HWND> controls = children(dlg);
        if (controls.empty())
            return;
        const HWND control = controls[pick(unsigned(controls.size()))];
        const int id = GetDlgCtrlID(control);
        char kind[32] = {};
        GetClassNameA(control, kind, sizeof kind);
        if (lstrcmpiA(kind, "Edit") == 0) {
            const std::string text = fieldtext();
            note("type: " + std::to_string(id) + " '" + text.substr(0, 60) + "' (" +
                 std::to_string(text.size()) + ")");
            SetWindowTextA(control, text.c_str());
        } else if (lstrcmpiA(kind, "ListBox") == 0) {
            const LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
            const LRESULT line = count > 0 && !chance(5) ? LRESULT(pick(unsigned(count))) : -1;
            note("select: " + std::to_string(id) + " line " + std::to_string(line));
            SendMessageA(control, LB_SETCURSEL, WPARAM(line), 0);
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), LPARAM(control));
        } else if (lstrcmpiA(kind, "Button") == 0) {
            // "Finish" and "Close" are pressed less often, so that dialogs stay open to be used.
            if (id == IDCANCEL && !chance(20))
                return;
            note("click: " + std::to_string(id));
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(control));
        }
    }

    void key()
    {
        static const uint32_t keys[] = {VK_LEFT, VK_RIGHT, VK_UP,      VK_DOWN,  VK_PRIOR,
                                        VK_NEXT, VK_SHIFT, VK_CONTROL, VK_OEM_4, VK_OEM_6,
                                        VK_HOME, VK_END,   VK_ESCAPE,  VK_RETURN};
        uint32_t k = chance(30)   ? uint32_t('0' + pick(10))
                     : chance(90) ? keys[pick(sizeof keys / sizeof keys[0])]
                                  : uint32_t(pick(256));
        const bool up = chance(25);
        note(std::string(up ? "key up: " : "key: ") + std::to_string(k));
        if (up)
            keyup(k);
        else
            keydown(k);
    }

    void drag()
    {
        const bool left = chance(50);
        RECT client;
        GetClientRect(hWindow, &client);
        auto where = [&]() {
            const int x = chance(90) ? int(pick(unsigned(client.right + 1))) : int(pick(65536));
            const int y = chance(90) ? int(pick(unsigned(client.bottom + 1))) : int(pick(65536));
            return MAKELPARAM(x, y);
        };
        note(std::string("drag: ") + (left ? "left" : "right"));
        send(left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, left ? MK_LBUTTON : MK_RBUTTON, where());
        for (unsigned n = pick(6); n > 0; n--)
            send(WM_MOUSEMOVE, left ? MK_LBUTTON : MK_RBUTTON, where());
        if (!chance(10))
            send(left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, where());
    }

    void resize()
    {
        const bool large = chance(3);
        const int width = large ? int(pick(4001)) : chance(5) ? 0 : int(pick(400));
        const int height = large ? int(pick(3001)) : chance(5) ? 0 : int(pick(300));
        note("size: " + std::to_string(width) + "x" + std::to_string(height));
        clientsize(width, height);
        // Every later action would redraw up to 12 million pixels: checked, then made small again.
        if (large) {
            pump();
            check();
            clientsize(int(pick(400)), int(pick(300)));
        }
    }

    void closewindow()
    {
        // Rarely ended for good: a run should reach the scene limit between two starts.
        boxanswer = chance(5) ? AnswerYes : AnswerNo;
        const bool quit = chance(1);
        note(quit ? "quit" : boxanswer == AnswerYes ? "close: yes" : "close: no");
        if (quit)
            command(CmdQuit);
        else
            send(WM_CLOSE);
        boxanswer = AnswerYes;
        if (!IsWindow(hWindow)) {
            EXPECT_TRUE(quitposted()) << trail();
            // The dialogs went with their owner; the program would have ended here, and
            // its scenes with it: they are given back, so that every start begins afresh.
            for (HWND& slot : GDlgs)
                slot = nullptr;
            for (int scene = number_of_scenes - 1; scene >= 0; scene--)
                ReleaseScene(ListScene[scene], SceneName[scene]);
            restart("");
        }
    }

    void act()
    {
        const unsigned roll = pick(1000);
        if (roll < 300)
            dialogaction();
        else if (roll < 480)
            menu();
        else if (roll < 700)
            key();
        else if (roll < 850)
            drag();
        else if (roll < 930)
            resize();
        else if (roll < 985)
            closewindow();
        else
            newscenes();
        pump();
    }

    // -------------------------------------------------------------- the checks

    // A file the program saved reads back without a word and saves to the same bytes.
    void checksaved(const std::string& path)
    {
        if (number_of_scenes >= MaxScenes) {
            tally["saved, not read back (registry full)"]++;
            return;
        }
        const Camera cam = ActualCam;
        const Light light = ActualLight;
        SceneList* const scene = ActualScene;
        const int16_t chosen = chosen_scene;
        std::vector<std::string> messages;
        SceneMessages = &messages;
        SceneList* list = ReadScene(path.c_str());
        SceneMessages = nullptr;
        const std::string again = folder + "\\roundtrip.item";
        const bool saved = SaveOver(again.c_str(), list) != nullptr;
        const std::string first = ReadBytes(path), second = ReadBytes(again);
        ReleaseScene(list, again.c_str());
        ActualCam = cam;
        ActualLight = light;
        ActualScene = scene;
        chosen_scene = chosen;
        tally["saved and read back"]++;
        EXPECT_TRUE(messages.empty())
            << path << ": " << (messages.empty() ? "" : messages.front()) << trail();
        EXPECT_TRUE(saved && first == second) << path << " does not round-trip" << trail();
    }

    // The camera alone gives a view, whatever the light: the renderer's own
    // verdict (ActualViewOk) is what the check must not take on trust.
    static bool cameraok()
    {
        const float det = determinant(ActualTransform);
        bool finite = std::isfinite(det) && det != 0;
        for (int i = 0; i < 12; i++)
            finite = finite && std::isfinite(ActualTransform.m[i]) && std::isfinite(ActualCam.frame.m[i]);
        return ActualImage.width > 0 && ActualImage.height > 0 && finite && std::isfinite(ActualScale) &&
               ActualScale > 0 && std::isfinite(ActualWidth) && ActualWidth > 0;
    }

    // A sphere that must show: finite, in front of the eye, its centre in the
    // picture, at least two pixels across.
    bool visiblesphere()
    {
        const float W = float(ActualImage.width), H = float(ActualImage.height);
        for (ListBlock* block = ActualScene; block; block = block->next)
            for (int i = 0; i < block->count; i++) {
                if (block->tags[i] != TagSphere)
                    continue;
                const SphereObject* s = static_cast<SphereObject*>(block->objects[i]);
                if (!s->center || !s->pattern || !s->pattern->color || !std::isfinite(s->radius) ||
                    !finitev(*s->center))
                    continue;
                const Vector c = multmv(ActualTransform, *s->center);
                const float r = std::fabs(s->radius) * ActualScale;
                float col = c.x, row = c.y, across = r;
                if (ActualCam.flags & CamCentral) {
                    if (!(c.z > 2 * r) || !(c.z > 1))
                        continue;
                    col = ActualWidth * c.x / c.z + W / 2;
                    row = ActualWidth * c.y / c.z + H / 2;
                    across = ActualWidth * r / c.z;
                } else if ((ActualCam.flags & CamClip) && !(c.z > r)) {
                    continue;
                }
                if (std::isfinite(col) && std::isfinite(row) && across >= 2 && across < 1e6f &&
                    col >= 2 && row >= 2 && col < W - 2 && row < H - 2)
                    return true;
            }
        return false;
    }

    void check()
    {
        ASSERT_TRUE(IsWindow(hWindow)) << trail();
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutA(hWindow, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0)
            << trail();
        for (int slot = 0; slot < DialogSlots; slot++)
            ASSERT_TRUE(!GDlgs[slot] || IsWindow(GDlgs[slot])) << "slot " << slot << trail();
        for (const RecordedBox& box : boxes) {
            const bool known = (box.caption == "WARNING" && box.buttons == BoxOk) ||
                               (box.caption == "Close window" && box.buttons == BoxYesNo);
            ASSERT_TRUE(known) << box.caption << ": " << box.text << trail();
            tally["box: " + box.text.substr(0, 70)]++;
        }
        boxes.clear();
        if (GDlgs[SlotChooser]) {
            ASSERT_EQ(SendDlgItemMessageA(GDlgs[SlotChooser], ChooserList, LB_GETCOUNT, 0, 0),
                      number_of_scenes)
                << trail();
        }
        if (cameraok() && visiblesphere()) {
            size_t drawn = 0;
            const size_t count = size_t(ActualImage.width) * ActualImage.height;
            for (size_t i = 0; i < count && !drawn; i++)
                drawn += std::isfinite(ActualImage.depth[i]);
            ASSERT_GT(drawn, 0u) << "a sphere in view, and the picture is blank" << trail();
        }
        if (ActualImage.width == 0 || ActualImage.height == 0)
            tally["picture empty: a window without client area"]++;
        else if (!cameraok())
            tally["picture not drawn: a camera made unusable"]++;
        peak = std::max(peak, committedbytes());
        ASSERT_LT(peak, MemoryCeiling) << trail();
    }

    // Files for the chooser: new and existing scenes, examples, a folder, a file
    // that may not be written, one of odd bytes, paths too long or into nowhere.
    void makefiles()
    {
        folder = temppath("monkey");
        folder.resize(folder.size() - std::strlen("\\monkey"));
        for (const char* name : {"a.item", "b.item", "c", "new scene.item"})
            files.push_back(folder + "\\" + name);
        writefile(folder + "\\odd.item",
                  "PNT\x01\x02 x 1 2 3\nSPH s x 1e39 p\nPOL p -5 q\n\x1a\xff");
        files.push_back(folder + "\\odd.item");
        writefile(folder + "\\locked.item", "PNT a 1 2 3\n");
        SetFileAttributesA((folder + "\\locked.item").c_str(), FILE_ATTRIBUTE_READONLY);
        files.push_back(folder + "\\locked.item");
        files.push_back(folder);
        files.push_back(folder + "\\no folder\\x.item");
        files.push_back(folder + "\\" + std::string(300, 'L') + ".item");
        files.push_back(folder + "\\" +
                        std::string(240 - std::min<size_t>(folder.size(), 200), 'm') + ".item");
        files.push_back(std::string(1100, 'x'));
        // Copies of the examples: the monkey saves over whatever it may load.
        const std::string examples =
            std::string(SCENE_EXAMPLES[0] == '/' ? "Z:" : "") + SCENE_EXAMPLES + "/";
        for (const char* name :
             {"chess.item", "lamp.item", "room.item", "still_life.item", "drawing.item"}) {
            const std::string bytes = ReadBytes(examples + name);
            ASSERT_FALSE(bytes.empty()) << examples + name;
            writefile(folder + "\\" + name, bytes.c_str());
            files.push_back(folder + "\\" + name);
        }
    }

    void TearDown() override
    {
        SetFileAttributesA((folder + "\\locked.item").c_str(), FILE_ATTRIBUTE_NORMAL);
        DialogTest::TearDown();
    }
};

TEST_F(Monkey, ThousandsOfRandomActionsBreakNothing)
{
    const unsigned seed = unsigned(envnumber("MONKEY_SEED", 11));
    const long actions = envnumber("MONKEY_ACTIONS", 0);
    const long seconds = envnumber("MONKEY_SECONDS", 30);
    random.seed(seed);
    makefiles();
    const auto start = std::chrono::steady_clock::now();
    long done = 0;
    double slowest = 0;
    std::string slowaction;
    while (actions > 0 ? done < actions
                       : std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds)) {
        const auto before = std::chrono::steady_clock::now();
        act();
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        if (took > slowest && !recent.empty()) {
            slowest = took;
            slowaction = recent.back();
        }
        done++;
        check();
        if (HasFatalFailure() || HasFailure())
            break;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "monkey: seed %u, %ld actions in %.1f s (repeat with MONKEY_SEED=%u MONKEY_ACTIONS=%ld); "
        "%d scenes; peak memory %.1f MB\n",
        seed, done, elapsed, seed, done, int(number_of_scenes), double(peak) / (1 << 20));
    std::printf("  slowest action: %.2f s, %s\n", slowest, slowaction.substr(0, 100).c_str());
    for (const auto& entry : tally)
        std::printf("  %6ld  %s\n", entry.second, entry.first.c_str());
}

}  // namespace
