#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Log/Log.h"
#include "support/Files.h"
#include "util/GameManifest.h"

namespace
{
// A manifest that is whole and right, into which each case puts one fault.
std::string manifestWith(const std::string& gameAttributes, const std::string& body)
{
    return "<game id=\"probe\"" + gameAttributes +
           ">\n"
           "  <start script=\"start.lua\"/>\n"
           "  <avatar id=\"hero\"/>\n"
           "  <session file=\"assets/session.xml\"/>\n" +
           body + "</game>\n";
}

struct BadInput
{
    const char* what;
    std::string xml;
    // The one problem expected, "file:line: message" in full.
    std::string problem;
};

const std::string FILE_NAME = "probe/game.xml";

std::string at(int line, const std::string& message)
{
    return FILE_NAME + ":" + std::to_string(line) + ": " + message;
}

std::vector<BadInput> badInputs()
{
    return {
        {"unknown element", manifestWith("", "  <sprite name=\"a\" file=\"a.png\"/>\n"),
         at(5, "unknown element <sprite>")},
        {"texture without name", manifestWith("", "  <texture file=\"a.png\"/>\n"), at(5, "<texture> has no name")},
        {"texture with empty file", manifestWith("", "  <texture name=\"a\" file=\"\"/>\n"),
         at(5, "<texture> has no file (it is empty)")},
        {"duplicate texture",
         manifestWith("", "  <texture name=\"a\" file=\"a.png\"/>\n  <texture name=\"a\" file=\"b.png\"/>\n"),
         at(6, "duplicate texture \"a\" (only the first counts)")},
        {"bad load mode", manifestWith("", "  <texture name=\"a\" file=\"a.png\" load=\"later\"/>\n"),
         at(5, "<texture> load \"later\" is not start or lazy")},
        {"duplicate sound",
         manifestWith("", "  <sound name=\"s\" file=\"s.ogg\"/>\n  <sound name=\"s\" file=\"t.ogg\"/>\n"),
         at(6, "duplicate sound \"s\" (only the first counts)")},
        {"sound without file", manifestWith("", "  <sound name=\"s\"/>\n"), at(5, "<sound> has no file")},
        {"loop point not a number",
         manifestWith("", "  <sound name=\"s\" file=\"s.ogg\" music=\"true\" loopTo=\"12ms\"/>\n"),
         at(5, "<sound> loopTo \"12ms\" is not a whole number")},
        {"negative loop point", manifestWith("", "  <sound name=\"s\" file=\"s.ogg\" music=\"true\" loopTo=\"-5\"/>\n"),
         at(5, "<sound> loopTo -5 is out of range (0 to 86400000)")},
        {"music not boolean", manifestWith("", "  <sound name=\"s\" file=\"s.ogg\" music=\"yes\"/>\n"),
         at(5, "<sound> music \"yes\" is not true or false")},
        {"loop point on an effect", manifestWith("", "  <sound name=\"s\" file=\"s.ogg\" loopTo=\"100\"/>\n"),
         at(5, "<sound> loopTo is given for a sound that is not music")},
        {"window too narrow", manifestWith(" width=\"100\"", ""),
         at(1, "<game> width 100 is out of range (160 to 7680)")},
        {"window too tall", manifestWith(" height=\"99999\"", ""),
         at(1, "<game> height 99999 is out of range (120 to 4320)")},
        {"width not a number", manifestWith(" width=\"wide\"", ""),
         at(1, "<game> width \"wide\" is not a whole number")},
        {"width with trailing text", manifestWith(" width=\"640px\"", ""),
         at(1, "<game> width \"640px\" is not a whole number")},
        {"unknown game attribute", manifestWith(" colour=\"red\"", ""),
         at(1, "<game> has an unknown attribute colour")},
        {"legacy saves not boolean", manifestWith(" legacySaves=\"1\"", ""),
         at(1, "<game> legacySaves \"1\" is not true or false")},
        {"id that leaves its folder",
         "<game id=\"../x\"><start script=\"s.lua\"/><avatar id=\"a\"/>"
         "<session file=\"s.xml\"/></game>",
         at(1, "id \"../x\" may hold only letters, digits, '.', '_' and '-' and may not begin with '.'")},
        {"file outside the game", manifestWith("", "  <data file=\"../../etc/passwd\"/>\n"),
         at(5, "<data> file \"../../etc/passwd\" is not a relative path inside the game folder")},
        {"absolute file", manifestWith("", "  <scenes file=\"/etc/scenes.xml\"/>\n"),
         at(5, "<scenes> file \"/etc/scenes.xml\" is not a relative path inside the game folder")},
        {"start script outside the game",
         "<game id=\"p\">\n<start script=\"../../../tmp/x.lua\"/><avatar id=\"a\"/><session file=\"s.xml\"/></game>",
         at(2, "<start> script \"../../../tmp/x.lua\" is not a relative path inside the game folder")},
        {"scene without id", manifestWith("", "  <scene file=\"a.xml\"/>\n"), at(5, "<scene> has no id")},
        {"duplicate scene",
         manifestWith("", "  <scene id=\"a\" file=\"a.xml\"/>\n  <scene id=\"a\" file=\"b.xml\"/>\n"),
         at(6, "duplicate scene \"a\" (only the first counts)")},
        {"duplicate font",
         manifestWith("", "  <font name=\"f\" file=\"f.ttf\"/>\n  <font name=\"f\" file=\"g.ttf\"/>\n"),
         at(6, "duplicate font \"f\" (only the first counts)")},
        {"second avatar", manifestWith("", "  <avatar id=\"other\"/>\n"),
         at(5, "a second <avatar> (only the first counts)")},
        {"start row without scene",
         "<game id=\"p\">\n<start script=\"s.lua\" row=\"3\"/><avatar id=\"a\"/>"
         "<session file=\"s.xml\"/></game>",
         at(2, "<start> gives a row or col but no scene")},
        {"start column not a number",
         "<game id=\"p\">\n<start script=\"s.lua\" scene=\"x\" col=\"left\"/>"
         "<avatar id=\"a\"/><session file=\"s.xml\"/></game>",
         at(2, "<start> col \"left\" is not a whole number")},
        {"unknown script role", manifestWith("", "  <script role=\"boss\" file=\"boss.lua\"/>\n"),
         at(5, "<script> role \"boss\" is not sceneChange or wander")},
        {"log show not boolean", manifestWith("", "  <log stream=\"x\" carries=\"sound\" show=\"maybe\"/>\n"),
         at(5, "<log> show \"maybe\" is not true or false")},
        {"theme panel names no texture", manifestWith("", "  <theme panel=\"paper\"/>\n"),
         at(5, "<theme> panel \"paper\" names no <texture> of the manifest")},
        {"theme without panel", manifestWith("", "  <theme border=\"4\"/>\n"), at(5, "<theme> has no panel")},
        {"theme border out of range",
         manifestWith("", "  <texture name=\"paper\" file=\"p.png\"/>\n  <theme panel=\"paper\" border=\"0\"/>\n"),
         at(6, "<theme> border 0 is out of range (1 to 256)")},
        {"theme text colour not a colour",
         manifestWith("", "  <texture name=\"paper\" file=\"p.png\"/>\n  <theme panel=\"paper\" text=\"#12345g\"/>\n"),
         at(6, "<theme> text \"#12345g\" is not a colour written #rrggbb")},
        {"theme text colour named", manifestWith("", "  <theme panel=\"paper\" text=\"red\"/>\n  <texture name=\"paper\" file=\"p.png\"/>\n"),
         at(5, "<theme> text \"red\" is not a colour written #rrggbb")},
        {"second theme",
         manifestWith("", "  <texture name=\"paper\" file=\"p.png\"/>\n  <theme panel=\"paper\"/>\n  <theme panel=\"paper\"/>\n"),
         at(7, "a second <theme> (only the first counts)")},
        {"theme attribute misspelt",
         manifestWith("", "  <texture name=\"paper\" file=\"p.png\"/>\n  <theme panel=\"paper\" boder=\"4\"/>\n"),
         at(6, "<theme> has an unknown attribute boder")},
        {"no avatar", "<game id=\"p\">\n<start script=\"s.lua\"/><session file=\"s.xml\"/></game>",
         at(1, "<game> has no <avatar id=\"...\"/>: the player controls nobody")},
        {"no start", "<game id=\"p\"><avatar id=\"a\"/><session file=\"s.xml\"/></game>",
         at(1, "<game> has no <start script=\"...\"/>: nothing enters the first scene")},
        {"wrong root", "<manifest id=\"p\"/>", at(1, "the root element is <manifest>, expected <game>")},
        // The parser points at the element left open.
        {"not XML", "<game id=\"p\">\n<avatar id=\"a\">\n</game>", at(2, "not well-formed XML")},
    };
}
}

TEST(GameManifest, EveryBadInputIsNamedWithFileAndLineAndTheRestIsRead)
{
    for (const BadInput& input : badInputs())
    {
        GameManifest manifest;
        manifest.readText(input.xml, FILE_NAME);
        ASSERT_EQ(manifest.problems().size(), 1u)
            << input.what << ": " << ::testing::PrintToString(manifest.problems());
        EXPECT_EQ(manifest.problems()[0], input.problem) << input.what;
        ASSERT_EQ(manifest.faults().size(), 1u) << input.what;
        EXPECT_EQ(FILE_NAME + ":" + std::to_string(manifest.faults()[0].first) + ": " + manifest.faults()[0].second,
                  input.problem)
            << input.what;
    }
}

TEST(GameManifest, AGoodManifestReadsEveryTableInOrder)
{
    GameManifest manifest;
    const std::string xml = manifestWith(" title=\"Probe\" name=\"The Probe\" width=\"800\" height=\"600\"",
                                         "  <data file=\"assets/b.xml\"/>\n"
                                         "  <data file=\"assets/a.xml\"/>\n"
                                         "  <scenes file=\"assets/scenes.xml\"/>\n"
                                         "  <scene id=\"hall\" file=\"assets/hall.xml\"/>\n"
                                         "  <texture name=\"z\" file=\"z.png\"/>\n"
                                         "  <texture name=\"a\" file=\"a.png\" load=\"lazy\"/>\n"
                                         "  <sound name=\"step\" file=\"sfx/step.ogg\" cue=\"step\"/>\n"
                                         "  <sound name=\"tune\" file=\"tune.ogg\" music=\"true\" loopTo=\"1234\"/>\n"
                                         "  <font name=\"body\" file=\"f.ttf\"/>\n"
                                         "  <log stream=\"bard\" carries=\"sound dialogs\" show=\"false\"/>\n");
    ASSERT_TRUE(manifest.readText(xml, FILE_NAME));
    EXPECT_TRUE(manifest.problems().empty()) << ::testing::PrintToString(manifest.problems());
    EXPECT_EQ(manifest.id(), "probe");
    EXPECT_EQ(manifest.title(), "Probe");
    EXPECT_EQ(manifest.name(), "The Probe");
    EXPECT_EQ(manifest.width(), 800);
    EXPECT_EQ(manifest.height(), 600);
    EXPECT_EQ(manifest.startScript(), "start.lua");
    EXPECT_EQ(manifest.avatarId(), "hero");
    EXPECT_EQ(manifest.sessionFile(), "assets/session.xml");
    ASSERT_EQ(manifest.dataFiles().size(), 2u);
    EXPECT_EQ(manifest.dataFiles()[0].file, "assets/b.xml") << "data files keep the manifest's order";
    EXPECT_EQ(manifest.dataFiles()[1].line, 6);
    ASSERT_EQ(manifest.scenes().size(), 1u);
    EXPECT_EQ(manifest.scenes()[0].name, "hall");
    ASSERT_EQ(manifest.textures().size(), 2u);
    EXPECT_EQ(manifest.textures()[0].name, "z") << "textures keep the manifest's order, not the name order";
    EXPECT_FALSE(manifest.textures()[0].lazy);
    EXPECT_TRUE(manifest.textures()[1].lazy);
    ASSERT_EQ(manifest.sounds().size(), 2u);
    EXPECT_FALSE(manifest.sounds()[0].music);
    EXPECT_TRUE(manifest.sounds()[1].music);
    EXPECT_EQ(manifest.sounds()[1].loopTo, 1234u);
    EXPECT_EQ(manifest.soundForCue("step"), "step");
    EXPECT_EQ(manifest.soundForCue("hit"), "") << "a cue the game gives no sound plays nothing";
    ASSERT_EQ(manifest.logStreams().size(), 1u);
    EXPECT_EQ(manifest.logStreams()[0].channels, (std::vector<std::string>{"sound", "dialogs"}));
    EXPECT_FALSE(manifest.logStreams()[0].shown);
}

TEST(GameManifest, AFolderWithoutAManifestUsesTheDefaultOneAndAFolderWithOneUsesIt)
{
    testsupport::ScratchFolder folder;
    ASSERT_FALSE(folder.path().empty());
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(chdir(folder.path().c_str()), 0);
    GameManifest fallback = GameManifest::loadGame();
    testsupport::writeText(
        folder.path() + "/game.xml",
        "<game id=\"own\"><start script=\"a.lua\"/><avatar id=\"x\"/><session file=\"s.xml\"/></game>");
    GameManifest own = GameManifest::loadGame();
    ASSERT_EQ(chdir(here), 0);

    EXPECT_TRUE(fallback.problems().empty()) << ::testing::PrintToString(fallback.problems());
    EXPECT_NE(fallback.fileName().find(GameManifest::DEFAULT_FILE), std::string::npos) << fallback.fileName();
    EXPECT_FALSE(fallback.textures().empty()) << "the default manifest holds the tables old game folders rely on";
    EXPECT_EQ(own.id(), "own");
    EXPECT_EQ(own.fileName(), "game.xml");
    EXPECT_EQ(own.name(), "ZOLT") << "with no name or title, the title screen says the default title";
    EXPECT_TRUE(own.textures().empty());
}

TEST(GameManifest, ALogChannelIsWrittenToTheStreamTheManifestGivesIt)
{
    GameManifest manifest;
    ASSERT_TRUE(
        manifest.readText(manifestWith("", "  <log stream=\"Minstrel\" carries=\"probeChannel\"/>\n"), FILE_NAME));
    const GameManifest saved = GameManifest::current();
    GameManifest::setCurrent(manifest);
    std::ostringstream captured;
    Log::setNamedStream("minstrel", &captured);
    Log::named("PROBECHANNEL") << "heard" << std::endl;
    Log::named("otherProbeChannel") << "unheard" << std::endl;
    GameManifest::setCurrent(saved);
    EXPECT_EQ(captured.str(), Log::prefix("Minstrel") + "heard\n");
}

TEST(GameManifest, AThemeNamesItsPanelTextureBorderAndTextColour)
{
    GameManifest manifest;
    manifest.readText(manifestWith("", "  <theme panel=\"paper\" border=\"12\" text=\"#F0e810\"/>\n"
                                       "  <texture name=\"paper\" file=\"assets/paper.png\"/>\n"),
                      FILE_NAME);
    EXPECT_TRUE(manifest.problems().empty()) << ::testing::PrintToString(manifest.problems());
    EXPECT_EQ(manifest.theme().panel, "paper") << "a texture listed after the theme counts";
    EXPECT_EQ(manifest.theme().border, 12);
    ASSERT_TRUE(manifest.theme().hasTextColour);
    EXPECT_EQ(manifest.theme().textColour[0], 0xf0);
    EXPECT_EQ(manifest.theme().textColour[1], 0xe8);
    EXPECT_EQ(manifest.theme().textColour[2], 0x10);

    GameManifest plain;
    plain.readText(manifestWith("", ""), FILE_NAME);
    EXPECT_EQ(plain.theme().panel, "") << "no theme: the flat colours";
    EXPECT_FALSE(plain.theme().hasTextColour);

    GameManifest lost;
    lost.readText(manifestWith("", "  <theme panel=\"paper\"/>\n"), FILE_NAME);
    EXPECT_EQ(lost.theme().panel, "") << "a panel without its texture falls back to the flat colours";
}
