#include "util/NamedRegistry.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Counts the live instances so that the tests can see what the registry frees.
struct Tracked
{
    explicit Tracked(std::string n) : name(std::move(n)) { ++alive; }
    ~Tracked() { --alive; }
    std::string name;
    static int alive;
};
int Tracked::alive = 0;

std::unique_ptr<Tracked> make(const std::string& name)
{
    return std::unique_ptr<Tracked>(new Tracked(name));
}
}

TEST(NamedRegistry, ReplacedObjectsStayValidUntilTheRegistryGoes)
{
    {
        NamedRegistry<Tracked> registry;
        Tracked* first = registry.put("a", make("first"), "(Test::put) replaced");
        Tracked* second = registry.put("a", make("second"), "(Test::put) replaced");
        EXPECT_EQ(registry.get("a"), second);
        EXPECT_EQ(registry.size(), 1u);
        EXPECT_EQ(first->name, "first") << "a caller holding the old object can still read it";
        EXPECT_EQ(Tracked::alive, 2);
    }
    EXPECT_EQ(Tracked::alive, 0);
}

TEST(NamedRegistry, TheSameObjectPutTwiceIsOwnedOnce)
{
    {
        NamedRegistry<Tracked> registry;
        Tracked* object = registry.put("a", make("only"), nullptr);
        EXPECT_EQ(registry.put("a", std::unique_ptr<Tracked>(object), nullptr), object);
        EXPECT_EQ(Tracked::alive, 1);
    }
    EXPECT_EQ(Tracked::alive, 0) << "freed once, not twice";
}

TEST(NamedRegistry, TakeHandsOverAndMissingNamesGiveNull)
{
    NamedRegistry<Tracked> registry;
    registry.put("b", make("b"), nullptr);
    registry.put("a", make("a"), nullptr);
    std::vector<std::string> order;
    for (const auto& item : registry.items())
        order.push_back(item.first);
    EXPECT_EQ(order, (std::vector<std::string>{"a", "b"})) << "visited in name order";

    std::unique_ptr<Tracked> taken = registry.take("a", "(Test::take) missing");
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->name, "a");
    EXPECT_FALSE(registry.contains("a"));
    EXPECT_EQ(registry.take("a", "(Test::take) missing"), nullptr);
    EXPECT_EQ(registry.get("nobody"), nullptr);
    taken.reset();
    EXPECT_EQ(Tracked::alive, 1);
}

TEST(NamedRegistry, AddRefusesATakenNameAndFreesTheNewcomer)
{
    {
        NamedRegistry<Tracked> registry;
        Tracked* first = registry.add("a", make("first"), "(Test::add) taken");
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(registry.add("a", make("second"), "(Test::add) taken"), nullptr);
        EXPECT_EQ(registry.get("a"), first) << "the first keeps the name";
        EXPECT_EQ(Tracked::alive, 1);
        EXPECT_EQ(registry.find("b", "(Test::find) missing", logINFO), nullptr);
        EXPECT_EQ(registry.find("a", "(Test::find) missing", logINFO), first);
    }
    EXPECT_EQ(Tracked::alive, 0);
}
