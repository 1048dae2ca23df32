// SELECT and the names it reads from: table references resolved to SQLite schemas, FROM
// clauses with joins and derived tables, select lists with `*` expanded (so every output
// column has a name and a type), TOP as LIMIT, ORDER BY and GROUP BY with the text collation.
#include <algorithm>

#include "engine/error.h"
#include "engine/func/functions.h"
#include "engine/render/plan.h"
#include "engine/render/render.h"
#include "engine/sqlite_util.h"

namespace xfer::engine {
namespace {

// The catalog view a name stands for ("sysobjects", "sys.views", "information_schema.columns"),
// or empty for a name of the user's.
std::string CatalogKey(const std::string& schema, const std::string& object) {
  static const char* const kViews[] = {"sysobjects", "syscolumns", "sysdatabases"};
  static const char* const kSysViews[] = {"objects", "views"};
  static const char* const kSchemaViews[] = {"columns", "tables", "views"};
  auto in = [&](const auto& list) {
    return std::find(std::begin(list), std::end(list), object) != std::end(list);
  };
  if (schema == "information_schema") return in(kSchemaViews) ? schema + "." + object : "";
  if (schema == "sys" && in(kSysViews)) return schema + "." + object;
  if (!schema.empty() && schema != "dbo" && schema != "sys") return "";
  return in(kViews) ? object : "";
}

std::string WrittenName(const ObjectName& n) {
  if (n.database.empty() && n.schema.empty()) return n.object;
  if (n.database.empty()) return n.schema + "." + n.object;
  return n.database + "." + n.schema + "." + n.object;
}


}  // namespace

ObjectName ParseObjectName(std::string_view text) {
  std::vector<std::string> parts(1);
  bool bracket = false;
  for (char c : text) {
    if (bracket) {
      if (c == ']')
        bracket = false;
      else
        parts.back() += c;
    } else if (c == '[') {
      bracket = true;
    } else if (c == '.') {
      parts.emplace_back();
    } else if (c != ' ' || !parts.back().empty()) {
      parts.back() += c;
    }
  }
  for (auto& p : parts)
    while (!p.empty() && p.back() == ' ') p.pop_back();
  ObjectName n;
  n.object = parts.back();
  if (parts.size() >= 2) n.schema = parts[parts.size() - 2];
  if (parts.size() >= 3) n.database = parts[parts.size() - 3];
  return n;
}

std::string Renderer::QualifiedName(const ResolvedTable& t) const {
  return QuoteIdent(t.schema) + "." + QuoteIdent(t.name);
}

ResolvedTable Renderer::Resolve(const ObjectName& n, bool mustExist) {
  ResolvedTable r;
  r.written = WrittenName(n);
  r.name = n.object;
  if (n.object.starts_with("@")) {
    // A table variable: a table of the connection's temp schema, known to its scope only.
    auto it = conn_.frame().tableVars.find(LowerName(n.object));
    if (it == conn_.frame().tableVars.end())
      throw SqlError(1087, "Must declare the table variable \"" + n.object + "\".");
    r.schema = kTempSchema;
    r.name = it->second;
    reusable_ = false;  // each scope's table variable is a table of its own
    return r;
  }
  if (n.object.starts_with("##")) {
    r.schema = kTempdbSchema;
    r.database = "tempdb";
    r.isGlobalTemp = true;
  } else if (n.object.starts_with("#")) {
    r.schema = kTempSchema;
    r.isTempTable = true;
  } else {
    std::string db = n.database.empty() ? conn_.currentDatabase() : n.database;
    r.schema = conn_.SchemaFor(db);
    r.database = conn_.CanonicalName(db);
    std::string schema = LowerName(n.schema), object = LowerName(n.object);
    if (std::string key = CatalogKey(schema, object); !key.empty()) {
      r.catalogSql = CatalogView(r.schema, key, r.database);
      reusable_ = false;
      return r;
    }
  }
  ReadSchema(r.schema);
  if (auto info = conn_.LoadTable(r.schema, n.object)) {
    r.name = info->name;
  } else if (mustExist) {
    throw SqlError(err::kInvalidObject, "Invalid object name '" + r.written + "'.");
  }
  return r;
}

std::optional<TableInfo> Renderer::Table(const ResolvedTable& t) {
  if (!t.catalogSql.empty()) return std::nullopt;
  ReadSchema(t.schema);
  return conn_.LoadTable(t.schema, t.name);
}

void Renderer::ReadSchema(const std::string& schema) {
  if (std::find(schemasRead_.begin(), schemasRead_.end(), schema) == schemasRead_.end())
    schemasRead_.push_back(schema);
}

std::shared_ptr<RenderPlan> Renderer::Plan(const Rendered& r) {
  if (!reusable_ || sources_.size() != r.params.size()) return nullptr;
  auto plan = std::make_shared<RenderPlan>();
  plan->rendered.sql = r.sql;
  plan->rendered.columnNames = r.columnNames;
  plan->rendered.columnTypes = r.columnTypes;
  plan->rendered.hasStar = r.hasStar;
  plan->params = sources_;
  plan->database = conn_.currentDatabase();
  plan->catalogEpoch = conn_.catalogEpoch();
  for (const Expr* e : pinned_) plan->pinned.emplace_back(e, e->text);
  for (const auto& schema : schemasRead_) {
    long long v = conn_.SchemaVersion(schema);
    if (v < 0) return nullptr;
    plan->schemaVersions.emplace_back(schema, v);
  }
  return plan;
}

void Renderer::PushScope(std::vector<Source> sources) {
  scopes_.push_back(std::move(sources));
}
void Renderer::PopScope() {
  scopes_.pop_back();
}

std::string Renderer::TableSource(const TableRef& ref, std::vector<Source>& sources) {
  switch (ref.kind) {
    case TableRef::Kind::Named: {
      if (const CommonTable* c = FindCommonTable(ref.name)) {
        Source s;
        std::string alias = ref.alias.empty() ? ref.name.object : ref.alias;
        s.alias = LowerName(alias);
        s.display = alias;
        std::string sql = CommonTableSource(*c, alias, s);
        sources.push_back(std::move(s));
        return sql;
      }
      ResolvedTable t = Resolve(ref.name);
      Source s;
      s.alias = LowerName(ref.alias.empty() ? ref.name.object : ref.alias);
      std::string alias = ref.alias.empty() ? ref.name.object : ref.alias;
      s.display = alias;
      std::string sql;
      if (!t.catalogSql.empty()) {
        sql = "(" + t.catalogSql + ") AS " + QuoteIdent(alias);
        s.columns = catalogColumns_;
        s.types = catalogTypes_;
      } else {
        sql = QualifiedName(t) + " AS " + QuoteIdent(alias);
        s.table = Table(t);
      }
      sources.push_back(std::move(s));
      return sql;
    }
    case TableRef::Kind::Derived: {
      Source s;
      s.alias = LowerName(ref.alias);
      s.display = ref.alias;
      bool star = false;
      std::string inner = Select(*ref.derived, s.columns, s.types, star);
      NameColumns(ref.alias, ref.columnAliases, s.columns);
      if (!ref.columnAliases.empty()) inner = WithColumns(ref.alias, s.columns, inner, false);
      sources.push_back(std::move(s));
      return "(" + inner + ") AS " + QuoteIdent(ref.alias);
    }
    case TableRef::Kind::Pivot:
      return Pivot(ref, sources);
    case TableRef::Kind::Function:
      return Split(ref, sources);
    case TableRef::Kind::Join: {
      if (ref.joinType == JoinType::CrossApply || ref.joinType == JoinType::OuterApply)
        return Apply(ref, sources);
      std::string left = TableSource(*ref.left, sources);
      std::string right = TableSource(*ref.right, sources);
      static const char* const kJoin[] = {" JOIN ", " LEFT JOIN ", " RIGHT JOIN ", " FULL JOIN ",
                                          " CROSS JOIN "};
      std::string sql = "(" + left + kJoin[static_cast<int>(ref.joinType)] + right;
      if (ref.on) {
        // ON sees every source of this FROM clause so far.
        scopes_.push_back(sources);
        ExprType t;
        sql += " ON " + Expression(*ref.on, &t);
        scopes_.pop_back();
      } else if (ref.joinType != JoinType::Cross) {
        sql += " ON 1";
      }
      return sql + ")";
    }
  }
  return {};
}

std::vector<Renderer::Source> Renderer::FromSources(const std::vector<TableRefPtr>& from,
                                                    std::string& sql) {
  std::vector<Source> sources;
  for (size_t i = 0; i < from.size(); ++i) {
    if (i) sql += ", ";
    sql += TableSource(*from[i], sources);
  }
  return sources;
}

std::string Renderer::SelectCore(const struct Select& s, std::vector<std::string>& names,
                                 std::vector<ExprType>& types, bool& star) {
  if (!s.groupingSets.empty() && !groupingSet_) return GroupingSets(s, names, types, star, false);
  // The grouping set and hidden columns asked for are this core's, not its subqueries'.
  const std::vector<size_t>* const set = groupingSet_;
  const std::vector<const Expr*>* const hidden = hiddenOrder_;
  groupingSet_ = nullptr;
  hiddenOrder_ = nullptr;
  const bool addLevel = levelPending_;
  levelPending_ = false;
  Restore<WindowPlace> restorePlace{windowPlace_, windowPlace_};
  windowPlace_ = WindowPlace::Refused;
  std::string fromSql;
  std::vector<Source> sources = FromSources(s.from, fromSql);
  PushScope(sources);
  // Select list, GROUP BY and HAVING read the grouped values; WHERE reads the rows.
  GroupingState grouping;
  grouping.depth = scopes_.size();
  const bool hasGroupBy = !s.groupBy.empty() || !s.groupingSets.empty();
  for (const auto& g : s.groupBy) grouping.keys.push_back(Canonical(*g));
  if (set) {
    std::vector<std::string> kept;
    for (size_t i : *set) kept.push_back(grouping.keys[i]);
    for (const std::string& k : grouping.keys)
      if (std::find(kept.begin(), kept.end(), k) == kept.end()) grouping.absent.push_back(k);
  }
  Restore<GroupingState*> restoreGrouping{grouping_, grouping_};
  // A query that does not group reads an enclosing grouped query's columns as that one does.
  GroupingState* const enclosing = grouping_;
  GroupingState* const grouped = hasGroupBy ? &grouping : enclosing;
  grouping_ = grouped;
  windowPlace_ = WindowPlace::Allowed;
  const bool collateItems = s.distinct || !s.setParts.empty() || comparedRows_;

  std::string items;
  auto add = [&](const std::string& sql, const std::string& name, const ExprType& t) {
    if (!items.empty()) items += ", ";
    items += sql + " AS " + QuoteIdent(name);
    names.push_back(name);
    types.push_back(t);
  };
  for (const SelectItem& item : s.items) {
    if (item.expr->kind == ExprKind::Star) {
      star = true;
      std::string qualifier = item.expr->name.empty() ? "" : LowerName(item.expr->name.back());
      bool any = false;
      for (const Source& src : sources) {
        if (!qualifier.empty() && src.alias != qualifier) continue;
        any = true;
        std::string prefix = QuoteIdent(src.alias) + ".";
        if (src.table) {
          for (const ColumnInfo& c : src.table->columns) {
            ExprType t;
            t.cls = ClassOf(c.type);
            t.declared = c.type;
            add(prefix + QuoteIdent(c.name), c.name, t);
          }
        } else {
          for (size_t i = 0; i < src.columns.size(); ++i)
            add(src.exprs.empty() ? prefix + QuoteIdent(src.columns[i]) : src.exprs[i],
                src.columns[i], src.types[i]);
        }
      }
      if (!any) {
        if (qualifier.empty()) throw SqlError(263, "Must specify table to select from.");
        throw SqlError(4104, "The multi-part identifier \"" + item.expr->name.back() +
                                 "\" could not be bound.");
      }
      continue;
    }
    ExprType t;
    std::string sql = Expression(*item.expr, &t);
    // DISTINCT and UNION compare rows by the collation of the select list: computed text
    // needs it spelled out (a column has it already).
    if (collateItems && item.expr->kind != ExprKind::Column && IsTextual(t.cls) &&
        t.cls != TypeClass::Unknown)
      sql = "(" + sql + std::string(" COLLATE ") + kCollation + ")";
    std::string name = item.alias;
    if (name.empty() && !item.assignVar.empty()) name = item.assignVar;
    if (name.empty() && item.expr->kind == ExprKind::Column) name = item.expr->name.back();
    add(sql, name, t);
  }
  if (hidden) {
    for (size_t i = 0; i < hidden->size(); ++i) {
      ExprType t;
      add(Expression(*(*hidden)[i], &t), "__o" + std::to_string(i), t);
    }
  }

  windowPlace_ = WindowPlace::Refused;
  grouping_ = hasGroupBy ? nullptr : enclosing;
  // A recursive query counts its levels in a column of its own: the first part is level 0,
  // each pass of the recursive part one more, checked against the statement's limit.
  if (addLevel) {
    items += recursion_ ? ", xf_recursion(" + QuoteIdent(recursion_->selfAlias) +
                              ".\"__level\" + 1, " + std::to_string(maxRecursion_) + ")"
                        : std::string(", 0");
    items += " AS \"__level\"";
  }
  std::string sql = std::string("SELECT ") + (s.distinct ? "DISTINCT " : "") + items;
  if (!fromSql.empty()) sql += " FROM " + fromSql;
  if (s.where) {
    ExprType t;
    sql += " WHERE " + Expression(*s.where, &t);
  }
  grouping_ = grouped;
  std::vector<size_t> all;
  for (size_t i = 0; i < s.groupBy.size() && !set; ++i) all.push_back(i);
  const std::vector<size_t>& keys = set ? *set : all;
  for (size_t n = 0; n < keys.size(); ++n) {
    const Expr& e = *s.groupBy[keys[n]];
    ExprType t;
    std::string g = Expression(e, &t);
    if (e.kind != ExprKind::Column && IsTextual(t.cls) && t.cls != TypeClass::Unknown)
      g += std::string(" COLLATE ") + kCollation;
    sql += (n ? ", " : " GROUP BY ") + g;
  }
  // The grand total set is one group of every row, and no group at all over no rows.
  if (set && set->empty()) sql += " GROUP BY NULL";
  if (s.having) {
    ExprType t;
    sql += " HAVING " + Expression(*s.having, &t);
  }
  CheckGrouping(s);
  if (hasGroupBy)
    coreGrouping_ = std::move(grouping);
  else
    coreGrouping_.reset();
  return sql;
}

std::string Renderer::Select(const struct Select& s, std::vector<std::string>& names,
                             std::vector<ExprType>& types, bool& star) {
  size_t depth = scopes_.size();
  const size_t cteDepth = ctes_.size();
  if (s.maxRecursion >= 0) maxRecursion_ = s.maxRecursion;
  PushCommonTables(s.with);
  Restore<bool> restore{comparedRows_, comparedRows_};
  comparedRows_ = !s.setParts.empty();
  // Grouping sets order the combined rows themselves: the ORDER BY may read what only the
  // grouped queries see.
  const bool sets = !s.groupingSets.empty() && s.setParts.empty() && !s.topWithTies;
  coreGrouping_.reset();
  std::string sql =
      sets ? GroupingSets(s, names, types, star, true) : SelectCore(s, names, types, star);
  std::optional<GroupingState> grouping = std::move(coreGrouping_);
  coreGrouping_.reset();
  auto limit = [&](const struct Select& part) -> std::string {
    if (!part.top) return {};
    if (part.topPercent)
      throw SqlError(err::kUnsupported, "The T-SQL feature 'TOP ... PERCENT' is not supported.");
    ExprType t;
    return " LIMIT " + Expression(*part.top, &t);
  };
  if (s.topWithTies && s.orderBy.empty())
    throw SqlError(1062,
                   "The TOP N WITH TIES clause is not allowed without a corresponding ORDER BY "
                   "clause.");
  if (s.topWithTies) {
    sql = WithTies(s, sql, names, types);
    while (scopes_.size() > depth) PopScope();
    ctes_.resize(cteDepth);
    return sql;
  }
  std::string firstLimit = limit(s);
  if (!s.setParts.empty()) {
    if (!firstLimit.empty()) sql = "SELECT * FROM (" + sql + firstLimit + ")";
    // Every part is rendered first: the result's column types are those of all parts
    // together, by type precedence, and a part whose text must become a number is converted.
    std::vector<std::string> partSqls{sql};
    std::vector<std::vector<ExprType>> partTypeLists{types};
    for (const auto& part : s.setParts) {
      std::vector<std::string> partNames;
      std::vector<ExprType> partTypes;
      bool partStar = false;
      size_t partDepth = scopes_.size();
      // A parenthesized set operation (or an INTERSECT group) is one part of its own.
      std::string partSql =
          part.select->setParts.empty()
              ? SelectCore(*part.select, partNames, partTypes, partStar)
              : "SELECT * FROM (" + Select(*part.select, partNames, partTypes, partStar) + ")";
      while (scopes_.size() > partDepth) PopScope();
      if (part.select->top) partSql = "SELECT * FROM (" + partSql + limit(*part.select) + ")";
      if (partNames.size() != names.size())
        throw SqlError(205,
                       "All queries combined using a UNION, INTERSECT or EXCEPT operator "
                       "must have an equal number of expressions in their target lists.");
      for (size_t i = 0; i < types.size(); ++i) types[i] = WiderType(types[i], partTypes[i]);
      partSqls.push_back(std::move(partSql));
      partTypeLists.push_back(std::move(partTypes));
    }
    auto isNumber = [](TypeClass c) {
      return c == TypeClass::Int || c == TypeClass::Float || c == TypeClass::Decimal;
    };
    sql.clear();
    for (size_t p = 0; p < partSqls.size(); ++p) {
      bool convert = false;
      for (size_t i = 0; i < types.size(); ++i)
        convert =
            convert || (isNumber(types[i].cls) && (partTypeLists[p][i].cls == TypeClass::String ||
                                                   partTypeLists[p][i].cls == TypeClass::Text));
      std::string part = partSqls[p];
      if (convert) {
        std::string cols;
        for (size_t i = 0; i < types.size(); ++i) {
          std::string c = QuoteIdent("c" + std::to_string(i));
          if (isNumber(types[i].cls) && !isNumber(partTypeLists[p][i].cls))
            c = "xf_cast(" + c + ", '" + types[i].declared.Text() + "')";
          cols += (i ? ", " : "") + c + " AS " + QuoteIdent(names[i]);
        }
        std::string inner;
        for (size_t i = 0; i < types.size(); ++i)
          inner += (i ? ", " : "") + QuoteIdent("c" + std::to_string(i));
        part = "SELECT " + cols + " FROM (WITH __part(" + inner + ") AS (" + part +
               ") SELECT * FROM __part)";
      }
      static const char* const kOps[] = {" UNION ", " UNION ALL ", " EXCEPT ", " INTERSECT "};
      if (p > 0) sql += kOps[static_cast<int>(s.setParts[p - 1].op)];
      sql += part;
    }
  }
  if (!s.orderBy.empty() && !sets) {
    Restore<GroupingState*> restoreGrouping{grouping_, grouping_};
    if (grouping && s.setParts.empty()) grouping_ = &*grouping;
    windowPlace_ = WindowPlace::Allowed;
    sql += " ORDER BY ";
    for (size_t i = 0; i < s.orderBy.size(); ++i) {
      const Expr& e = *s.orderBy[i].expr;
      std::string term;
      ExprType t;
      // An ordinal or a select-list alias orders by that output column.
      if (e.kind == ExprKind::Literal && e.literalKind == LiteralKind::Integer) {
        term = e.text;
        size_t ordinal = std::stoul(e.text);
        if (ordinal >= 1 && ordinal <= types.size()) t = types[ordinal - 1];
        if (!e.text.starts_with('-') && (ordinal < 1 || ordinal > types.size()))
          throw SqlError(108, "The ORDER BY position number " + e.text +
                                  " is out of range of the number of items in the select list.");
      } else if (e.kind == ExprKind::Column && e.name.size() == 1 &&
                 std::any_of(names.begin(), names.end(), [&](const std::string& n) {
                   return LowerName(n) == LowerName(e.name[0]);
                 })) {
        term = QuoteIdent(e.name[0]);
        for (size_t k = 0; k < names.size(); ++k)
          if (LowerName(names[k]) == LowerName(e.name[0])) t = types[k];
      } else {
        // With DISTINCT a row is known only by its select list: nothing else can order it.
        if (s.distinct && s.setParts.empty() &&
            std::none_of(s.items.begin(), s.items.end(), [&](const SelectItem& item) {
              return item.expr->kind != ExprKind::Star && Canonical(*item.expr) == Canonical(e);
            }))
          throw SqlError(145,
                         "ORDER BY items must appear in the select list if SELECT DISTINCT is "
                         "specified.");
        term = Expression(e, &t);
      }
      if (IsTextual(t.cls)) term += std::string(" COLLATE ") + kCollation;
      // Decimals beyond fifteen digits are held as text and would sort after every number.
      // A set operation orders by its output columns only, as they stand.
      if (WideDecimal(t) && s.setParts.empty() &&
          !(term.size() && isdigit(static_cast<unsigned char>(term[0]))))
        term = "xf_dkey(" + term + ")";
      sql += (i ? ", " : "") + term + (s.orderBy[i].descending ? " DESC" : "");
    }
    windowPlace_ = WindowPlace::Refused;
  }
  if (s.offset) {
    if (s.top)
      throw SqlError(10741, "A TOP can not be used in the same query or sub-query as a OFFSET.");
    sql += " LIMIT " + (s.fetch ? RowCount(*s.fetch, false) : std::string("-1")) + " OFFSET " +
           RowCount(*s.offset, true);
  }
  if (s.setParts.empty()) sql += firstLimit;
  while (scopes_.size() > depth) PopScope();
  ctes_.resize(cteDepth);
  return sql;
}

// CROSS APPLY / OUTER APPLY of a query that yields at most one row for each row of the left
// side (TOP 1, an aggregate without GROUP BY, a lookup by primary key): each of its columns is
// a correlated scalar subquery, and CROSS APPLY keeps only the left rows for which it has a
// row. Queries that may yield several rows are refused.
std::string Renderer::Apply(const TableRef& ref, std::vector<Source>& sources) {
  std::string left = TableSource(*ref.left, sources);
  const TableRef& right = *ref.right;
  auto refuse = [] {
    throw SqlError(err::kUnsupported,
                   "The T-SQL feature 'APPLY of a query that may yield several rows' is not "
                   "supported.");
  };
  if (right.kind == TableRef::Kind::Function) {
    // A function's arguments may read the left side's row; SQLite's table-valued functions
    // take them as a correlated join.
    scopes_.push_back(sources);
    std::string fn = Split(right, sources);
    scopes_.pop_back();
    return "(" + left + (ref.joinType == JoinType::OuterApply ? " LEFT JOIN " : " JOIN ") + fn +
           " ON 1)";
  }
  if (right.kind != TableRef::Kind::Derived) refuse();
  const struct Select& q = *right.derived;
  if (!q.setParts.empty() || q.topPercent || q.topWithTies || q.offset || !SingleRow(q)) refuse();
  scopes_.push_back(sources);
  std::vector<std::string> inner;
  std::vector<ExprType> types;
  bool star = false;
  const std::string sql = Select(q, inner, types, star);
  scopes_.pop_back();
  std::vector<std::string> names = inner;
  NameColumns(right.alias, {}, inner);
  NameColumns(right.alias, right.columnAliases, names);
  Source s;
  s.alias = LowerName(right.alias);
  s.display = right.alias;
  s.columns = names;
  s.types = types;
  for (const std::string& c : inner)
    s.exprs.push_back("(SELECT " + QuoteIdent(c) + " FROM (" + sql + "))");
  sources.push_back(std::move(s));
  if (ref.joinType == JoinType::OuterApply) return left;
  return "(" + left + " JOIN (SELECT 1) AS " + QuoteIdent(right.alias) + " ON EXISTS (" + sql +
         "))";
}

// The columns of a source and their types, whether a table or a derived one.
void Renderer::SourceColumns(const Source& s, std::vector<std::string>& cols,
                             std::vector<ExprType>& types) {
  if (!s.table) {
    cols = s.columns;
    types = s.types;
    return;
  }
  for (const ColumnInfo& c : s.table->columns) {
    cols.push_back(c.name);
    types.push_back(ExprType{ClassOf(c.type), c.type});
  }
}

// A derived table's source: its alias and its columns' names and types.
void Renderer::AddDerived(const std::string& alias, const std::vector<std::string>& names,
                          const std::vector<ExprType>& types, std::vector<Source>& sources) {
  Source out;
  out.alias = LowerName(alias);
  out.display = alias;
  out.columns = names;
  out.types = types;
  sources.push_back(std::move(out));
}

// UNPIVOT: a row per source row and listed column whose value is not NULL, with the column's
// name (as the list spells it) and its value; the other columns pass through. The listed
// columns must share one type.
std::string Renderer::Unpivot(const TableRef& ref, std::vector<Source>& sources) {
  std::vector<Source> inner;
  const std::string src = TableSource(*ref.left, inner);
  if (inner.size() != 1 || ref.left->kind == TableRef::Kind::Pivot ||
      ref.on->kind != ExprKind::Column || ref.on->name.size() != 1 ||
      ref.pivotFor->kind != ExprKind::Column || ref.pivotFor->name.size() != 1)
    throw SqlError(err::kUnsupported, "The T-SQL feature 'UNPIVOT of this form' is not supported.");
  const Source& s = inner[0];
  std::vector<std::string> cols;
  std::vector<ExprType> colTypes;
  SourceColumns(s, cols, colTypes);
  const std::string valueName = ref.on->name[0], forName = ref.pivotFor->name[0];
  for (const std::string& c : cols)
    if (LowerName(c) == LowerName(valueName) || LowerName(c) == LowerName(forName))
      throw SqlError(265, "The column name \"" + c +
                              "\" specified in the UNPIVOT operator conflicts with the existing "
                              "column name in the UNPIVOT argument.");
  std::vector<size_t> listed;
  for (const std::string& v : ref.columnAliases) {
    size_t i = 0;
    while (i < cols.size() && LowerName(cols[i]) != LowerName(v)) ++i;
    if (i == cols.size()) throw SqlError(207, "Invalid column name '" + v + "'.");
    if (!listed.empty() && colTypes[i].declared.Text() != colTypes[listed[0]].declared.Text())
      throw SqlError(8167, "The type of column \"" + v +
                               "\" conflicts with the type of other columns specified in the "
                               "UNPIVOT list.");
    listed.push_back(i);
  }
  auto column = [&](size_t i) {
    Expr e;
    e.kind = ExprKind::Column;
    e.name = {s.display, cols[i]};
    ExprType t;
    return Expression(e, &t);
  };
  // The names it binds are made during this render: nothing of it can be kept.
  reusable_ = false;
  scopes_.push_back(inner);
  std::string passed;
  std::vector<std::string> names;
  std::vector<ExprType> types;
  for (size_t i = 0; i < cols.size(); ++i) {
    if (std::find(listed.begin(), listed.end(), i) != listed.end()) continue;
    passed += column(i) + " AS " + QuoteIdent(cols[i]) + ", ";
    names.push_back(cols[i]);
    types.push_back(colTypes[i]);
  }
  std::string branches;
  for (size_t k = 0; k < listed.size(); ++k) {
    const std::string value = column(listed[k]);
    branches += (k ? " UNION ALL " : "") + std::string("SELECT ") + passed +
                Put(Value(ref.columnAliases[k])) + " AS " + QuoteIdent(forName) + ", " + value +
                " AS " + QuoteIdent(valueName) + " FROM " + src + " WHERE " + value +
                " IS NOT NULL";
  }
  scopes_.pop_back();
  ExprType nameType{TypeClass::String, TypeName{}};
  nameType.declared.name = "nvarchar";
  nameType.declared.length = 128;
  names.push_back(forName);
  types.push_back(nameType);
  names.push_back(valueName);
  types.push_back(colTypes[listed[0]]);
  NameColumns(ref.alias, {}, names);
  AddDerived(ref.alias, names, types, sources);
  return "(" + branches + ") AS " + QuoteIdent(ref.alias);
}

// STRING_SPLIT(text, separator [, enable_ordinal]): a row per piece of the text (value, and
// ordinal from 1 when asked), walked by SQLite's json_each over the pieces written as a JSON
// array. A NULL text gives no rows.
std::string Renderer::Split(const TableRef& ref, std::vector<Source>& sources) {
  if (ref.args.size() < 2)
    throw SqlError(313,
                   "An insufficient number of arguments were supplied for the procedure or "
                   "function STRING_SPLIT.");
  if (ref.args.size() > 3)
    throw SqlError(8144, "Procedure or function STRING_SPLIT has too many arguments specified.");
  bool ordinal = false;
  if (ref.args.size() == 3) {
    const Expr& flag = *ref.args[2];
    if (flag.kind != ExprKind::Literal || flag.literalKind != LiteralKind::Integer ||
        (flag.text != "0" && flag.text != "1"))
      throw SqlError(err::kUnsupported,
                     "The T-SQL feature 'STRING_SPLIT with an enable_ordinal other than 0 or 1' "
                     "is not supported.");
    ordinal = flag.text == "1";
  }
  ExprType textType, sepType;
  const std::string text = Expression(*ref.args[0], &textType);
  const std::string sep = Expression(*ref.args[1], &sepType);
  const std::string alias = ref.alias.empty() ? std::string("STRING_SPLIT") : ref.alias;
  Source s;
  s.alias = LowerName(alias);
  s.display = alias;
  ExprType value{TypeClass::String, TypeName{}};
  value.declared.name = "varchar";
  value.declared.length = textType.cls == TypeClass::String && textType.declared.length > 0
                              ? textType.declared.length
                              : 8000;
  s.columns = {"value"};
  s.types = {value};
  s.exprs = {QuoteIdent(alias) + ".\"value\""};
  if (ordinal) {
    s.columns.push_back("ordinal");
    s.types.push_back(ExprType{TypeClass::Int, TypeName{"bigint"}});
    s.exprs.push_back("(" + QuoteIdent(alias) + ".\"key\" + 1)");
  }
  sources.push_back(std::move(s));
  return "json_each(xf_split_json(" + text + ", " + sep + ")) AS " + QuoteIdent(alias);
}

// PIVOT: the source grouped by every column but the aggregated one and the pivot column, with
// one aggregate per listed value over the rows whose pivot column equals it.
std::string Renderer::Pivot(const TableRef& ref, std::vector<Source>& sources) {
  if (ref.unpivot) return Unpivot(ref, sources);
  auto refuse = [] {
    throw SqlError(err::kUnsupported, "The T-SQL feature 'PIVOT of this form' is not supported.");
  };
  std::vector<Source> inner;
  const std::string src = TableSource(*ref.left, inner);
  if (inner.size() != 1 || ref.left->kind == TableRef::Kind::Pivot) refuse();
  const Source& s = inner[0];
  std::vector<std::string> cols;
  std::vector<ExprType> colTypes;
  SourceColumns(s, cols, colTypes);
  const Expr& agg = *ref.on;
  const FunctionInfo* f = agg.kind == ExprKind::Function ? FindFunction(agg.text) : nullptr;
  if (!f || !f->aggregate || agg.over || agg.distinct || agg.args.size() != 1 ||
      agg.args[0]->kind != ExprKind::Column || ref.pivotFor->kind != ExprKind::Column ||
      !agg.withinOrder.empty())
    refuse();
  auto find = [&](const Expr& c) {
    for (size_t i = 0; i < cols.size(); ++i)
      if (LowerName(cols[i]) == LowerName(c.name.back())) return i;
    throw SqlError(207, "Invalid column name '" + c.name.back() + "'.");
  };
  const size_t value = find(*agg.args[0]), pivot = find(*ref.pivotFor);
  auto column = [&](size_t i) {
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Column;
    e->name = {s.display, cols[i]};
    return e;
  };
  scopes_.push_back(inner);
  std::vector<std::string> names;
  std::vector<ExprType> types;
  std::string items, group;
  for (size_t i = 0; i < cols.size(); ++i) {
    if (i == value || i == pivot) continue;
    ExprType t;
    const std::string g = Expression(*column(i), &t);
    items += (items.empty() ? "" : ", ") + g + " AS " + QuoteIdent(cols[i]);
    group += (group.empty() ? "" : ", ") + g;
    names.push_back(cols[i]);
    types.push_back(t);
  }
  // The literals made here last only as long as this render: nothing of it can be kept.
  reusable_ = false;
  for (const std::string& v : ref.columnAliases) {
    auto literal = std::make_unique<Expr>();
    literal->kind = ExprKind::Literal;
    literal->literalKind = LiteralKind::NString;
    literal->text = v;
    auto equal = std::make_unique<Expr>();
    equal->kind = ExprKind::Binary;
    equal->text = "=";
    equal->args.push_back(column(pivot));
    equal->args.push_back(std::move(literal));
    auto pick = std::make_unique<Expr>();
    pick->kind = ExprKind::Case;
    pick->whens.push_back({std::move(equal), column(value)});
    Expr call;
    call.kind = ExprKind::Function;
    call.text = agg.text;
    call.args.push_back(std::move(pick));
    ExprType t;
    const std::string sql = Expression(call, &t);
    items += (items.empty() ? "" : ", ") + sql + " AS " + QuoteIdent(v);
    names.push_back(v);
    types.push_back(t);
  }
  scopes_.pop_back();
  NameColumns(ref.alias, {}, names);
  AddDerived(ref.alias, names, types, sources);
  return "(SELECT " + items + " FROM " + src + (group.empty() ? "" : " GROUP BY " + group) +
         ") AS " + QuoteIdent(ref.alias);
}

// TOP n WITH TIES: the rows ranked n or better by the ORDER BY keys, which must be output
// columns (by position, name or the same expression) so the ranking can read them.
std::string Renderer::WithTies(const struct Select& s, const std::string& core,
                               const std::vector<std::string>& names,
                               const std::vector<ExprType>& types) {
  auto refuse = [] {
    throw SqlError(err::kUnsupported,
                   "The T-SQL feature 'TOP WITH TIES of this form' is not supported.");
  };
  if (!s.setParts.empty() || s.distinct || s.topPercent || s.offset) refuse();
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) refuse();
    for (size_t j = 0; j < i; ++j)
      if (LowerName(names[i]) == LowerName(names[j])) refuse();
  }
  const bool star = std::any_of(s.items.begin(), s.items.end(), [](const SelectItem& item) {
    return item.expr->kind == ExprKind::Star;
  });
  std::string keys;
  for (const OrderItem& o : s.orderBy) {
    const Expr& e = *o.expr;
    size_t k = names.size();
    if (e.kind == ExprKind::Literal && e.literalKind == LiteralKind::Integer) {
      const size_t ordinal = e.text.starts_with('-') ? 0 : std::stoul(e.text);
      if (ordinal < 1 || ordinal > names.size())
        throw SqlError(108, "The ORDER BY position number " + e.text +
                                " is out of range of the number of items in the select list.");
      k = ordinal - 1;
    } else if (e.kind == ExprKind::Column && e.name.size() == 1) {
      for (size_t i = 0; i < names.size() && k == names.size(); ++i)
        if (LowerName(names[i]) == LowerName(e.name[0])) k = i;
    }
    if (k == names.size() && !star)
      for (size_t i = 0; i < s.items.size() && k == names.size(); ++i)
        if (Canonical(*s.items[i].expr) == Canonical(e)) k = i;
    if (k == names.size()) refuse();
    std::string key = QuoteIdent(names[k]);
    if (IsTextual(types[k].cls)) key += std::string(" COLLATE ") + kCollation;
    keys += (keys.empty() ? "" : ", ") + key + (o.descending ? " DESC" : "");
  }
  std::string cols;
  for (size_t i = 0; i < names.size(); ++i) cols += (i ? ", " : "") + QuoteIdent(names[i]);
  ExprType t;
  const std::string n = Expression(*s.top, &t);
  return "SELECT " + cols + " FROM (SELECT *, rank() OVER (ORDER BY " + keys +
         ") AS \"__tie\" FROM (" + core + ")) WHERE \"__tie\" <= " + n + " ORDER BY \"__tie\"";
}

// The row count of OFFSET (zero or more) or FETCH (one or more): a number checked here, or an
// expression checked as the statement runs.
std::string Renderer::RowCount(const Expr& e, bool offset) {
  const Expr* literal = &e;
  bool negative = false;
  while (literal->kind == ExprKind::Unary && (literal->text == "-" || literal->text == "+") &&
         literal->args.size() == 1) {
    negative = negative != (literal->text == "-");
    literal = literal->args[0].get();
  }
  if (literal->kind == ExprKind::Literal && literal->literalKind == LiteralKind::Integer) {
    std::string digits = literal->text;
    if (digits.starts_with('-')) {
      negative = !negative;
      digits.erase(0, 1);
    }
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    if (offset && negative && !zero)
      throw SqlError(10742, "The offset specified in a OFFSET clause may not be negative.");
    if (!offset && (negative || zero))
      throw SqlError(10744,
                     "The number of rows provided for a FETCH clause must be greater then "
                     "zero.");
    return (negative ? "-" : "") + digits;
  }
  ExprType t;
  std::string sql = Expression(e, &t);
  if (t.cls != TypeClass::Int && t.cls != TypeClass::Unknown)
    throw SqlError(err::kUnsupported,
                   "The T-SQL feature 'OFFSET or FETCH of a non-integer' is not supported.");
  return "xf_row_count(" + sql + (offset ? ", 1)" : ", 0)");
}

Rendered Renderer::Select(const struct Select& s) {
  Rendered r;
  bool star = false;
  r.sql = Select(s, r.columnNames, r.columnTypes, star);
  r.hasStar = star;
  r.params = params_;
  return r;
}

Rendered Renderer::Query(const struct Select& s) {
  return Select(s);
}

Rendered Renderer::Scalar(const Expr& e) {
  Rendered r;
  ExprType t;
  r.sql = "SELECT " + Expression(e, &t);
  r.columnNames.push_back("");
  r.columnTypes.push_back(t);
  r.params = params_;
  return r;
}

Rendered Renderer::Condition(const Expr& e) {
  Rendered r;
  ExprType t;
  r.sql = "SELECT CASE WHEN " + Expression(e, &t) + " THEN 1 ELSE 0 END";
  r.params = params_;
  return r;
}

}  // namespace xfer::engine
