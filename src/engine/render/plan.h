// What a statement rendered, kept on its syntax node for the next run of the same node (a
// procedure's body, a loop, a batch sent again with other literals): the SQL, its columns, and
// where each parameter's value comes from. It is used again only while everything the render
// read is as it was: the current database, the version of each schema whose tables it looked
// at, the declared type of each variable and the length of each text literal it bound.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/ast.h"
#include "engine/render/render.h"

namespace xfer::engine {

struct RenderPlan {
  char use = 0;       // what the node was rendered as: a statement, a value or a condition
  Rendered rendered;  // parameters left empty: they are taken anew each run
  std::vector<ParamSource> params;
  std::vector<std::pair<std::string, long long>> schemaVersions;
  std::vector<std::pair<const Expr*, std::string>> pinned;  // literals that must keep their text
  std::string database;
  long long catalogEpoch = 0;
};

// The statement ready to run from a kept plan, or nothing when the plan no longer holds.
std::optional<Rendered> ReusePlan(const RenderPlan& plan, char use, ConnectionState& conn);

}  // namespace xfer::engine
