// The text codings over hostile bytes: quoted-printable and Base64
// decoding, encoded words in header text, charset conversion, and the MIME
// header values (boundary, parameters, media type).
#include <cstdint>

#include "fuzz_input.h"
#include "import/internet/base64.h"
#include "import/internet/charset.h"
#include "import/internet/encoded_words.h"
#include "import/internet/mime_header.h"
#include "import/internet/quoted_printable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = pm::fuzz::textOf(data, size);
    pm::inet::decodeQuotedPrintable(text);
    pm::inet::decodeBase64(text);
    pm::inet::decodeEncodedWords(text);
    pm::inet::decodeHeaderText(text);
    pm::inet::toUtf8(text, text.substr(0, text.find(' ')));
    pm::inet::lenientUtf8(text);
    pm::inet::extractBoundary(text);
    pm::inet::headerParameter(text, "CHARSET");
    pm::inet::transferEncodingOf(text);
    pm::inet::contentKindOf(pm::inet::mediaTypeOf(text));
    return 0;
}
