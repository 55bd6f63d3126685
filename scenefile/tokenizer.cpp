#include "scenefile/tokenizer.h"

#include <cstring>

const char* const Keywords[KeywordCount] = {
    "NOP", "CAM", "LGT", "PNT", "VEC", "MAT", "PAT", "RGB", "BMP",
    "CLP", "ON",  "OFF", "BCK", "FRT", "SPH", "POL", "AMB",
};

int ReadWord(std::FILE* stream, char* buffer, int limit, int* length)
{
    int used = 0;
    int code = WordCut;
    // A limit below 1 could never take a byte; answer as if cut without consuming.
    while (limit > 0) {
        const int byte = std::getc(stream);
        if (byte == EOF) {
            code = WordTextEnd;
            break;
        }
        if (byte == '\0') {
            // Put the NUL back so that every later call stops at it again:
            // the bytes behind it are never read.
            std::ungetc(byte, stream);
            code = WordTextEnd;
            break;
        }
        if (byte == '\n') {
            code = WordLineEnd;
            break;
        }
        if (byte == '\r')
            continue;
        if (byte == ' ') {
            code = WordBlank;
            break;
        }
        buffer[used++] = char(byte);
        if (used == limit)
            break;
    }
    buffer[used] = '\0';
    *length = used;
    return code;
}

int RestLine(std::FILE* stream)
{
    char scratch[NameWordLimit + 1];
    int length;
    int code;
    do
        code = ReadWord(stream, scratch, NameWordLimit, &length);
    while (code != WordLineEnd && code != WordTextEnd);
    return code;
}

int GetKeyword(const char* word)
{
    for (int i = 0; i < KeywordCount; i++)
        if (std::strcmp(word, Keywords[i]) == 0)
            return i;
    return -1;
}
