#include <gtest/gtest.h>

#include "play/ObjectList.h"

namespace {

// Three nodes added with sprites 1, 2, 3: the walk from the head meets 3, 2, 1.
struct ThreeNodes : ::testing::Test {
    ObjectList list;
    GameObject* newest = nullptr;
    GameObject* middle = nullptr;
    GameObject* oldest = nullptr;

    void SetUp() override
    {
        ASSERT_EQ(list.add(1), 1);
        oldest = list.head;
        ASSERT_EQ(list.add(2), 1);
        middle = list.head;
        ASSERT_EQ(list.add(3), 1);
        newest = list.head;
    }

    std::vector<int32_t> walk() const
    {
        std::vector<int32_t> sprites;
        const GameObject* previous = nullptr;
        for (const GameObject* node = list.head; node != nullptr; node = node->next) {
            EXPECT_EQ(node->prev, previous);
            sprites.push_back(node->spriteId);
            previous = node;
        }
        return sprites;
    }
};

TEST(ObjectList, AddToEmptyListMakesALoneHead)
{
    ObjectList list;
    ASSERT_EQ(list.add(7), 1);
    ASSERT_NE(list.head, nullptr);
    EXPECT_EQ(list.head, list.lastAdded);
    EXPECT_EQ(list.head->next, nullptr);
    EXPECT_EQ(list.head->prev, nullptr);
    EXPECT_EQ(list.head->spriteId, 7);
    EXPECT_EQ(list.head->kind, 0);
}

TEST_F(ThreeNodes, RemovingTheHeadPromotesTheSecond)
{
    list.remove(newest);
    EXPECT_EQ(list.head, middle);
    EXPECT_EQ(walk(), (std::vector<int32_t>{2, 1}));
}

TEST_F(ThreeNodes, RemovingTheMiddleJoinsItsNeighbours)
{
    list.remove(middle);
    EXPECT_EQ(newest->next, oldest);
    EXPECT_EQ(walk(), (std::vector<int32_t>{3, 1}));
}

TEST_F(ThreeNodes, RemovingTheLastEndsTheListAtItsPredecessor)
{
    list.remove(oldest);
    EXPECT_EQ(middle->next, nullptr);
    EXPECT_EQ(walk(), (std::vector<int32_t>{3, 2}));
}

TEST_F(ThreeNodes, RemovingEveryNodeEmptiesTheList)
{
    list.remove(middle);
    list.remove(newest);
    list.remove(oldest);
    EXPECT_EQ(list.head, nullptr);
    list.clear();
    EXPECT_EQ(list.head, nullptr);
}

TEST_F(ThreeNodes, RemoveWhileWalkingTakesNextFirst)
{
    for (GameObject* node = list.head; node != nullptr;) {
        GameObject* next = node->next;
        if (node->spriteId != 2) {
            list.remove(node);
        }
        node = next;
    }
    EXPECT_EQ(walk(), (std::vector<int32_t>{2}));
}

TEST(ObjectList, FindSpriteReturnsTheNewestOfAKind)
{
    ObjectList list;
    ASSERT_EQ(list.add(10), 1);
    list.head->kind = 4;
    ASSERT_EQ(list.add(11), 1);
    list.head->kind = 5;
    ASSERT_EQ(list.add(12), 1);
    list.head->kind = 4;
    EXPECT_EQ(list.findSprite(4), 12);
    EXPECT_EQ(list.findSprite(5), 11);
    EXPECT_EQ(list.findSprite(8), 0);
}

TEST(ObjectList, ClearOnAnEmptyListDoesNothing)
{
    ObjectList list;
    list.clear();
    EXPECT_EQ(list.head, nullptr);
}

}  // namespace
