#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <functional>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

#include "SaveTestSupport.h"
#include "data/Character.h"
#include "save/SaveGame.h"
#include "save/SaveGameManager.h"
#include "save/SaveStore.h"
#include "world/Scene.h"

using core::SaveGameManager;
using testsupport::ErrorCapture;

namespace
{
// The text with the first `name="..."` inside the first tag that begins with
// `tag` given the new value.
std::string withAttribute(const std::string& text, const std::string& tag, const std::string& name,
                          const std::string& value)
{
    const size_t start = text.find(tag);
    EXPECT_NE(start, std::string::npos) << tag;
    const size_t end = text.find('>', start);
    const std::string opening = text.substr(start, end - start);
    const std::string changed =
        std::regex_replace(opening, std::regex(" " + name + "=\"[^\"]*\""), " " + name + "=\"" + value + "\"",
                           std::regex_constants::format_first_only);
    EXPECT_NE(changed, opening) << tag << " has no " << name;
    return text.substr(0, start) + changed + text.substr(end);
}

// The text with `child` added as the last child of the first element whose
// tag begins with `tag`.
std::string withChild(const std::string& text, const std::string& tag, const std::string& child)
{
    const size_t start = text.find(tag);
    const size_t end = text.find('>', start);
    EXPECT_NE(end, std::string::npos) << tag;
    if (text[end - 1] == '/')
    {
        const std::string name = tag.substr(1, tag.find(' ') - 1);
        return text.substr(0, end - 1) + ">" + child + "</" + name + ">" + text.substr(end + 1);
    }
    return text.substr(0, end + 1) + child + text.substr(end + 1);
}

std::string repeated(const std::string& piece, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

class HostileSaves : public savetest::SavedSession
{
protected:
    void SetUp() override
    {
        SavedSession::SetUp();
        // Off the diagonal, so a row read as a column shows.
        session->setNextScene("testA", 2, 4);
        session->update();
        ASSERT_TRUE(saves->save("good")) << saves->getLastMessage();
        good = testsupport::readText(saves->getStore().pathOf("good"));
        session->setNextScene("testA", 5, 1);
        session->update();
    }

    int avatarRow() { return static_cast<int>(session->getAvatar()->getPosition().x); }
    int avatarColumn() { return static_cast<int>(session->getAvatar()->getPosition().y); }

    std::string good;
};

// A save may come from anywhere. Each of these is either refused with a
// reason that names what is wrong, the game left as it was, or loaded with
// the bad values held to their range and named in the log; none crashes,
// hangs or writes a notice the size of the file.
TEST_F(HostileSaves, EachIsRefusedOrHeldToRangeWithAReason)
{
    const std::string folder = saves->getStore().getFolder();
    struct Case
    {
        const char* name;
        // Puts the hostile save at the slot's path.
        std::function<void(const std::string& path)> plant;
        bool loads;
        // In the notice when refused, in the log when loaded.
        std::string says;
        // Checks of the loaded game.
        std::function<void()> check;
    };
    const auto contents = [](const std::string& text)
    { return [text](const std::string& path) { testsupport::writeText(path, text); }; };
    const std::string minimalStat = withAttribute(good, "<member id=\"fenwy\"", "str", "-2147483648");
    const std::string bigMember = good.substr(0, good.find("</party>")) + "<member id=\"" + std::string(1 << 20, 'x') +
                                  "\"/>" + repeated("<item>relic</item>", 200) + good.substr(good.find("</party>"));
    const Case cases[] = {
        {"minimalStat", contents(minimalStat), true, "\"-2147483648\", outside",
         [&]
         {
             EXPECT_LT(session->getAvatar()->getStr(), 0) << "read as a large negative, not wrapped";
             EXPECT_GT(session->getAvatar()->getStr(), INT_MIN);
         }},
        {"hugeStat", contents(withAttribute(good, "<member id=\"fenwy\"", "curHP", "99999999999999999999")), false,
         "statistic curHP that is not a whole number", nullptr},
        {"hugeRow", contents(withAttribute(good, "<scene ", "row", "99999999999999999999")), false,
         "whole number row from 0 to", nullptr},
        {"negativeColumn", contents(withAttribute(good, "<scene ", "col", "-1")), false, "whole number col from 0 to",
         nullptr},
        {"maximalRow", contents(withAttribute(good, "<scene ", "row", std::to_string(INT_MAX))), false,
         "off the map of testA", nullptr},
        {"maximalColumn", contents(withAttribute(good, "<scene ", "col", std::to_string(INT_MAX))), false,
         "off the map of testA", nullptr},
        {"rowJustOff", contents(withAttribute(good, "<scene ", "row", "6")), false, "row 6, column 4, off the map",
         nullptr},
        {"badFacing", contents(withAttribute(good, "<scene ", "facing", "7")), true, "facing (line",
         [&] { EXPECT_LE(session->getAvatar()->getFaceDirection(), core::LEFT); }},
        {"badClassLevel",
         contents(withChild(good, "<member id=\"fenwy\"", "<class id=\"Warrior\" level=\"-5\"/>")),
         true, "level (line", [&] { EXPECT_EQ(session->getAvatar()->getClassLevels().count("Warrior"), 0u); }},
        {"hugeUnknownMember", contents(bigMember), true,
         "skipped:", [&] { EXPECT_LT(saves->getLastMessage().size(), 1000u) << "the notice is cut to a sane length"; }},
        {"hugeFlag",
         contents(good.substr(0, good.find("</zoltsave>")) +
                  "<flag name=\"f\" value=\"99999999999999999999\"/></zoltsave>"),
         false, "whole number value", nullptr},
        {"tooLarge", contents(good.substr(0, good.find("</zoltsave>")) + std::string(5 << 20, ' ') + "</zoltsave>"),
         false, "a save may be", nullptr},
        {"linkToZero", [](const std::string& path) { ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0); }, false,
         "is a link", nullptr},
        {"linkToGood",
         [&](const std::string& path) { ASSERT_EQ(::symlink((folder + "/good.xml").c_str(), path.c_str()), 0); }, false,
         "is a link", nullptr},
        {"pipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, false,
         "is not a plain file", nullptr},
        {"folder", [](const std::string& path) { std::filesystem::create_directory(path); }, false,
         "is a folder, not a save file", nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        session->setNextScene("testA", 5, 1);
        session->update();
        c.plant(saves->getStore().pathOf(c.name));
        ErrorCapture errors;
        EXPECT_EQ(saves->load(c.name), c.loads) << saves->getLastMessage();
        session->update();
        if (c.loads)
        {
            EXPECT_NE(errors.text().find(c.says), std::string::npos) << errors.text().substr(0, 2000);
            EXPECT_NE(errors.text().find(saves->getStore().pathOf(c.name)), std::string::npos) << "names the file";
            EXPECT_EQ(avatarRow(), 2);
            EXPECT_EQ(avatarColumn(), 4);
            if (c.check)
                c.check();
            continue;
        }
        EXPECT_NE(saves->getLastMessage().find(c.says), std::string::npos) << saves->getLastMessage();
        EXPECT_NE(errors.text().find(saves->getLastMessage()), std::string::npos) << "logged too";
        EXPECT_NE(errors.text().find(saves->getStore().pathOf(c.name)), std::string::npos) << "names the file";
        EXPECT_EQ(avatarRow(), 5) << "the game is left where it was";
        EXPECT_EQ(avatarColumn(), 1);
    }
}

// The Load menu shows a forged play time, date or scene name as something
// the menu can hold, never a negative clock or a line of control characters.
TEST_F(HostileSaves, TheSlotListShowsOnlyWellFormedValues)
{
    struct Forgery
    {
        const char* attribute;
        std::string value;
    };
    const Forgery forgeries[] = {
        {"playSeconds", "-9223372036854775808"},
        {"playSeconds", "9223372036854775807"},
        {"playSeconds", "-1"},
        {"playSeconds", "1e99"},
        {"savedAt", "-9223372036854775808"},
        {"savedAt", "9223372036854775807"},
    };
    for (const Forgery& f : forgeries)
    {
        SCOPED_TRACE(std::string(f.attribute) + "=" + f.value);
        testsupport::writeText(saves->getStore().pathOf("slot1"),
                               withAttribute(good, "<zoltsave ", f.attribute, f.value));
        const SaveGameManager::SlotInfo info = saves->inspect("slot1");
        ASSERT_TRUE(info.readable) << info.problem;
        const std::string shown = SaveGameManager::describe(info);
        EXPECT_EQ(shown.find('-'), std::string::npos) << shown;
        EXPECT_LT(shown.size(), 40u) << shown;
        EXPECT_GE(info.summary.playSeconds, 0);
        EXPECT_GE(info.summary.savedAt, 0);
    }
    const std::string longName = "line\nbreak" + std::string(500, 'n');
    core::SaveGameManager::SlotInfo info;
    info.used = info.readable = true;
    info.summary.sceneId = longName;
    const std::string shown = SaveGameManager::describe(info);
    EXPECT_EQ(shown.find('\n'), std::string::npos) << shown;
    EXPECT_LT(shown.size(), 60u) << shown;
}
}
