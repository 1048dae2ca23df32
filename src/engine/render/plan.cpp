// Reusing a kept render: checks that what it read still holds, then takes each parameter anew.
#include "engine/render/plan.h"

#include "engine/conn_state.h"
#include "engine/func/func_common.h"

namespace xfer::engine {

namespace {

bool SameType(const TypeName& a, const TypeName& b) {
  return a.name == b.name && a.length == b.length && a.precision == b.precision &&
         a.scale == b.scale;
}

}  // namespace

std::optional<Rendered> ReusePlan(const RenderPlan& plan, char use, ConnectionState& conn) {
  if (plan.use != use || conn.currentDatabase() != plan.database ||
      conn.catalogEpoch() != plan.catalogEpoch)
    return std::nullopt;
  for (const auto& [literal, text] : plan.pinned)
    if (literal->text != text) return std::nullopt;
  for (const auto& [schema, version] : plan.schemaVersions)
    if (conn.SchemaVersion(schema) != version) return std::nullopt;
  Rendered r = plan.rendered;
  r.params.reserve(plan.params.size());
  const auto& vars = conn.frame().vars;
  for (const ParamSource& p : plan.params) {
    if (p.kind == ParamSource::Kind::Literal) {
      // A literal's length is part of its type, and so of the checks rendered around it.
      if (func::CharCount(p.literal->text) != p.length) return std::nullopt;
      r.params.emplace_back(p.literal->text);
      continue;
    }
    auto it = vars.find(p.variable);
    if (it == vars.end() || !SameType(it->second.type, p.type)) return std::nullopt;
    r.params.push_back(it->second.value);
  }
  return r;
}

}  // namespace xfer::engine
