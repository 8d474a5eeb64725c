// Linked into every test program: no test records answers in the user's own store, also when
// a test program is run by hand rather than through ctest (which sets the same). A test that
// records names a store of its own, or sets its own environment.
#include <cstdlib>

namespace {

[[maybe_unused]] const int kNoProgress = ::setenv("TAVRIN_NO_PROGRESS", "1", 0);

}  // namespace
