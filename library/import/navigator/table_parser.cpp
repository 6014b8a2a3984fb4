#include "import/navigator/table_parser.h"

#include <cmath>

#include "common/text.h"
#include "common/user_interface.h"
#include "import/capture/capture_fields.h"
#include "import/navigator/run_log.h"
#include "storage/dbase_table_file.h"

namespace pm::navigator {

TableParser::~TableParser() { finish(); }

bool TableParser::parse(ParserCall& call) {
    if (call.step == FirstCall) return firstCall(call);
    if (!table_) return true;
    for (int n = 0; n < call.quota; ++n) {
        const StorageStatus st = table_->next();
        if (st == StorageStatus::NotFound) {
            finish();
            call.progress = static_cast<double>(call.fileSize);
            return true;
        }
        ++handled_;
        if (st != StorageStatus::Ok) {
            const std::string reason = table_->lastError().text;
            logLine(call,
                    call.fileName + ": record " + std::to_string(table_->position()) + " cannot be read: " + reason);
            if (++bad_ >= BadRecordLimit) {
                const int percent = total_ > 0 ? static_cast<int>(handled_ * 100 / total_) : 100;
                message("Warning!", abandonText(percent) + "\r\n" + reason, Icon::Exclamation);
                finish();
                call.progress = static_cast<double>(call.fileSize);
                return true;
            }
            continue;
        }
        NavigatorMessage found;
        if (!convert(call, found)) {
            capture::countSkipped(call);
            continue;
        }
        if (!storeNavigatorMessage(call, found, register_)) {
            finish();
            return true;
        }
    }
    progress(call);
    return false;
}

bool TableParser::firstCall(ParserCall& call) {
    call.step = ContinueParsing;
    Table& t = table(call);
    t.close();
    t.setFileName(call.fileName);
    if (t.open(ShareMode::SharedReadOnly) != StorageStatus::Ok) {
        message("Warning!",
                call.fileName + " cannot be opened\r\n" + t.lastError().text + "\r\n" + "This file will be skipped!",
                Icon::Exclamation);
        call.rejected = true;
        return true;
    }
    if (const std::string missing = missingColumns(call); !missing.empty()) {
        t.close();
        message("Warning!",
                call.fileName + " is not a " + storeName() + " message table: it has no column " + missing + "\r\n" +
                    "This file will be skipped!",
                Icon::Exclamation);
        call.rejected = true;
        return true;
    }
    table_ = &t;
    total_ = t.records();
    t.setPhysical();
    register_.open();
    return false;
}

std::string TableParser::missingColumns(const ParserCall& call) const {
    dbase::TableFile probe;
    std::string error, missing;
    if (!probe.open(call.fileName, error)) return {};  // the open above has read it; nothing to add
    for (const std::string& column : requiredColumns(call))
        if (!probe.column(column)) missing += (missing.empty() ? "" : ", ") + column;
    return missing;
}

void TableParser::finish() {
    if (table_) table_->close();
    table_ = nullptr;
}

void TableParser::progress(ParserCall& call) const {
    if (total_ > 0)
        call.progress =
            static_cast<double>(call.fileSize) * static_cast<double>(handled_) / static_cast<double>(total_);
}

std::string abandonMessage(int percent, const char* fileKind, const char* advice) {
    return std::string("Postmoor has processed ") + std::to_string(percent) + " % of this " + fileKind + " file " +
           "and have encountered 5 bad records! They are probably deleted records that are still " +
           "retained in the file. To ensure data integrity this file will be skipped! \r\n\r\n" + advice;
}

bool isCompuServeId(std::string_view address) {
    address = capture::trimmed(address);
    const std::size_t comma = address.find(',');
    return comma != std::string_view::npos && capture::isNumeric(address.substr(0, comma)) &&
           capture::isNumeric(address.substr(comma + 1));
}

std::string tableAddress(std::string_view raw) {
    std::string address(capture::trimmed(raw));
    if (!isCompuServeId(address) && startsWithCaseless(address, "INTERNET:")) address.erase(0, 9);
    return address;
}

unsigned long wholeNumber(double value) {
    if (!std::isfinite(value) || value < 0 || value > 4e9) return 0;
    return static_cast<unsigned long>(value);
}

}  // namespace pm::navigator
