#include "import/store/copy_address.h"

#include "common/globals.h"
#include "tables/access/open_close.h"
#include "tables/records/message_tables.h"

namespace pm {

CopyAddress::CopyAddress(int format, std::string fileName) : format_(format) {
    if (fileName.empty()) fileName = DefaultAddressBookName;
    path_ = fileName.front() == '/' ? fileName : Mem.TempDir + "/" + fileName;
}

CopyAddress::~CopyAddress() {
    if (!finished_) finish(Status::Nothing);
}

CopyAddress::Status CopyAddress::finish(Status status) {
    if (writer_ && !writer_->finish()) status = Status::Nothing;
    person_.release();
    finished_ = true;
    final_ = status;
    return status;
}

CopyAddress::Status CopyAddress::step() {
    if (finished_) return final_;
    if (!started_) {
        started_ = true;
        person_.open({&Person});
        if (Person.records() == 0) return finish(Status::Nothing);
        writer_ = std::make_unique<AddressBookWriter>(path_);
        if (!writer_->ok()) return finish(Status::Nothing);
        Person.set(PER_NameKey);
        return Status::Running;
    }
    if (Person.next() != StorageStatus::Ok) return finish(Status::Done);
    if (!writer_->add(format_, {PER.FIRSTNAME.str(), PER.LASTNAME.str(), PER.ADDRESS.str()}))
        return finish(Status::Nothing);
    return Status::Running;
}

}  // namespace pm
