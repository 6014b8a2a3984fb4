// The date rules over hostile text: Internet and Pegasus dates.
#include <cstdint>

#include "fuzz_input.h"
#include "import/internet/message_date.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = pm::fuzz::textOf(data, size);
    pm::inet::parseMessageDate(text, pm::inet::DateStyle::Internet);
    pm::inet::parseMessageDate(text, pm::inet::DateStyle::Pegasus);
    return 0;
}
