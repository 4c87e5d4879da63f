#include <algorithm>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "animation/TAAnimation.h"
#include "animation/TAAnimationManager.h"
#include "animation/TAAnimationRunner.h"
#include "graphics/TGSprite.h"

using tamsyAnimation::Animation;
using tamsyAnimation::AnimationManager;
using tamsyAnimation::AnimationRunner;
using tamsygraphics::Sprite;

namespace
{
// The session's fixed animation step per rendered frame.
const double FRAME_STEP = 0.01666;

AnimationManager* manager()
{
    return AnimationManager::getInstance();
}

std::vector<glm::vec2> row(int row, int count)
{
    std::vector<glm::vec2> frames;
    for (int column = 0; column < count; ++column)
        frames.push_back(glm::vec2(column, row));
    return frames;
}

bool isRegistered(const AnimationRunner* runner)
{
    const auto& runners = manager()->getRunners();
    return std::find(runners.begin(), runners.end(), runner) != runners.end();
}
}

TEST(AnimationTest, FrameIndexesWrapAroundAnyFrameCount)
{
    const Animation three(row(2, 3));
    EXPECT_EQ(three.getNumFrames(), 3);
    EXPECT_EQ(three.getTexCoords(0), glm::vec2(0, 2));
    EXPECT_EQ(three.getTexCoords(7), glm::vec2(1, 2));
    EXPECT_EQ(three.getTexCoords(3), glm::vec2(0, 2));
    // A negative index counts as a huge unsigned one: 2^32 - 1 is 0 mod 3.
    EXPECT_EQ(three.getTexCoords(-1), glm::vec2(0, 2));

    const Animation single;
    EXPECT_EQ(single.getNumFrames(), 1);
    EXPECT_EQ(single.getTexCoords(5), glm::vec2(0, 0));

    const Animation empty(std::vector<glm::vec2>{});
    EXPECT_EQ(empty.getNumFrames(), 0);
    EXPECT_EQ(empty.getTexCoords(0), glm::vec2(0, 0));
    EXPECT_EQ(empty.getTexCoords(12), glm::vec2(0, 0));
}

TEST(AnimationManagerTest, AnimationsAreCreatedReplacedCopiedAndDestroyed)
{
    Animation* walk = manager()->createAnimation("testWalk", row(0, 4));
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(manager()->getAnimation("testWalk"), walk);

    Animation* still = manager()->createAnimation("testStill");
    EXPECT_EQ(still->getNumFrames(), 1);
    EXPECT_EQ(still->getTexCoords(0), glm::vec2(0, 0));

    // A copy is its own animation: it outlives its source.
    Animation* copy = manager()->copyAnimation("testWalk", "testWalkCopy");
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, walk);
    Animation* copy2 = manager()->copyAnimation(walk, "testWalkCopy2");
    ASSERT_NE(copy2, nullptr);
    manager()->destroyAnimation("testWalk");
    testing::internal::CaptureStdout();
    EXPECT_EQ(manager()->getAnimation("testWalk"), nullptr);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output, "(AnimationManager::GetSpriteAnimation) Attempting to retrieve animation that doesnt exist "
                      "(testWalk)");
    EXPECT_EQ(manager()->getAnimation("testWalkCopy"), copy);
    EXPECT_EQ(copy->getNumFrames(), 4);
    EXPECT_EQ(copy->getTexCoords(3), glm::vec2(3, 0));
    EXPECT_EQ(copy2->getTexCoords(2), glm::vec2(2, 0));

    // Copying onto the source's own name keeps the frames.
    Animation* self = manager()->copyAnimation("testWalkCopy", "testWalkCopy");
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(self->getTexCoords(1), glm::vec2(1, 0));

    testing::internal::CaptureStdout();
    EXPECT_EQ(manager()->copyAnimation("testNoSuchAnimation", "testOther"), nullptr);
    EXPECT_EQ(manager()->copyAnimation(static_cast<const Animation*>(nullptr), "testOther"), nullptr);
    EXPECT_EQ(manager()->getAnimation("testOther"), nullptr);
    testing::internal::GetCapturedStdout();

    // Replacing a name leaves the earlier animation usable by its holders.
    Animation* replaced = manager()->createAnimation("testStill", row(1, 2));
    EXPECT_NE(replaced, still);
    EXPECT_EQ(manager()->getAnimation("testStill"), replaced);
    EXPECT_EQ(still->getNumFrames(), 1);

    manager()->destroyAnimation("testNeverMade");
    manager()->destroyAnimation("testStill");
    manager()->destroyAnimation("testWalkCopy");
    manager()->destroyAnimation("testWalkCopy2");
}

TEST(AnimationRunnerTest, LoopingFramesFollowTheFixedFrameStep)
{
    manager()->createAnimation("testLoop", row(0, 4));
    Sprite sprite("runnerSprite");
    AnimationRunner runner;
    runner.setSprite(&sprite);
    runner.setLoopingAnim("testLoop", 0.15);

    for (int i = 0; i < 9; ++i)
        manager()->update(FRAME_STEP);
    EXPECT_NEAR(runner.getAnimationTime(), 0.14994, 1e-9);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(0, 0));
    manager()->update(FRAME_STEP);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(1, 0));

    // At 0.6 s the index is 4, which wraps to the first frame.
    runner.update(0.6 - runner.getAnimationTime() - 0.02);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(3, 0));
    runner.update(0.02);
    EXPECT_NEAR(runner.getAnimationTime(), 0.6, 1e-12);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(0, 0));

    // Switching looping animations keeps the phase.
    manager()->createAnimation("testLoopOther", row(5, 4));
    runner.setLoopingAnim("testLoopOther", 0.15);
    runner.update(0.16);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(1, 5));

    manager()->destroyAnimation("testLoop");
    manager()->destroyAnimation("testLoopOther");
}

TEST(AnimationRunnerTest, LimitedAnimationPlaysItsRepetitionsThenLoopingResumes)
{
    manager()->createAnimation("testWalkLoop", row(0, 4));
    manager()->createAnimation("testAttack", row(1, 2));
    Sprite sprite("limitedSprite");
    AnimationRunner runner;
    runner.setSprite(&sprite);
    runner.setLoopingAnim("testWalkLoop", 0.25);
    // Well into its looping cycle, as a walking entity would be.
    runner.update(10.5);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(2, 0));
    runner.setLimitedAnim("testAttack", 2, 0.25);

    // Steps of 0.125 s: two updates per frame, four per play.
    const glm::vec2 expected[] = {
        {0, 1}, {1, 1}, {1, 1}, {0, 1}, // first play; the fourth update ends it
        {0, 1}, {1, 1}, {1, 1}, {0, 1}, // second play ends on the first frame
        {0, 0}, {1, 0}, {1, 0}, {2, 0}, // looping again, from its first frame
    };
    const int repetitionsAfter[] = {2, 2, 2, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    for (size_t i = 0; i < sizeof(expected) / sizeof(expected[0]); ++i)
    {
        runner.update(0.125);
        EXPECT_EQ(sprite.GetTexCoords(), expected[i]) << "update " << i + 1;
        EXPECT_EQ(runner.getRepetitions(), repetitionsAfter[i]) << "update " << i + 1;
    }

    // A limited animation that was never found ends the limited mode at once.
    testing::internal::CaptureStdout();
    runner.setLimitedAnim("testNoSuchAttack", 3, 0.25);
    testing::internal::GetCapturedStdout();
    const glm::vec2 before = sprite.GetTexCoords();
    runner.update(0.125);
    EXPECT_EQ(runner.getRepetitions(), 0);
    EXPECT_EQ(runner.getAnimationTime(), 0.0);
    EXPECT_EQ(sprite.GetTexCoords(), before);

    // Destroyed animations are let go by the runners that held them, which
    // then keep the sprite's last frame.
    runner.setLimitedAnim("testAttack", 2, 0.25);
    runner.update(0.3);
    ASSERT_EQ(sprite.GetTexCoords(), glm::vec2(1, 1));
    manager()->destroyAnimation("testWalkLoop");
    manager()->destroyAnimation("testAttack");
    EXPECT_EQ(runner.getLoopingAnim(), nullptr);
    EXPECT_EQ(runner.getLimitedAnim(), nullptr);
    for (int i = 0; i < 20; ++i)
        runner.update(0.125);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(1, 1));
    EXPECT_EQ(runner.getRepetitions(), 0);
}

TEST(AnimationRunnerTest, RunnersLeaveTheManagerWhenDestroyed)
{
    const size_t before = manager()->getRunners().size();
    std::unique_ptr<AnimationRunner> first(new AnimationRunner());
    std::unique_ptr<AnimationRunner> second(new AnimationRunner());
    std::unique_ptr<AnimationRunner> third(new AnimationRunner());
    ASSERT_EQ(manager()->getRunners().size(), before + 3);
    const AnimationRunner* gone = second.get();
    second.reset();
    EXPECT_EQ(manager()->getRunners().size(), before + 2);
    EXPECT_FALSE(isRegistered(gone));
    EXPECT_TRUE(isRegistered(first.get()));
    EXPECT_TRUE(isRegistered(third.get()));
    EXPECT_EQ(manager()->getRunners()[before], first.get());
    EXPECT_EQ(manager()->getRunners()[before + 1], third.get());
    manager()->update(FRAME_STEP);

    // removeRunner takes out every occurrence.
    manager()->addRunner(first.get());
    manager()->removeRunner(first.get());
    EXPECT_FALSE(isRegistered(first.get()));
    manager()->addRunner(first.get());

    // A copy registers itself and leaves its original registered when it goes.
    {
        AnimationRunner copy(*third);
        EXPECT_TRUE(isRegistered(&copy));
        EXPECT_EQ(manager()->getRunners().size(), before + 3);
    }
    EXPECT_TRUE(isRegistered(third.get()));
    first.reset();
    third.reset();
    EXPECT_EQ(manager()->getRunners().size(), before);
}

TEST(AnimationRunnerTest, ZeroSpeedOrMissingAnimationsNeverChangeTheSprite)
{
    manager()->createAnimation("testStillLoop", row(3, 4));
    Sprite sprite("stillSprite");
    sprite.setTexCoords(glm::vec2(7, 7));
    AnimationRunner runner;
    EXPECT_EQ(runner.getSprite(), nullptr);
    EXPECT_EQ(runner.getLoopingAnim(), nullptr);
    EXPECT_EQ(runner.getSpeed(), 0.0);
    runner.setSprite(&sprite);
    runner.setLoopingAnim("testStillLoop", 0.0);
    for (int i = 0; i < 100; ++i)
        manager()->update(FRAME_STEP);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(7, 7));
    EXPECT_EQ(runner.getAnimationTime(), 0.0);

    runner.setSpeed(5e-8);
    runner.update(1.0);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(7, 7));

    // A name that is not found keeps the runner without an animation.
    testing::internal::CaptureStdout();
    runner.setLoopingAnim("testNoSuchLoop", 0.1);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("(testNoSuchLoop)"), std::string::npos);
    EXPECT_EQ(runner.getLoopingAnim(), nullptr);
    runner.update(0.35);
    EXPECT_EQ(sprite.GetTexCoords(), glm::vec2(7, 7));

    // Negative durations play and never crash: indexes wrap as unsigned.
    runner.setLoopingAnim("testStillLoop", -0.1);
    runner.update(0.1);
    EXPECT_EQ(sprite.GetTexCoords().y, 3.0f);

    // A huge time against a tiny duration stays on a valid frame.
    runner.setSpeed(1e-7);
    runner.update(1e6);
    EXPECT_EQ(sprite.GetTexCoords().y, 3.0f);
    manager()->destroyAnimation("testStillLoop");
}
