#include "resources/pack_huffman.h"

#include <algorithm>
#include <queue>
#include <stdexcept>
#include <vector>

namespace {

// Plain Huffman code lengths for the used symbols (at least two of them).
std::array<int, pack::kSymbolCount> huffmanLengths(const SymbolCounts& counts) {
    struct Node {
        uint64_t weight;
        int left;
        int right;
    };
    std::vector<Node> nodes;
    using Item = std::pair<uint64_t, int>;  // weight, node index; ties by index
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    for (int s = 0; s < pack::kSymbolCount; ++s) {
        if (counts[s] > 0) {
            queue.push({counts[s], static_cast<int>(nodes.size())});
            nodes.push_back({counts[s], -1, s});  // leaf: right holds the symbol
        }
    }
    while (queue.size() > 1) {
        Item a = queue.top();
        queue.pop();
        Item b = queue.top();
        queue.pop();
        queue.push({a.first + b.first, static_cast<int>(nodes.size())});
        nodes.push_back({a.first + b.first, a.second, b.second});
    }
    std::array<int, pack::kSymbolCount> lengths{};
    // Walk down from the root with an explicit stack of (node, depth).
    std::vector<std::pair<int, int>> stack{{queue.top().second, 0}};
    while (!stack.empty()) {
        auto [index, depth] = stack.back();
        stack.pop_back();
        const Node& node = nodes[index];
        if (node.left < 0) {
            lengths[node.right] = depth;
        } else {
            stack.push_back({node.left, depth + 1});
            stack.push_back({node.right, depth + 1});
        }
    }
    return lengths;
}

uint32_t reverseBits(uint32_t code, int length) {
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) {
        reversed = (reversed << 1) | ((code >> i) & 1u);
    }
    return reversed;
}

}  // namespace

CodeSet buildCodes(const SymbolCounts& counts, int maxLength) {
    if (maxLength < 9 || maxLength > pack::kMaxCodeLength) {
        throw std::invalid_argument("code length limit out of range");
    }
    CodeSet codes{};
    int usedCount = 0;
    for (int s = 0; s < pack::kSymbolCount; ++s) {
        codes[s].used = counts[s] > 0;
        usedCount += codes[s].used ? 1 : 0;
    }
    if (usedCount <= 1) {
        return codes;  // the single symbol (if any) takes the empty code
    }

    // Flatten the counts until the longest code fits; 259 equal weights need
    // only 9 bits, so this ends.
    SymbolCounts scaled = counts;
    std::array<int, pack::kSymbolCount> lengths = huffmanLengths(scaled);
    while (*std::max_element(lengths.begin(), lengths.end()) > maxLength) {
        for (uint64_t& count : scaled) {
            if (count > 0) {
                count = std::max<uint64_t>(1, count / 2);
            }
        }
        lengths = huffmanLengths(scaled);
    }

    // Canonical assignment: shorter codes first, then by symbol; the usual
    // first-bit-is-most-significant code is reversed for the reader.
    std::vector<int> order;
    for (int s = 0; s < pack::kSymbolCount; ++s) {
        if (codes[s].used) {
            order.push_back(s);
        }
    }
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return lengths[a] != lengths[b] ? lengths[a] < lengths[b] : a < b; });
    uint64_t code = 0;
    int previousLength = lengths[order.front()];
    for (int s : order) {
        code <<= (lengths[s] - previousLength);
        previousLength = lengths[s];
        codes[s].length = static_cast<uint8_t>(lengths[s]);
        codes[s].bits = reverseBits(static_cast<uint32_t>(code), lengths[s]);
        ++code;
    }
    return codes;
}

int codeTreeNodeCount(const CodeSet& codes) {
    // The same walk as the reader's: each missing child is a new node.
    struct Node {
        int child[2] = {-1, -1};
    };
    std::vector<Node> tree(1);  // the root
    for (const HuffmanCode& code : codes) {
        if (!code.used) {
            continue;
        }
        int node = 0;
        for (int i = 0; i < code.length; ++i) {
            int bit = (code.bits >> i) & 1u;
            if (tree[node].child[bit] < 0) {
                tree[node].child[bit] = static_cast<int>(tree.size());
                tree.emplace_back();
            }
            node = tree[node].child[bit];
        }
    }
    return static_cast<int>(tree.size()) - 1;
}
