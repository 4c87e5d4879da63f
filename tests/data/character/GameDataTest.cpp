#include "CharacterTestSupport.h"

#include <filesystem>

#include "data/Character.h"
#include "data/ResourceManager.h"

using core::Character;
using namespace charactertest;

// The game's own character files must build against its own ability and
// class records without a missing name.
TEST_F(WorldTest, GameCharactersBuildFromTheirTemplates)
{
    ASSERT_TRUE(core::ResourceManager::buildFromXMLFile("/assets/abilities.xml"));
    ASSERT_TRUE(core::ResourceManager::buildFromXMLFile("/assets/classes.xml"));
    logs().clear();

    int built = 0;
    for (const auto& entry : std::filesystem::directory_iterator("assets/characters"))
    {
        if (entry.path().extension() != ".xml")
        {
            continue;
        }
        const std::string templatePath = "assets/characters/" + entry.path().filename().string();
        const std::string id = "probe_" + entry.path().stem().string();
        tinyxml2::XMLDocument doc;
        tinyxml2::XMLElement* element = doc.NewElement("character");
        doc.InsertEndChild(element);
        element->SetAttribute("id", id.c_str());
        element->SetAttribute("template", templatePath.c_str());

        Character* c = Character::buildFromXMLElement(element);
        ASSERT_NE(c, nullptr) << templatePath;
        EXPECT_GT(c->getHP(true), 0) << templatePath;
        ++built;
    }
    EXPECT_GT(built, 0);
    const std::string errors = logs().error.str();
    EXPECT_FALSE(contains(errors, "Could not load ability")) << errors;
    EXPECT_FALSE(contains(errors, "Could not load class")) << errors;
    EXPECT_FALSE(contains(errors, "Failed")) << errors;
    EXPECT_FALSE(contains(logs().resourceManager.str(), "no ability named")) << logs().resourceManager.str();
}
