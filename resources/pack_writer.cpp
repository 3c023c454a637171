#include "resources/pack_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "resources/load_error.h"
#include "resources/pack_format.h"
#include "resources/pack_huffman.h"
#include "resources/pack_tokens.h"
#include "resources/unpack.h"
#include "resources/upper_case.h"

namespace {

constexpr uint32_t kPackedFlag = 0x80000000;    // one of the top four flag bits
constexpr size_t kSecondParseBytes = 1u << 16;  // larger files gain too little for the time

void putWord(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
}

void setWord(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// Appends fields least significant bit first, as the reader takes them.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : out_(out) {}
    void put(uint32_t value, int bits) {
        buffer_ |= static_cast<uint64_t>(value) << count_;
        count_ += bits;
        while (count_ >= 8) {
            out_.push_back(static_cast<uint8_t>(buffer_));
            buffer_ >>= 8;
            count_ -= 8;
        }
    }
    void flush() {
        if (count_ > 0) {
            out_.push_back(static_cast<uint8_t>(buffer_));
        }
        buffer_ = 0;
        count_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t buffer_ = 0;
    int count_ = 0;
};

// The byte-delta filters, the inverse of the reader's running sums.
std::vector<uint8_t> applyFilter(std::span<const uint8_t> data, uint32_t filter) {
    std::vector<uint8_t> out(data.begin(), data.end());
    const size_t stride = filter == pack::kFilterStride3 ? 3 : filter == pack::kFilterStride1 ? 1 : 0;
    if (stride > 0) {
        for (size_t i = stride; i < data.size(); ++i) {
            out[i] = static_cast<uint8_t>(data[i] - data[i - stride]);
        }
    }
    return out;
}

SymbolCounts countSymbols(const std::vector<LzToken>& tokens) {
    SymbolCounts counts{};
    for (const LzToken& token : tokens) {
        ++counts[token.symbol];
    }
    return counts;
}

// The escape byte that keeps the table smallest: a value 0..127 that is not
// itself a coded literal (else any costs two bytes more, so take 0).
uint8_t chooseEscape(const CodeSet& codes) {
    for (int e = 0; e <= pack::kEscapeMax; ++e) {
        if (!codes[e].used) {
            return static_cast<uint8_t>(e);
        }
    }
    return 0;
}

void writeTable(std::vector<uint8_t>& out, const CodeSet& codes, uint8_t escape) {
    out.push_back(escape);
    for (int s = 0; s < pack::kSymbolCount; ++s) {
        const HuffmanCode& code = codes[s];
        if (!code.used) {
            continue;
        }
        if (s < 256 && s != escape) {
            out.push_back(static_cast<uint8_t>(s));
        } else {
            uint16_t value = s == escape ? pack::kEscapedLiteral : static_cast<uint16_t>(s);
            out.push_back(escape);
            out.push_back(static_cast<uint8_t>(value));
            out.push_back(static_cast<uint8_t>(value >> 8));
        }
        out.push_back(code.length);
        const int codeBytes = std::max(1, (code.length + 7) / 8);
        for (int i = 0; i < codeBytes; ++i) {
            out.push_back(static_cast<uint8_t>(code.bits >> (8 * i)));
        }
    }
    out.push_back(escape);
    out.push_back(pack::kTableEnd);
}

void writeTokens(std::vector<uint8_t>& out, const std::vector<LzToken>& tokens, const CodeSet& codes) {
    BitWriter bits(out);
    for (const LzToken& token : tokens) {
        const HuffmanCode& code = codes[token.symbol];
        bits.put(code.bits, code.length);
        switch (token.symbol) {
            case pack::kShortMatch:
                bits.put(token.first, 8);
                bits.put(token.second, 8);
                break;
            case pack::kLongMatch:
                bits.put(token.first, 16);
                bits.put(token.second, 16);
                break;
            case pack::kRun:
                bits.put(token.first, 8);
                bits.put(token.second, 24);
                break;
            default:
                break;
        }
    }
    bits.flush();
}

std::vector<uint8_t> encodeStream(uint32_t header, const std::vector<LzToken>& tokens, const CodeSet& codes) {
    if (codeTreeNodeCount(codes) > pack::kNodePool) {
        throw std::logic_error("code table needs more nodes than the reader has");
    }
    std::vector<uint8_t> out;
    out.reserve(tokens.size() + 1024);
    putWord(out, header);
    writeTable(out, codes, chooseEscape(codes));
    writeTokens(out, tokens, codes);
    return out;
}

// Costs from the codes of an earlier parse: each literal's code length (a
// long guess for a value it did not code) and each token symbol's.
LzCosts costsFromCodes(const std::vector<LzToken>& tokens, const CodeSet& codes) {
    const float unused = std::log2(static_cast<float>(tokens.size()) + 2.0f) + 1.0f;
    auto bits = [&](int symbol) {
        return codes[symbol].used ? std::max<float>(1.0f, codes[symbol].length) : unused;
    };
    LzCosts costs;
    const SymbolCounts counts = countSymbols(tokens);
    double literalBits = 0.0;
    double literals = 0.0;
    costs.perByte = true;
    for (int v = 0; v < 256; ++v) {
        costs.byteBits[v] = bits(v);
        literalBits += static_cast<double>(counts[v]) * costs.byteBits[v];
        literals += static_cast<double>(counts[v]);
    }
    costs.literal = literals > 0.0 ? static_cast<float>(literalBits / literals) : 8.0f;
    costs.shortSymbol = bits(pack::kShortMatch);
    costs.longSymbol = bits(pack::kLongMatch);
    costs.runSymbol = bits(pack::kRun);
    return costs;
}

void checkName(const std::string& name) {
    auto fail = [&](const char* problem) { throw std::invalid_argument("\"" + name + "\": " + problem); };
    if (name.empty()) {
        fail("empty file name");
    }
    if (name.size() >= pack::kNameSize) {
        fail("name longer than 19 characters");
    }
    if (name.find_first_of(std::string("/\\\0", 3)) != std::string::npos) {
        fail("name holds a path separator or NUL");
    }
    if (name == "." || name == "..") {
        fail("not a file name");
    }
    if (printable(name) != name) {
        fail("name holds a control character");
    }
}

}  // namespace

std::vector<uint8_t> packStreamFiltered(std::span<const uint8_t> data, uint32_t filter) {
    if (data.size() > pack::kSizeMask) {
        throw std::length_error("file too large to pack (over 1 GiB)");
    }
    const std::vector<uint8_t> filtered = applyFilter(data, filter);
    const uint32_t header = static_cast<uint32_t>(data.size()) | filter;

    // The first parse weighs tokens against literals at the data's order-0
    // entropy. Small files that pack well (meshes, scenes) are parsed once more
    // at the code lengths the first parse produced: a few percent smaller.
    LzCosts costs;
    costs.literal = literalCost(filtered);
    std::vector<LzToken> tokens = parseTokens(filtered, costs);
    CodeSet codes = buildCodes(countSymbols(tokens));
    std::vector<uint8_t> best = encodeStream(header, tokens, codes);
    if (data.size() <= kSecondParseBytes && best.size() < data.size() - data.size() / 10) {
        tokens = parseTokens(filtered, costsFromCodes(tokens, codes));
        std::vector<uint8_t> second = encodeStream(header, tokens, buildCodes(countSymbols(tokens)));
        if (second.size() < best.size()) {
            best = std::move(second);
        }
    }
    return best;
}

std::vector<uint8_t> packStream(std::span<const uint8_t> data) {
    std::vector<uint8_t> best = packStreamFiltered(data, 0);
    for (uint32_t filter : {pack::kFilterStride1, pack::kFilterStride3}) {
        std::vector<uint8_t> candidate = packStreamFiltered(data, filter);
        if (candidate.size() < best.size()) {
            best = std::move(candidate);
        }
    }
    return best;
}

std::vector<uint8_t> buildPack(const std::vector<PackInput>& files) {
    if (files.size() + 1 > pack::kMaxRecords) {
        throw std::invalid_argument("too many files: a pack holds at most 99");
    }
    std::vector<std::string> seen;
    uint64_t total = 0;
    for (const PackInput& file : files) {
        total += file.bytes.size();
        checkName(file.name);
        std::string upper = upperCase(file.name);
        if (std::find(seen.begin(), seen.end(), upper) != seen.end()) {
            throw std::invalid_argument("\"" + file.name + "\": name given twice (letter case is ignored)");
        }
        seen.push_back(upper);
    }
    // Readers refuse a pack whose files announce more; never write one.
    if (total > pack::kMaxAnnouncedBytes) {
        throw std::invalid_argument("files of " + std::to_string(total) + " bytes in all, more than the limit of " +
                                    std::to_string(pack::kMaxAnnouncedBytes) + " a pack may hold");
    }

    const uint32_t records = static_cast<uint32_t>(files.size()) + 1;
    std::vector<uint8_t> out(4 + records * pack::kRecordSize, 0);
    setWord(out, 0, records);

    for (size_t k = 0; k < files.size(); ++k) {
        const PackInput& file = files[k];
        uint32_t flags = 0;
        std::vector<uint8_t> stored = file.bytes;
        // Larger files are stored as they are: the reader refuses to unpack them.
        if (file.bytes.size() <= kMaxUnpackedBytes) {
            std::vector<uint8_t> packed = packStream(file.bytes);
            if (packed.size() < file.bytes.size()) {
                stored = std::move(packed);
                flags = kPackedFlag;
            }
        }
        if (out.size() + stored.size() > 0xFFFFFFFFu) {
            throw std::invalid_argument("\"" + file.name + "\": pack would exceed 4 GiB");
        }
        const size_t record = 4 + k * pack::kRecordSize;
        setWord(out, record, flags);
        setWord(out, record + 4, static_cast<uint32_t>(out.size()));
        setWord(out, record + 8, static_cast<uint32_t>(stored.size()));
        std::copy(file.name.begin(), file.name.end(), out.begin() + record + 12);
        out.insert(out.end(), stored.begin(), stored.end());
    }
    // The final record, which readers never match: empty name, nothing stored.
    const size_t last = 4 + files.size() * pack::kRecordSize;
    setWord(out, last + 4, static_cast<uint32_t>(out.size()));
    return out;
}

void writePack(const std::string& path, const std::vector<PackInput>& files) {
    const std::vector<uint8_t> bytes = buildPack(files);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        throw std::runtime_error(path + ": cannot create the file");
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        throw std::runtime_error(path + ": cannot write the file");
    }
}
