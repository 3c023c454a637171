// Restores packed streams: a code table builds a binary decoding tree, the bit
// stream then yields literals, runs and back-references, and an optional
// byte-delta filter is undone at the end. Every read is checked against the
// stream's real length, every write against the announced size; the output
// grows with the bytes produced, never with the header's claim alone.
#include "resources/unpack.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "resources/byte_fields.h"
#include "resources/load_error.h"
#include "resources/pack_format.h"

namespace {

constexpr int32_t kInnerNode = -1;
constexpr int32_t kNoChild = -1;

struct Node {
    int32_t value;                 // a symbol, or kInnerNode
    std::array<int32_t, 2> child;  // node indices, for bit 0 and bit 1, or kNoChild
};
constexpr Node kNewNode = {kInnerNode, {kNoChild, kNoChild}};

// The root (index 0) plus the pool it grows from. A node is set when it is
// taken, so a small table costs a few nodes, not all 1001.
struct DecodingTree {
    std::array<Node, pack::kNodePool + 1> nodes;  // left unset until taken
    int32_t used = 1;

    DecodingTree() { nodes[0] = kNewNode; }

    int32_t childOf(int32_t node, int bit) {
        int32_t& link = nodes[node].child[bit];
        if (link == kNoChild) {
            if (used > pack::kNodePool) throw LoadError("code table needs more than 1000 tree nodes");
            nodes[used] = kNewNode;
            link = used++;
        }
        return link;
    }
};

// Bits least significant first within each byte, bytes in order.
class BitReader {
public:
    BitReader(std::span<const uint8_t> bytes, size_t startByte)
        : bytes_(bytes), bit_(static_cast<uint64_t>(startByte) * 8), end_(bytes.size() * uint64_t{8}) {}

    int readBit() {
        if (bit_ >= end_) throw LoadError("packed bit stream ends early");
        int bit = (bytes_[bit_ >> 3] >> (bit_ & 7)) & 1;
        ++bit_;
        return bit;
    }

    // An n-bit field, first bit read is bit 0 of the value.
    uint32_t readField(int n) {
        uint32_t value = 0;
        for (int i = 0; i < n; ++i) value |= static_cast<uint32_t>(readBit()) << i;
        return value;
    }

private:
    std::span<const uint8_t> bytes_;
    uint64_t bit_;
    uint64_t end_;
};

// Byte cursor over the code table.
class TableReader {
public:
    explicit TableReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t byte() {
        if (pos_ >= bytes_.size()) throw LoadError("packed code table runs off the end of the stream");
        return bytes_[pos_++];
    }
    uint8_t peek() const {
        if (pos_ >= bytes_.size()) throw LoadError("packed code table runs off the end of the stream");
        return bytes_[pos_];
    }
    void seek(size_t pos) { pos_ = pos; }
    size_t position() const { return pos_; }

private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

// Reads table entries (symbol, length, code bits) from offset 5 until the end
// mark E, 0xFF, and files each symbol in the tree. Returns the offset of the
// first byte of the bit stream.
size_t buildTree(std::span<const uint8_t> packed, DecodingTree& tree) {
    TableReader table(packed);
    table.seek(4);
    const uint8_t escape = table.byte();
    if (escape > pack::kEscapeMax)
        throw LoadError("packed escape byte " + std::to_string(escape) + " is above 127");
    for (;;) {
        int32_t symbol = table.byte();
        if (symbol == escape) {
            if (table.peek() == pack::kTableEnd) {
                table.byte();
                return table.position();
            }
            uint32_t word = table.byte();
            word |= static_cast<uint32_t>(table.byte()) << 8;
            symbol = word == pack::kEscapedLiteral ? escape : static_cast<int32_t>(word);
        }
        const int length = table.byte();
        if (length > pack::kMaxCodeLength)
            throw LoadError("packed code of " + std::to_string(length) + " bits is longer than 32");
        const int codeBytes = length == 0 ? 1 : (length + 7) / 8;
        uint64_t code = 0;
        for (int i = 0; i < codeBytes; ++i) code |= static_cast<uint64_t>(table.byte()) << (8 * i);

        int32_t node = 0;
        for (int i = 0; i < length; ++i) node = tree.childOf(node, static_cast<int>((code >> i) & 1));
        tree.nodes[node].value = symbol;
    }
}

// The output buffer: it holds exactly the bytes produced so far, and its
// memory grows with them (doubling, never past the announced size), so a
// header that lies about the size costs nothing until bytes really come.
class Output {
public:
    Output(uint32_t announced, size_t packedBytes) : announced_(announced) {
        // A first guess from the stream's length; honest streams rarely grow it more than a few times.
        bytes_.reserve(std::min<size_t>(announced, std::max<size_t>(4096, packedBytes * 8)));
    }

    size_t size() const { return bytes_.size(); }
    bool full() const { return bytes_.size() == announced_; }
    size_t room() const { return announced_ - bytes_.size(); }

    void append(uint8_t value) {
        makeRoom(1);
        bytes_.push_back(value);
    }

    // `count` copies of `value`; the caller has checked count <= room().
    void appendRun(uint8_t value, size_t count) {
        makeRoom(count);
        bytes_.insert(bytes_.end(), count, value);
    }

    // `length` bytes copied from `distance` bytes back, as if one at a time,
    // so that a length above the distance repeats the last `distance` bytes.
    // The caller has checked 0 < distance <= size() and length <= room().
    void appendMatch(size_t distance, size_t length) {
        makeRoom(length);
        const size_t start = bytes_.size();
        bytes_.resize(start + length);
        uint8_t* dst = bytes_.data() + start;
        while (length > 0) {
            // A piece no longer than the distance never overlaps its source.
            const size_t piece = std::min(length, distance);
            std::memcpy(dst, dst - distance, piece);
            dst += piece;
            length -= piece;
        }
    }

    std::vector<uint8_t> take() { return std::move(bytes_); }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    void makeRoom(size_t count) {
        const size_t needed = bytes_.size() + count;
        if (needed > bytes_.capacity())
            bytes_.reserve(std::min<size_t>(announced_, std::max(needed, 2 * bytes_.capacity())));
    }

    std::vector<uint8_t> bytes_;
    size_t announced_;
};

void checkMatch(const Output& out, uint32_t distance, uint32_t length) {
    if (distance == 0) throw LoadError("packed match has distance 0");
    if (distance > out.size()) throw LoadError("packed match reaches before the start of the output");
    if (length > out.room()) throw LoadError("packed match writes past the unpacked size");
}

void decodeTokens(const DecodingTree& tree, BitReader& bits, Output& out) {
    // A code of length 0 makes every token the root's symbol without reading
    // a bit. A literal there fills the rest at once; a symbol that outputs
    // nothing would loop for ever, so it is refused (an empty output needs no
    // token, so it is still fine). Runs and matches at the root read their
    // fields and go through the loop below.
    const int32_t rootValue = tree.nodes[0].value;
    if (rootValue >= 0 && rootValue < 256) {
        out.appendRun(static_cast<uint8_t>(rootValue), out.room());
        return;
    }
    if (!out.full() && rootValue >= pack::kSymbolCount)
        throw LoadError("packed code table gives every token an empty symbol");

    while (!out.full()) {
        int32_t node = 0;
        while (tree.nodes[node].value == kInnerNode) {
            node = tree.nodes[node].child[bits.readBit()];
            if (node == kNoChild) throw LoadError("packed bit stream holds a code missing from the table");
        }
        const int32_t symbol = tree.nodes[node].value;
        if (symbol < 256) {
            out.append(static_cast<uint8_t>(symbol));
        } else if (symbol == pack::kShortMatch || symbol == pack::kLongMatch) {
            const int fieldBits = symbol == pack::kShortMatch ? 8 : 16;
            const uint32_t distance = bits.readField(fieldBits);
            const uint32_t length = bits.readField(fieldBits);
            if (length == 0) continue;
            checkMatch(out, distance, length);
            out.appendMatch(distance, length);
        } else if (symbol == pack::kRun) {
            const uint8_t value = static_cast<uint8_t>(bits.readField(8));
            const uint32_t count = bits.readField(24);
            if (count > out.room()) throw LoadError("packed run writes past the unpacked size");
            out.appendRun(value, count);
        }
    }
}

// Running sums modulo 256, `stride` of them interleaved.
void undoDeltaFilter(std::vector<uint8_t>& out, size_t stride) {
    for (size_t i = stride; i < out.size(); ++i) out[i] = static_cast<uint8_t>(out[i] + out[i - stride]);
}

}  // namespace

std::vector<uint8_t> unpack(std::span<const uint8_t> packed) {
    if (packed.size() < 5) throw LoadError("packed stream ends inside its header");
    const uint32_t header = wordAt(packed.data());
    const uint32_t size = header & pack::kSizeMask;
    if (size > kMaxUnpackedBytes)
        throw LoadError("packed stream announces " + std::to_string(size) +
                        " bytes, more than the limit of " + std::to_string(kMaxUnpackedBytes));

    DecodingTree tree;
    const size_t streamStart = buildTree(packed, tree);

    Output out(size, packed.size());
    BitReader bits(packed, streamStart);
    decodeTokens(tree, bits, out);

    if (header & pack::kFilterStride3)
        undoDeltaFilter(out.bytes(), 3);
    else if (header & pack::kFilterStride1)
        undoDeltaFilter(out.bytes(), 1);
    return out.take();
}
