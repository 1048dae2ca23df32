// Fuzz target: any bytes given to the parser must yield a tree or a SqlError with one of the
// parser's error numbers, never a crash, a hang or another exception.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/error.h"
#include "engine/parse/parser.h"

namespace {

bool IsParserError(int number) {
  switch (number) {
    case 102:
    case 105:
    case 111:
    case 113:
    case 156:
    case 191:
    case xfer::engine::err::kUnsupported:
      return true;
    default:
      return false;
  }
}

void CheckError(const xfer::engine::SqlError& e) {
  if (!IsParserError(e.number()) || e.message().empty() || e.line() < 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    xfer::engine::Batch batch = xfer::engine::ParseBatch(text);
    for (const auto& s : batch.statements) {
      if (!s || s->endOffset > size || s->pos.offset > s->endOffset) std::abort();
    }
  } catch (const xfer::engine::SqlError& e) {
    CheckError(e);
  }
  try {
    xfer::engine::ExprPtr e = xfer::engine::ParseExpression(text);
    if (!e) std::abort();
  } catch (const xfer::engine::SqlError& e) {
    CheckError(e);
  }
  return 0;
}
