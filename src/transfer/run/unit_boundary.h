// Unit boundaries as a crash test sees them. With XFER_UNIT_PIPE="<out fd>:<in fd>" in the
// environment, each unit that commits writes one line to the first descriptor and waits for one
// byte on the second, so that the test reads every database at rest between two units and
// learns the states a killed run may leave. Without it nothing happens.
#pragma once

namespace xfer::transfer {

// Called by the run mechanism after each unit's commit.
void UnitCommitted();
// Called where a run is at rest between steps of its own, such as the end of a scheduled tick:
// the same line and wait as after a commit.
void AtRest();

}  // namespace xfer::transfer
