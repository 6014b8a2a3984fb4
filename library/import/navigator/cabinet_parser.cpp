// The CompuServe 3.x (and 4.x) cabinet file: records begin with the marker
// "~CS~FCR~". The first pass finds the records (a marker counts when it
// lies more than 120 bytes after the last one kept); the second converts
// the records between consecutive markers, at most 10 per call.
#include <algorithm>

#include "import/formats/byte_window.h"
#include "import/navigator/cabinet_record.h"
#include "import/navigator/navigator_parsers.h"
#include "import/navigator/run_log.h"

namespace pm::navigator {

namespace {

constexpr std::string_view kMarker = "~CS~FCR~";
constexpr std::int64_t kMarkerGap = 120;
// The first call must meet a marker this early, or the file is no cabinet.
constexpr std::int64_t kFirstScan = 64 * 1024;
// Bytes scanned per call of the first pass.
constexpr std::int64_t kScanPerCall = 1024 * 1024;
constexpr int kRecordsPerCall = 10;
// A record's text is at most a stored message; the rest is not read.
constexpr std::size_t kLongestRecord = 256 * 1024;

class CabinetParser final : public FormatParser {
public:
    bool parse(ParserCall& call) override {
        if (call.step == FirstCall) {
            if (!window_.open(call.fileName)) {
                call.rejected = true;
                return true;
            }
            fileSize_ = window_.fileSize();
            call.step = FirstPass;
            scan(std::min(kFirstScan, fileSize_));
            if (starts_.empty()) {
                call.rejected = true;
                return true;
            }
            call.progress = static_cast<double>(scanned()) / 2;
            if (scanDone()) call.step = ContinueParsing;
            return false;
        }
        if (call.step == FirstPass) {
            scan(kScanPerCall);
            call.progress = static_cast<double>(scanned()) / 2;
            if (scanDone()) {
                call.step = ContinueParsing;
                register_.open();
            }
            return false;
        }
        register_.open();
        const int most = std::min(kRecordsPerCall, call.quota);
        for (int n = 0; n < most && next_ < starts_.size(); ++n, ++next_) {
            const std::int64_t start = starts_[next_];
            const std::int64_t end = next_ + 1 < starts_.size() ? starts_[next_ + 1] : fileSize_ + 1;
            std::string record;
            window_.copy(start, static_cast<std::size_t>(std::min<std::int64_t>(end - start, kLongestRecord)), record);
            NavigatorMessage found;
            switch (readCabinetRecord(record, found)) {
                case CabinetRecord::Message:
                    if (!storeNavigatorMessage(call, found, register_)) return true;
                    break;
                case CabinetRecord::Ignored: break;
                case CabinetRecord::UnknownKind:
                    logLine(call, call.fileName + ": the record at byte " + std::to_string(start - 1) +
                                      " is of an unknown kind");
                    break;
            }
            call.progress = static_cast<double>(fileSize_) / 2 + static_cast<double>(end - 1) / 2;
        }
        if (next_ < starts_.size()) return false;
        window_.close();
        call.progress = static_cast<double>(fileSize_);
        return true;
    }

private:
    std::int64_t scanned() const { return std::min(scanPos_ - 1, fileSize_); }
    bool scanDone() const { return scanPos_ > fileSize_; }

    // Looks for markers in the next `budget` bytes.
    void scan(std::int64_t budget) {
        const std::int64_t stop = scanPos_ + budget;
        while (scanPos_ <= fileSize_ && scanPos_ < stop) {
            if (!window_.reach(scanPos_)) {
                scanPos_ = fileSize_ + 1;  // a read failed: the file ends here
                break;
            }
            const std::string_view view = window_.from(scanPos_);
            const std::size_t at = view.find(kMarker);
            if (at != std::string_view::npos) {
                const std::int64_t pos = scanPos_ + static_cast<std::int64_t>(at);
                if (starts_.empty() || pos - starts_.back() > kMarkerGap) starts_.push_back(pos);
                scanPos_ = pos + 1;
                continue;
            }
            if (window_.windowEnd() > fileSize_) {
                scanPos_ = fileSize_ + 1;
                break;
            }
            // A marker may begin in the last bytes of the window.
            const auto advance =
                static_cast<std::int64_t>(view.size() > kMarker.size() ? view.size() - kMarker.size() + 1 : 1);
            scanPos_ += advance;
        }
    }

    formats::ByteWindow window_;
    std::int64_t fileSize_ = 0;
    std::int64_t scanPos_ = 1;
    std::vector<std::int64_t> starts_;
    std::size_t next_ = 0;
    capture::ImportRegister register_;
};

}  // namespace

std::unique_ptr<FormatParser> makeCabinetParser() { return std::make_unique<CabinetParser>(); }

}  // namespace pm::navigator
