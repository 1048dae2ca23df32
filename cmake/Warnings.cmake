# Our own targets build with warnings as errors; system headers (Qt, GoogleTest) are
# included as SYSTEM by their imported targets, so they do not trip this.
function(xfer_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wnon-virtual-dtor -Wimplicit-fallthrough -Werror)
endfunction()
