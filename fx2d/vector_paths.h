// Which vector code the 2D kernels run: AVX-512 (the smear; the others as on AVX2) or
// AVX2 on CPUs that have them, else SSE2 (part of the x86-64 baseline). Every path gives exactly the bits of the plain scalar code;
// the tests and benchmarks switch between them to compare.
#pragma once

// The vector paths exist on x86-64 unless the build asks for the scalar code alone
// (the CMake option ZEDARIVA_SCALAR). The SSE2 path also builds for WebAssembly's
// SIMD (-msimd128 -msse2 maps the SSE2 intrinsics onto it); the AVX2 and AVX-512
// paths, chosen by the CPU check, exist on x86 only.
#if defined(__SSE2__) && !defined(ZEDARIVA_SCALAR)
#define ZD_VECTOR_PATHS 1
#if defined(__x86_64__) || defined(__i386__)
#define ZD_WIDE_VECTOR_PATHS 1
#endif
#endif

enum class VectorPath { None, Sse2, Avx2, Avx512 };  // None: the plain scalar code

// The widest path this build and this CPU offer.
VectorPath bestVectorPath();

// The path the kernels take: the best one, or a narrower one after limitVectorPath.
VectorPath vectorPath();

// Makes the kernels take at most `path` from now on (None: the scalar code).
// Not thread-safe: call it while no kernel runs.
void limitVectorPath(VectorPath path);

const char* vectorPathName(VectorPath path);

// How the AVX2 warps and glow sprite blit fetch their texels: with the gather
// instruction (the warps block by block) or with plain loads (the warps row by row,
// the blit as on SSE2). The gather is the faster on some CPUs and several times slower
// on others (microcode can slow it down), so by default the first AVX2 fetch times
// both on a warp once and keeps the faster. Both give the same bits.
enum class TexelFetch { Timed, Gather, Loads };

// The fetch from now on: Timed (the default), or a fixed one for tests and benchmarks.
// Not thread-safe: call it while no kernel runs.
void setTexelFetch(TexelFetch fetch);

// The fetch the AVX2 kernels take: Gather or Loads, timing them first under Timed.
TexelFetch texelFetch();
