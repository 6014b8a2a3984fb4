// The parser of WinCIM, DOSCIM and CSNav message files: one message per
// file, read whole on the first call.
#include "common/user_interface.h"
#include "import/formats/byte_window.h"
#include "import/navigator/message_file.h"
#include "import/navigator/navigator_parsers.h"
#include "import/navigator/run_log.h"

namespace pm::navigator {

namespace {

// A message file holds one header and at most 63,998 bytes of text.
constexpr std::size_t kMostBytesRead = 256 * 1024;

class MessageFileParser final : public FormatParser {
public:
    explicit MessageFileParser(const char* codePage) : codePage_(codePage) {}

    bool parse(ParserCall& call) override {
        call.step = ContinueParsing;
        formats::ByteWindow window;
        if (!window.open(call.fileName)) {
            logLine(call, call.fileName + ": cannot be read");
            call.rejected = true;
            return true;
        }
        std::string bytes;
        const auto size = static_cast<std::size_t>(window.fileSize());
        window.copy(1, size < kMostBytesRead ? size : kMostBytesRead, bytes);
        call.progress = static_cast<double>(call.fileSize);
        NavigatorMessage found;
        switch (readMessageFile(bytes, codePage_, found)) {
            case MessageFileRead::NotMessageFile:
                logLine(call, call.fileName + ": no message file (no VIS000 signature)");
                call.rejected = true;
                return true;
            case MessageFileRead::UnknownKind:
                logLine(call, call.fileName + ": a message file of a kind that holds no message");
                return true;
            case MessageFileRead::Damaged:
                logLine(call, call.fileName + ": the message file ends inside its header");
                message("Warning!", call.fileName + " is a damaged message file: it ends inside its header.\r\n" +
                                        "This file will be skipped!",
                        Icon::Exclamation);
                capture::countSkipped(call);
                return true;
            case MessageFileRead::Read: break;
        }
        if (!found.mail && found.checkRegister) register_.open();
        storeNavigatorMessage(call, found, register_);
        return true;
    }

private:
    const char* codePage_;
    capture::ImportRegister register_;
};

}  // namespace

std::unique_ptr<FormatParser> makeWinCimParser() { return std::make_unique<MessageFileParser>("windows-1252"); }
std::unique_ptr<FormatParser> makeDosCimParser() { return std::make_unique<MessageFileParser>("ibm-850"); }
std::unique_ptr<FormatParser> makeCsNavParser() { return std::make_unique<MessageFileParser>("windows-1252"); }

}  // namespace pm::navigator
