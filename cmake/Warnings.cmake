# Our own targets build with warnings as errors; system headers (Qt, GoogleTest) are
# included as SYSTEM by their imported targets, so they do not trip this.
# GCC 12 reports bogus -Wrestrict inside libstdc++'s std::string at -O2 (GCC bug 105329) and
# bogus -Wmaybe-uninitialized through std::variant copies (GCC bug 80635).
function(xfer_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wnon-virtual-dtor -Wimplicit-fallthrough -Werror
                         $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict -Wno-maybe-uninitialized>)
endfunction()
