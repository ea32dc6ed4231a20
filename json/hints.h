// Inlining and branch hints for the compiler; without GCC or clang they do
// nothing.
#pragma once

#if defined(__GNUC__)
#define AJSON_ALWAYS_INLINE __attribute__((always_inline))
#define AJSON_COLD __attribute__((cold))
#define AJSON_NOINLINE __attribute__((noinline))
#define AJSON_LIKELY(x) __builtin_expect(!!(x), 1)
#define AJSON_UNLIKELY(x) __builtin_expect(!!(x), 0)
#else
#define AJSON_ALWAYS_INLINE
#define AJSON_COLD
#define AJSON_NOINLINE
#define AJSON_LIKELY(x) (x)
#define AJSON_UNLIKELY(x) (x)
#endif
