// The typed-character stack.
#include "display/key_queue.h"

void KeyQueue::push(int character) {
    if (count_ >= kCapacity) return;
    keys_[count_++] = static_cast<char>(character & 0xFF);
}

int KeyQueue::pop() {
    if (count_ == 0) return 0;
    --count_;
    return static_cast<int>(static_cast<int8_t>(keys_[count_]));
}
