// Pre-sampled glow sprites. Pixel (i, j) of a sprite of side n and texel step `step`
// takes column (i * step) >> 8 and row (j * step) >> 8 of its 256 x 256 picture:
// columns and rows from the same n numbers. Neighbouring steps mostly give the same
// numbers, and the trails of every frame keep drawing the same small sides, so the
// n x n texels of each picture, side and list of numbers are sampled once, on first
// use, into a store sized at start. A blit then reads them in order instead of from
// n x n scattered places of the picture, each its own cache line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class SpriteTiles {
public:
    static constexpr int kMinSide = 8;   // the widest vector path's lanes
    static constexpr int kMaxSide = 23;  // wider ones are fewer and each needs more room

    // `pictures`: `count` pictures of 256 x 256 that outlive this object. The store
    // holds `capacity` texels; once it is full, sprites without tiles get none.
    SpriteTiles(const uint32_t* const* pictures, int count, size_t capacity);

    // The texels of the sprite of side n and step `step` from picture `index`, n rows
    // of n, sampled now if they were not yet; null when the side is outside
    // kMinSide ... kMaxSide, the step is not one that side is drawn with, or the
    // store has no room.
    const uint32_t* find(int index, int n, int step);

    size_t used() const { return used_; }

private:
    // The steps a side is drawn with, firstStep ... firstStep + listOfStep.size() - 1,
    // and which list of column numbers each gives.
    struct Side {
        int firstStep = 0;
        std::vector<uint16_t> listOfStep;
        std::vector<int> stepOfList;  // one step that gives each list
        int firstSlot = 0;            // the side's first list in each picture's slots
    };

    static constexpr uint32_t kNotSampled = UINT32_MAX;

    void sample(const uint32_t* picture, int n, int step, uint32_t* tile) const;

    std::vector<const uint32_t*> pictures_;
    Side sides_[kMaxSide + 1];
    int slotsPerPicture_ = 0;
    std::vector<uint32_t> slots_;  // store offset of each picture's lists, or kNotSampled
    size_t capacity_ = 0;
    std::unique_ptr<uint32_t[]> store_;  // not cleared: memory is taken up only as it fills
    size_t used_ = 0;
};
