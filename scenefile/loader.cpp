// ReadScene (scenefile.h): record by record, with the reasons for SceneMessages (diagnostics.h).
#include "core/memory.h"
#include "core/registry.h"
#include "render/camera.h"
#include "scenefile/diagnostics.h"
#include "scenefile/numbers.h"
#include "scenefile/scenefile.h"
#include "scenefile/tokenizer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// One file being read: where the words come from, why the last one ended,
// and where we are, for the messages.
struct SceneReader {
    std::FILE* file;
    SceneList* list;
    int code;            // how the last word ended
    long line;           // line of the last word
    long recordline;     // line the current record started on
    const char* record;  // keyword of the current record; null between records
    bool runon;          // the record has been reported as running on
};

// The next word. Records take their words without regard to line ends, as
// the format always has; only the messages notice.
int word(SceneReader& r, char* buffer, int limit)
{
    if (r.code == WordLineEnd) {
        r.line++;
        if (r.record && !r.runon) {
            notescene(r.recordline, "%s record runs on into line %ld", r.record, r.line);
            r.runon = true;
        }
    }
    int length;
    r.code = ReadWord(r.file, buffer, limit, &length);
    if (r.code == WordCut && r.record)
        notescene(r.line, "word cut after %d bytes, its rest is read as the next word", limit);
    return length;
}

double real(SceneReader& r)
{
    char text[NumberWordLimit + 1];
    const int length = word(r, text, NumberWordLimit);
    int used;
    const double value = scanreal(text, &used);
    if (used != length)
        notescene(r.line, "'%s' is not a number, read as %g", text, value);
    return value;
}

int integer(SceneReader& r)
{
    char text[NumberWordLimit + 1];
    const int length = word(r, text, NumberWordLimit);
    int used;
    const int value = scanint(text, &used);
    if (used != length)
        notescene(r.line, "'%s' is not a number, read as %d", text, value);
    return value;
}

void readcam(SceneReader& r)
{
    char letters[KeywordLimit + 1];
    const int length = word(r, letters, KeywordLimit);
    uint8_t flags = ActualCam.flags;
    // The second letter first, so that "CF" gives the central view with clipping
    // and "UF" (what the saver writes for it) the central view without.
    if (length >= 2) {
        if (letters[1] == 'X')
            flags |= CamClip;
        else if (letters[1] == 'F')
            flags &= uint8_t(~CamClip);
        else
            notescene(r.line, "CAM letter '%c' ignored", letters[1]);
    }
    if (length >= 1) {
        if (letters[0] == 'C')
            flags |= CamCentral | CamClip;
        else if (letters[0] == 'U')
            flags = uint8_t((flags | CamCentral) & ~CamClip);
        else if (letters[0] == 'P')
            flags &= uint8_t(~CamCentral);
        else
            notescene(r.line, "CAM letter '%c' ignored", letters[0]);
    }
    ActualCam.flags = flags;
}

void readlgt(SceneReader& r)
{
    char letters[KeywordLimit + 1];
    const int length = word(r, letters, KeywordLimit);
    uint8_t flags = ActualLight.flags;
    if (length >= 1) {
        if (letters[0] == 'C')
            flags |= LightBound;
        else if (letters[0] == 'I')
            flags &= uint8_t(~LightBound);
        else
            notescene(r.line, "LGT letter '%c' ignored", letters[0]);
    }
    if (length >= 2) {
        if (letters[1] == 'I')
            flags |= LightDirected;
        else if (letters[1] == 'F')
            flags &= uint8_t(~LightDirected);
        else
            notescene(r.line, "LGT letter '%c' ignored", letters[1]);
    }
    ActualLight.flags = flags;
}

// PNT and VEC; the camera's own entries also move the camera at once.
void readvector(SceneReader& r, ObjectTag tag)
{
    char name[NameWordLimit + 1];
    word(r, name, NameWordLimit);
    const double x = real(r);
    const double y = real(r);
    const double z = real(r);
    Vector* v = static_cast<Vector*>(Memory_Gra(sizeof(Vector)));
    *v = newv(x, y, z);
    insertlist(r.list, tag, v, copytext(name));
    const int column = camcolumn(tag, name);
    if (column >= 0)
        setcolumnm(&ActualCam.frame, column, *v);
}

uint32_t readcolor(SceneReader& r)
{
    const int red = integer(r);
    const int green = integer(r);
    const int blue = integer(r);
    return packcolor(red, green, blue);
}

void readpattern(SceneReader& r)
{
    char name[NameWordLimit + 1];
    word(r, name, NameWordLimit);
    Pattern pattern = RGBpattern(0, 0, 0, 33, 33, 33);
    // The fresh cell is released if FRT replaces it before anyone shares it.
    ColorCell* own = pattern.color;
    while (r.code == WordCut || r.code == WordBlank) {
        char clause[KeywordLimit + 1];
        const int length = word(r, clause, KeywordLimit);
        const int keyword = GetKeyword(clause);
        if (keyword == KeyRgb) {
            *pattern.color = readcolor(r);
        } else if (keyword == KeyAmb) {
            pattern.ambient = readcolor(r);
        } else if (keyword == KeyBck || keyword == KeyFrt) {
            char other[NameWordLimit + 1];
            word(r, other, NameWordLimit);
            Pattern* found = static_cast<Pattern*>(searchlist(r.list, TagPattern, other));
            if (!found) {
                notescene(r.line, "pattern '%s': %s ignored: no pattern '%s' defined before it", name,
                          Keywords[keyword], other);
            } else if (keyword == KeyBck) {
                pattern.back = found;
                pattern.flags |= PatternHasBack;
            } else {
                if (pattern.color == own) {
                    std::free(own);
                    own = nullptr;
                }
                // The colour cell is shared from now on: an RGB clause after this
                // one colours the other pattern too.
                pattern = *found;
                pattern.back = nullptr;
                pattern.flags &= uint8_t(~PatternHasBack);
            }
        } else if (length > 0) {
            notescene(r.line, "pattern '%s': clause '%s' ignored", name, clause);
        }
    }
    Pattern* stored = static_cast<Pattern*>(Memory_Gra(sizeof(Pattern)));
    *stored = pattern;
    insertlist(r.list, TagPattern, stored, copytext(name));
}

// Sphere and polygon readers answer whether the record was kept.
bool readsphere(SceneReader& r)
{
    char name[NameWordLimit + 1];
    char centername[NameWordLimit + 1];
    char patternname[NameWordLimit + 1];
    word(r, name, NameWordLimit);
    word(r, centername, NameWordLimit);
    Vector* center = static_cast<Vector*>(searchlist(r.list, TagPoint, centername));
    const double radius = real(r);
    word(r, patternname, NameWordLimit);
    Pattern* pattern = static_cast<Pattern*>(searchlist(r.list, TagPattern, patternname));
    if (!center) {
        notescene(r.recordline, "sphere '%s' dropped: no point '%s' defined before it", name, centername);
        return false;
    }
    if (!pattern) {
        notescene(r.recordline, "sphere '%s' dropped: no pattern '%s' defined before it", name, patternname);
        return false;
    }
    SphereObject* sphere = static_cast<SphereObject*>(Memory_Gra(sizeof(SphereObject)));
    *sphere = SphereObject{center, float(radius), pattern};
    insertlist(r.list, TagSphere, sphere, copytext(name));
    return true;
}

bool readpolygon(SceneReader& r)
{
    char name[NameWordLimit + 1];
    char cornername[NameWordLimit + 1];
    char patternname[NameWordLimit + 1];
    word(r, name, NameWordLimit);
    const int count = integer(r);
    // The count is only a promise: the array grows with the corners actually
    // found, so no count can claim memory that the file does not back.
    Vector** corners = nullptr;
    int capacity = 0;
    int found = 0;
    bool missing = false;
    while (found < count) {
        if (r.code == WordTextEnd)
            break;
        word(r, cornername, NameWordLimit);
        Vector* corner = static_cast<Vector*>(searchlist(r.list, TagPoint, cornername));
        if (!corner) {
            missing = true;
            break;
        }
        if (found == capacity) {
            capacity = capacity == 0 ? 8 : capacity > count / 2 ? count : capacity * 2;
            if (capacity > count)
                capacity = count;
            Vector** larger = static_cast<Vector**>(Memory_Gra(sizeof(Vector*) * size_t(capacity)));
            if (found)
                std::memcpy(larger, corners, sizeof(Vector*) * size_t(found));
            std::free(corners);
            corners = larger;
        }
        corners[found++] = corner;
    }
    word(r, patternname, NameWordLimit);
    Pattern* pattern = static_cast<Pattern*>(searchlist(r.list, TagPattern, patternname));
    if (count < 0) {
        notescene(r.recordline, "polygon '%s' dropped: negative corner count %d", name, count);
    } else if (missing) {
        notescene(r.recordline, "polygon '%s' dropped: no point '%s' defined before it", name, cornername);
    } else if (found < count) {
        notescene(r.recordline, "polygon '%s' dropped: text ends after %d of %d corners", name, found,
                  count);
    } else if (!pattern) {
        notescene(r.recordline, "polygon '%s' dropped: no pattern '%s' defined before it", name,
                  patternname);
    } else {
        PolygonObject* polygon = static_cast<PolygonObject*>(Memory_Gra(sizeof(PolygonObject)));
        *polygon = PolygonObject{count, corners, pattern};
        insertlist(r.list, TagPolygon, polygon, copytext(name));
        return true;
    }
    std::free(corners);
    return false;
}

// One record: the first word of a line and what follows it.
void readrecord(SceneReader& r)
{
    char keyword[KeywordLimit + 1];
    r.record = nullptr;
    r.runon = false;
    const int length = word(r, keyword, KeywordLimit);
    r.recordline = r.line;
    const int key = GetKeyword(keyword);
    const bool known = key == KeyCam || key == KeyLgt || key == TagPoint || key == TagVector ||
                       key == TagPattern || key == TagSphere || key == TagPolygon;
    if (known)
        r.record = Keywords[key];
    bool kept = true;  // a dropped record's unread words are no news
    if (key == KeyCam)
        readcam(r);
    else if (key == KeyLgt)
        readlgt(r);
    else if (key == TagPoint || key == TagVector)
        readvector(r, ObjectTag(key));
    else if (key == TagPattern)
        readpattern(r);
    else if (key == TagSphere)
        kept = readsphere(r);
    else if (key == TagPolygon)
        kept = readpolygon(r);
    else if (length == 0 && r.code == WordBlank)
        notescene(r.line, "line begins with a blank, ignored");
    else if (length > 0 && key != KeyNop)
        notescene(r.line, "'%s' is not a record keyword, line ignored", keyword);

    if (known && kept && r.code == WordBlank) {
        // The same skip as RestLine, looking at what it passes over.
        const char* record = r.record;
        r.record = nullptr;
        bool extra = false;
        char skipped[NameWordLimit + 1];
        while (r.code == WordBlank || r.code == WordCut)
            extra |= word(r, skipped, NameWordLimit) > 0;
        if (extra)
            notescene(r.recordline, "words after the %s record ignored", record);
    }
    if (r.code == WordCut || r.code == WordBlank)
        r.code = RestLine(r.file);
}

}  // namespace

SceneList* ReadScene(const char* path)
{
    beginnotes();
    SceneList* list = initlist();
    std::FILE* file = nullptr;
    if (path) {
        const char* name = path;
        size_t length = std::strlen(path);
        if (path[0] == '"') {
            name = path + 1;
            const char* quote = std::strchr(name, '"');
            length = quote ? size_t(quote - name) : length - 1;
        }
        if (length > size_t(ScenePathLimit)) {
            notescene(0, "path of %ld characters is longer than %d: not opened", long(length),
                      ScenePathLimit);
        } else {
            char filename[ScenePathLimit + 1];
            std::memcpy(filename, name, length);
            filename[length] = '\0';
            // Binary: a Windows text stream would end the file at a byte 26 that
            // may stand in a name; CR is dropped by the word reader anyway.
            file = std::fopen(filename, "rb");
            if (!file)
                notescene(0, "cannot open '%s'", filename);
        }
    }
    const bool opened = file != nullptr;
    if (opened) {
        SceneReader r{file, list, WordBlank, 1, 1, nullptr, false};
        do
            readrecord(r);
        while (r.code != WordTextEnd);
        if (!std::feof(file) && !std::ferror(file))
            notescene(r.line, "NUL byte ends the text, the rest of the file is ignored");
        std::fclose(file);
    }
    if (!AddScene(list, opened ? path : nullptr))
        notescene(0, "scene not entered: all %d scene slots are taken", MaxScenes);
    return list;
}
