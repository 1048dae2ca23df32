// The catalog views the suite reads (sysobjects, syscolumns, sysdatabases and two
// information_schema views), rendered as subqueries over SQLite's own catalog. Where they differ
// from SQL Server:
// - object ids are a hash of the name, stable across connections but not SQL Server's numbers;
// - sysobjects lists tables ('U'), views ('V'), triggers ('TR'), procedures ('P') and key
//   constraints ('PK', 'UQ') only, not defaults or system objects, and in tempdb also this
//   connection's #tables under their plain names (SQL Server pads them);
// - syscolumns.status is 128 for identity columns, 8 for nullable columns, else 0;
// - sys.objects and sys.views are sysobjects in their newer shape: every object is in dbo,
//   and tables carry no creation or change date.
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

TypeName Named(const char* name, int length = -1) {
  TypeName t;
  t.name = name;
  t.length = length;
  return t;
}

struct CatalogColumn {
  const char* name;
  TypeName type;
};

std::string ObjectsOf(const std::string& schema) {
  std::string s = QuoteIdent(schema);
  return "SELECT m.name AS name, xf_object_id(m.name) AS id, "
         "CASE m.type WHEN 'table' THEN 'U ' WHEN 'view' THEN 'V ' ELSE 'TR' END AS xtype, "
         "1 AS uid, 0 AS parent_obj, (SELECT v.created FROM " +
         s +
         ".__xfer_views v WHERE v.name = m.name) AS crdate, "
         "CASE m.type WHEN 'table' THEN 'U ' WHEN 'view' THEN 'V ' ELSE 'TR' END AS type "
         "FROM " +
         s +
         ".sqlite_master m WHERE m.type IN ('table','view','trigger') "
         "AND substr(m.name, 1, 7) <> '__xfer_' AND substr(m.name, 1, 7) <> 'sqlite_' "
         "UNION ALL SELECT p.name, xf_object_id(p.name), 'P ', 1, 0, p.created, 'P ' FROM " +
         s +
         ".__xfer_procs p "
         // Key constraints belong to their table (parent_obj).
         "UNION ALL SELECT k.pk, xf_object_id(k.pk), 'PK', 1, xf_object_id(k.tbl), NULL, 'K ' "
         "FROM (SELECT xf_pk_name(m.sql, m.name) AS pk, m.name AS tbl FROM " +
         s +
         ".sqlite_master m WHERE m.type = 'table' AND substr(m.name, 1, 7) <> '__xfer_') k "
         "WHERE k.pk IS NOT NULL "
         "UNION ALL SELECT substr(i.name, length(i.tbl_name) + 3), "
         "xf_object_id(substr(i.name, length(i.tbl_name) + 3)), 'UQ', 1, xf_object_id(i.tbl_name), "
         "NULL, 'K ' FROM " +
         s +
         ".sqlite_master i WHERE i.type = 'index' "
         "AND substr(i.name, length(i.tbl_name) + 1, 2) = '$~'";
}

std::string ColumnsOf(const std::string& schema) {
  std::string s = QuoteIdent(schema);
  return "SELECT xf_object_id(m.name) AS id, p.name AS name, xf_type_code(p.type) AS xtype, "
         "xf_type_length(p.type) AS length, p.cid + 1 AS colid, "
         "CASE WHEN i.col IS NOT NULL THEN 128 WHEN p.\"notnull\" = 0 THEN 8 ELSE 0 END AS "
         "status, CASE WHEN p.\"notnull\" = 0 THEN 1 ELSE 0 END AS isnullable, "
         "m.name AS table_name, p.type AS type_text, p.\"notnull\" AS not_null, "
         "p.dflt_value AS dflt "
         "FROM " +
         s + ".sqlite_master m JOIN pragma_table_info(m.name, '" + schema + "') p LEFT JOIN " + s +
         ".__xfer_identity i ON i.tbl = m.name COLLATE NOCASE AND i.col = p.name COLLATE NOCASE "
         "WHERE m.type IN ('table','view') AND substr(m.name, 1, 7) <> '__xfer_' "
         "AND substr(m.name, 1, 7) <> 'sqlite_'";
}

}  // namespace

std::string Renderer::CatalogView(const std::string& schema, const std::string& view,
                                  const std::string& database) {
  std::vector<CatalogColumn> cols;
  std::string sql;
  bool tempdb = schema == kTempdbSchema;
  if (view == "sysobjects") {
    cols = {{"name", Named("sysname")}, {"id", Named("int")},         {"xtype", Named("char", 2)},
            {"uid", Named("smallint")}, {"parent_obj", Named("int")}, {"crdate", Named("datetime")},
            {"type", Named("char", 2)}};
    sql = ObjectsOf(schema);
    if (tempdb) sql += " UNION ALL " + ObjectsOf(kTempSchema);
  } else if (view == "syscolumns") {
    cols = {{"id", Named("int")},         {"name", Named("sysname")},
            {"xtype", Named("tinyint")},  {"length", Named("smallint")},
            {"colid", Named("smallint")}, {"status", Named("tinyint")},
            {"isnullable", Named("int")}};
    std::string inner = ColumnsOf(schema);
    if (tempdb) inner += " UNION ALL " + ColumnsOf(kTempSchema);
    sql = "SELECT id, name, xtype, length, colid, status, isnullable FROM (" + inner + ")";
  } else if (view == "sysdatabases") {
    cols = {{"name", Named("sysname")},
            {"dbid", Named("smallint")},
            {"filename", Named("nvarchar", 260)}};
    auto names = conn_.server().ListDatabases();
    for (size_t i = 0; i < names.size(); ++i) {
      if (i) sql += " UNION ALL ";
      sql += "SELECT " + Bind(names[i]) + " AS name, " + std::to_string(i + 1) + " AS dbid, " +
             Bind(conn_.server().FilePath(names[i])) + " AS filename";
    }
  } else if (view == "information_schema.columns") {
    cols = {{"TABLE_CATALOG", Named("sysname")},
            {"TABLE_SCHEMA", Named("sysname")},
            {"TABLE_NAME", Named("sysname")},
            {"COLUMN_NAME", Named("sysname")},
            {"ORDINAL_POSITION", Named("int")},
            {"COLUMN_DEFAULT", Named("nvarchar", 4000)},
            {"IS_NULLABLE", Named("varchar", 3)},
            {"DATA_TYPE", Named("nvarchar", 128)},
            {"CHARACTER_MAXIMUM_LENGTH", Named("int")},
            {"NUMERIC_PRECISION", Named("tinyint")},
            {"NUMERIC_SCALE", Named("int")}};
    sql = "SELECT " + Bind(database) +
          " AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, table_name AS TABLE_NAME, name AS "
          "COLUMN_NAME, colid AS ORDINAL_POSITION, dflt AS COLUMN_DEFAULT, CASE WHEN not_null "
          "THEN 'NO' ELSE 'YES' END AS IS_NULLABLE, xf_type_base(type_text) AS DATA_TYPE, "
          "xf_type_charlen(type_text) AS CHARACTER_MAXIMUM_LENGTH, xf_type_precision(type_text) "
          "AS NUMERIC_PRECISION, xf_type_scale(type_text) AS NUMERIC_SCALE FROM (" +
          ColumnsOf(schema) + ")";
  } else if (view == "sys.objects" || view == "sys.views") {
    cols = {{"name", Named("sysname")},           {"object_id", Named("int")},
            {"principal_id", Named("int")},       {"schema_id", Named("int")},
            {"parent_object_id", Named("int")},   {"type", Named("char", 2)},
            {"type_desc", Named("nvarchar", 60)}, {"create_date", Named("datetime")},
            {"modify_date", Named("datetime")},   {"is_ms_shipped", Named("bit")},
            {"is_published", Named("bit")},       {"is_schema_published", Named("bit")}};
    std::string objects = ObjectsOf(schema);
    if (tempdb) objects += " UNION ALL " + ObjectsOf(kTempSchema);
    const std::string q = QuoteIdent(schema);
    sql =
        "SELECT o.name AS name, o.id AS object_id, NULL AS principal_id, 1 AS schema_id, "
        "o.parent_obj AS parent_object_id, o.xtype AS type, CASE o.xtype WHEN 'U ' THEN "
        "'USER_TABLE' WHEN 'V ' THEN 'VIEW' WHEN 'P ' THEN 'SQL_STORED_PROCEDURE' WHEN 'PK' "
        "THEN 'PRIMARY_KEY_CONSTRAINT' WHEN 'UQ' THEN 'UNIQUE_CONSTRAINT' ELSE 'SQL_TRIGGER' "
        "END AS type_desc, o.crdate AS create_date, coalesce(v.modified, o.crdate) AS "
        "modify_date, 0 AS is_ms_shipped, 0 AS is_published, 0 AS is_schema_published";
    if (view == "sys.views") {
      for (const char* flag :
           {"is_replicated", "has_replication_filter", "has_opaque_metadata",
            "has_unchecked_assembly_data", "with_check_option", "is_date_correlation_view"})
        cols.push_back({flag, Named("bit")});
      sql +=
          ", 0 AS is_replicated, 0 AS has_replication_filter, 0 AS has_opaque_metadata, "
          "0 AS has_unchecked_assembly_data, coalesce(v.check_option, 0) AS "
          "with_check_option, 0 AS is_date_correlation_view";
    }
    sql += " FROM (" + objects + ") o LEFT JOIN " + q +
           ".__xfer_views v ON v.name = o.name AND o.xtype = 'V '";
    if (view == "sys.views") sql += " WHERE o.xtype = 'V '";
  } else if (view == "information_schema.views") {
    cols = {{"TABLE_CATALOG", Named("nvarchar", 128)}, {"TABLE_SCHEMA", Named("nvarchar", 128)},
            {"TABLE_NAME", Named("sysname")},          {"VIEW_DEFINITION", Named("nvarchar", 4000)},
            {"CHECK_OPTION", Named("varchar", 7)},     {"IS_UPDATABLE", Named("varchar", 2)}};
    const std::string q = QuoteIdent(schema);
    sql = "SELECT " + Bind(database) +
          " AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, m.name AS TABLE_NAME, substr(v.body, 1, "
          "4000) AS VIEW_DEFINITION, CASE WHEN v.check_option THEN 'CASCADE' ELSE 'NONE' END AS "
          "CHECK_OPTION, 'NO' AS IS_UPDATABLE FROM " +
          q + ".sqlite_master m LEFT JOIN " + q +
          ".__xfer_views v ON v.name = m.name WHERE m.type = 'view'";
  } else {  // information_schema.tables
    cols = {{"TABLE_CATALOG", Named("sysname")},
            {"TABLE_SCHEMA", Named("sysname")},
            {"TABLE_NAME", Named("sysname")},
            {"TABLE_TYPE", Named("varchar", 10)}};
    sql = "SELECT " + Bind(database) +
          " AS TABLE_CATALOG, 'dbo' AS TABLE_SCHEMA, m.name AS TABLE_NAME, CASE m.type WHEN "
          "'table' THEN 'BASE TABLE' ELSE 'VIEW' END AS TABLE_TYPE FROM " +
          QuoteIdent(schema) +
          ".sqlite_master m WHERE m.type IN ('table','view') AND substr(m.name, 1, 7) <> "
          "'__xfer_' AND substr(m.name, 1, 7) <> 'sqlite_'";
  }
  catalogColumns_.clear();
  catalogTypes_.clear();
  for (const auto& c : cols) {
    catalogColumns_.push_back(c.name);
    ExprType t;
    t.cls = ClassOf(c.type);
    t.declared = c.type;
    catalogTypes_.push_back(t);
  }
  return sql;
}

}  // namespace xfer::engine
