// Phase A of an import run: the source files are converted into the work
// files by the format parsers.
#include <cstdio>
#include <cstring>

#include "common/globals.h"
#include "import/driver/format_table.h"
#include "import/driver/import_run.h"
#include "tables/access/read_only.h"

namespace pm {

namespace {

constexpr int kTwoPassFormat = 3;

std::string logFilePath() { return Mem.TempDir + "/Log.txt"; }

// The diagnostic log starts empty with every run.
void createLogFile() {
    if (std::FILE* f = std::fopen(logFilePath().c_str(), "wb")) std::fclose(f);
}

}  // namespace

bool ImportRun::initialise() {
    const FormatEntry* format = formatByNumber(request_.format);
    if (!format || !formatImportable(request_.format)) {
        const std::string name = format ? std::string(format->name) : std::to_string(request_.format);
        message("Warning!", "The format " + name + " cannot be imported by this version!\r\nImport will not proceed!",
                Icon::Exclamation);
        endRun(ImportOutcome::Refused);
        return false;
    }
    if (refusedAsReadOnly("Import")) {
        endRun(ImportOutcome::Refused);
        return false;
    }
    if (activeRun_ && activeRun_ != this) {
        // The work files and the counter serve one run at a time.
        message("Warning!", "Another import is running!\r\nImport will not proceed!", Icon::Exclamation);
        endRun(ImportOutcome::Refused);
        return false;
    }
    activeRun_ = this;
    if (!takeImportLock()) return false;
    reservation_ = std::make_unique<ImportReservation>();
    if (!reservation_->begin()) {
        endRun(ImportOutcome::Refused);
        return false;
    }
    databases_.load(&reservation_->counter());
    if (!work_.create(importDate_, importTime_)) {
        endRun(ImportOutcome::Refused);
        return false;
    }
    workCreated_ = true;
    streamTarget_ = streamedDatabase();
    if (streamTarget_ != 0) work_.handOver();
    createLogFile();
    if (format->source == SourceKind::Automation) {
        if (!startAutomationSource()) return false;
    } else {
        sources_.build(request_, false);
    }
    setStatus(request_.formatName + " Import Processing", {"Pre-import message conversion"});
    state_ = ImportState::NextDirectory;
    return true;
}

bool ImportRun::takeImportLock() {
    if (!importLock_) importLock_ = std::make_unique<WritingRunLock>("Import", options_.lockWaitSeconds);
    switch (importLock_->tryTake()) {
        case WritingRunLock::Turn::Taken: return true;
        case WritingRunLock::Turn::Waiting:
            setStatus(request_.formatName + " Import Processing", {importLock_->waitingText()});
            return false;
        case WritingRunLock::Turn::Refused: break;
    }
    endRun(ImportOutcome::Refused);
    return false;
}

bool ImportRun::startAutomationSource() {
    AutomationResult started = startAutomation(request_.format, request_);
    if (started.start != AutomationStart::Ready || !started.session) {
        message("Warning!", automationStartText(started), Icon::Exclamation);
        endRun(ImportOutcome::Refused);
        return false;
    }
    automation_ = std::move(started.session);
    sources_.buildFolders(automation_->folders());
    return true;
}

bool ImportRun::nextDirectory() {
    std::vector<std::string> problems;
    const bool more = sources_.filesWaiting() > 0 || sources_.nextDirectory(problems);
    for (const std::string& problem : problems) {
        ++progress_.filesSkipped;
        message(" Import Error ", problem, Icon::Exclamation);
    }
    if (more) {
        state_ = ImportState::NextFile;
        return true;
    }
    return endPhaseA();
}

void ImportRun::skipFile(const std::string& caption, const std::string& text) {
    ++progress_.filesSkipped;
    message(caption, text, Icon::Exclamation);
    parser_.reset();
    state_ = ImportState::NextFile;
}

bool ImportRun::nextFile() {
    if (!sources_.nextFile(file_)) {
        state_ = ImportState::NextDirectory;
        return true;
    }
    const FormatEntry* format = formatByNumber(request_.format);
    if (format->source != SourceKind::Automation) {
        const std::int64_t size = fileSizeOf(file_.name);
        if (size < 0) {
            skipFile(" Import Error ", unusableSourceText(file_.name));
            return true;
        }
        file_.size = size;
        // Every reader is told a file it cannot open; some would pass over
        // it in silence.
        std::string warning;
        if (!opensForReading(file_.name, warning)) {
            skipFile("Warning!", warning);
            return true;
        }
    }
    parser_ = makeFormatParser(request_.format);
    if (!parser_) {
        endRun(ImportOutcome::Refused);
        return false;
    }
    call_ = ParserCall{};
    call_.step = FirstCall;
    call_.runningId = &reservation_->counter();
    call_.variant = request_.variant;
    call_.quota = quota_;
    call_.request = &request_;
    call_.databases = &databases_;
    call_.work = &work_;
    call_.fileName = file_.name;
    call_.fileSize = file_.size;
    call_.skipped = &parserSkipped_;
    call_.importDate = importDate_;
    call_.importTime = importTime_;
    call_.logFile = logFilePath();
    call_.automation = automation_.get();
    progress_.lines = {"Pre-import message conversion", file_.name};

    work_.beginBatch();
    const bool exhausted = parser_->parse(call_);
    work_.endBatch();
    if (!afterParserCall()) return false;
    if (call_.rejected) {
        if (request_.format == kTwoPassFormat) {
            skipFile("Warning!", file_.name + " is not a CompuServe 3.x or 4.x file!\r\n" + "This file will be skipped!");
        } else {
            ++progress_.filesSkipped;
            parser_.reset();
        }
        state_ = ImportState::NextFile;
        return true;
    }
    if (format->source == SourceKind::TextLines) {
        const int variant = detectFormatVariant(request_.format, request_, file_.name);
        if (variant == 0) {
            skipFile("Warning!", "Not a Forum message or mail file!\r\nMessages will not be imported!");
            return true;
        }
        if (variant > 0) call_.variant = variant;
    }
    if (exhausted) {
        ++progress_.filesRead;
        if (file_.size == 0) ++progress_.emptyFiles;
        bytesDone_ += file_.size;
        parser_.reset();
        state_ = ImportState::NextFile;
    } else {
        state_ = ImportState::Parse;
    }
    return true;
}

bool ImportRun::parse() {
    work_.beginBatch();
    const bool exhausted = parser_->parse(call_);
    work_.endBatch();
    if (!afterParserCall()) return false;
    if (exhausted) {
        ++progress_.filesRead;
        if (file_.size == 0) ++progress_.emptyFiles;
        bytesDone_ += file_.size;
        parser_.reset();
        state_ = ImportState::NextFile;
    }
    return true;
}

bool ImportRun::afterParserCall() {
    updatePercent();
    if (work_.failed()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    progress_.lines = {call_.step == FirstPass ? "Pre-import first pass" : "Pre-import message conversion",
                       file_.name};
    if (checkFreeSpace(options_.freeSpace, Mem.TempDir, ImportSpaceReserve, SpaceNeed::WorkFile) ==
        SpaceVerdict::Stop) {
        endRun(ImportOutcome::Cancelled);
        return false;
    }
    if (streamTarget_ == 0) return true;
    if (!storeHandedOver()) return false;
    if (inPhaseB_)
        progress_.lines = {" Importing from: " + file_.name, " Importing to: " + Mem.Description, "Importing messages"};
    return true;
}

bool ImportRun::endPhaseA() {
    if (inPhaseB_) return endStreamedReading();
    parser_.reset();
    if (!reservation_->end() || !work_.buildKeys()) {
        endRun(ImportOutcome::Failed);
        return false;
    }
    work_.unlock();
    if (checkFreeSpace(options_.freeSpace, Mem.FileDir, work_.sizeOnDisk(), SpaceNeed::Process) ==
        SpaceVerdict::Stop) {
        endRun(ImportOutcome::Cancelled);
        return false;
    }
    databases_.keepUsedOnly();
    if (taskMode_ && options_.registerDatabase)
        for (const DatabaseEntry& e : databases_.queue()) options_.registerDatabase(e.id);
    if (databases_.empty()) {
        message("Warning!",
                "No messages found in selected file(s)!\r\nImport unsuccessful! Importing from: " + request_.importPath,
                Icon::Exclamation);
        endRun(ImportOutcome::NothingFound);
        return false;
    }
    state_ = ImportState::SwitchDatabase;
    return true;
}

}  // namespace pm
