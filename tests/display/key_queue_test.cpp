#include "display/key_queue.h"

#include <gtest/gtest.h>

TEST(KeyQueue, TheNewestCharacterComesOutFirst) {
    KeyQueue queue;
    queue.push('a');
    queue.push('b');
    EXPECT_EQ(queue.pop(), 'b');
    EXPECT_EQ(queue.pop(), 'a');
    EXPECT_TRUE(queue.empty());
}

TEST(KeyQueue, TheCharacterBeyond200IsDropped) {
    KeyQueue queue;
    for (int i = 0; i < KeyQueue::kCapacity; ++i) queue.push('x');
    queue.push('y');
    EXPECT_EQ(queue.count(), 200);
    EXPECT_EQ(queue.pop(), 'x');
}

TEST(KeyQueue, CharactersAreSigned8BitValues) {
    KeyQueue queue;
    queue.push(0xE9);
    queue.push(0x141);  // only the low byte counts: 'A'
    EXPECT_EQ(queue.pop(), 'A');
    EXPECT_EQ(queue.pop(), -23);
}

TEST(KeyQueue, AnEmptyQueueGivesZero) {
    KeyQueue queue;
    EXPECT_EQ(queue.pop(), 0);
    EXPECT_EQ(queue.count(), 0);
}
