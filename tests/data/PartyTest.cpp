#include <gtest/gtest.h>

#include <memory>

#include <vector>

#include <tinyxml2.h>

#include "LogCapture.h"
#include "data/Character.h"
#include "data/Party.h"
#include "util/util.h"

using core::Character;
using core::Party;

namespace
{
const std::string DATA = "tests/data/data/";

std::vector<std::string> memberIds(Party& party)
{
    std::vector<std::string> ids;
    for (auto& member : party.getMembers())
        ids.push_back(member.first);
    return ids;
}
}

TEST(Party, BuildsMembersAndInventoryAndKeepsTheLaterOfTwoIds)
{
    datatest::initScripting();
    XMLRoot root = getRoot(DATA + "party.xml");
    ASSERT_TRUE(root);
    datatest::clearLog();
    std::unique_ptr<Party> party = Party::buildFromXMLElement(root.get());
    ASSERT_NE(nullptr, party);
    EXPECT_EQ("testers", party->getId());
    EXPECT_TRUE(datatest::logHas("Building party testers"));
    EXPECT_TRUE(datatest::logHas("dtTwin is already a member "));
    EXPECT_TRUE(datatest::logHas("Adding character dtSolo"));

    EXPECT_EQ((std::vector<std::string>{"dtSolo", "dtTwin"}), memberIds(*party));
    auto* twin = static_cast<Character*>(party->getMembers()["dtTwin"]);
    EXPECT_EQ(2, twin->getStr()) << "the second record replaces the first";
    EXPECT_EQ(party.get(), twin->getParty());

    EXPECT_EQ((std::list<std::string>{"rope", "", "rope"}), party->getInventory().getIds());
    EXPECT_TRUE(party->getInventory().remove("rope"));
    EXPECT_TRUE(party->getInventory().contains("rope"));
    party.reset();
}

TEST(Party, MemberThatCannotBeBuiltIsSkipped)
{
    datatest::initScripting();
    XMLRoot root = getRoot(DATA + "partyMissingTemplate.xml");
    ASSERT_TRUE(root);
    datatest::clearLog();
    std::unique_ptr<Party> party = Party::buildFromXMLElement(root.get());
    ASSERT_NE(nullptr, party);
    EXPECT_TRUE(party->getMembers().empty());
    EXPECT_TRUE(datatest::logHas("Cannot add NULL party member "));
    EXPECT_TRUE(datatest::logHas("dtGhost")) << "the skipped record is named";
    party.reset();

    datatest::clearLog();
    EXPECT_EQ(nullptr, Party::buildFromXMLElement(nullptr));
    EXPECT_TRUE(datatest::logHas("Party::buildFromXMLElement"));
}

TEST(Party, AddAndRemoveMembers)
{
    Party party("p");
    datatest::clearLog();
    party.addMember(nullptr);
    EXPECT_TRUE(datatest::logHas("Character::addMember - Cannot add NULL party member "));
    EXPECT_TRUE(party.getMembers().empty());

    Character lower("alice", false);
    Character upper("Bob", false);
    Character again("alice", false);
    party.addMember(&lower);
    party.addMember(&upper);
    EXPECT_EQ(&party, lower.getParty());
    EXPECT_EQ((std::vector<std::string>{"Bob", "alice"}), memberIds(party))
        << "members are kept in byte order of their ids";

    datatest::clearLog();
    party.addMember(&again);
    EXPECT_TRUE(datatest::logHas("Character::addMember - alice is already a member "));
    EXPECT_TRUE(datatest::logHas("Adding Character alice"));
    EXPECT_EQ(&again, party.getMembers()["alice"]);

    datatest::clearLog();
    party.removeMember("carol");
    EXPECT_TRUE(datatest::logHas("Party::removeMember - carol is not a member"));
    EXPECT_EQ(2u, party.getMembers().size());
    party.removeMember("Bob");
    EXPECT_EQ((std::vector<std::string>{"alice"}), memberIds(party));
    EXPECT_EQ(&party, upper.getParty()) << "a removed member keeps its party pointer";
}

TEST(Party, GetCharacterSearchesByDisplayName)
{
    Party party;
    Character randomOne; // its name is its id followed by a second word
    ASSERT_NE(randomOne.getId(), randomOne.getName());
    party.addMember(&randomOne);

    EXPECT_EQ(&randomOne, party.getCharacter(randomOne.getName()));
    datatest::clearLog();
    EXPECT_EQ(nullptr, party.getCharacter(randomOne.getId()));
    EXPECT_TRUE(datatest::logHas("Party::getCharacter - expected to find character with name: " + randomOne.getId() +
                                 ", but did not find that character"));
}
