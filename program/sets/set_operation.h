#pragma once
// The export, print, classify and recode run on a set of messages related
// to the current one, as a Job of slices.
//
// States: the first step() checks the request (file names, topic, date
// range; a recode of the whole database to Delete asks first) and starts;
// every further step() handles the next slice of the set: export writes it
// through CopyMsg, print hands it to the MessagePrinter, classify attaches
// or removes the topic, recode rewrites the status of each message. The
// run is Done when the set is exhausted, Stopped after a stop request (what
// was written or changed stays), Failed after a reported error.
#include <memory>
#include <string>

#include "common/job.h"
#include "sets/copy_msg.h"
#include "sets/message_printer.h"

namespace pm {

enum class SetOperation : BYTE {
    ExportNew = 1,     // export to new files
    ExportAppend = 2,  // export appending to the files
    Print = 3,
    AttachTopic = 4,
    RemoveTopic = 5,
    StatusNormal = 6,
    StatusKeep = 7,
    StatusDelete = 8,
};

// The window's title of the operation: " Export all messages related to
// the current:", " Print ...", " Classify ...", " Recode ...".
std::string setOperationTitle(SetOperation operation);

struct SetRequest {
    SetOperation operation = SetOperation::ExportNew;
    SetScope scope = SetScope::Thread;
    SetOrigin origin;
    DateRange dates;
    // Export only.
    OutputFiles files;
    std::string directory;               // "" = the temporary directory
    std::optional<OutputLayout> layout;  // "" = the configured layout
    bool oneFile = false;
    bool plain = false;                  // every message as the plain single copy
    // Classify only: the topic (COD:ID).
    ULONG topic = 0;
    // Print only (not owned; must outlive the job).
    MessagePrinter* printer = nullptr;
    // Messages per slice.
    std::size_t slice = 50;
};

class SetOperationJob final : public Job {
public:
    // The tables of the active database must be open for as long as the job
    // runs (BrowseTables in its Browse scope).
    explicit SetOperationJob(SetRequest request);
    ~SetOperationJob() override;

    JobStatus step() override;
    JobStatus status() const override { return status_; }
    ProgressReport report() const override;
    bool requestStop(StopRequest how) override;

    // Messages handled (written, printed, classified or recoded) and passed
    // over by the date filter.
    long long handled() const { return handled_; }
    long long passedOver() const { return passedOver_; }
    // The export files ("" before the start or for other operations).
    std::string firstPath() const { return copy_ ? copy_->firstPath() : std::string(); }
    std::string secondPath() const { return copy_ ? copy_->secondPath() : std::string(); }
    // Whether the run recoded the whole database to Delete (the frame is told).
    bool wholeDatabaseDeleted() const { return wholeDatabase_; }

private:
    JobStatus start();
    JobStatus slice();
    JobStatus finish(JobStatus final);
    bool handle(ULONG number);
    bool checkRequest();

    SetRequest request_;
    JobStatus status_ = JobStatus::Running;
    bool started_ = false;
    std::string statusLine_;
    std::unique_ptr<CopyMsg> copy_;
    std::unique_ptr<MessageSetCursor> cursor_;
    bool printing_ = false;
    bool wholeDatabase_ = false;
    long long handled_ = 0;
    long long passedOver_ = 0;
    long long read_ = 0;   // messages of the set read
    long long total_ = 0;  // the set's size at the start
};

}  // namespace pm
