#pragma once

#include <string>
#include <vector>

#include "map/Tile.h"
#include "event/BeginQuestEvent.h"
#include "event/EndQuestEvent.h"
#include "event/TriggerTileEvent.h"

// A cell of the trigger grid: what happens when an entity ends a step on
// it. The tile owns its events. The script names of its trigger-tile events
// decide its role (portal, wander region).
class TriggerTile : public Tile
{
public:
    TriggerTile() = default;
    ~TriggerTile();

    void addEvent(event::TriggerTileEvent* e);
    void addEvent(event::BeginQuestEvent* e);
    void addEvent(event::EndQuestEvent* e);

    bool isTrigger() const;
    bool isPortal() const;
    bool isNPCTrigger() const;

    // Runs the trigger-tile events in order, then pushes the begin-quest
    // and the end-quest events through the event manager.
    void triggerEvents();

    const std::vector<event::TriggerTileEvent*>& getEvents() const;

    TriggerTile(const TriggerTile&) = delete;
    TriggerTile& operator=(const TriggerTile&) = delete;

private:
    bool hasEventWithScript(const std::string& script) const;

    std::vector<event::TriggerTileEvent*> events;
    std::vector<event::BeginQuestEvent*> _beginQuestEvents;
    std::vector<event::EndQuestEvent*> _endQuestEvents;
};
