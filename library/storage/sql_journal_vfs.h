#pragma once
// The file access of the storage connection (internal): the system's own
// SQLite VFS with one change to how the rollback journal is written.
//
// SQLite writes its journal record by record, three small writes per page
// (page number, page, checksum): an import commit that changes 2,000 pages
// makes 6,000 system calls for the journal alone. Here the writes of a
// journal gather in a buffer and reach the file in pieces of up to 64 KB.
// They always reach it before anything can depend on them: before the
// journal is synced, read, measured, truncated or closed, and before any
// database file is written, synced or truncated. So the disk receives what
// SQLite wrote, in the same order relative to every sync and every database
// write; a process that dies loses only journal writes that no database
// page depended on yet, which SQLite's recovery treats as never written.
//
// Test hook: with POSTMOOR_TEST_WRITE_LIMIT=BYTES in the environment writes
// that grow a store or journal fail as on a full disk (SQLITE_FULL) once the
// process has grown them by that many bytes; with POSTMOOR_TEST_NO_SYNC=1 no
// file is synced (for tests that kill processes, where the operating system
// keeps what was written).
namespace pm::sql {

// Registers the VFS on first use; the name to pass to sqlite3_open_v2.
const char* journalVfsName();

}  // namespace pm::sql
