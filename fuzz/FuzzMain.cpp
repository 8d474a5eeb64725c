// The libFuzzer entry of one target; TAVRIN_FUZZ_ENTRY names its checking function.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TAVRIN_FUZZ_ENTRY(data, size);
    return 0;
}
