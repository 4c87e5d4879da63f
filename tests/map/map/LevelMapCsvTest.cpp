// CSV layer text of every length and shape: the ids read must be those a
// plain reading of the text token by token gives, wherever the 64-byte
// blocks the reader works in begin and end, and every faulty text must be
// refused with what is wrong, wherever in it the fault lies.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "map/LevelMapLayerData.h"

namespace
{
struct Decoded
{
    bool ok = false;
    std::vector<std::uint32_t> gids;
    std::string problem;
};

Decoded decodeCsv(const std::string& text, std::size_t count)
{
    const std::string xml = "<data encoding=\"csv\">" + text + "</data>";
    tinyxml2::XMLDocument document;
    Decoded decoded;
    if (document.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS)
        return decoded;
    decoded.ok = LevelMapLayerData::decode(document.FirstChildElement("data"), count, decoded.gids, decoded.problem);
    return decoded;
}

// The ids of a well-formed text, read the slow and obvious way.
std::vector<std::uint32_t> tokens(const std::string& text)
{
    std::vector<std::uint32_t> ids;
    std::string digits;
    for (char ch : text + ",")
    {
        if (ch >= '0' && ch <= '9')
            digits += ch;
        else if (ch == ',' && !digits.empty())
        {
            ids.push_back(static_cast<std::uint32_t>(std::strtoull(digits.c_str(), nullptr, 10)));
            digits.clear();
        }
    }
    return ids;
}

// A text of `count` ids of every length the editor writes (flipped ids
// have ten digits), with the separators it and hand editing use.
std::string layerText(std::size_t count, unsigned seed)
{
    static const char* const separators[] = {",", ",", ",", ",\n", ", ", " ,", ",\r\n", "\t,\t"};
    static const char* const ids[] = {"1", "42",        "600",           "7",          "2147483649", "3221226073",
                                      "0", "536870913", "0000000000007", "4294967295", "999",        "13"};
    std::string text = seed % 3 == 0 ? "\n" : "";
    unsigned state = seed * 2654435761u + 1;
    for (std::size_t i = 0; i < count; ++i)
    {
        state = state * 1103515245u + 12345u;
        text += ids[(state >> 8) % (sizeof ids / sizeof ids[0])];
        if (i + 1 < count)
            text += separators[(state >> 16) % (sizeof separators / sizeof separators[0])];
    }
    return text + (seed % 2 == 0 ? "\n" : "");
}
}

TEST(LevelMapCsv, EveryLengthReadsTheIdsOfTheText)
{
    for (std::size_t count = 1; count <= 160; ++count)
    {
        for (unsigned seed = 0; seed < 4; ++seed)
        {
            const std::string text = layerText(count, seed);
            SCOPED_TRACE("text \"" + text + "\"");
            const std::vector<std::uint32_t> expected = tokens(text);
            ASSERT_EQ(expected.size(), count);
            const Decoded decoded = decodeCsv(text, count);
            ASSERT_TRUE(decoded.ok) << decoded.problem;
            EXPECT_EQ(decoded.gids, expected);
            // A layer smaller than its text takes the first ids only.
            const Decoded fewer = decodeCsv(text, count / 2 + 1);
            ASSERT_TRUE(fewer.ok) << fewer.problem;
            EXPECT_EQ(fewer.gids, std::vector<std::uint32_t>(expected.begin(), expected.begin() + count / 2 + 1));
            // A trailing comma is allowed, a missing id is not.
            EXPECT_TRUE(decodeCsv(text + ",", count).ok);
            const Decoded short_ = decodeCsv(text, count + 1);
            EXPECT_FALSE(short_.ok);
            EXPECT_NE(short_.problem.find("expected"), std::string::npos) << short_.problem;
        }
    }
}

TEST(LevelMapCsv, FaultsAnywhereInALongTextAreRefused)
{
    struct Fault
    {
        const char* what;
        const char* text; // put in place of one separator
        const char* message;
    };
    const Fault faults[] = {
        {"two commas", ",,", "not a tile id"},
        {"no comma", " ", "unexpected character"},
        {"a line end without a comma", "\n", "unexpected character"},
        {"a letter", ",x", "not a tile id"},
        {"a semicolon", ";", "unexpected character"},
        {"a sign", ",-", "not a tile id"},
        {"an id past 32 bits", ",4294967296,", "not a tile id"},
        {"an id far past 32 bits", ",99999999999999999999,", "not a tile id"},
    };
    const std::size_t count = 120;
    const std::string good = layerText(count, 5);
    std::vector<std::size_t> commas;
    for (std::size_t at = 0; at < good.size(); ++at)
        if (good[at] == ',')
            commas.push_back(at);
    for (const Fault& fault : faults)
    {
        // Near the start, on and around block edges, and near the end.
        for (std::size_t which : {std::size_t(0), std::size_t(8), std::size_t(9), std::size_t(10), std::size_t(11),
                                  std::size_t(20), commas.size() / 2, commas.size() - 2})
        {
            std::string text = good;
            text.replace(commas[which], 1, fault.text);
            SCOPED_TRACE(std::string(fault.what) + " at byte " + std::to_string(commas[which]));
            const Decoded decoded = decodeCsv(text, count);
            EXPECT_FALSE(decoded.ok);
            EXPECT_NE(decoded.problem.find(fault.message), std::string::npos) << decoded.problem;
        }
    }
    // A comma before the first id.
    const Decoded leading = decodeCsv("," + good, count);
    EXPECT_FALSE(leading.ok);
    EXPECT_NE(leading.problem.find("not a tile id"), std::string::npos) << leading.problem;
}

TEST(LevelMapCsv, IdsOfUpToTenDigitsAreReadWhereverTheyStandInABlock)
{
    // Ids of every length the block reading takes, padded with leading
    // zeros or not, each put at every byte of two blocks so that it starts
    // in one and ends in the next.
    const char* const ids[] = {"5",         "60",         "0",          "12345678",   "123456789", "1234567890",
                               "000000042", "0000000042", "4294967295", "2147483649", "99999999",  "3221226073"};
    for (const char* id : ids)
    {
        for (std::size_t lead = 0; lead < 140; ++lead)
        {
            const std::string text = std::string(lead, ' ') + "7," + id + ",8";
            SCOPED_TRACE("text \"" + text + "\"");
            const Decoded decoded = decodeCsv(text, 3);
            ASSERT_TRUE(decoded.ok) << decoded.problem;
            EXPECT_EQ(decoded.gids, tokens(text));
            // The same id as the text's very last bytes.
            const Decoded last = decodeCsv(text.substr(0, text.size() - 2), 2);
            ASSERT_TRUE(last.ok) << last.problem;
            EXPECT_EQ(last.gids, tokens(text.substr(0, text.size() - 2)));
        }
    }
}

TEST(LevelMapCsv, LongTextsOfTheEditorsIdsReadAsTheirTokens)
{
    // No id longer than ten digits, so that every block is read by masks.
    const char* const ids[] = {"1", "42", "600", "7", "2147483649", "3221226073", "0", "536870913", "4294967295", "13"};
    for (std::size_t count :
         {std::size_t(1), std::size_t(15), std::size_t(16), std::size_t(17), std::size_t(300), std::size_t(1001)})
    {
        for (unsigned seed = 0; seed < 6; ++seed)
        {
            std::string text;
            unsigned state = seed * 2654435761u + 7;
            for (std::size_t i = 0; i < count; ++i)
            {
                state = state * 1103515245u + 12345u;
                text += ids[(state >> 8) % (sizeof ids / sizeof ids[0])];
                if (i + 1 < count)
                    text += (state >> 20) % 7 == 0 ? ",\n" : ",";
            }
            SCOPED_TRACE("count " + std::to_string(count) + ", seed " + std::to_string(seed));
            const Decoded decoded = decodeCsv(text, count);
            ASSERT_TRUE(decoded.ok) << decoded.problem;
            const std::vector<std::uint32_t> expected = tokens(text);
            EXPECT_EQ(decoded.gids, expected);
            // A smaller layer stops anywhere among the ids converted together.
            for (std::size_t fewer = count - std::min<std::size_t>(count - 1, 5); fewer < count; ++fewer)
            {
                const Decoded part = decodeCsv(text, fewer);
                ASSERT_TRUE(part.ok) << part.problem;
                EXPECT_EQ(part.gids, std::vector<std::uint32_t>(expected.begin(), expected.begin() + fewer));
            }
        }
    }
}

TEST(LevelMapCsv, DigitRunsTooLongForTheBlocksAreStillReadOrRefused)
{
    struct Case
    {
        const char* what;
        std::string id;
        bool ok;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"eleven digits, leading zeros", "00000000042", true, 42},
        {"a block of zeros and more", std::string(70, '0') + "5", true, 5},
        {"two blocks of zeros", std::string(128, '0') + "9", true, 9},
        {"ten digits past 32 bits", "4294967296", false, 0},
        {"eleven digits past 32 bits", "42949672950", false, 0},
        {"a block of nines", std::string(64, '9'), false, 0},
    };
    for (const Case& c : cases)
    {
        for (std::size_t lead : {std::size_t(0), std::size_t(30), std::size_t(62), std::size_t(63)})
        {
            const std::string text = std::string(lead, ' ') + "3," + c.id + ",4";
            SCOPED_TRACE(std::string(c.what) + " after " + std::to_string(lead) + " spaces");
            const Decoded decoded = decodeCsv(text, 3);
            EXPECT_EQ(decoded.ok, c.ok) << decoded.problem;
            if (c.ok)
                EXPECT_EQ(decoded.gids, (std::vector<std::uint32_t>{3, c.value, 4}));
            else
                EXPECT_NE(decoded.problem.find("not a tile id"), std::string::npos) << decoded.problem;
        }
    }
}
