#pragma once
// Sample stores of the CompuServe navigators, written byte by byte from
// their layouts for the importers' tests: WinCIM message files, the
// CompuServe 3.x cabinet, and the NavCIS, CISCOMM and OUI tables.
#include <cstdint>
#include <string>
#include <vector>

#include "support/dbase_writer.h"

namespace pm::test {

struct Party {
    std::string name, address;
};

struct Moment {
    int year = 1995, month = 5, day = 19;
    int hour = 10, minute = 22, second = 30;
};

// A forum message of a message file (kinds 2 and 3) or of the cabinet.
struct SampleForumMessage {
    std::string forum = "CIS:PHOTOFORUM";
    int section = 3;
    std::string sectionName = "Cameras";
    unsigned number = 101, reference = 0;
    std::string subject = "Lenses";
    Party sender{"Ann Smith", "70000,1"};
    Party receiver{"Bob Jones", "70000,2"};
    Moment when;
    std::string text = "First line@b\r\n@lSecond line";
};

// A mail of a message file (kind 1) or of the cabinet.
struct SampleMail {
    std::string subject = "Copy of: Holiday plans";
    Party sender{"Ann Smith", "INTERNET:ann@example.com"};
    std::vector<Party> to{{"Me", "me@home.example"}};
    std::vector<Party> cc, bc;
    Moment when;
    std::string text = "Mail text";
};

std::string messageFileBytes(const SampleForumMessage& message);
// The second forum layout (kind 3): no number, sender or date.
std::string secondLayoutBytes(const SampleForumMessage& message);
std::string messageFileBytes(const SampleMail& mail);

std::string cabinetRecordBytes(const SampleForumMessage& message);
std::string cabinetRecordBytes(const SampleMail& mail);
// A cabinet file: a header, then the records.
std::string cabinetBytes(const std::vector<std::string>& records);

// Table rows: one value per column of the table's columns() below.
DbfTable navCisTable(std::vector<DbfRecord> rows);
DbfRecord navCisForumRow(const std::string& forum, unsigned number, const std::string& subject,
                         const std::string& text);
DbfRecord navCisMailRow(const std::string& subject, const std::string& time, const std::string& text);
// Column indices of the NavCIS table.
enum NavCisColumn : std::size_t {
    HreForumName = 0, HreInternal, HreSecNumber, HreSecName, HreSubject, HreSendId, HreSendName, HreRecvId,
    HreRecvName, HreMsgNumber, HreMsgParent, HreReceived, HreIsPrivate, HreMsgDate, HreMsgTime, HreMsgText
};

DbfTable cisCommForumTable(std::vector<DbfRecord> rows);
DbfRecord cisCommForumRow(unsigned number, const std::string& subject, const std::string& text);
DbfTable cisCommMailTable(std::vector<DbfRecord> rows);
DbfRecord cisCommMailRow(const std::string& subject, const std::string& senderId, bool fromOwner,
                         const std::string& text);

DbfTable ouiTable(std::vector<DbfRecord> rows);
DbfRecord ouiRow(const std::string& identifier, unsigned number, const std::string& subject,
                 const std::string& sender, const std::string& text);

}  // namespace pm::test
