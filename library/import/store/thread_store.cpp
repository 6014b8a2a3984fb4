#include "import/store/thread_store.h"

#include "common/text.h"
#include "common/user_interface.h"
#include "tables/access/record_services.h"
#include "tables/access/store_writes.h"
#include "tables/identifiers/next_number.h"

namespace pm {

namespace {

struct HeadingParts {
    FixedText<10> alpha;
    FixedText<90> beta;
};

HeadingParts splitHeading(std::string_view heading) {
    heading = trimRight(heading);
    HeadingParts parts;
    const std::size_t alphaBytes = utf8FitLength(heading, 10);
    parts.alpha = heading.substr(0, alphaBytes);
    parts.beta = heading.substr(alphaBytes);
    return parts;
}

}  // namespace

void setThreadHeading(ThreadsRecord& thread, std::string_view heading) {
    const HeadingParts parts = splitHeading(heading);
    thread.ALPHA = parts.alpha;
    thread.BETA = parts.beta;
}

bool threadHeadingEquals(const ThreadsRecord& thread, std::string_view heading) {
    const HeadingParts parts = splitHeading(heading);
    // ALPHA compares with its padding: a subject shorter than 10 bytes
    // followed by more text is another subject.
    return thread.ALPHA.raw() == parts.alpha.raw() && thread.BETA == parts.beta;
}

bool findThread(ULONG section, std::string_view heading, ThreadChoice& thread) {
    const HeadingParts parts = splitHeading(heading);
    Threads.clear();
    THR.SECSYSID = section;
    THR.ALPHA = parts.alpha;
    Threads.setAt(THR_SecKey);
    // The key compares ALPHA without regard to case, so every candidate of
    // this ALPHA lies in one run; the heading itself must match exactly.
    const std::string alphaFolded = foldCase(parts.alpha.view());
    while (Threads.next() == StorageStatus::Ok && THR.SECSYSID == section &&
           (THR.ALPHA == parts.alpha || foldCase(THR.ALPHA.view()) == alphaFolded)) {
        if (threadHeadingEquals(THR, heading)) {
            thread.number = THR.THREADNUMBER;
            thread.alpha = THR.ALPHA;
            return true;
        }
    }
    return false;
}

bool findOrCreateThread(ULONG section, std::string_view heading, ThreadChoice& thread) {
    if (findThread(section, heading, thread)) return true;
    const ULONG number = NextNr();
    if (number == 0) {
        message("Warning!", "Transaction Frame Error!", Icon::Exclamation);
        rollbackTransaction();
        return false;
    }
    Threads.clear();
    THR.THREADNUMBER = number;
    THR.SECSYSID = section;
    setThreadHeading(THR, heading);
    THR.MSGCOUNT = 0;
    if (!storeWrite(Threads, AddRecord)) return false;
    thread.number = number;
    thread.alpha = THR.ALPHA;
    return true;
}

}  // namespace pm
