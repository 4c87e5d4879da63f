#pragma once

#include <string>

namespace core
{
// A story hook: the scripts meant to run when the quest starts and ends.
class Quest
{
public:
    Quest(const std::string& questStartScript, const std::string& questEndScript);
    // A quest of the story, known by its id and shown by its title.
    Quest(const std::string& id, const std::string& title, const std::string& questStartScript,
          const std::string& questEndScript);

    const std::string& getQuestStartScript() const;
    const std::string& getQuestEndScript() const;
    const std::string& getId() const { return _id; }
    const std::string& getTitle() const { return _title; }

private:
    std::string _questStartScript;
    std::string _questEndScript;
    std::string _id;
    std::string _title;
};
}
