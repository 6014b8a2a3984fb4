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

// A column's definition as CREATE TABLE and ALTER TABLE write it.
std::string columnSql(const TableDef& def, const Column& c) {
    std::string sql = ident(c.name) + " " + c.type + " NOT NULL";
    if (c.type == "TEXT") {
        sql += " DEFAULT ''";
        if (c.memo < 0 && def.caseless) sql += std::string(" COLLATE ") + kCaselessCollation;
    } else if (c.type == "BLOB") {
        sql += " DEFAULT x''";
    } else {
        sql += " DEFAULT 0";
    }
    return sql;
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
        if (i) sql += ", ";
        sql += columnSql(def, schema.columns[i]);
    }
    sql += ")";
    return sql;
}

std::vector<std::string> addColumnsSql(const TableDef& def, const Schema& schema, std::size_t stored,
                                       const std::string& schemaName) {
    std::vector<std::string> statements;
    for (std::size_t i = stored; i < schema.fixedColumns; ++i)
        statements.push_back("ALTER TABLE " + ident(schemaName) + "." + ident(def.label) + " ADD COLUMN " +
                             columnSql(def, schema.columns[i]));
    return statements;
}

bool leadingColumns(const Schema& schema, const std::vector<std::pair<std::string, std::string>>& stored) {
    // Memo columns follow the fixed ones, so a table with memos cannot gain
    // fixed fields at its end.
    if (stored.empty() || stored.size() >= schema.columns.size() || schema.fixedColumns != schema.columns.size())
        return false;
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (stored[i].first != schema.columns[i].name || stored[i].second != schema.columns[i].type) return false;
    return true;
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

std::string dropIndexSql(const TableDef& def, const KeyDef& key, const std::string& schemaName) {
    return "DROP INDEX IF EXISTS " + ident(schemaName) + "." + ident(indexName(def, key));
}

bool sameColumns(const Schema& schema, const std::vector<std::pair<std::string, std::string>>& stored) {
    if (stored.size() != schema.columns.size()) return false;
    for (std::size_t i = 0; i < stored.size(); ++i)
        if (stored[i].first != schema.columns[i].name || stored[i].second != schema.columns[i].type) return false;
    return true;
}

std::string selectSql(const Schema& schema, const std::string& table, bool withMemos) {
    std::string sql = "SELECT rowid";
    const std::size_t n = withMemos ? schema.columns.size() : schema.fixedColumns;
    for (std::size_t i = 0; i < n; ++i) sql += ", " + ident(schema.columns[i].name);
    return sql + " FROM " + table;
}

std::string insertSql(const Schema& schema, const std::string& table) {
    std::string sql = "INSERT INTO " + table + " (";
    std::string values;
    for (std::size_t i = 0; i < schema.columns.size(); ++i) {
        if (i) {
            sql += ", ";
            values += ", ";
        }
        sql += ident(schema.columns[i].name);
        values += "?" + std::to_string(i + 1);
    }
    return sql + ") VALUES (" + values + ")";
}

std::string updateSql(const Schema& schema, const std::string& table) {
    std::string sql = "UPDATE " + table + " SET ";
    for (std::size_t i = 0; i < schema.columns.size(); ++i) {
        if (i) sql += ", ";
        sql += ident(schema.columns[i].name) + " = ?" + std::to_string(i + 1);
    }
    return sql + " WHERE rowid = ?" + std::to_string(schema.columns.size() + 1);
}

std::string keyGetSql(const Schema& schema, const std::string& table, const KeyDef& key, bool withMemos) {
    const auto& cols = schema.keyColumns[static_cast<std::size_t>(key.index)];
    std::string where;
    for (std::size_t i = 0; i < key.parts.size(); ++i) {
        if (i) where += " AND ";
        where += ident(cols[i]) + " = ?" + std::to_string(i + 1);
    }
    return selectSql(schema, table, withMemos) + " WHERE " + where + " ORDER BY rowid LIMIT 1";
}

std::string keySeekSql(const Schema& schema, const std::string& table, const KeyDef& key, int direction,
                       std::size_t level, bool withMemos) {
    const std::size_t n = key.parts.size();
    const auto& cols = schema.keyColumns[static_cast<std::size_t>(key.index)];
    std::string where;
    int param = 1;
    if (level <= n) {
        const std::size_t equal = level == 0 ? n : n - level;
        for (std::size_t i = 0; i < equal; ++i) {
            if (!where.empty()) where += " AND ";
            where += ident(cols[i]) + " = ?" + std::to_string(param++);
        }
        if (!where.empty()) where += " AND ";
        if (level == 0) {
            where += std::string("rowid ") + (direction > 0 ? ">" : "<") + " ?" + std::to_string(param++);
        } else {
            const std::size_t part = n - level;
            const bool ascending = key.parts[part].direction == Direction::Ascending;
            const bool greater = (direction > 0) == ascending;
            where += ident(cols[part]) + (greater ? " > ?" : " < ?") + std::to_string(param++);
        }
    }
    std::string order;
    for (std::size_t i = 0; i < n; ++i) {
        bool ascending = key.parts[i].direction == Direction::Ascending;
        if (direction < 0) ascending = !ascending;
        order += ident(cols[i]) + (ascending ? " ASC, " : " DESC, ");
    }
    order += direction > 0 ? "rowid ASC" : "rowid DESC";
    std::string sql = selectSql(schema, table, withMemos);
    if (!where.empty()) sql += " WHERE " + where;
    return sql + " ORDER BY " + order + " LIMIT ?" + std::to_string(param);
}

std::string physicalSeekSql(const Schema& schema, const std::string& table, int direction, bool withMemos) {
    return selectSql(schema, table, withMemos) +
           (direction > 0 ? " WHERE rowid > ?1 ORDER BY rowid LIMIT ?2" : " WHERE rowid < ?1 ORDER BY rowid DESC LIMIT ?2");
}

}  // namespace pm::sql
