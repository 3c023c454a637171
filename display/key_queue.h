// The characters typed into the window, taken newest first (a stack of 200).
// Filled and read by display.cpp; keyPending/readKey hand them to main.
#pragma once

#include <array>
#include <cstdint>

class KeyQueue {
public:
    static constexpr int kCapacity = 200;

    // Keeps the low byte of `character`; a character that does not fit is dropped.
    void push(int character);
    bool empty() const { return count_ == 0; }
    int count() const { return count_; }
    // Removes the newest character and returns it as a signed 8-bit value
    // widened to int; 0 when the queue is empty.
    int pop();

private:
    std::array<char, kCapacity> keys_{};
    int32_t count_ = 0;
};
