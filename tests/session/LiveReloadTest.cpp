#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "dialog/DialogManager.h"
#include "data/Item.h"
#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "session/LiveReload.h"
#include "script/LuaInterface.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"
#include "gui/DialogMenu.h"
#include "support/Files.h"
#include "support/LuaHelpers.h"
#include "util/LoadedFiles.h"

using namespace sessiontest;

// Live reload without a window: a scene, a dialog, a script and a data file
// are read by a running session from a scratch folder, one of them is
// changed (well or badly), and the next look takes it in or keeps the old.
namespace
{
const char* const MAP = "<?xml version=\"1.0\"?>\n<map width=\"4\" height=\"4\" tilewidth=\"16\" tileheight=\"16\">\n"
                        " <tileset firstgid=\"1\" name=\"t\" tilewidth=\"16\" tileheight=\"16\">\n"
                        "  <image source=\"tiles.png\" width=\"320\" height=\"512\"/>\n </tileset>\n"
                        " <layer name=\"Ground\" width=\"4\" height=\"4\"><data>"
                        "<tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/>"
                        "<tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/>"
                        "<tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/>"
                        "<tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/><tile gid=\"1\"/>"
                        "</data></layer>\n"
                        " <layer name=\"Passability\" width=\"4\" height=\"4\"><data>"
                        "<tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/>"
                        "<tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/>"
                        "<tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/>"
                        "<tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/><tile gid=\"0\"/>"
                        "</data></layer>\n"
                        // A trigger under the avatar, which stands on (2, 1).
                        " <objectgroup name=\"Triggers\" width=\"4\" height=\"4\">"
                        "<object x=\"16\" y=\"32\" width=\"16\" height=\"16\"><properties>"
                        "<property name=\"script\" value=\"@TRIGGER@\"/></properties></object></objectgroup>\n"
                        "</map>\n";
const char* const GUARD = "<character id=\"guard\" row=\"0\" col=\"3\"><sprite texture=\"Fenwy\" dimensionW=\"32\" "
                          "dimensionH=\"32\" sizeW=\"16\" sizeH=\"16\"/></character>\n";
const char* const OLD_DIALOG = "<root><name>Guard</name><node id=\"start\"><text>OLD</text></node></root>";
const char* const NEW_DIALOG = "<root><name>Guard</name><node id=\"start\"><text>NEWER</text></node></root>";

enum class Target
{
    Map,
    SceneFile,
    OtherMap,
    Dialog,
    Script,
    Items,
    Unread
};

enum class Situation
{
    Standing,
    Walking,
    Fighting,
    Talking
};

struct Case
{
    const char* name;
    Target target;
    // Empty: the file is removed.
    std::string contents;
    Situation situation;
    // What the target reads as after the look: "OLD" or "NEWER" (a scene
    // counts as NEWER when it was built again).
    const char* expected;
    // Part of a notice, or "" for no notice at all.
    const char* notice;
    bool sceneWaits;
};

// The map with a second drawn layer: what a changed map looks like.
std::string twoLayers()
{
    std::string map = MAP;
    const size_t ground = map.find(" <layer name=\"Ground\"");
    const size_t passability = map.find(" <layer name=\"Passability\"");
    std::string roof = map.substr(ground, passability - ground);
    roof.replace(roof.find("Ground"), 6, "Roof");
    return map.insert(passability, roof);
}

std::string layersOf(const LevelMap* map)
{
    if (!map)
        return "(none)";
    return map->getDrawableMaps().size() == 2 ? "NEWER" : "OLD";
}

std::string sceneFileText(const std::string& folder)
{
    return "<scene id=\"reloadTest\" filename=\"" + folder + "/map.tmx\"/>\n" + GUARD;
}

class LiveReloadTable : public SessionFixture
{
protected:
    // A folder below the build tree, named relative to the working
    // directory, since the game opens every file as "./" + its path.
    std::string makeFolder(const std::string& name)
    {
        const std::filesystem::path absolute = std::filesystem::path(ZOLT_BINARY_DIR) / "reload-test" / name;
        std::filesystem::remove_all(absolute);
        std::filesystem::create_directories(absolute);
        return std::filesystem::relative(absolute).generic_string();
    }

    static std::string withTrigger(std::string text, const std::string& /*folder*/)
    {
        const size_t at = text.find("@TRIGGER@");
        if (at != std::string::npos)
            text.replace(at, 9, "trigger.lua");
        return text;
    }

    void writeOriginals(const std::string& folder)
    {
        testsupport::writeText(folder + "/trigger.lua", "triggerRuns = (triggerRuns or 0) + 1");
        testsupport::writeText(folder + "/map.tmx", withTrigger(MAP, folder));
        testsupport::writeText(folder + "/other.tmx", withTrigger(MAP, folder));
        testsupport::writeText(folder + "/scene.xml", sceneFileText(folder));
        testsupport::writeText(folder + "/dialog.xml", OLD_DIALOG);
        testsupport::writeText(folder + "/script.lua", "reloadProbe = \"OLD\"");
        testsupport::writeText(folder + "/items.xml", "<item id=\"" + folder + "\" name=\"OLD\" script=\"x.lua\"/>");
        testsupport::writeText(folder + "/unread.xml", "<nothing/>");
    }

    std::string fileOf(const std::string& folder, Target target)
    {
        static const char* const names[] = {"map.tmx",    "scene.xml", "other.tmx", "dialog.xml",
                                            "script.lua", "items.xml", "unread.xml"};
        return folder + "/" + names[static_cast<int>(target)];
    }

    // The game's view of the target now.
    std::string readBack(const std::string& folder, Target target, core::Session* session, core::Scene* before)
    {
        switch (target)
        {
        case Target::Dialog:
            session->getDialogManager()->startNewDialog(folder + "/dialog.xml", "start", "guard");
            return sessiontest::dialogMenuOf(session->getDialogManager())->getPage();
        case Target::Script:
            // What the script sets when it runs now, not what it set before.
            core::LuaInterface::runString("reloadProbe = nil");
            core::LuaInterface::runScript(scriptName(folder));
            if (core::LuaInterface::runBooleanString("return reloadProbe == \"NEWER\""))
                return "NEWER";
            return core::LuaInterface::runBooleanString("return reloadProbe == \"OLD\"") ? "OLD" : "(nothing ran)";
        case Target::Items:
        {
            core::Item* item = core::ResourceManager::getItemById(folder);
            return item ? item->getName() : "(none)";
        }
        case Target::Map:
            return layersOf(session->getCurrentScene()->getLevelMap());
        case Target::OtherMap:
        {
            std::unique_ptr<LevelMap> other(LevelMapLoader::loadLevelMap(folder + "/other.tmx"));
            return layersOf(other.get());
        }
        default:
            return session->getCurrentScene() != before ? "NEWER" : "OLD";
        }
    }

    // Each case's folder is the game's script folder while it runs.
    static std::string scriptName(const std::string&) { return "script.lua"; }
};
}

TEST_F(LiveReloadTable, ChangedFilesAreTakenInOrRefusedAndTheOldVersionStays)
{
    const std::string badXml = "<root><name>Guard</name><node id=\"start\">";
    const std::vector<Case> cases = {
        {"map changed", Target::Map, twoLayers(), Situation::Standing, "NEWER", "Reloaded scene reloadTest", false},
        {"map not XML", Target::Map, "<map><layer", Situation::Standing, "OLD", "map.tmx", false},
        {"map without layers", Target::Map, "<map width=\"4\" height=\"4\"/>", Situation::Standing, "OLD",
         "was not reloaded", false},
        {"map removed", Target::Map, "", Situation::Standing, "OLD", "", false},
        {"map changed mid-step", Target::Map, twoLayers(), Situation::Walking, "OLD", "", true},
        {"map changed in a conversation", Target::Map, twoLayers(), Situation::Talking, "NEWER", "Reloaded scene",
         false},
        {"map changed in a fight", Target::Map, twoLayers(), Situation::Fighting, "OLD", "when the fight ends", true},
        {"scene file changed", Target::SceneFile, "", Situation::Standing, "NEWER", "Reloaded scene", false},
        {"scene file not XML", Target::SceneFile, "<scene id=", Situation::Standing, "OLD", "was not reloaded", false},
        {"another scene's map changed", Target::OtherMap, twoLayers(), Situation::Standing, "NEWER", "", false},
        {"another scene's map broken", Target::OtherMap, "<map", Situation::Standing, "OLD", "other.tmx", false},
        {"dialog changed", Target::Dialog, NEW_DIALOG, Situation::Standing, "NEWER", "Reloaded dialog", false},
        {"dialog not XML", Target::Dialog, badXml, Situation::Standing, "OLD", "dialog.xml was not reloaded", false},
        {"dialog without root", Target::Dialog, "<talk><name>x</name></talk>", Situation::Standing, "OLD",
         "no root element", false},
        {"dialog without name", Target::Dialog, "<root><node id=\"start\"/></root>", Situation::Standing, "OLD",
         "no name element", false},
        {"script changed", Target::Script, "reloadProbe = \"NEWER\"", Situation::Standing, "NEWER", "Reloaded script",
         false},
        {"script does not compile", Target::Script, "reloadProbe = = \"NEWER\"", Situation::Standing, "OLD",
         "script.lua:1:", false},
        {"items changed", Target::Items, "", Situation::Standing, "NEWER", "Reloaded data file", false},
        {"items not XML", Target::Items, "<item id=", Situation::Standing, "OLD", "items.xml was not reloaded", false},
        {"item record incomplete", Target::Items, "", Situation::Standing, "OLD", "missing its name", false},
        {"items beside an animation", Target::Items, "", Situation::Standing, "NEWER", "read at start only", false},
        {"a file never read", Target::Unread, "<changed/><more/>", Situation::Standing, "OLD", "", false},
    };
    LoadedFiles::setKeepingCopies(true);
    for (size_t i = 0; i < cases.size(); ++i)
    {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const std::string folder = makeFolder("case" + std::to_string(i));
        const testsupport::ScriptFolder scripts(folder);
        writeOriginals(folder);
        core::levelNameMap["reloadTest"] = folder + "/scene.xml";
        core::Session* session = buildSession();
        ASSERT_NE(session, nullptr);
        session->setNextScene("reloadTest", 2, 1);
        session->update();
        ASSERT_NE(session->getCurrentScene(), nullptr);
        // The game reads each file once, as it would while playing.
        LoadedFiles::note(folder + "/other.tmx", FileKind::Map);
        session->getDialogManager()->startNewDialog(folder + "/dialog.xml", "start", "guard");
        session->getDialogManager()->endDialog();
        core::LuaInterface::runScript(scriptName(folder));
        ASSERT_TRUE(core::ResourceManager::buildFromXMLFile(folder + "/items.xml"));

        double now = 100.0;
        std::vector<std::string> notices;
        core::LiveReload reload(session, FileWatcher(), [&now]() { return now; });
        reload.setNotifier([&notices](const std::string& message) { notices.push_back(message); });
        reload.update();
        ASSERT_TRUE(notices.empty()) << "nothing changed yet: " << notices.front();

        if (c.situation == Situation::Walking)
            session->moveAvatar(core::RIGHT);
        if (c.situation == Situation::Fighting)
            session->attemptEnterCombat("guard;");
        if (c.situation == Situation::Talking)
            session->getDialogManager()->startNewDialog(folder + "/dialog.xml", "start", "guard");
        session->setFlag("reloadKept", 7);
        core::LuaInterface::runString("triggerRuns = 0");
        if (c.situation == Situation::Standing || c.situation == Situation::Talking)
            session->getAvatar()->setFacing(core::LEFT);
        const size_t partySize = session->getCurrentParty()->getMembers().size();
        core::Scene* before = session->getCurrentScene();
        const glm::vec2 tileBefore = session->getAvatar()->getPosition();

        std::string contents = c.contents;
        if (c.target == Target::SceneFile && contents.empty())
            contents = sceneFileText(folder) + "<!-- moved -->";
        if (c.target == Target::Items && contents.empty())
            contents =
                std::string(std::string(c.name).find("animation") != std::string::npos
                                ? "<animation id=\"reloadTestWalk\"><frame row=\"1\" col=\"2\"/></animation>"
                                : "") +
                "<item id=\"" + folder + "\"" +
                (std::string(c.expected) == "NEWER" ? " name=\"NEWER\" script=\"x.lua\"/>" : " script=\"x.lua\"/>");
        const std::string file = fileOf(folder, c.target);
        if (contents.empty())
            std::filesystem::remove(file);
        else
            testsupport::writeText(file, withTrigger(contents, folder));

        now += 0.2;
        reload.update();
        EXPECT_TRUE(notices.empty()) << "looked again within half a second";
        now += 1.0;
        reload.update();

        EXPECT_EQ(readBack(folder, c.target, session, before), c.expected);
        EXPECT_EQ(reload.isSceneWaiting(), c.sceneWaits);
        if (std::string(c.notice).empty())
        {
            EXPECT_TRUE(notices.empty()) << notices.front();
        }
        else
        {
            ASSERT_FALSE(notices.empty());
            EXPECT_NE(notices.back().find(c.notice), std::string::npos) << notices.back();
        }
        // What the player has stays, whatever was reloaded, and putting the
        // avatar back on its tile is no step onto the trigger there.
        EXPECT_TRUE(core::LuaInterface::runBooleanString("return (triggerRuns or 0) == 0"));
        EXPECT_EQ(session->getFlag("reloadKept"), 7);
        EXPECT_EQ(session->getCurrentParty()->getMembers().size(), partySize);
        EXPECT_EQ(session->getCombatManager().isInCombat(), c.situation == Situation::Fighting);
        if (c.situation == Situation::Talking)
        {
            EXPECT_TRUE(shown(sessiontest::dialogMenuOf(session->getDialogManager())));
            EXPECT_EQ(sessiontest::dialogMenuOf(session->getDialogManager())->getPage(), "OLD");
            EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 1);
        }
        if (c.situation != Situation::Walking && c.situation != Situation::Fighting)
        {
            EXPECT_EQ(session->getAvatar()->getPosition(), tileBefore) << "the avatar stays on its tile";
            EXPECT_EQ(session->getAvatar()->getFaceDirection(), core::LEFT) << "and faces the same way";
        }
        if (c.situation == Situation::Walking)
        {
            // Once the step is done the waiting scene comes.
            updateTimes(*session, 5);
            reload.update();
            EXPECT_FALSE(reload.isSceneWaiting());
            EXPECT_NE(session->getCurrentScene(), before);
            EXPECT_EQ(readBack(folder, c.target, session, before), "NEWER");
        }
        const bool removed = c.contents.empty() && c.target == Target::Map;
        if (c.situation == Situation::Standing && !removed &&
            (c.target == Target::Map || c.target == Target::SceneFile))
        {
            // Entered again later, the scene is built from what was taken
            // in: a refused file's last good version.
            core::Scene* shown = session->getCurrentScene();
            session->setNextScene("reloadTest", 2, 1);
            session->update();
            EXPECT_NE(session->getCurrentScene(), shown) << "the scene still builds";
            if (c.target == Target::Map)
            {
                EXPECT_EQ(readBack(folder, c.target, session, before), c.expected);
            }
        }
    }
    LoadedFiles::setKeepingCopies(false);
    std::filesystem::remove_all(std::filesystem::path(ZOLT_BINARY_DIR) / "reload-test");
}
