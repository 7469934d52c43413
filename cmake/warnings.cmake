# The warnings our own code builds with, on a target of their own that each of our targets links
# PRIVATE: they then reach exactly the sources we write. A library that links them does not hand them
# on to whoever links it, and the libraries we build against come in as system headers (Qt's,
# GoogleTest's, cpp-httplib's and FFmpeg's imported targets and /usr/include), whose warnings are not
# ours to mend. KF_WERROR makes them errors, as `make test` and CI build.
add_library(kf_warnings INTERFACE)
target_compile_options(kf_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wformat=2
  -Wnull-dereference
  $<$<BOOL:${KF_WERROR}>:-Werror>)
