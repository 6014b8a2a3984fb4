// The address and name split over hostile text.
#include <cstdint>

#include "fuzz_input.h"
#include "import/internet/address_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = pm::fuzz::textOf(data, size);
    pm::inet::splitAddress(text);
    pm::inet::unwrapName(text);
    return 0;
}
