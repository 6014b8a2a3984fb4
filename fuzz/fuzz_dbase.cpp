// The dBase reader over a hostile table: header, column descriptors and
// every record's values.
#include <cstdint>

#include "fuzz_input.h"
#include "storage/dbase_table_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = pm::fuzz::inputFile(data, size, ".dbf");
    pm::dbase::TableFile table;
    std::string error;
    if (!table.open(path, error)) return 0;
    const std::uint32_t records = table.recordCount() < 2000 ? table.recordCount() : 2000;
    for (std::uint32_t i = 0; i < records; ++i) {
        if (table.read(i, error) == pm::dbase::RecordRead::End) break;
        for (const pm::dbase::Column& c : table.columns()) {
            table.text(c);
            double value = 0;
            table.number(c, value);
            table.date(c);
            std::string memo;
            table.memo(c, 64000, memo, error);
        }
    }
    return 0;
}
