#include "transfer/run/unit_boundary.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace xfer::transfer {
namespace {

struct Pipe {
  int out = -1;
  int in = -1;
};

Pipe OpenPipe() {
  Pipe p;
  if (const char* v = std::getenv("XFER_UNIT_PIPE")) std::sscanf(v, "%d:%d", &p.out, &p.in);
  return p;
}

void Boundary(const char* line, size_t size) {
  static const Pipe pipe = OpenPipe();
  if (pipe.out < 0 || pipe.in < 0) return;
  char answer = 0;
  if (::write(pipe.out, line, size) != static_cast<ssize_t>(size)) return;
  // The test answers once it has read the databases; an end of file lets the run go on too.
  [[maybe_unused]] ssize_t n = ::read(pipe.in, &answer, 1);
}

}  // namespace

void UnitCommitted() {
  Boundary("unit\n", 5);
}

void AtRest() {
  Boundary("rest\n", 5);
}

}  // namespace xfer::transfer
