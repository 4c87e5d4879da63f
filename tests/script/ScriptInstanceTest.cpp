#include <gtest/gtest.h>

#include <memory>

#include "LuaTestSupport.h"
#include "script/ScriptInstance.h"

using core::LuaInterface;
using core::ScriptInstance;

namespace
{
std::unique_ptr<ScriptInstance> fromXML(const char* xml)
{
    tinyxml2::XMLDocument doc;
    if (doc.Parse(xml) != tinyxml2::XML_SUCCESS)
        return nullptr;
    return std::unique_ptr<ScriptInstance>(ScriptInstance::buildFromXMLElement(doc.FirstChildElement()));
}
}

TEST(ScriptInstance, BuildsFileAndTextScriptsFromXML)
{
    auto file = fromXML("<script kind=\"interact\" src=\"talk.lua\">ignored = 1</script>");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->getType(), core::FILENAME);
    EXPECT_EQ(file->getScriptName(), "talk.lua");
    EXPECT_EQ(file->getScriptText(), "filename script");

    auto text = fromXML("<script kind=\"think\">thought = 1</script>");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->getType(), core::TEXT);
    EXPECT_EQ(text->getScriptName(), "anonymous script");
    EXPECT_EQ(text->getScriptText(), "thought = 1");

    auto emptySrc = fromXML("<script src=\"\">fromText = 1</script>");
    ASSERT_TRUE(emptySrc);
    EXPECT_EQ(emptySrc->getType(), core::TEXT);

    auto empty = fromXML("<script/>");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->getType(), core::TEXT);
    EXPECT_EQ(empty->getScriptText(), "");

    EXPECT_EQ(ScriptInstance::buildFromXMLElement(nullptr), nullptr);
}

TEST(ScriptInstance, RunsItsScriptByType)
{
    ScriptInstance text(core::TEXT, "instanceRan = 'text'");
    text.run();
    EXPECT_EQ(globalAsString("instanceRan"), "text");

    LuaInterface::registerGlobal(0, "scriptRuns");
    ScriptFolder scripts(TEST_SCRIPTS);
    ScriptInstance file(core::FILENAME, testScript("setsGlobal.lua"));
    file.run();
    file.run();
    EXPECT_EQ(globalAsString("scriptRuns"), "2");

    // An unknown type keeps nothing and runs nothing.
    ScriptInstance odd(static_cast<core::ScriptType>(7), "instanceRan = 'odd'");
    EXPECT_EQ(odd.getScriptName(), "");
    EXPECT_EQ(odd.getScriptText(), "");
    odd.run();
    EXPECT_EQ(globalAsString("instanceRan"), "text");
}
