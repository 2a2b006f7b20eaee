#pragma once
// What every fuzz target shares. A target defines its body with
// GRAZLO_FUZZ_TARGET(bytes) { ... }; the body becomes the entry point that
// libFuzzer calls, and that the corpus driver (CorpusMain.cpp) calls with
// every stored input, so both builds run the very same checks.
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace grazlo_fuzz {

// Longer inputs are skipped: they only slow the search down (the expression
// parser still costs quadratic time on one very long line).
constexpr size_t MaxInputBytes = 64 * 1024;

// Ends the process with a message when a property does not hold, so that
// libFuzzer records the input and a corpus test fails.
inline void Check(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz property violated: %s\n", property);
    std::abort();
}

} // namespace grazlo_fuzz

#define GRAZLO_FUZZ_TARGET(bytes)                                                                                      \
    static void FuzzBody(const QByteArray &bytes);                                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)                                            \
    {                                                                                                                  \
        if (size <= grazlo_fuzz::MaxInputBytes)                                                                        \
            FuzzBody(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));                  \
        return 0;                                                                                                      \
    }                                                                                                                  \
    static void FuzzBody(const QByteArray &bytes)
