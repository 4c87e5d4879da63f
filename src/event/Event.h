#pragma once

namespace event
{
// Common base of the game's event types; carries nothing itself.
class Event
{
};
}
