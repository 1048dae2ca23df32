// Carrying tables between servers: rows of a table on one server become a global temporary
// table on another, through a record-set file in the application folder. Also the column-list
// probe and the copy of missing code rows that document imports use.
#pragma once

#include <string>

#include "db/backend.h"
#include "db/session.h"

namespace xfer::db {

// The column definition a loaded field gets in the created table: "[name] Varchar(n)",
// "[name] Integer", "[name] FLoat", "[name] Text", "[name] Image" or "[name] Varchar(500)".
std::string ColumnDefinition(const Field& f);

// Rows of `sourceTable` read through `remote` become the new global temporary table
// `targetTable` ("##...") on the server of `local`. The work file, named after the target
// without "##", lives in `appFolder` and is deleted afterwards.
// Returns the number of rows carried.
long long CopyTableAcrossServers(Backend& remote, HostDatabase& local, const std::string& appFolder,
                                 const std::string& sourceTable, const std::string& targetTable);

// On the server of `connection`: copies sourceDb..table into ##table and saves it to the work
// file appFolder/table.txt.
void ExportTableToFile(Backend& connection, const std::string& appFolder,
                       const std::string& sourceDb, const std::string& table);
// Creates ##tableTemp on the current server from the work file of `table` and fills it.
void ImportTempTableFromFile(HostDatabase& local, const std::string& appFolder,
                             const std::string& table);

// "[a] , [b] , [c]": the columns of a user table without its identity column.
std::string TableColumns(Backend& b, const std::string& table);

// Inserts into `table` of the current database the source rows whose key is new and that
// `related` refers to (pictures of items that exist, for A_KALAPIC). `remote` is null when the
// source is on the current server. The pictures are deleted and inserted by two statements, so a
// caller runs it inside one unit of the run (RunAtomic) for a kill to leave them whole.
void CopyMissingCodes(HostDatabase& local, Backend* remote, const std::string& appFolder,
                      const std::string& sourceDb, const std::string& table,
                      const std::string& related);

}  // namespace xfer::db
