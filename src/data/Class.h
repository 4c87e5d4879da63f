#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

namespace core
{
class Character;

// A character class of up to ten levels. Each level adds fixed amounts to
// the statistics and grants abilities and effects. Shared by pointer: the
// resource database owns it, characters only point to it.
class Class
{
public:
    typedef std::list<std::string> NameList;

    static const int maxLevel = 10;
    static const int NUM_STATS = 4;
    static const int NUM_CB_STATS = 10;

    Class(const std::string& name, const std::string& prerequisiteClass, const std::string& prerequisiteDescription);
    ~Class();
    Class(const Class&) = delete;
    Class& operator=(const Class&) = delete;

    // Reads one class element; null for a null element. Level elements outside 1 to 10, or repeating a level, are
    // logged and left out.
    static std::unique_ptr<Class> fromXML(tinyxml2::XMLElement* element);

    const std::string& getName() const { return name; }
    const std::string& getPrerequisiteDescription() const { return prerequisiteDescription; }
    const std::string& getPrerequisiteClass() const { return prerequisiteClass; }

    bool canTakeClass(Character* character) const;
    // False, changing nothing, once the character has every level.
    bool levelUp(Character* character) const;

    // What level `level` (1 to 10) grants; null when the file lists no
    // element for that level.
    const NameList* getAbilitiesAt(int level) const;
    const NameList* getEffectsAt(int level) const;
    bool hasLevel(int level) const;

private:
    bool readLevel(tinyxml2::XMLElement* element);
    void readGrants(tinyxml2::XMLElement* element, int row);
    void addStats(Character* character, int row) const;
    void grant(Character* character, int row) const;

    std::string name;
    std::string prerequisiteClass;
    std::string prerequisiteDescription;
    int statChanges[maxLevel][NUM_STATS];
    int CBStatChanges[maxLevel][NUM_CB_STATS];
    // One entry per level (row 0 is level 1), null for a level the file
    // does not list, so a gap in the file never shifts later grants.
    std::vector<std::unique_ptr<NameList>> addAbilities;
    std::vector<std::unique_ptr<NameList>> addEffects;
};
}
