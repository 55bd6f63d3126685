#include "core/objects.h"

#include "core/memory.h"

uint32_t packcolor(int red, int green, int blue)
{
    return (uint32_t(red) & 0xFF) | (uint32_t(green) & 0xFF) << 8 | (uint32_t(blue) & 0xFF) << 16;
}

Pattern RGBpattern(int red, int green, int blue, int ambred, int ambgreen, int ambblue)
{
    Pattern pattern;
    pattern.color = static_cast<ColorCell*>(Memory_Gra(sizeof(ColorCell)));
    *pattern.color = packcolor(red, green, blue);
    pattern.ambient = packcolor(ambred, ambgreen, ambblue);
    pattern.back = nullptr;
    pattern.flags = 0;
    return pattern;
}
