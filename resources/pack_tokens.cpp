#include "resources/pack_tokens.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "resources/pack_format.h"

namespace {

constexpr uint32_t kShortMax = 255;     // 8-bit distance and length
constexpr uint32_t kLongMax = 65535;    // 16-bit distance and length
constexpr uint32_t kRunMax = 0xFFFFFF;  // 24-bit count
constexpr uint32_t kWindow = 65536;     // history ring, a power of two above kLongMax
constexpr int kHashBits = 16;           // at most; small files take fewer (tableBits)
constexpr int kChainDepth = 16;         // candidates tried per position
constexpr uint32_t kNiceLength = 2048;  // a match this long ends the search
constexpr uint32_t kGoodLength = 32;    // a match this long shortens the search
constexpr uint32_t kLazyLimit = 32;     // longer matches are taken without looking ahead
constexpr uint32_t kMinRun = 8;
constexpr uint32_t kMissShift = 7;  // every 128 fruitless searches widen the step by one
constexpr uint32_t kMaxStep = 4;

struct Choice {
    float gain = 0.0f;  // bits saved against literals
    uint16_t symbol = 0;
    uint32_t first = 0;
    uint32_t second = 0;
    uint32_t length = 0;  // bytes covered
};

// Bits of a table indexed by position or hash for `size` bytes: a small
// file's tables are filled in a moment, not 65536 entries each.
int tableBits(size_t size, int most) { return std::clamp(static_cast<int>(std::bit_width(size)), 8, most); }

uint32_t matchLength(const uint8_t* a, const uint8_t* b, uint32_t maxLength) {
    uint32_t length = 0;
    while (length + 8 <= maxLength) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, a + length, 8);
        std::memcpy(&y, b + length, 8);
        if (x != y) {
            return length + static_cast<uint32_t>(__builtin_ctzll(x ^ y) / 8);
        }
        length += 8;
    }
    while (length < maxLength && a[length] == b[length]) {
        ++length;
    }
    return length;
}

class MatchFinder {
public:
    MatchFinder(std::span<const uint8_t> data, const LzCosts& costs)
        : data_(data),
          costs_(costs),
          hashBits_(tableBits(data.size(), kHashBits)),
          windowMask_((uint32_t{1} << tableBits(data.size(), std::countr_zero(kWindow))) - 1),
          head_(size_t{1} << hashBits_, -1),
          previous_(size_t{windowMask_} + 1, -1),
          hashBytes_(3 * costs.literal > costs.shortSymbol + 16.0f ? 3 : 4) {
        // Each byte value costs what the caller says, or what an order-0 code
        // of the data would give it; running sums (in 1/16 bits, wrapping) price any stretch in one step.
        std::array<uint64_t, 256> counts{};
        for (uint8_t b : data) {
            ++counts[b];
        }
        for (int v = 0; v < 256; ++v) {
            const double p = counts[v] > 0 ? counts[v] / static_cast<double>(data.size()) : 1.0;
            // At least one bit: a coded literal never costs less, and a free
            // literal would make every match look unprofitable.
            byteCost_[v] =
                std::max(1.0f, costs.perByte ? costs.byteBits[v] : static_cast<float>(-std::log2(p)));
            byteCost16_[v] = static_cast<uint32_t>(byteCost_[v] * 16.0f + 0.5f);
        }
        costSums_.resize(data.size() + 1);
        uint32_t sum = 0;
        for (size_t i = 0; i < data.size(); ++i) {
            costSums_[i] = sum;
            sum += byteCost16_[data[i]];
        }
        costSums_[data.size()] = sum;
    }

    // The most profitable token starting at `position` (gain <= 0: none).
    Choice best(uint32_t position) {
        insertUpTo(position);
        Choice choice = bestRun(position);
        const uint32_t available = static_cast<uint32_t>(data_.size()) - position;
        if (available < 4) {
            return choice;
        }
        const uint32_t maxLength = std::min(available, kLongMax);
        const uint8_t* here = data_.data() + position;
        // Candidates come nearest first, so a later one can only win by being
        // longer than every match seen so far: one byte at that length decides.
        uint32_t longest = 2;
        int depthLeft = kChainDepth;
        int32_t candidate = head_[hashAt(position)];
        while (depthLeft-- > 0 && candidate >= 0) {
            const uint32_t distance = position - static_cast<uint32_t>(candidate);
            if (distance > kLongMax) {
                break;
            }
            const uint8_t* there = data_.data() + candidate;
            if (there[longest] == here[longest]) {
                const uint32_t length = matchLength(there, here, maxLength);
                if (length > longest) {
                    consider(choice, position, distance, length);
                    longest = length;
                    if (length >= kNiceLength || length == maxLength) {
                        break;
                    }
                    if (length >= kGoodLength) {
                        depthLeft = std::min(depthLeft, kChainDepth / 4);
                    }
                }
            }
            candidate = previous_[static_cast<uint32_t>(candidate) & windowMask_];
        }
        return choice;
    }

    // Leaves positions before `position` that are not yet filed out of the
    // hash chains (the step over data where nothing matches).
    void skipTo(uint32_t position) {
        if (position - inserted_ > 1) {
            inserted_ = position - 1;
        }
    }

private:
    // Hashes the first hashBytes_ bytes at `position`: 3, or 4 when no
    // 3-byte match could pay for itself (fewer, more telling candidates).
    uint32_t hashAt(uint32_t position) const {
        const uint8_t* p = data_.data() + position;
        uint32_t v = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
        if (hashBytes_ == 4) {
            v ^= uint32_t{p[3]} << 24;
        }
        return (v * 2654435761u) >> (32 - hashBits_);
    }

    // Files every position before `end` in its hash chain.
    void insertUpTo(uint32_t end) {
        const uint32_t last = data_.size() >= 4 ? static_cast<uint32_t>(data_.size()) - 3 : 0;
        end = std::min(end, last);
        for (; inserted_ < end; ++inserted_) {
            uint32_t h = hashAt(inserted_);
            previous_[inserted_ & windowMask_] = head_[h];
            head_[h] = static_cast<int32_t>(inserted_);
        }
    }

    Choice bestRun(uint32_t position) const {
        Choice choice;
        const uint8_t value = data_[position];
        const uint32_t available = static_cast<uint32_t>(data_.size()) - position;
        const uint32_t limit = std::min(available, kRunMax);
        if (limit < kMinRun || data_[position + kMinRun - 1] != value) {
            return choice;
        }
        uint32_t count = 1;
        while (count < limit && data_[position + count] == value) {
            ++count;
        }
        float gain = count * byteCost_[value] - (costs_.runSymbol + 32.0f);
        if (gain > 0.0f) {
            choice = {gain, static_cast<uint16_t>(pack::kRun), value, count, count};
        }
        return choice;
    }

    // Bits the bytes [position, position + length) take as literals; the
    // wrapping difference is exact for stretches of at most 65535 bytes.
    float literalBits(uint32_t position, uint32_t length) const {
        return static_cast<float>(costSums_[position + length] - costSums_[position]) * (1.0f / 16.0f);
    }

    void consider(Choice& choice, uint32_t position, uint32_t distance, uint32_t length) const {
        if (distance <= kShortMax && length >= 3) {
            uint32_t shortLength = std::min(length, kShortMax);
            float gain = literalBits(position, shortLength) - (costs_.shortSymbol + 16.0f);
            if (gain > choice.gain) {
                choice = {gain, static_cast<uint16_t>(pack::kShortMatch), distance, shortLength, shortLength};
            }
        }
        if (length >= 4) {
            float gain = literalBits(position, length) - (costs_.longSymbol + 32.0f);
            if (gain > choice.gain) {
                choice = {gain, static_cast<uint16_t>(pack::kLongMatch), distance, length, length};
            }
        }
    }

    std::span<const uint8_t> data_;
    LzCosts costs_;
    int hashBits_;
    uint32_t windowMask_;            // the ring holds every position of a file up to kWindow bytes
    std::vector<int32_t> head_;
    std::vector<int32_t> previous_;  // ring: the previous position with the same hash
    uint32_t hashBytes_;
    uint32_t inserted_ = 0;
    std::array<float, 256> byteCost_{};  // bits per literal of each value
    std::array<uint32_t, 256> byteCost16_{};
    std::vector<uint32_t> costSums_;  // costSums_[i]: 1/16 bits of bytes before i
};

}  // namespace

float literalCost(std::span<const uint8_t> data) {
    if (data.empty()) {
        return 8.0f;
    }
    std::array<uint64_t, 256> counts{};
    for (uint8_t b : data) {
        ++counts[b];
    }
    double bits = 0.0;
    const double total = static_cast<double>(data.size());
    for (uint64_t count : counts) {
        if (count > 0) {
            bits -= count * std::log2(count / total);
        }
    }
    return std::max(1.0f, static_cast<float>(bits / total));
}

std::vector<LzToken> parseTokens(std::span<const uint8_t> data, const LzCosts& costs) {
    std::vector<LzToken> tokens;
    tokens.reserve(data.size() / 2 + 16);
    MatchFinder finder(data, costs);
    const uint32_t size = static_cast<uint32_t>(data.size());
    uint32_t position = 0;
    bool havePending = false;
    uint32_t misses = 0;  // searches in a row that found no token
    Choice current;
    while (position < size) {
        if (!havePending) {
            current = finder.best(position);
        }
        havePending = false;
        if (current.gain <= 0.0f) {
            // After a long stretch without any token (noise, already packed
            // pictures) search only every few positions: most of the time goes
            // into hash lookups that find nothing there.
            ++misses;
            const uint32_t step = std::min<uint32_t>(1 + (misses >> kMissShift), kMaxStep);
            const uint32_t end = std::min(size, position + step);
            for (; position < end; ++position) {
                tokens.push_back({data[position], 0, 0});
            }
            finder.skipTo(position);
            continue;
        }
        misses = 0;
        // Lazy step: a better token one byte later wins over this one.
        if (current.length < kLazyLimit && position + 1 < size) {
            Choice next = finder.best(position + 1);
            if (next.gain > current.gain) {
                tokens.push_back({data[position], 0, 0});
                ++position;
                current = next;
                havePending = true;
                continue;
            }
        }
        tokens.push_back({current.symbol, static_cast<uint16_t>(current.first), current.second});
        position += current.length;
    }
    return tokens;
}
