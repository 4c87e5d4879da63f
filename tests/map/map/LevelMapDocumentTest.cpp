// CSV layers read from the file's own bytes instead of tinyxml2's copy: on
// every document the ids, the parse result and tinyxml2's error text must be
// what reading the same file through tinyxml2 alone gives, and texts that
// tinyxml2 would change (entities, CDATA, declared entities) must be left to
// it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "map/LevelMap.h"
#include "map/LevelMapDocument.h"
#include "map/LevelMapLayerData.h"
#include "map/LevelMapLoader.h"
#include "graphics/TGMap.h"
#include "support/Files.h"
#include "support/LogCapture.h"

namespace
{
struct Decoded
{
    bool ok = false;
    std::vector<std::uint32_t> gids;
    std::string problem;
};

void collect(const tinyxml2::XMLNode* parent, std::vector<const tinyxml2::XMLElement*>& found)
{
    for (const tinyxml2::XMLElement* child = parent->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        if (std::strcmp(child->Name(), "data") == 0)
            found.push_back(child);
        collect(child, found);
    }
}

// Every <data> of a parsed document, decoded as a layer of six cells.
std::vector<Decoded> decodeAll(const tinyxml2::XMLDocument& document)
{
    std::vector<const tinyxml2::XMLElement*> elements;
    collect(&document, elements);
    std::vector<Decoded> all;
    for (const tinyxml2::XMLElement* data : elements)
    {
        Decoded decoded;
        decoded.ok = LevelMapLayerData::decode(data, 6, decoded.gids, decoded.problem);
        all.push_back(decoded);
    }
    return all;
}

const char* const HEAD = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map>\n";
}

TEST(LevelMapDocument, ReadsEveryLayerAsTinyXml2AloneWould)
{
    struct Case
    {
        const char* what;
        std::string body;
        std::size_t setAside;
    };
    const Case cases[] = {
        {"plain rows", "<layer><data encoding=\"csv\">\n1,2,3,\n4,5,6\n</data></layer>", 1},
        {"CRLF line ends", "<layer><data encoding=\"csv\">\r\n1,2,3,\r\n4,5,6\r\n</data></layer>", 1},
        {"two layers on one line",
         "<layer><data encoding=\"csv\">1,2,3,4,5,6</data></layer><layer><data encoding=\"csv\">6,5,4,3,2,1</data>"
         "</layer>",
         2},
        {"flipped ids", "<layer><data encoding=\"csv\">2147483649,3221225474,536870915,4,5,4294967295</data></layer>",
         1},
        {"single quotes and spaces", "<layer><data  encoding = 'csv' >1, 2 ,3,4,5,6</data ></layer>", 1},
        {"a '>' in an attribute value", "<layer name=\"a>b\"><data encoding=\"csv\">1,2,3,4,5,6</data></layer>", 1},
        {"a commented-out layer",
         "<!-- <data encoding=\"csv\">9,9,9,9,9,9</data> -->\n<layer><data encoding=\"csv\">1,2,3,4,5,6</data></layer>",
         1},
        {"a comment that looks like a closing tag",
         "<layer><!-- </data> --><data encoding=\"csv\">1,2,3,4,5,6</data></layer>", 1},
        {"CDATA", "<layer><data encoding=\"csv\"><![CDATA[1,2,3,4,5,6]]></data></layer>", 0},
        {"an entity", "<layer><data encoding=\"csv\">1&#44;2,3,4,5,6</data></layer>", 0},
        {"a named entity", "<layer><data encoding=\"csv\">1,2,3,4,5,6&amp;</data></layer>", 0},
        {"one text kept, the next set aside",
         "<layer><data encoding=\"csv\">1&#44;2,3,4,5,6</data></layer><layer><data encoding=\"csv\">1,2,3,4,5,6</data>"
         "</layer>",
         1},
        {"an empty layer", "<layer><data encoding=\"csv\"></data></layer>", 1},
        {"a closed empty layer", "<layer><data encoding=\"csv\"/></layer>", 0},
        {"base64", "<layer><data encoding=\"base64\">AQAAAAIAAAADAAAABAAAAAUAAAAGAAAA</data></layer>", 0},
        {"tile elements", "<layer><data><tile gid=\"1\"/><tile gid=\"2\"/><tile/><tile/><tile/><tile/></data></layer>",
         0},
        {"chunks", "<layer><data encoding=\"csv\"><chunk x=\"0\" y=\"0\">1,2,3,4,5,6</chunk></data></layer>", 0},
        {"an element whose name begins with data",
         "<dataset encoding=\"csv\">7,7</dataset><layer><data encoding=\"csv\">1,2,3,4,5,6</data></layer>", 1},
        {"not a number", "<layer><data encoding=\"csv\">1,2,x,4,5,6</data></layer>", 1},
        {"too few", "<layer><data encoding=\"csv\">1,2,3</data></layer>", 1},
        {"too large", "<layer><data encoding=\"csv\">4294967296,2,3,4,5,6</data></layer>", 1},
        {"far too large", "<layer><data encoding=\"csv\">1,2,3,4,5,99999999999999999999</data></layer>", 1},
        {"leading zeros", "<layer><data encoding=\"csv\">0000000000007,0004294967295,08,9,0,000</data></layer>", 1},
        {"nine and ten digits",
         "<layer><data encoding=\"csv\">999999999,1000000000,123456789,1234567890,0,1</data>"
         "</layer>",
         1},
        {"a stray character", "<layer><data encoding=\"csv\">1,2;3,4,5,6</data></layer>", 1},
        {"more than needed", "<layer><data encoding=\"csv\">1,2,3,4,5,6,7,8</data></layer>", 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string text = HEAD + c.body + "\n</map>\n";
        tinyxml2::XMLDocument alone;
        ASSERT_EQ(alone.Parse(text.data(), text.size()), tinyxml2::XML_SUCCESS);
        LevelMapDocument ours;
        ASSERT_EQ(ours.parse(text.data(), text.size()), tinyxml2::XML_SUCCESS);
        EXPECT_EQ(ours.setAside(), c.setAside);
        const std::vector<Decoded> expected = decodeAll(alone);
        const std::vector<Decoded> actual = decodeAll(ours.document());
        ASSERT_EQ(actual.size(), expected.size());
        ASSERT_FALSE(expected.empty());
        for (std::size_t i = 0; i < expected.size(); ++i)
        {
            EXPECT_EQ(actual[i].ok, expected[i].ok) << "layer " << i << ": " << actual[i].problem;
            EXPECT_EQ(actual[i].gids, expected[i].gids) << "layer " << i;
            EXPECT_EQ(actual[i].problem, expected[i].problem) << "layer " << i;
        }
    }
}

TEST(LevelMapDocument, LeavesDocumentsItCannotFollowToTinyXml2)
{
    // Declared entities may stand in any text; a document with its own
    // declarations is parsed as it is.
    const std::string text = std::string("<?xml version=\"1.0\"?>\n<!DOCTYPE map [<!ENTITY two \"2\">]>\n") +
                             "<map><layer><data encoding=\"csv\">1,2,3,4,5,6</data></layer></map>\n";
    LevelMapDocument ours;
    tinyxml2::XMLDocument alone;
    EXPECT_EQ(ours.parse(text.data(), text.size()), alone.Parse(text.data(), text.size()));
    EXPECT_EQ(ours.setAside(), 0u);
}

TEST(LevelMapDocument, ErrorsAndLineNumbersAreTinyXml2sOwn)
{
    // Line ends are kept where the texts are cut out, so an error after a
    // long layer names the line the file has.
    const std::string body = "<layer><data encoding=\"csv\">\n1,2,3,\n4,5,6,\n7,8,9\n</data></layer>\n";
    const std::string broken[] = {
        HEAD + body + "<layer><data encoding=\"csv\">1,2</layer>\n</map>\n",
        HEAD + body + "<object name=\"unclosed></map>\n",
        HEAD + body + "<layer><data encoding=\"csv\">1,2,3",
        HEAD + body + "<!-- never closed",
        std::string("<map><layer><data encoding=\"csv\">1,2,3,4,5,6</data>"),
    };
    for (const std::string& text : broken)
    {
        SCOPED_TRACE(text);
        tinyxml2::XMLDocument alone;
        LevelMapDocument ours;
        const tinyxml2::XMLError expected = alone.Parse(text.data(), text.size());
        EXPECT_NE(expected, tinyxml2::XML_SUCCESS);
        EXPECT_EQ(ours.parse(text.data(), text.size()), expected);
        EXPECT_STREQ(ours.document().ErrorStr(), alone.ErrorStr());
        EXPECT_EQ(ours.document().ErrorLineNum(), alone.ErrorLineNum());
    }
}

TEST(LevelMapDocument, TextsBelongToTheirOwnDocument)
{
    const std::string text = std::string(HEAD) + "<layer><data encoding=\"csv\">1,2,3,4,5,6</data></layer></map>";
    LevelMapDocument first;
    ASSERT_EQ(first.parse(text.data(), text.size()), tinyxml2::XML_SUCCESS);
    tinyxml2::XMLDocument other;
    ASSERT_EQ(other.Parse(text.data(), text.size()), tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* ours =
        first.document().FirstChildElement("map")->FirstChildElement("layer")->FirstChildElement("data");
    const tinyxml2::XMLElement* theirs =
        other.FirstChildElement("map")->FirstChildElement("layer")->FirstChildElement("data");
    EXPECT_NE(LevelMapDocument::csvText(ours).first, nullptr);
    EXPECT_EQ(LevelMapDocument::csvText(theirs).first, nullptr);
    EXPECT_EQ(LevelMapDocument::csvText(nullptr).first, nullptr);
}

TEST(LevelMapDocument, AWholeMapLoadsTheSameFromCsvAsFromTileElements)
{
    // End to end through the loader: the same cells written both ways,
    // with a comment and a CRLF in the CSV one.
    std::string csv;
    std::string tiles;
    for (int cell = 0; cell < 12; ++cell)
    {
        const std::uint32_t gid = (cell % 3 == 0 ? 0x80000000u : 0u) | static_cast<std::uint32_t>(cell * 5 % 9);
        csv += std::to_string(gid) + (cell + 1 < 12 ? (cell % 4 == 3 ? ",\r\n" : ",") : "");
        tiles += "<tile gid=\"" + std::to_string(gid) + "\"/>";
    }
    const std::string head = "<map orientation=\"orthogonal\" width=\"4\" height=\"3\" tilewidth=\"16\" "
                             "tileheight=\"16\"><tileset firstgid=\"1\" tilewidth=\"16\" tileheight=\"16\">"
                             "<image source=\"t.png\" width=\"48\" height=\"48\"/></tileset>"
                             "<!-- <data encoding=\"csv\">1</data> --><layer name=\"Floor\" width=\"4\" height=\"3\">";
    const std::string fromCsv = head + "<data encoding=\"csv\">\r\n" + csv + "\r\n</data></layer></map>";
    const std::string fromTiles = head + "<data>" + tiles + "</data></layer></map>";
    std::unique_ptr<LevelMap> a(LevelMapLoader::loadLevelMapFromMemory(fromCsv.data(), fromCsv.size(), "csv.tmx"));
    std::unique_ptr<LevelMap> b(
        LevelMapLoader::loadLevelMapFromMemory(fromTiles.data(), fromTiles.size(), "tiles.tmx"));
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    const MapLayer* left = a->getDrawableMaps().front();
    const MapLayer* right = b->getDrawableMaps().front();
    ASSERT_EQ(left->rows, 3);
    ASSERT_EQ(left->gids, right->gids);
    int visible = 0;
    for (int row = 0; row < 3; ++row)
    {
        for (int col = 0; col < 4; ++col)
        {
            const MapTile& x = left->tileAt(row, col);
            const MapTile& y = right->tileAt(row, col);
            visible += x.visible;
            EXPECT_EQ(x.visible, y.visible);
            EXPECT_EQ(x.row, y.row);
            EXPECT_EQ(x.col, y.col);
            EXPECT_EQ(x.flipHorizontal, y.flipHorizontal);
        }
    }
    EXPECT_GT(visible, 6);
}

TEST(LevelMapDocument, AFolderGivenAsAMapIsRefusedWithAReason)
{
    // A folder opens like a file on Linux; reading it whole must neither
    // throw nor ask for memory by the size it claims.
    testsupport::ScratchFolder scratch("zolt-mapdir");
    ASSERT_FALSE(scratch.path().empty());
    const std::string folder = std::filesystem::relative(scratch.path(), std::filesystem::current_path()).string();
    testsupport::ErrorCapture errors;
    std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(folder));
    EXPECT_FALSE(level);
    EXPECT_TRUE(errors.contains("Error opening file " + folder)) << errors.text();
}

TEST(LevelMapDocument, IdsAreTheNumbersWritten)
{
    // Every id against the C library's reading of the same digits: any
    // length, leading zeros, the largest 32-bit value and one past it.
    const char* const texts[] = {
        "0,1,9,10,99,100",
        "999999999,1000000000,123456789,1234567890,2147483649,4294967295",
        "0000000000007,0004294967295,08,9,0,000",
        "1,2,3,4,5,4294967296",
        "1,2,3,4,5,99999999999999999999",
        "536870912,3221225473,1610612737,12,34567,8",
    };
    for (const char* csv : texts)
    {
        SCOPED_TRACE(csv);
        std::vector<std::uint32_t> expected;
        bool representable = true;
        for (const char* at = csv; *at;)
        {
            char* end = nullptr;
            const unsigned long long value = std::strtoull(at, &end, 10);
            representable = representable && value <= 0xFFFFFFFFull;
            expected.push_back(static_cast<std::uint32_t>(value));
            at = *end == ',' ? end + 1 : end;
        }
        const std::string text = std::string(HEAD) + "<layer><data encoding=\"csv\">" + csv + "</data></layer></map>";
        LevelMapDocument document;
        ASSERT_EQ(document.parse(text.data(), text.size()), tinyxml2::XML_SUCCESS);
        ASSERT_EQ(document.setAside(), 1u);
        const std::vector<Decoded> decoded = decodeAll(document.document());
        ASSERT_EQ(decoded.size(), 1u);
        EXPECT_EQ(decoded[0].ok, representable) << decoded[0].problem;
        if (representable)
            EXPECT_EQ(decoded[0].gids, expected);
        else
            EXPECT_NE(decoded[0].problem.find("not a tile id"), std::string::npos) << decoded[0].problem;
    }
}

namespace
{
// The ids of a CSV text as the C library reads them; `representable` false
// when one does not fit in 32 bits.
std::vector<std::uint32_t> libraryIds(const std::string& csv, bool& representable)
{
    std::vector<std::uint32_t> ids;
    representable = true;
    for (const char* at = csv.c_str(); *at;)
    {
        char* end = nullptr;
        const unsigned long long value = std::strtoull(at, &end, 10);
        if (end == at)
            break; // not a number: the caller sees too few ids
        representable = representable && value <= 0xFFFFFFFFull;
        ids.push_back(static_cast<std::uint32_t>(value));
        at = end + std::strspn(end, ", \r\n");
    }
    return ids;
}
}

TEST(LevelMapDocument, IdsOfEveryLengthAreReadWhereverTheyStandInTheText)
{
    // Digits are read several at a time where the text has enough bytes
    // left, one at a time near its end: every length of id, before every
    // kind of separator, at every distance from the end, must read as the
    // C library reads it, from the file's bytes and from tinyxml2's text.
    const std::string digits[] = {"4294967295", "1234567890", "9876543210", "0000000000", "4294967296"};
    const char* const separators[] = {",", ", ", ",\n", " ,", "\r\n,"};
    for (const std::string& source : digits)
    {
        for (std::size_t length = 1; length <= source.size() + 1; ++length)
        {
            // One digit more than the source: eleven digits, led by a zero.
            const std::string id = length > source.size() ? "0" + source : source.substr(0, length);
            for (const char* separator : separators)
            {
                for (int place = 0; place < 6; ++place)
                {
                    std::string csv;
                    for (int cell = 0; cell < 6; ++cell)
                        csv += (cell ? separator : "") + (cell == place ? id : std::to_string(cell * 7));
                    SCOPED_TRACE(csv);
                    bool representable = true;
                    const std::vector<std::uint32_t> expected = libraryIds(csv, representable);
                    ASSERT_EQ(expected.size(), 6u);
                    // An entity in front leaves the text to tinyxml2.
                    for (const std::string& lead : {std::string(), std::string("&#32;")})
                    {
                        const std::string text =
                            std::string(HEAD) + "<layer><data encoding=\"csv\">" + lead + csv + "</data></layer></map>";
                        LevelMapDocument document;
                        ASSERT_EQ(document.parse(text.data(), text.size()), tinyxml2::XML_SUCCESS);
                        EXPECT_EQ(document.setAside(), lead.empty() ? 1u : 0u);
                        const std::vector<Decoded> decoded = decodeAll(document.document());
                        ASSERT_EQ(decoded.size(), 1u);
                        EXPECT_EQ(decoded[0].ok, representable) << decoded[0].problem;
                        if (representable)
                            EXPECT_EQ(decoded[0].gids, expected);
                        else
                            EXPECT_NE(decoded[0].problem.find("not a tile id"), std::string::npos)
                                << decoded[0].problem;
                    }
                }
            }
        }
    }
}
