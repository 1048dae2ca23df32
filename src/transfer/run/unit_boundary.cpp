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

}  // namespace

void UnitCommitted() {
  static const Pipe pipe = OpenPipe();
  if (pipe.out < 0 || pipe.in < 0) return;
  char answer = 0;
  if (::write(pipe.out, "unit\n", 5) != 5) return;
  // The test answers once it has read the databases; an end of file lets the run go on too.
  [[maybe_unused]] ssize_t n = ::read(pipe.in, &answer, 1);
}

}  // namespace xfer::transfer
