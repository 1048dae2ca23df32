// Static types of expressions, derived from declared column types, literals, casts and
// function result rules. The renderer needs them for SQL Server's `+` (concatenate or add),
// for collation of comparisons and for the column types SELECT ... INTO creates.
#pragma once

#include <string>

#include "engine/ast.h"
#include "engine/value.h"

namespace xfer::engine {

enum class TypeClass {
  Unknown,   // not known until run time (the renderer then asks a run-time helper)
  Null,      // the NULL literal
  Int,       // tinyint, smallint, int, bigint, bit
  Float,     // float, real
  Decimal,   // numeric, decimal, money
  String,    // char, varchar, nchar, nvarchar
  Text,      // text, ntext
  Blob,      // binary, varbinary, image
  DateTime,  // datetime, smalldatetime, date
};

struct ExprType {
  TypeClass cls = TypeClass::Unknown;
  TypeName declared;      // the type a new column would get; empty name when unknown
  int literalDigits = 0;  // an integer literal's digits: its precision as a decimal operand
};

// Precision and scale of an exact numeric type as SQL Server's decimal arithmetic sees it:
// int is decimal(10, 0), money decimal(19, 4), numeric without arguments decimal(18, 0).
struct DecimalShape {
  int precision = 18;
  int scale = 0;
};
DecimalShape ShapeOf(const ExprType& t);
// A decimal or money whose values may pass fifteen digits, so that SQLite holds some as text.
inline bool WideDecimal(const ExprType& t) {
  return t.cls == TypeClass::Decimal && ShapeOf(t).precision > 15;
}

// Result type of `a op b` (+ - * / %) when neither side is a float and one is a decimal or
// money, by SQL Server's precision and scale rules, capped at 38 digits.
ExprType DecimalArithmetic(const ExprType& a, const ExprType& b, char op);

// The decimal type that holds both `a` and `b` (CASE, COALESCE, UNION).
ExprType DecimalUnion(const ExprType& a, const ExprType& b);

// numeric(p, s).
ExprType NumericType(int precision, int scale);

// Classifies a declared type name ("varchar", "int"...).
TypeClass ClassOf(const TypeName& t);

// Parses a declared type text as stored ("varchar(20)", "numeric(18, 2)") back into a name.
TypeName ParseTypeText(const std::string& text);

// The declared type as written into a SQLite table definition ((max) becomes (-1)).
std::string StoredTypeText(const TypeName& t);

// What a client sees for a column of this declared type: kind and size as SQL Server reports
// them (COL_LENGTH, syscolumns.length, ADO field size).
FieldKind KindOf(const TypeName& t);
int StorageLength(const TypeName& t);

}  // namespace xfer::engine
