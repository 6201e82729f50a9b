#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/GameObject.h"
#include "core/World.h"

namespace {

// Logs candidate offers and updates in one shared journal.
class Logged : public GameObject {
  public:
    Logged(std::string name, std::vector<std::string>& journal, bool collides = true)
        : GameObject(true, true, Point()), name(std::move(name)), journal(journal) {
        hasCollider = collides;
    }
    void addCollisionCandidate(GameObject* other) override {
        GameObject::addCollisionCandidate(other);
        journal.push_back(name + "<" + static_cast<Logged*>(other)->name);
    }
    void update(int elapsedMs) override {
        journal.push_back(name + ".update(" + std::to_string(elapsedMs) + ")");
        GameObject::update(elapsedMs);
    }
    std::string name;
    std::vector<std::string>& journal;
};

}  // namespace

TEST(WorldTest, RunningStepOffersEveryOrderedPairThenUpdatesInOrder) {
    std::vector<std::string> journal;
    World world;
    world.addObject(new Logged("a", journal));
    world.addObject(new Logged("b", journal));
    world.addObject(new Logged("c", journal, false));
    world.update(17);
    const std::vector<std::string> expected = {
        "a<b", "a<c", "b<a", "b<c", "c<a", "c<b", "a.update(17)", "b.update(17)", "c.update(17)"};
    EXPECT_EQ(journal, expected);
    for (const auto& object : world.objects) {
        EXPECT_TRUE(object->collisionCandidates.empty());
    }
}

TEST(WorldTest, PausedStepUpdatesOnlyTheFirstObject) {
    std::vector<std::string> journal;
    World world;
    world.update(17);  // empty, running
    world.running = false;
    world.update(17);  // empty, paused
    world.draw(17);
    world.hideFirstObject();
    world.addObject(new Logged("a", journal));
    world.addObject(new Logged("b", journal));
    world.update(17);
    EXPECT_EQ(journal, std::vector<std::string>{"a.update(17)"});
    world.running = true;
    journal.clear();
    world.update(17);
    EXPECT_EQ(journal.size(), 4u);  // a fresh candidate pass, then both updates
}

TEST(WorldTest, AddObjectIgnoresNullAndDuplicatesAndHideKeepsUpdating) {
    std::vector<std::string> journal;
    World world;
    auto* first = new Logged("a", journal);
    world.addObject(nullptr);
    world.addObject(first);
    world.addObject(first);
    ASSERT_EQ(world.objects.size(), 1u);
    world.hideFirstObject();
    world.hideFirstObject();
    EXPECT_FALSE(first->drawEnabled);
    world.running = false;
    world.update(17);
    EXPECT_EQ(journal.back(), "a.update(17)");
}

TEST(WorldTest, SingletonCanBeReleasedAndRecreated) {
    World* world = World::getInstance();
    EXPECT_EQ(World::getInstance(), world);
    EXPECT_TRUE(world->running);
    World::destroyInstance();
    World::destroyInstance();  // twice is harmless
    EXPECT_TRUE(World::getInstance()->objects.empty());
    World::destroyInstance();
}
