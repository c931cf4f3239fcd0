#include "fuzz/LayoutFuzzEntries.h"

// The libFuzzer entry of one fuzzing program; the build names the entry function it runs.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return ZENTYR_FUZZ_ENTRY(data, size);
}
