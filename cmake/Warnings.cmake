# Our own code builds warning-free; third-party code (GoogleTest, Benchmark) is not held to it.
add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Wnull-dereference -Werror
  # GCC 12 reports std::string concatenation falsely as overlapping copies (GCC bug 105329).
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)

# Tests use GoogleTest macros, which trip the stricter conversion warnings.
add_library(test_warnings INTERFACE)
target_compile_options(test_warnings INTERFACE -Wall -Wextra -Werror $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
