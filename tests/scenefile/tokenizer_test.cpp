#include "scenefile/tokenizer.h"

#include "core/objects.h"
#include "scenetest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

using Word = std::pair<std::string, int>;

std::FILE* openbytes(const std::string& bytes)
{
    const std::string path = TestPath("words");
    WriteBytes(path, bytes);
    return std::fopen(path.c_str(), "rb");
}

// Every word up to and including the first that ends the text.
std::vector<Word> words(const std::string& bytes, int limit)
{
    std::vector<Word> result;
    std::FILE* file = openbytes(bytes);
    char buffer[NameWordLimit + 1];
    int length = -1;
    int code;
    do {
        code = ReadWord(file, buffer, limit, &length);
        EXPECT_EQ(size_t(length), std::string(buffer).size());
        result.emplace_back(buffer, code);
    } while (code != WordTextEnd);
    std::fclose(file);
    return result;
}

}  // namespace

TEST(ReadWord, SplitsAtBlanksAndLineFeedsAndDropsCarriageReturns)
{
    const std::vector<Word> expected = {{"PNT", 1}, {"a", 1}, {"1", 1}, {"2", 1}, {"3", 2},
                                        {"VEC", 1}, {"b", 3}};
    EXPECT_EQ(words("PNT a 1 2 3\r\nVEC b", NameWordLimit), expected);
    // A CR is dropped wherever it stands, even inside a word.
    EXPECT_EQ(words("a\rb\r \r\r\n", NameWordLimit), (std::vector<Word>{{"ab", 1}, {"", 2}, {"", 3}}));
}

TEST(ReadWord, TwoBlanksGiveAnEmptyWordAndTabsAndHighBytesBelongToWords)
{
    EXPECT_EQ(words("PNT  a", NameWordLimit), (std::vector<Word>{{"PNT", 1}, {"", 1}, {"a", 3}}));
    EXPECT_EQ(words("a\tb \xff\xfe\n", NameWordLimit),
              (std::vector<Word>{{"a\tb", 1}, {"\xff\xfe", 2}, {"", 3}}));
    EXPECT_EQ(words(" \n\n", NameWordLimit), (std::vector<Word>{{"", 1}, {"", 2}, {"", 2}, {"", 3}}));
}

TEST(ReadWord, CutsAtTheLimitWithoutConsumingTheDelimiter)
{
    EXPECT_EQ(words("PNTXXXXX rest", KeywordLimit),
              (std::vector<Word>{{"PNTXXXX", 0}, {"X", 1}, {"rest", 3}}));
    // A word of exactly the limit is cut too; its blank then ends an empty word.
    EXPECT_EQ(words("ABCDEFG next", KeywordLimit), (std::vector<Word>{{"ABCDEFG", 0}, {"", 1}, {"next", 3}}));
    const std::string longname(NameWordLimit + 5, 'n');
    const std::vector<Word> pieces = words(longname + "\n", NameWordLimit);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], Word(std::string(NameWordLimit, 'n'), 0));
    EXPECT_EQ(pieces[1], Word("nnnnn", 2));
}

TEST(ReadWord, EndOfFileAndNulEndTheTextForEveryLaterCall)
{
    for (const std::string& bytes : {std::string("ab"), std::string("ab\0cd e\nf", 9)}) {
        std::FILE* file = openbytes(bytes);
        char buffer[NameWordLimit + 1];
        int length;
        EXPECT_EQ(ReadWord(file, buffer, NameWordLimit, &length), WordTextEnd);
        EXPECT_STREQ(buffer, "ab");
        for (int again = 0; again < 3; again++) {
            EXPECT_EQ(ReadWord(file, buffer, NameWordLimit, &length), WordTextEnd);
            EXPECT_EQ(length, 0);
            EXPECT_EQ(RestLine(file), WordTextEnd);
        }
        std::fclose(file);
    }
}

TEST(RestLine, SkipsToTheNextLineOrTheEndWhateverTheLineHolds)
{
    std::FILE* file = openbytes("x " + std::string(3000, 'y') + " z\r\nnext\n\nlast");
    char buffer[NameWordLimit + 1];
    int length;
    EXPECT_EQ(RestLine(file), WordLineEnd);
    EXPECT_EQ(ReadWord(file, buffer, NameWordLimit, &length), WordLineEnd);
    EXPECT_STREQ(buffer, "next");
    EXPECT_EQ(RestLine(file), WordLineEnd);  // the empty line
    EXPECT_EQ(RestLine(file), WordTextEnd);
    std::fclose(file);
}

TEST(GetKeyword, FindsEachKeywordByExactCaseSensitiveComparison)
{
    ASSERT_EQ(KeywordCount, 17);
    for (int i = 0; i < KeywordCount; i++)
        EXPECT_EQ(GetKeyword(Keywords[i]), i);
    EXPECT_EQ(GetKeyword("PNT"), int(TagPoint));
    EXPECT_EQ(GetKeyword("POL"), int(TagPolygon));
    EXPECT_EQ(GetKeyword("pnt"), -1);
    EXPECT_EQ(GetKeyword("PNTX"), -1);
    EXPECT_EQ(GetKeyword(""), -1);
}
