#include "installation_content.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/text.h"
#include "support/store_query.h"

namespace pm::test {

namespace fs = std::filesystem;

namespace {

// The rows of `sql`, sorted, one text.
std::string rows(const std::string& root, const std::string& directory, const std::string& sql) {
    std::string text;
    for (const auto& row : storeTable(storeOf(root, directory), "SELECT * FROM (" + sql + ") ORDER BY 1, 2")) {
        for (const std::string& value : row) text += value + '|';
        text += '\n';
    }
    return text;
}

}  // namespace

std::string storeOf(const std::string& root, const std::string& directory) {
    return root + "/" + directory + "/postmoor.db";
}

std::string catalogContent(const std::string& root) {
    return rows(root, "CFG", "SELECT DESCRIPTION, TYPE, MSGCOUNT, COUNTFLAG, DIRNUMBER FROM Forums");
}

std::string mailContent(const std::string& root, const std::string& directory) {
    return rows(root, directory,
                "SELECT m.SUBJECT, m.DATE, m.TIME, m.FROMALPHA, m.TOALPHA, m.PAIRALPHA, m.CCR, "
                "f.PERSONSTRING, t.PERSONSTRING, length(x.MsgText) FROM Mail m JOIN Person f ON f.PERSONID = m.FROMID "
                "JOIN Person t ON t.PERSONID = m.TOID JOIN MsgText x ON x.MSGNUMBER = m.MAILID") +
           rows(root, directory, "SELECT PERSONSTRING, ADDRESS, FROMCOUNT, TOCOUNT FROM Person") +
           rows(root, directory,
                "SELECT m.SUBJECT, c.R_NAME, c.R_CISADRESS FROM CCR c JOIN Mail m ON m.MAILID = c.MAILID");
}

std::string importedContent(const std::string& root) {
    std::string text = catalogContent(root) + mailContent(root, "F1");
    for (const std::string dir : {"F2", "F3"}) {
        if (!fs::exists(storeOf(root, dir))) continue;
        text += rows(root, dir,
                     "SELECT x.MsgText, m.DATE, m.FROMALPHA, m.THREADALPHA, rx.MsgText, t.ALPHA || t.BETA, "
                     "t.MSGCOUNT, s.DESCRIPTION, s.MSGCOUNT FROM MsgNmbr m "
                     "JOIN MsgText x ON x.MSGNUMBER = m.MSGNUMBER LEFT JOIN MsgText rx ON rx.MSGNUMBER = m.REFNUMBER "
                     "JOIN Threads t ON t.THREADNUMBER = m.THREADNUMBER JOIN Sections s ON s.SECSYSID = m.SECSYSID") +
                rows(root, dir, "SELECT PERSONSTRING, FROMCOUNT, TOCOUNT FROM Person");
    }
    return text;
}

std::string wordIndexContent(const std::string& root) {
    return rows(root, "F1", "SELECT THEWORD, WORDCOUNT FROM WordList") +
           rows(root, "F1", "SELECT count(*), sum(ENTRIES) FROM MasIdx") +
           rows(root, "CFG", "SELECT DESCRIPTION, RECSLASTTIME, WORDLISTINDEXNEEDSUPDATE FROM Forums");
}

void expectStoresWhole(const std::string& root) {
    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string store = entry.path().string() + "/postmoor.db";
        if (fs::exists(store)) {
            EXPECT_EQ(storeValue(store, "PRAGMA integrity_check"), "ok") << store;
        }
    }
}

std::vector<std::string> textsNotUtf8(const std::string& root) {
    std::vector<std::string> bad;
    for (const auto& entry : fs::directory_iterator(root)) {
        const std::string store = entry.path().string() + "/postmoor.db";
        if (!fs::exists(store)) continue;
        for (const std::string& table : storeColumn(store, "SELECT name FROM sqlite_master WHERE type = 'table'")) {
            for (const std::string& column :
                 storeColumn(store, "SELECT name FROM pragma_table_info('" + table + "') WHERE type = 'TEXT'")) {
                for (const std::string& value : storeColumn(store, "SELECT \"" + column + "\" FROM \"" + table + "\""))
                    if (!isValidUtf8(value))
                        bad.push_back(entry.path().filename().string() + " " + table + "." + column + ": " + value);
            }
        }
    }
    return bad;
}

int printedCount(const std::string& out, const std::string& name) {
    const std::size_t at = out.find(name + "\t");
    return at == std::string::npos ? -1 : std::stoi(out.substr(at + name.size() + 1));
}

}  // namespace pm::test
