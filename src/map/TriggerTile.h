#pragma once

#include <memory>
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
    ~TriggerTile() = default;

    // Null events are ignored.
    void addEvent(std::unique_ptr<event::TriggerTileEvent> e);
    void addEvent(std::unique_ptr<event::BeginQuestEvent> e);
    void addEvent(std::unique_ptr<event::EndQuestEvent> e);

    bool isTrigger() const;
    bool isPortal() const;
    bool isNPCTrigger() const;

    // Runs the trigger-tile events in order, then pushes the begin-quest
    // and the end-quest events through the event manager.
    void triggerEvents();

    // The trigger-tile events, in order; the tile keeps them.
    std::vector<event::TriggerTileEvent*> getEvents() const;

    TriggerTile(const TriggerTile&) = delete;
    TriggerTile& operator=(const TriggerTile&) = delete;

private:
    bool hasEventWithScript(const std::string& script) const;

    std::vector<std::unique_ptr<event::TriggerTileEvent>> events;
    std::vector<std::unique_ptr<event::BeginQuestEvent>> _beginQuestEvents;
    std::vector<std::unique_ptr<event::EndQuestEvent>> _endQuestEvents;
};
