#pragma once
// The identity record (REF) kept in every database directory so that a lost
// catalog can be rebuilt.

namespace pm {

// Copies the catalog record in the FOR buffer into the REF table of the
// database directory named by Mem.Dirnamn: adds it when the table is empty,
// overwrites the first record when it differs, else leaves it. Returns false
// after reporting when the write fails.
bool UpdREF();

}  // namespace pm
