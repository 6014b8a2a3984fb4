#pragma once
// How a message body is written: markup kind, charset and transfer encoding,
// as found by the header analysis and the MIME part selection.
#include <string>

#include "common/types.h"

namespace pm::inet {

// The content kind of a body: what the text assembly converts it from.
enum class ContentKind : BYTE { Plain = 0, Html = 1, Enriched = 2 };

enum class TransferEncoding : BYTE { Identity = 0, QuotedPrintable = 1, Base64 = 2 };

struct BodyFormat {
    ContentKind kind = ContentKind::Plain;
    std::string charset;  // MIME charset name as written; empty when none was given
    TransferEncoding encoding = TransferEncoding::Identity;
};

}  // namespace pm::inet
