// SSE2 paths of the grid-warp mappers: the texel indices of a whole target row are
// computed eight at a time, then the texels are fetched and combined with the row.
#include "fx2d/sse2_kernels.h"

#ifdef ZD_VECTOR_PATHS

#include "fx2d/warp_edges.h"

namespace sse2 {

namespace {

constexpr int kBlocks = 32;  // blocks per block row, 16 pixels each

// The 33 edges of a block row, one array per coordinate, padded to whole vectors.
struct EdgeColumns {
    alignas(16) uint32_t u[36];
    alignas(16) uint32_t v[36];
    alignas(16) uint32_t du[36];
    alignas(16) uint32_t dv[36];

    void setUp(const WarpGrid& grid, int bi) {
        for (int j = 0; j < 36; ++j) {
            const WarpEdge edge =
                j < WarpGrid::kColumns ? warpEdge(grid.at(bi, j), grid.at(bi + 1, j)) : WarpEdge{0, 0, 0, 0};
            u[j] = edge.u;
            v[j] = edge.v;
            du[j] = edge.du;
            dv[j] = edge.dv;
        }
    }

    void advance() {
        for (int j = 0; j < 36; j += 4) {
            store(u + j, _mm_add_epi32(load(u + j), load(du + j)));
            store(v + j, _mm_add_epi32(load(v + j), load(dv + j)));
        }
    }
};

// u in the low and v in the high 16 bits of each lane: the texel index needs only
// bits 8-15 of each, and 16-bit lane additions wrap exactly as the low halves of the
// 32-bit coordinates do.
inline __m128i pairUV(__m128i u, __m128i v) {
    return _mm_or_si128(_mm_and_si128(u, splat(0xFFFF)), _mm_slli_epi32(v, 16));
}

template <int lane>
inline __m128i broadcast(__m128i x) {
    return _mm_shuffle_epi32(x, _MM_SHUFFLE(lane, lane, lane, lane));
}

// The 16 texel indices of one block's row: pixel k has (u, v) = start + k * step.
// Shifting each 16-bit half right by 8 leaves the texel column and row as bytes;
// packing two vectors of them gives the bytes column, row, column, row ..., which read
// as 16-bit words are column + 256 * row, the index.
inline void blockIndices(__m128i start, __m128i step, uint16_t* indices) {
    __m128i uv = _mm_add_epi16(start, _mm_mullo_epi16(step, _mm_setr_epi16(0, 0, 1, 1, 2, 2, 3, 3)));
    const __m128i step4 = _mm_slli_epi16(step, 2);
    for (int k = 0; k < 16; k += 8) {
        const __m128i first = _mm_srli_epi16(uv, 8);
        uv = _mm_add_epi16(uv, step4);
        const __m128i second = _mm_srli_epi16(uv, 8);
        uv = _mm_add_epi16(uv, step4);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(indices + k), _mm_packus_epi16(first, second));
    }
}

// The texel indices of one target row, four blocks at a time: each block's start is
// its left edge, its step per pixel (right - left) >> 4.
void rowIndices(const EdgeColumns& edges, uint16_t* indices) {
    for (int bj = 0; bj < kBlocks; bj += 4) {
        const __m128i u = load(edges.u + bj), v = load(edges.v + bj);
        const __m128i du = _mm_srai_epi32(_mm_sub_epi32(load(edges.u + bj + 1), u), 4);
        const __m128i dv = _mm_srai_epi32(_mm_sub_epi32(load(edges.v + bj + 1), v), 4);
        const __m128i start = pairUV(u, v), step = pairUV(du, dv);
        uint16_t* out = indices + bj * 16;
        blockIndices(broadcast<0>(start), broadcast<0>(step), out);
        blockIndices(broadcast<1>(start), broadcast<1>(step), out + 16);
        blockIndices(broadcast<2>(start), broadcast<2>(step), out + 32);
        blockIndices(broadcast<3>(start), broadcast<3>(step), out + 48);
    }
}

enum class Combine { Copy, Blend, BlendWith };

// Every row: its indices, then the texels, written or averaged four at a time.
template <Combine combine>
void mapGrid(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    EdgeColumns edges;
    alignas(16) uint16_t indices[kTargetWidth];
    alignas(16) uint32_t fetched[kTargetWidth];
    for (int bi = 0; bi < 16; ++bi) {
        edges.setUp(grid, bi);
        for (int r = 0; r < 16; ++r) {
            const int y = bi * 16 + r;
            uint32_t* out = target + y * kTargetWidth;
            rowIndices(edges, indices);
            if constexpr (combine == Combine::Copy) {
                for (int x = 0; x < kTargetWidth; ++x) out[x] = texels[indices[x]];
            } else {
                for (int x = 0; x < kTargetWidth; ++x) fetched[x] = texels[indices[x]];
                const uint32_t* with = combine == Combine::Blend ? out : other + y * kTargetWidth;
                for (int x = 0; x < kTargetWidth; x += 4)
                    store(out + x, _mm_add_epi32(halve(load(with + x)), halve(load(fetched + x))));
            }
            edges.advance();
        }
    }
}

}  // namespace

void warpCopy(uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
    mapGrid<Combine::Copy>(target, grid, texels, nullptr);
}

void warpBlend(uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
    mapGrid<Combine::Blend>(target, grid, texels, nullptr);
}

void warpBlendWith(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    mapGrid<Combine::BlendWith>(target, grid, texels, other);
}

}  // namespace sse2

#endif
