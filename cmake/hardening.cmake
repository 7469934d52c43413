# The hardening Debian builds its packages with, taken from dpkg-buildflags so that it follows the
# release the package is built on: fortified libc calls, a stack protector, format checks, and
# read-only relocations bound at start. Debian's optimisation, debug and path-mapping flags are left
# to the build type. The sanitizer and fuzzing builds stay without it: fortified calls hide what
# their checks look for, and it needs an optimised build.
if(KF_SANITIZE OR KF_SANITIZE_THREAD OR KF_FUZZ OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  return()
endif()
find_program(KF_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT KF_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: built without Debian's hardening")
  return()
endif()

function(kf_debian_flags kind out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all ${KF_DPKG_BUILDFLAGS}
                          --get ${kind}
                  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^(-g.*|-O.*|-ffile-prefix-map=.*|-fdebug-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

kf_debian_flags(CPPFLAGS cppflags)
kf_debian_flags(CXXFLAGS cxxflags)
kf_debian_flags(LDFLAGS ldflags)
add_compile_options(${cppflags} ${cxxflags})
add_link_options(${ldflags})
