#include "SaveTestSupport.h"

#include "data/ResourceManager.h"

namespace savetest
{
void loadGameRecords()
{
    static const bool loaded = core::ResourceManager::buildFromXMLFile("assets/items.xml") &&
                               core::ResourceManager::buildFromXMLFile("assets/abilities.xml") &&
                               core::ResourceManager::buildFromXMLFile("assets/classes.xml");
    (void)loaded;
}

void SavedSession::SetUp()
{
    SessionFixture::SetUp();
    loadGameRecords();
    session = sessiontest::sessionInTestA(3, 2);
    ASSERT_NE(session, nullptr);
    quests.reset(new core::QuestManager(session));
    session->story().setQuestManager(quests.get());
    saves.reset(new core::SaveGameManager(session, folder.path() + "/saves"));
    saves->setNotifier([this](const std::string& message) { shown.push_back(message); });
    session->setSaveGames(saves.get());
}
}
