#include "session/Session.h"

#include <utility>

#include "Log/Log.h"
#include "animation/TAAnimationManager.h"
#include "data/Character.h"
#include "data/Party.h"
#include "dialog/DialogManager.h"
#include "input/InputManager.h"
#include "script/LuaInterface.h"
#include "script/ScriptInstance.h"
#include "session/EndingView.h"
#include "session/LevelInputContext.h"
#include "util/GameFiles.h"
#include "util/NamedXMLDocument.h"
#include "util/util.h"
#include "world/Scene.h"

namespace core
{
namespace
{
const double ANIMATION_STEP_SECONDS = 0.01666;
}

Session::Session()
    : _world(*this, _story), _party(*this), _console(*this), _combatManager(this),
      _dialogManager(std::make_unique<DialogManager>(this)),
      _levelInputContext(std::make_unique<LevelInputContext>(this)), _luaRef(LUA_NOREF)
{
    application::InputManager::pushContext(_levelInputContext.get());
}

Session::~Session()
{
    // Scripts may still hold "s": their calls now fail with an error line.
    LuaInterface::releaseObject(_luaRef);
    _world.detachEntities();
    application::InputManager::removeContext(_levelInputContext.get());
    _console.getScreenStack().clearScreens();
}

std::unique_ptr<Session> Session::buildFromXMLFile(const std::string& fileName)
{
    NamedXMLDocument document(fileName);
    const std::string path = WORKING_DIRECTORY + "/" + fileName;
    if (GameFiles::loadXML(document, path) != tinyxml2::XML_SUCCESS)
    {
        Log::error() << "Session::buildFromXMLFile - Failed to load or parse file " << fileName << std::endl;
        return nullptr;
    }
    std::unique_ptr<Session> session = std::make_unique<Session>();
    LuaInterface::pushObjectOfClass("Session", session.get());
    session->setLuaRef(LuaInterface::getReference());
    LuaInterface::registerAlias(session->getLuaRef(), "s");
    session->readSessionElements(document.FirstChildElement());
    return session;
}

void Session::readSessionElements(tinyxml2::XMLElement* first)
{
    for (tinyxml2::XMLElement* element = first; element; element = element->NextSiblingElement())
    {
        if (std::string(element->Name()) != "party")
            continue;
        std::unique_ptr<Party> party = Party::buildFromXMLElement(element);
        if (!party)
            continue;
        // The last party is the session's. The list of an earlier one goes;
        // its characters stay in the store, known to scripts by their ids.
        setCurrentParty(std::move(party));
    }
}

void Session::input()
{
}

void Session::update()
{
    input();
    if (_console.isOpen())
        prompt();
    // Read again at each step: a script run by an entity may have changed
    // what is shown.
    if (getCurrentScene())
    {
        updateEntities();
        tamsyAnimation::AnimationManager::getInstance()->update(ANIMATION_STEP_SECONDS);
        _world.noteDeparted();
        if (Scene* scene = getCurrentScene())
            scene->cull();
    }
    _world.finishFrame();
    showEndingWhenFree();
}

void Session::updateEntities()
{
    // Scripts may add or remove entities while the scene is walked, so walk
    // a copy taken in id order.
    std::vector<Entity*> entities;
    for (const auto& entry : getCurrentScene()->getEntities())
        entities.push_back(entry.second);
    Character* avatar = getAvatar();
    for (Entity* entity : entities)
    {
        if (!entity)
            continue;
        entity->updatePosition();
        if (avatar && entity->getId() != avatar->getId())
            runEntityScripts(entity, avatar);
    }
}

void Session::runEntityScripts(Entity* entity, Character* avatar)
{
    LuaInterface::registerAlias(entity->getLuaRef(), "obj");
    if (entity->getInteractScript() && avatar->overlaps(entity))
        entity->getInteractScript()->run();
    // Somebody fighting stands where the fight puts them: no wandering off.
    if (entity->getThinkScript() && !_combatManager.isTakingPart(entity))
        entity->getThinkScript()->run();
    LuaInterface::clearAlias("obj");
}

// Out of line: freeing a scene needs its whole type.
void Session::setNextScene(std::unique_ptr<Scene> scene, int row, int column)
{
    _world.setNextScene(std::move(scene), row, column);
}

void Session::attemptEnterScene(std::unique_ptr<Scene> scene, int row, int column)
{
    _world.attemptEnterScene(std::move(scene), row, column);
}

void Session::reenterScene(std::unique_ptr<Scene> scene)
{
    _world.reenterScene(std::move(scene));
}

Party* Session::getCurrentParty() const
{
    return _party.getParty();
}

void Session::setCurrentParty(std::unique_ptr<Party> party)
{
    _party.setParty(std::move(party));
}

CharacterList& Session::getCurrentOpponents()
{
    return _currentOpponents;
}

CombatManager& Session::getCombatManager()
{
    return _combatManager;
}

DialogManager* Session::getDialogManager() const
{
    return _dialogManager.get();
}

LevelInputContext* Session::getLevelInputContext() const
{
    return _levelInputContext.get();
}

Character* Session::getAvatar() const
{
    return _party.getAvatar();
}

void Session::avatarEnteredScene(Character* avatar)
{
    _dialogManager->initializePlayer(avatar);
}

Entity* Session::getEntity(const std::string& id) const
{
    if (Entity* member = _party.getMember(id))
        return member;
    Scene* scene = getCurrentScene();
    return scene ? scene->getEntity(id) : nullptr;
}

void Session::moveAvatar(Direction direction)
{
    if (Character* avatar = getAvatar())
        avatar->attemptMoveDirection(direction, false);
}

void Session::tryInteract()
{
    Character* avatar = getAvatar();
    Scene* scene = getCurrentScene();
    if (!scene || !avatar)
        return;
    std::vector<Entity*> entities;
    for (const auto& entry : scene->getEntities())
        entities.push_back(entry.second);
    for (Entity* entity : entities)
    {
        if (!entity || entity->getId() == avatar->getId())
            continue;
        LuaInterface::registerAlias(entity->getLuaRef(), "obj");
        if (entity->getInteractScript() && avatar->isFacing(entity))
            entity->getInteractScript()->run();
        LuaInterface::clearAlias("obj");
    }
}

void Session::setInputIsEnabled(bool enabled)
{
    _levelInputContext->setIsEnabled(enabled);
}

std::vector<std::string> Session::parseOpponentIds(const std::string& list)
{
    std::vector<std::string> ids;
    size_t start = 0;
    while (start <= list.size())
    {
        const size_t end = list.find(';', start);
        const std::string id = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (id.empty())
            break;
        ids.push_back(id);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return ids;
}

std::string Session::partyMemberAmong(const std::string& opponentList) const
{
    Party* party = _party.getParty();
    if (!party)
        return std::string();
    for (const std::string& id : parseOpponentIds(opponentList))
        if (party->getMembers().count(id))
            return id;
    return std::string();
}

void Session::attemptEnterCombat(const std::string& opponentList, const std::string& music)
{
    const std::string member = partyMemberAmong(opponentList);
    if (!member.empty())
    {
        Log::warn() << "Session::attemptEnterCombat - " << member << " is in the party and cannot be fought"
                    << std::endl;
        return;
    }
    // The running fight holds on to the list it was given.
    if (_combatManager.isInCombat())
    {
        Log::named("combat") << "Session::attemptEnterCombat - Already in combat" << std::endl;
        return;
    }
    CharacterList opponents;
    for (const std::string& id : parseOpponentIds(opponentList))
    {
        Entity* entity = getCurrentScene() ? getCurrentScene()->getEntity(id) : nullptr;
        Character* opponent = dynamic_cast<Character*>(entity);
        if (!opponent || opponent->isRemoved())
        {
            Log::named("combat") << "Session::attemptEnterCombat - No character " << id << " in the current scene"
                                 << std::endl;
            continue;
        }
        Log::named("combat") << opponent->getId() << std::endl;
        opponents.push_back(opponent);
    }
    _combatOpponents = opponents;
    _combatManager.enterCombat(&_combatOpponents, music);
}

void Session::attemptExitCombat()
{
    Log::named("combat") << "Exiting combat" << std::endl;
    // The console's own screen stays: without it the console could never
    // prompt again.
    ScreenStack& screens = _console.getScreenStack();
    if (screens.stack.size() > 1)
        screens.popScreen();
    _combatManager.leaveCombat();
}

bool Session::setFlag(const std::string& name, int value)
{
    return _story.setFlag(name, value);
}

int Session::getFlag(const std::string& name)
{
    return _story.getFlag(name);
}

bool Session::hasFlag(const std::string& name) const
{
    return _story.hasFlag(name);
}

void Session::setLuaRef(int luaRef)
{
    _luaRef = luaRef;
}

int Session::getLuaRef() const
{
    return _luaRef;
}

bool Session::theEnd()
{
    if (!_endingView)
    {
        Log::named("Session") << "Session::theEnd - No ending screen to show" << std::endl;
        return false;
    }
    _endingRequested = true;
    showEndingWhenFree();
    return true;
}

void Session::showEndingWhenFree()
{
    if (!_endingRequested || !_endingView || !_endingView->isEndingHidden())
        return;
    if (getFlag("flag_isDialogOpen") != 0 || _combatManager.isInCombat())
        return;
    setInputIsEnabled(false);
    _endingView->show();
}
}
