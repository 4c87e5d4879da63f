#include "SaveTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SessionTestSupport.h"
#include "core/ResourceManager.h"

namespace savetest
{
ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zolt-save-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        _path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    if (!_path.empty())
        std::filesystem::remove_all(_path, error);
}

void loadGameRecords()
{
    static const bool loaded = core::ResourceManager::buildFromXMLFile("assets/items.xml") &&
                               core::ResourceManager::buildFromXMLFile("assets/abilities.xml") &&
                               core::ResourceManager::buildFromXMLFile("assets/classes.xml");
    (void)loaded;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

void SavedSession::SetUp()
{
    sessiontest::prepare();
    loadGameRecords();
    session = sessiontest::sessionInTestA(3, 3);
    ASSERT_NE(session, nullptr);
    quests.reset(new core::QuestManager(session));
    session->setQuestManager(quests.get());
    saves.reset(new core::SaveGameManager(session, folder.path() + "/saves"));
    saves->setNotifier([this](const std::string& message) { shown.push_back(message); });
    session->setSaveGames(saves.get());
}
}
