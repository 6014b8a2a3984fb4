#include "tables/records/registry.h"

#include <array>

#include "tables/records/config_tables.h"
#include "tables/records/external_tables.h"
#include "tables/records/message_tables.h"
#include "tables/records/scratch_tables.h"
#include "tables/records/wordindex_tables.h"

namespace pm {

namespace {

constexpr int kHighestNumber = 42;

// Index = registry number. Built on first use, after every Table exists.
const std::array<Table*, kHighestNumber + 1>& registry() {
    static const std::array<Table*, kHighestNumber + 1> tables = [] {
        std::array<Table*, kHighestNumber + 1> t{};
        for (Table* table : {&Codes,   &Forums,  &MsgNmbr, &MsgText, &Person,    &Sections, &Threads,
                             &Control, &SIndex,  &NewHR,   &HREFile, &DOSFile,   &Mail,     &CCRFile,
                             &IMPFile, &CCTFile, &CCOFile, &CMAFile, &REFFile,   &PLINK,    &TempID,
                             &MsgString, &TASFile, &FLIFile, &WordList, &MasIdx, &STOFile,  &TOCFile,
                             &Search,  &PURFile, &BATFile, &TIMFile, &WDFile,    &OUIFile,  &TLOFile,
                             &TLIFile})
            t[static_cast<std::size_t>(table->number())] = table;
        return t;
    }();
    return tables;
}

}  // namespace

Table* tableByNumber(int number) {
    if (number < 1 || number > kHighestNumber) return nullptr;
    return registry()[static_cast<std::size_t>(number)];
}

bool isRegistryNumber(int number) { return tableByNumber(number) != nullptr; }

std::vector<int> registryNumbers() {
    std::vector<int> numbers;
    for (int n = 1; n <= kHighestNumber; ++n)
        if (isRegistryNumber(n)) numbers.push_back(n);
    return numbers;
}

}  // namespace pm
