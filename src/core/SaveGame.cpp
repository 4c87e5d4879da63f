#include "core/SaveGame.h"

#include <cmath>

#include "Log/Log.h"
#include "core/Character.h"
#include "core/Item.h"
#include "core/Party.h"
#include "core/ResourceManager.h"
#include "core/Scene.h"
#include "core/Session.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace core
{
namespace
{
const char* const ROOT_NAME = "zoltsave";
const char* const SESSION_FILE = "assets/session.xml";

std::string lineOf(const tinyxml2::XMLElement* element)
{
    return " (line " + std::to_string(element->GetLineNum()) + ")";
}

bool readInt(const tinyxml2::XMLElement* element, const char* name, int& value, std::string& error)
{
    if (element->QueryIntAttribute(name, &value) != tinyxml2::XML_SUCCESS)
    {
        error = std::string("<") + element->Name() + "> lacks a whole number " + name + lineOf(element);
        return false;
    }
    return true;
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
    save._flags = session.getFlags();
    if (session.getQuestManager())
        save._quests = session.getQuestManager()->getEntries();
    save._departed = session.getDeparted();
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
    int version = 0;
    if (root->QueryIntAttribute("version", &version) != tinyxml2::XML_SUCCESS || version < 1)
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
    _summary.savedAt = static_cast<std::time_t>(root->Int64Attribute("savedAt", 0));
    _summary.playSeconds = static_cast<long>(root->Int64Attribute("playSeconds", 0));
    const tinyxml2::XMLElement* place = root->FirstChildElement("scene");
    if (!place)
    {
        error = "the save does not say where the party stands";
        return false;
    }
    _summary.sceneId = nullToEmpty(place->Attribute("id"));
    if (_summary.sceneId.empty() || !readInt(place, "row", _row, error) || !readInt(place, "col", _column, error))
    {
        if (error.empty())
            error = "the save names no scene" + lineOf(place);
        return false;
    }
    _facing = place->IntAttribute("facing", 0);
    const tinyxml2::XMLElement* party = root->FirstChildElement("party");
    if (!party)
    {
        error = "the save holds no party";
        return false;
    }
    _partyId = nullToEmpty(party->Attribute("id"));
    for (const tinyxml2::XMLElement* m = party->FirstChildElement("member"); m; m = m->NextSiblingElement("member"))
    {
        CharacterSnapshot member;
        if (!CharacterSnapshot::fromXml(m, member, error))
            return false;
        _members.push_back(member);
    }
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
        error = "its scene " + _summary.sceneId + " no longer exists";
        return false;
    }
    restoreParty(session, skipped);
    restoreItems(session, skipped);
    session.clearFlags();
    for (const auto& flag : _flags)
    {
        // Reading first keeps a flag that was saved at 0 listed as it was.
        session.getFlag(flag.first);
        session.setFlag(flag.first, flag.second);
    }
    restoreQuests(session);
    session.setDeparted(_departed);
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
            skipped.push_back("party member " + saved.getId());
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
            skipped.push_back("item " + item);
    }
}

void SaveGame::restoreQuests(Session& session) const
{
    QuestManager* quests = session.getQuestManager();
    if (!quests)
        return;
    quests->clear();
    for (const QuestManager::Entry& entry : _quests)
        quests->restoreEntry(entry);
}
}
