// The HTML, enriched-text and RTF rules over hostile text (tags, entities,
// preformatted runs, "=" escapes, RTF groups and control words).
#include <cstdint>

#include "fuzz_input.h"
#include "import/internet/enriched_text.h"
#include "import/internet/html_to_text.h"
#include "import/outlook/outlook_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = pm::fuzz::textOf(data, size);
    pm::inet::htmlToText(text);
    pm::inet::enrichedToText(text);
    pm::outlook::rtfToText(text);
    return 0;
}
