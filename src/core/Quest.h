#pragma once

#include <string>

namespace core
{
// A story hook: the scripts meant to run when the quest starts and ends.
class Quest
{
public:
    Quest(const std::string& questStartScript, const std::string& questEndScript);

    const std::string& getQuestStartScript() const;
    const std::string& getQuestEndScript() const;

private:
    std::string _questStartScript;
    std::string _questEndScript;
};
}
