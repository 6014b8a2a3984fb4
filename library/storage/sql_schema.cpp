#include "storage/sql_schema.h"

#include "storage/sql_collation.h"
#include "storage/sql_connection.h"

namespace pm::sql {

namespace {

const char* sqlType(FieldType type) {
    switch (type) {
        case FieldType::Byte:
        case FieldType::Long:
        case FieldType::ULong:
        case FieldType::DbDate: return "INTEGER";
        case FieldType::String: return "TEXT";
        case FieldType::Bytes: return "BLOB";
        case FieldType::Real: return "REAL";
    }
    return "BLOB";
}

}  // namespace

Schema buildSchema(const TableDef& def) {
    Schema schema;
    for (std::size_t i = 0; i < def.fields.size(); ++i) {
        const FieldDef& f = def.fields[i];
        if (f.dim > 1) {
            for (int e = 0; e < f.dim; ++e)
                schema.columns.push_back({f.name + "_" + std::to_string(e + 1),
                                          static_cast<int>(i), e, -1, sqlType(f.type)});
        } else {
            schema.columns.push_back({f.name, static_cast<int>(i), 0, -1, sqlType(f.type)});
        }
    }
    schema.fixedColumns = schema.columns.size();
    for (std::size_t m = 0; m < def.memos.size(); ++m)
        schema.columns.push_back({def.memos[m].name, -1, 0, static_cast<int>(m), "TEXT"});
    for (const KeyDef& key : def.keys) {
        std::vector<std::string> cols;
        for (const KeyPart& part : key.parts)
            cols.push_back(def.fields[static_cast<std::size_t>(part.field)].name);
        schema.keyColumns.push_back(std::move(cols));
    }
    return schema;
}

std::string indexName(const TableDef& def, const KeyDef& key) {
    return def.label + "_" + key.name;
}

std::string createTableSql(const TableDef& def, const Schema& schema,
                           const std::string& schemaName) {
    std::string sql = "CREATE TABLE " + ident(schemaName) + "." + ident(def.label) + " (";
    for (std::size_t i = 0; i < schema.columns.size(); ++i) {
        const Column& c = schema.columns[i];
        if (i) sql += ", ";
        sql += ident(c.name) + " " + c.type + " NOT NULL";
        if (c.type == "TEXT") {
            sql += " DEFAULT ''";
            if (c.memo < 0 && def.caseless) sql += std::string(" COLLATE ") + kCaselessCollation;
        } else if (c.type == "BLOB") {
            sql += " DEFAULT x''";
        } else {
            sql += " DEFAULT 0";
        }
    }
    sql += ")";
    return sql;
}

std::string createIndexSql(const TableDef& def, const KeyDef& key, const std::string& schemaName) {
    std::string sql = key.unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ";
    sql += ident(schemaName) + "." + ident(indexName(def, key)) + " ON " + ident(def.label) + " (";
    for (std::size_t i = 0; i < key.parts.size(); ++i) {
        if (i) sql += ", ";
        sql += ident(def.fields[static_cast<std::size_t>(key.parts[i].field)].name);
        if (key.parts[i].direction == Direction::Descending) sql += " DESC";
    }
    sql += ")";
    return sql;
}

}  // namespace pm::sql
