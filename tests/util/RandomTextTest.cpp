#include "util/RandomText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace
{
// A generator that replays a fixed list of values and counts its calls;
// after the list runs out it repeats the last value.
std::vector<int> scripted;
std::size_t scriptedNext = 0;

int scriptedRand()
{
    if (scripted.empty())
    {
        return 0;
    }
    std::size_t i = std::min(scriptedNext, scripted.size() - 1);
    ++scriptedNext;
    return scripted[i];
}

class RandomTextTest : public ::testing::Test
{
protected:
    void use(const std::vector<int>& values)
    {
        scripted = values;
        scriptedNext = 0;
        setRandSource(&scriptedRand);
    }
    void TearDown() override { setRandSource(nullptr); }
};

bool isLowerAscii(const std::string& s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

int countOf(const std::string& s, char c)
{
    return static_cast<int>(std::count(s.begin(), s.end(), c));
}
}

TEST_F(RandomTextTest, LetterPoolsHaveTheirWeights)
{
    const std::string& en = letterPool(ENGLISH);
    EXPECT_EQ(en, "eeeeeeeeeeeetttttttttaaaaaaaaoooooooiiiiiiinnnnnnsssssshhhhhhrrrrrrddddllllcccuuum"
                  "mwwffggyyppbvkjxqz");
    ASSERT_EQ(en.size(), 100u);
    EXPECT_EQ(countOf(en, 'e'), 12);
    EXPECT_EQ(countOf(en, 't'), 9);
    EXPECT_EQ(countOf(en, 'z'), 1);

    const std::string& es = letterPool(SPANISH);
    ASSERT_EQ(es.size(), 109u);
    EXPECT_EQ(countOf(es, 'l'), 12);
    EXPECT_EQ(countOf(es, 'e'), 14);
    EXPECT_EQ(countOf(es, 'a'), 13);
    EXPECT_EQ(countOf(es, 'x'), 1);
    EXPECT_EQ(es.back(), 'x');
}

TEST_F(RandomTextTest, SyllableTableIsCompleteAndDistinct)
{
    ASSERT_EQ(syllableCount(), 413u);
    std::set<std::string> seen;
    int nonAscii = 0;
    for (std::size_t i = 0; i < syllableCount(); ++i)
    {
        std::string s = syllableAt(i);
        EXPECT_FALSE(s.empty());
        EXPECT_TRUE(seen.insert(s).second) << "duplicate " << s;
        if (!isLowerAscii(s))
        {
            ++nonAscii;
        }
    }
    EXPECT_EQ(nonAscii, 5);
    for (const char* s : {"ê", "lü", "lüe", "nü", "nüe", "shuai", "zhua", "zhuang"})
    {
        EXPECT_TRUE(seen.count(s)) << s;
    }
    EXPECT_STREQ(syllableAt(0), "a");
    EXPECT_STREQ(syllableAt(5), "ba");
    EXPECT_STREQ(syllableAt(412), "zuo");
    EXPECT_STREQ(syllableAt(408), "zu");
    EXPECT_STREQ(syllableAt(413), "");

    std::size_t e = 0;
    while (e < syllableCount() && std::strcmp(syllableAt(e), "e") != 0)
    {
        ++e;
    }
    ASSERT_LT(e + 2, syllableCount());
    EXPECT_STREQ(syllableAt(e + 1), "ê");
    EXPECT_STREQ(syllableAt(e + 2), "ei");
}

TEST_F(RandomTextTest, WordsFromAKnownSequence)
{
    use({0});
    EXPECT_EQ(randomWord(4, true, ENGLISH), "Eeee");
    EXPECT_EQ(randomWord(2, false, CHINESE), "aa");
    EXPECT_EQ(randomWord(0, true, ENGLISH), "");
    EXPECT_EQ(randomWord(-3, true, CHINESE), "");

    // Each draw is the value modulo the pool size.
    use({99, 100, 12, 21, 29});
    EXPECT_EQ(randomWord(5, false, ENGLISH), "zetao");
    use({108, 109, 413, 412});
    EXPECT_EQ(randomWord(2, true, SPANISH), "Xe");
    EXPECT_EQ(randomWord(2, false, CHINESE), "azuo");
    EXPECT_EQ(scriptedNext, 4u);
}

TEST_F(RandomTextTest, CapitalisingLeavesNonAsciiIntact)
{
    std::size_t e = 0;
    while (std::strcmp(syllableAt(e), "ê") != 0)
    {
        ++e;
    }
    use({static_cast<int>(e)});
    EXPECT_EQ(randomWord(1, true, CHINESE), "ê");
    use({0});
    EXPECT_EQ(randomWord(3, true, CHINESE), "Aaa");
}

TEST_F(RandomTextTest, WordLengthsAndAlphabet)
{
    setRandSource(nullptr);
    std::srand(7);
    for (int i = 0; i < 200; ++i)
    {
        std::string word = randomWord(3, false, CHINESE);
        EXPECT_GE(word.size(), 3u);
        EXPECT_LE(word.size(), 18u + 3u); // ü takes two bytes
        std::string en = randomWord(6, false, ENGLISH);
        EXPECT_EQ(en.size(), 6u);
        EXPECT_TRUE(isLowerAscii(en));
        std::string cap = randomWord(5, true, SPANISH);
        ASSERT_EQ(cap.size(), 5u);
        EXPECT_TRUE(cap[0] >= 'A' && cap[0] <= 'Z');
        EXPECT_TRUE(isLowerAscii(cap.substr(1)));
    }
}

TEST_F(RandomTextTest, SentencesFromAKnownSequence)
{
    use({0});
    EXPECT_EQ(randomSentence(0), "");
    EXPECT_EQ(randomSentence(-2), "");
    EXPECT_EQ(scriptedNext, 0u);

    // Length roll 5 % 6 + 2 = 7 comes before the seven letters.
    use({5, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(randomSentence(1), "Eeeeeee!");
    EXPECT_EQ(scriptedNext, 8u);

    // First word: length 2 then "t","a"; second: length 3 then "o","o","o";
    // third: length 2 then "z","e".
    use({0, 12, 21, 1, 29, 29, 29, 6, 99, 0});
    EXPECT_EQ(randomSentence(3), "Ta ooo ze!");
    EXPECT_EQ(scriptedNext, 10u);
}

TEST_F(RandomTextTest, SentenceShape)
{
    setRandSource(nullptr);
    std::srand(1234);
    for (int i = 0; i < 100; ++i)
    {
        std::string one = randomSentence(1);
        EXPECT_EQ(one.find(' '), std::string::npos);
        ASSERT_GE(one.size(), 3u);
        EXPECT_LE(one.size(), 8u);
        EXPECT_EQ(one.back(), '!');
        EXPECT_TRUE(one[0] >= 'A' && one[0] <= 'Z');

        std::string three = randomSentence(3);
        EXPECT_EQ(countOf(three, ' '), 2);
        EXPECT_EQ(three.back(), '!');
    }
}
