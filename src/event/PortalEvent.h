#pragma once

#include "event/Event.h"

namespace event
{
// Reserved event type: it has a listener list but no content, and pushing
// one reaches nobody.
class PortalEvent : public Event
{
};
}
