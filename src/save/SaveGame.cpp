#include "save/SaveGame.h"

#include <climits>
#include <cmath>

#include "Log/Log.h"
#include "data/Character.h"
#include "data/Item.h"
#include "map/LevelMap.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "save/SaveFields.h"
#include "world/Scene.h"
#include "session/Session.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace core
{
namespace
{
const char* const ROOT_NAME = "zoltsave";
const char* const SESSION_FILE = "assets/session.xml";
// Larger than any real save; a bigger file is refused before it is parsed.
const size_t MAX_SAVE_BYTES = size_t(4) * 1024 * 1024;
// A party this large is no party the game made; each unknown member also
// costs a search through every scene file.
const size_t MAX_MEMBERS = 64;
// Play time and the save's date, as far as a menu can show them: a century
// of play, and no date past the year 9999.
const long long MAX_PLAY_SECONDS = 100LL * 366 * 24 * 3600;
const long long MAX_SAVED_AT = 253402300799LL;
// Rows and columns are checked against the scene's map when it is built;
// here only that they are whole numbers a map could have.
const long long MAX_COORDINATE = INT_MAX;

std::string lineOf(const tinyxml2::XMLElement* element)
{
    return " (line " + std::to_string(element->GetLineNum()) + ")";
}

bool readInt(const tinyxml2::XMLElement* element, const char* name, int& value, std::string& error,
             long long min = INT_MIN, long long max = INT_MAX)
{
    long long read = 0;
    if (!SaveFields::readWhole(element, name, min, max, read, error))
        return false;
    value = static_cast<int>(read);
    return true;
}

std::string tooLarge(size_t bytes)
{
    return "the save file is " + std::to_string(bytes) + " bytes, more than the " + std::to_string(MAX_SAVE_BYTES) +
           " a save may be";
}

bool hasId(const tinyxml2::XMLElement* record, const std::string& id)
{
    return std::string(record->Name()) == "character" && nullToEmpty(record->Attribute("id")) == id;
}

// The first character record with that id in the starting party or in a
// scene file: a member who joined after the game began is built again from
// where the game first met them.
Character* buildFromRecords(const std::string& id)
{
    std::vector<std::string> files = {SESSION_FILE};
    for (const auto& scene : levelNameMap)
        files.push_back(scene.second);
    for (const std::string& file : files)
    {
        tinyxml2::XMLDocument document;
        if (GameFiles::loadXML(document, WORKING_DIRECTORY + "/" + file) != tinyxml2::XML_SUCCESS)
            continue;
        for (tinyxml2::XMLElement* top = document.FirstChildElement(); top; top = top->NextSiblingElement())
        {
            if (hasId(top, id))
                return Character::buildFromXMLElement(top);
            if (std::string(top->Name()) != "party")
                continue;
            for (tinyxml2::XMLElement* member = top->FirstChildElement("character"); member;
                 member = member->NextSiblingElement("character"))
            {
                if (hasId(member, id))
                    return Character::buildFromXMLElement(member);
            }
        }
    }
    return nullptr;
}
}

bool SaveGame::capture(Session& session, long playSeconds, std::time_t now, SaveGame& save, std::string& error)
{
    Character* avatar = session.getAvatar();
    Scene* scene = session.getCurrentScene();
    if (!scene || !avatar || !session.getCurrentParty())
    {
        error = "there is no game under way to save";
        return false;
    }
    save = SaveGame();
    save._summary.sceneId = scene->getId();
    save._summary.playSeconds = playSeconds;
    save._summary.savedAt = now;
    // Mid-step the avatar is between two tiles; it is saved on the nearer.
    save._row = static_cast<int>(std::lround(avatar->getPosition().x));
    save._column = static_cast<int>(std::lround(avatar->getPosition().y));
    save._facing = avatar->getFaceDirection();
    Party* party = session.getCurrentParty();
    save._partyId = party->getId();
    for (const auto& member : party->getMembers())
    {
        if (Character* character = dynamic_cast<Character*>(member.second))
            save._members.push_back(CharacterSnapshot::capture(*character));
    }
    const auto& items = party->getInventory().getIds();
    save._items.assign(items.begin(), items.end());
    save._flags = session.story().getFlags();
    if (session.story().getQuestManager())
        save._quests = session.story().getQuestManager()->getEntries();
    save._departed = session.story().getDeparted();
    return true;
}

std::string SaveGame::toXml() const
{
    tinyxml2::XMLDocument document;
    document.InsertEndChild(document.NewDeclaration());
    tinyxml2::XMLElement* root = document.NewElement(ROOT_NAME);
    document.InsertEndChild(root);
    root->SetAttribute("version", FORMAT_VERSION);
    root->SetAttribute("savedAt", static_cast<int64_t>(_summary.savedAt));
    root->SetAttribute("playSeconds", static_cast<int64_t>(_summary.playSeconds));
    tinyxml2::XMLElement* place = root->InsertNewChildElement("scene");
    place->SetAttribute("id", _summary.sceneId.c_str());
    place->SetAttribute("row", _row);
    place->SetAttribute("col", _column);
    place->SetAttribute("facing", _facing);
    tinyxml2::XMLElement* party = root->InsertNewChildElement("party");
    party->SetAttribute("id", _partyId.c_str());
    for (const CharacterSnapshot& member : _members)
        member.toXml(party);
    for (const std::string& item : _items)
        party->InsertNewChildElement("item")->SetText(item.c_str());
    for (const auto& flag : _flags)
    {
        tinyxml2::XMLElement* element = root->InsertNewChildElement("flag");
        element->SetAttribute("name", flag.first.c_str());
        element->SetAttribute("value", flag.second);
    }
    for (const QuestManager::Entry& quest : _quests)
    {
        tinyxml2::XMLElement* element = root->InsertNewChildElement("quest");
        element->SetAttribute("id", quest.id.c_str());
        element->SetAttribute("title", quest.title.c_str());
        element->SetAttribute("state", static_cast<int>(quest.state));
    }
    for (const auto& scene : _departed)
    {
        for (const std::string& id : scene.second)
        {
            tinyxml2::XMLElement* element = root->InsertNewChildElement("departed");
            element->SetAttribute("scene", scene.first.c_str());
            element->SetAttribute("id", id.c_str());
        }
    }
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);
    return printer.CStr();
}

bool SaveGame::fromXml(const std::string& text, SaveGame& save, std::string& error)
{
    if (text.empty())
    {
        error = "the save file is empty";
        return false;
    }
    if (text.size() > MAX_SAVE_BYTES)
    {
        error = tooLarge(text.size());
        return false;
    }
    tinyxml2::XMLDocument document;
    if (document.Parse(text.c_str(), text.size()) != tinyxml2::XML_SUCCESS)
    {
        error = std::string("the save file is damaged or cut short (") + document.ErrorStr() + ")";
        return false;
    }
    const tinyxml2::XMLElement* root = document.RootElement();
    if (!root || std::string(root->Name()) != ROOT_NAME)
    {
        error = "the file is not a saved game";
        return false;
    }
    long long version = 0;
    std::string ignored;
    if (!SaveFields::readWhole(root, "version", 1, INT_MAX, version, ignored))
    {
        error = "the save names no format version";
        return false;
    }
    if (version > FORMAT_VERSION)
    {
        error = "the save was made by a newer version of the game (format " + std::to_string(version) +
                ", this game reads up to " + std::to_string(FORMAT_VERSION) + ")";
        return false;
    }
    SaveGame read;
    if (!read.readBody(root, error))
        return false;
    save = read;
    return true;
}

bool SaveGame::readBody(const tinyxml2::XMLElement* root, std::string& error)
{
    _summary.savedAt =
        static_cast<std::time_t>(SaveFields::readClamped(root, "savedAt", 0, 0, MAX_SAVED_AT, _warnings));
    _summary.playSeconds =
        static_cast<long>(SaveFields::readClamped(root, "playSeconds", 0, 0, MAX_PLAY_SECONDS, _warnings));
    const tinyxml2::XMLElement* place = root->FirstChildElement("scene");
    if (!place)
    {
        error = "the save does not say where the party stands";
        return false;
    }
    _summary.sceneId = nullToEmpty(place->Attribute("id"));
    if (_summary.sceneId.empty())
    {
        error = "the save names no scene" + lineOf(place);
        return false;
    }
    if (!readInt(place, "row", _row, error, 0, MAX_COORDINATE) ||
        !readInt(place, "col", _column, error, 0, MAX_COORDINATE))
        return false;
    _facing = static_cast<int>(SaveFields::readClamped(place, "facing", UP, UP, LEFT, _warnings));
    const tinyxml2::XMLElement* party = root->FirstChildElement("party");
    if (!party)
    {
        error = "the save holds no party";
        return false;
    }
    _partyId = nullToEmpty(party->Attribute("id"));
    return readMembers(party, error) && readRest(root, party, error);
}

bool SaveGame::readMembers(const tinyxml2::XMLElement* party, std::string& error)
{
    std::set<std::string> seen;
    for (const tinyxml2::XMLElement* m = party->FirstChildElement("member"); m; m = m->NextSiblingElement("member"))
    {
        if (_members.size() == MAX_MEMBERS)
        {
            error = "the save lists more than " + std::to_string(MAX_MEMBERS) + " party members" + lineOf(m);
            return false;
        }
        CharacterSnapshot member;
        if (!CharacterSnapshot::fromXml(m, member, error, _warnings))
            return false;
        // One character cannot join twice; the first entry is the one kept.
        if (!seen.insert(member.getId()).second)
        {
            _warnings.push_back("party member " + SaveFields::shortened(member.getId()) + " is listed twice" +
                                lineOf(m) + "; the first is kept");
            continue;
        }
        _members.push_back(member);
    }
    return true;
}

bool SaveGame::readRest(const tinyxml2::XMLElement* root, const tinyxml2::XMLElement* party, std::string& error)
{
    for (const tinyxml2::XMLElement* i = party->FirstChildElement("item"); i; i = i->NextSiblingElement("item"))
        _items.push_back(nullToEmpty(i->GetText()));
    for (const tinyxml2::XMLElement* f = root->FirstChildElement("flag"); f; f = f->NextSiblingElement("flag"))
    {
        int value = 0;
        if (!readInt(f, "value", value, error))
            return false;
        _flags[nullToEmpty(f->Attribute("name"))] = value;
    }
    for (const tinyxml2::XMLElement* q = root->FirstChildElement("quest"); q; q = q->NextSiblingElement("quest"))
    {
        int state = 0;
        if (!readInt(q, "state", state, error))
            return false;
        if (state < QuestManager::NOT_BEGUN || state > QuestManager::FINISHED)
        {
            error = "a quest has the unknown state " + std::to_string(state) + lineOf(q);
            return false;
        }
        _quests.push_back({nullToEmpty(q->Attribute("id")), nullToEmpty(q->Attribute("title")),
                           static_cast<QuestManager::State>(state)});
    }
    for (const tinyxml2::XMLElement* d = root->FirstChildElement("departed"); d; d = d->NextSiblingElement("departed"))
        _departed[nullToEmpty(d->Attribute("scene"))].insert(nullToEmpty(d->Attribute("id")));
    return true;
}

size_t SaveGame::maxBytes()
{
    return MAX_SAVE_BYTES;
}

bool SaveGame::applyTo(Session& session, std::vector<std::string>& skipped, std::string& error) const
{
    if (!session.getCurrentParty())
    {
        error = "the game has no party to load into";
        return false;
    }
    // Built before anything changes: a save whose scene is gone leaves the
    // running game as it was.
    std::unique_ptr<Scene> scene = ResourceManager::getScene(_summary.sceneId);
    if (!scene)
    {
        error = "its scene " + SaveFields::shortened(_summary.sceneId) + " no longer exists";
        return false;
    }
    const LevelMap* map = scene->getLevelMap();
    if (map && !map->isOnMap(_row, _column))
    {
        error = "it places the party at row " + std::to_string(_row) + ", column " + std::to_string(_column) +
                ", off the map of " + SaveFields::shortened(_summary.sceneId) + " (" +
                std::to_string(map->getNumberOfRows()) + " rows, " + std::to_string(map->getNumberOfColumns()) +
                " columns)";
        // Its characters are known to Lua already and outlive it.
        scene->detachEntities();
        return false;
    }
    restoreParty(session, skipped);
    restoreItems(session, skipped);
    session.story().clearFlags();
    for (const auto& flag : _flags)
    {
        // Reading first keeps a flag that was saved at 0 listed as it was.
        session.getFlag(flag.first);
        session.setFlag(flag.first, flag.second);
    }
    restoreQuests(session);
    session.story().setDeparted(_departed);
    Character* avatar = session.getAvatar();
    if (avatar)
    {
        avatar->setPosition(_row, _column);
        avatar->setFacing(static_cast<Direction>(_facing));
    }
    session.setNextScene(std::move(scene), _row, _column);
    return true;
}

void SaveGame::restoreParty(Session& session, std::vector<std::string>& skipped) const
{
    Party* party = session.getCurrentParty();
    EntityMap before = party->getMembers();
    for (const auto& member : before)
    {
        bool kept = false;
        for (const CharacterSnapshot& saved : _members)
            kept = kept || saved.getId() == member.first;
        if (!kept)
            party->removeMember(member.first);
    }
    for (const CharacterSnapshot& saved : _members)
    {
        auto found = before.find(saved.getId());
        Character* character = found == before.end() ? nullptr : dynamic_cast<Character*>(found->second);
        if (!character)
            character = buildFromRecords(saved.getId());
        if (!character)
        {
            skipped.push_back("party member " + SaveFields::shortened(saved.getId()));
            continue;
        }
        saved.applyTo(*character, skipped);
        if (found == before.end())
            party->addMember(character);
    }
}

void SaveGame::restoreItems(Session& session, std::vector<std::string>& skipped) const
{
    IdList& inventory = session.getCurrentParty()->getInventory();
    inventory.clear();
    for (const std::string& item : _items)
    {
        if (ResourceManager::getItemById(item))
            inventory.add(item);
        else
            skipped.push_back("item " + SaveFields::shortened(item));
    }
}

void SaveGame::restoreQuests(Session& session) const
{
    QuestManager* quests = session.story().getQuestManager();
    if (!quests)
        return;
    quests->clear();
    for (const QuestManager::Entry& entry : _quests)
        quests->restoreEntry(entry);
}
}
