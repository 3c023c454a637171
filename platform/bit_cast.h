// Reinterprets the bits of one value as another type of the same size, as
// std::bit_cast does; the C++ library of the WebAssembly toolchain lacks
// std::bit_cast, while GCC and clang both have the builtin behind it.
#pragma once

#include <type_traits>

template <class To, class From>
constexpr To bitCast(const From& from) noexcept {
    static_assert(sizeof(To) == sizeof(From), "bitCast needs types of the same size");
    static_assert(std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>,
                  "bitCast needs trivially copyable types");
    return __builtin_bit_cast(To, from);
}
