// Record-set files: a result set saved with its fields (names, kinds, sizes, declared types)
// and rows, and loaded back identical. This carries rows between servers, as persisted
// recordsets do in the suite.
//
// Layout (little-endian): magic "XFRSET", format version (u16), field count (u32), per field
// name, kind (u8), size (i32), declared type, base table and column; row count (u64); per row
// per field a tag (0 NULL, 1 integer i64, 2 float f64, 3 text, 4 binary) and its payload;
// texts as u32 length + bytes; finally an FNV-1a 64 checksum of everything before it.
#pragma once

#include <string>

#include "db/backend.h"

namespace xfer::db {

// Writes `rs` to `path` (through a temporary file, so a reader never sees half a file).
// Throws engine::SqlError naming the file when it cannot be written.
void SaveRecordSet(const ResultSet& rs, const std::string& path);

// Reads a file written by SaveRecordSet. A missing, damaged or truncated file, or one of an
// unknown version, throws engine::SqlError naming the file; no partial rows are returned.
ResultSet LoadRecordSet(const std::string& path);

}  // namespace xfer::db
