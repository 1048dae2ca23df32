// The declared spelling of a type, as catalog views and COL_LENGTH report it.
#include <string>

#include "engine/ast.h"

namespace xfer::engine {

std::string TypeName::Text() const {
  if (length == -2) return name + "(max)";
  if (length >= 0) return name + "(" + std::to_string(length) + ")";
  if (precision >= 0 && scale >= 0) {
    return name + "(" + std::to_string(precision) + ", " + std::to_string(scale) + ")";
  }
  if (precision >= 0) return name + "(" + std::to_string(precision) + ")";
  return name;
}

}  // namespace xfer::engine
