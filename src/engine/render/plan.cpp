// Reusing a kept render: checks that what it read still holds, then takes each parameter anew.
#include "engine/render/plan.h"

#include "engine/conn_state.h"

namespace xfer::engine {

namespace {

bool SameType(const TypeName& a, const TypeName& b) {
  return a.name == b.name && a.length == b.length && a.precision == b.precision &&
         a.scale == b.scale;
}

size_t Chars(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
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
      if (Chars(p.literal->text) != p.length) return std::nullopt;
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
