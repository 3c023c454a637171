#include "fx2d/sprite_tiles.h"

#include <algorithm>

namespace {

constexpr int kPictureSize = 256;

// Column number i of a sprite drawn with `step`.
inline int texelColumn(int i, int step) { return (i * step) >> 8; }

}  // namespace

SpriteTiles::SpriteTiles(const uint32_t* const* pictures, int count, size_t capacity)
    : pictures_(pictures, pictures + count),
      capacity_(std::min(capacity, size_t{kNotSampled - 1})),
      store_(new uint32_t[capacity_]) {
    int slots = 0;
    for (int n = kMinSide; n <= kMaxSide; ++n) {
        // A sprite of side n has 2 * size in [n, n + 1) and step 65536 / (2 * size)
        // rounded down (in floats, so one below the exact bound is allowed for); every
        // step of the range keeps (n - 1) * step below 65536.
        Side& side = sides_[n];
        side.firstStep = 65536 / (n + 1) - 1;
        const int lastStep = 65536 / n;
        side.firstSlot = slots;
        std::vector<int> previous;
        std::vector<int> columns(n);
        for (int step = side.firstStep; step <= lastStep; ++step) {
            for (int i = 0; i < n; ++i) columns[i] = texelColumn(i, step);
            if (columns != previous) {
                side.stepOfList.push_back(step);
                previous = columns;
            }
            side.listOfStep.push_back(static_cast<uint16_t>(side.stepOfList.size() - 1));
        }
        slots += static_cast<int>(side.stepOfList.size());
    }
    slotsPerPicture_ = slots;
    slots_.assign(static_cast<size_t>(slots) * pictures_.size(), kNotSampled);
}

const uint32_t* SpriteTiles::find(int index, int n, int step) {
    if (n < kMinSide || n > kMaxSide || index < 0 || index >= static_cast<int>(pictures_.size()))
        return nullptr;
    const Side& side = sides_[n];
    const int k = step - side.firstStep;
    if (k < 0 || k >= static_cast<int>(side.listOfStep.size())) return nullptr;
    const int list = side.listOfStep[k];
    uint32_t& slot = slots_[static_cast<size_t>(index) * slotsPerPicture_ + side.firstSlot + list];
    if (slot == kNotSampled) {
        const size_t texels = static_cast<size_t>(n) * n;
        if (capacity_ - used_ < texels) return nullptr;
        sample(pictures_[index], n, side.stepOfList[list], store_.get() + used_);
        slot = static_cast<uint32_t>(used_);
        used_ += texels;
    }
    return store_.get() + slot;
}

void SpriteTiles::sample(const uint32_t* picture, int n, int step, uint32_t* tile) const {
    for (int j = 0; j < n; ++j) {
        const uint32_t* row = picture + texelColumn(j, step) * kPictureSize;
        for (int i = 0; i < n; ++i) *tile++ = row[texelColumn(i, step)];
    }
}
