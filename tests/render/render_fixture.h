// render_fixture.h - a fresh camera, light and headless picture for each render test.
#pragma once

#include "core/memory.h"
#include "core/objects.h"
#include "core/registry.h"
#include "core/scenelist.h"
#include "render/camera.h"
#include "render/display_headless.h"
#include "render/image.h"
#include "render/render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

class RenderTest : public ::testing::Test {
protected:
    HeadlessWindow window = {};

    // The editor's start-up view, no scene.
    void SetUp() override
    {
        StartView();
        ActualScene = nullptr;
    }

    void image(int32_t width, int32_t height)
    {
        window.width = width;
        window.height = height;
        FormatImage(&ActualImage, &window);
    }

    // View coordinates equal scene coordinates, and the light shines straight
    // at the viewer (every face turned to the viewer is fully lit).
    void identityview(bool central, float f = 100)
    {
        ActualCam.flags = central ? CamCentral | CamClip : 0;
        ActualLight.flags = LightDirected;
        ActualTransform = unit();
        ActualScale = 1;
        ActualWidth = f;
        ActualLightpos = newv(0, 0, -1);
        ActualViewOk = true;
    }

    // The pixel's colour packed like a pattern colour (red lowest).
    static uint32_t pixel(int32_t col, int32_t row)
    {
        const uint8_t* p = ActualImage.pixels + 4 * (size_t(row) * ActualImage.width + col);
        return packcolor(p[2], p[1], p[0]);
    }
    static float depth(int32_t col, int32_t row)
    {
        return ActualImage.depth[size_t(row) * ActualImage.width + col];
    }
    static bool drawn(int32_t col, int32_t row)
    {
        return std::isfinite(depth(col, row));
    }
    static int32_t drawncount()
    {
        int32_t n = 0;
        for (int32_t row = 0; row < ActualImage.height; row++)
            for (int32_t col = 0; col < ActualImage.width; col++)
                n += drawn(col, row);
        return n;
    }
    // True when no pixel has been drawn and every byte is still 0.
    static bool cleared()
    {
        const size_t count = size_t(ActualImage.width) * ActualImage.height;
        for (size_t i = 0; i < count * 4; i++)
            if (ActualImage.pixels[i] != 0)
                return false;
        return drawncount() == 0;
    }

    static Pattern solid(int r, int g, int b, int ambient = 0)
    {
        return RGBpattern(r, g, b, ambient, ambient, ambient);
    }
    // A pattern with a back side of its own, kept alive for the test.
    static Pattern twosided(uint32_t front, uint32_t back)
    {
        Pattern* backpattern = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
        *backpattern = solid(back & 0xFF, (back >> 8) & 0xFF, back >> 16);
        Pattern pattern = solid(front & 0xFF, (front >> 8) & 0xFF, front >> 16);
        pattern.back = backpattern;
        pattern.flags |= PatternHasBack;
        return pattern;
    }

public:
    // Scene building: records from Memory_Gra, as the loader makes them.
    static Vector* addpoint(SceneList* list, const char* name, float x, float y, float z,
                            ObjectTag tag = TagPoint)
    {
        Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
        *v = newv(x, y, z);
        insertlist(list, tag, v, copytext(name));
        return v;
    }
    static Pattern* addpattern(SceneList* list, const char* name, Pattern pattern)
    {
        Pattern* p = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
        *p = pattern;
        insertlist(list, TagPattern, p, copytext(name));
        return p;
    }
    static void addsphere(SceneList* list, const char* name, Vector* centre, float radius,
                          Pattern* pattern)
    {
        SphereObject* s = static_cast<SphereObject*>(Memory_Gra(sizeof(SphereObject)));
        *s = SphereObject{centre, radius, pattern};
        insertlist(list, TagSphere, s, copytext(name));
    }
    static void addpolygon(SceneList* list, const char* name, std::vector<Vector*> corners,
                           Pattern* pattern)
    {
        PolygonObject* p = static_cast<PolygonObject*>(Memory_Gra(sizeof(PolygonObject)));
        p->count = int32_t(corners.size());
        p->corners = static_cast<Vector**>(Memory_Gra(corners.size() * sizeof(Vector*)));
        for (size_t i = 0; i < corners.size(); i++)
            p->corners[i] = corners[i];
        p->pattern = pattern;
        insertlist(list, TagPolygon, p, copytext(name));
    }
};
