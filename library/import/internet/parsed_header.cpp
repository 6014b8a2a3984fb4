#include "import/internet/parsed_header.h"

namespace pm::inet {

void ParsedHeader::clear() {
    msgNumber = 0;
    refNumber = 0;
    forDescription.clear();
    heading.clear();
    senderAddress.clear();
    senderName.clear();
    receiverAddress.clear();
    receiverName.clear();
    date = 0;
    time = 0;
    mailType = NotMail;
    body = BodyFormat{};
    firstBodyLine = 0;
    newsKind = NewsBlockKind::None;
    lineCount = -1;
    messageIds.clear();
}

}  // namespace pm::inet
