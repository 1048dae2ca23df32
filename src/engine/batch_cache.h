// Parsed batches kept for reuse. Dynamic SQL and client batches are often the same statement
// again with other text literals (one per account, per document): such a text is not parsed
// again; the kept tree gets the new literals in place and runs as it is. Texts that keep a
// piece of themselves (procedure and view definitions) are parsed every time.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/ast.h"

namespace xfer::engine {

class BatchCache {
 public:
  // A parsed batch, held by the caller while it runs: a text of the same shape arriving
  // meanwhile (a procedure's dynamic SQL calling itself) gets a tree of its own.
  class Lease {
   public:
    Lease() = default;
    Lease(Lease&& o) noexcept;
    Lease& operator=(Lease&&) = delete;
    Lease(const Lease&) = delete;
    ~Lease();
    const Batch& operator*() const { return *batch_; }
    const Batch* operator->() const { return batch_.get(); }

   private:
    friend class BatchCache;
    std::shared_ptr<Batch> batch_;
    std::shared_ptr<int> busy_;  // leases of the kept tree now running
  };

  explicit BatchCache(size_t capacity = 256);
  ~BatchCache();
  BatchCache(const BatchCache&) = delete;
  BatchCache& operator=(const BatchCache&) = delete;
  // The tree of `text`: kept, or parsed now. Throws SqlError for a syntax error.
  Lease Parse(std::string_view text);

 private:
  struct Entry;
  size_t capacity_;
  std::unordered_map<std::string, std::unique_ptr<Entry>> entries_;
};

}  // namespace xfer::engine
