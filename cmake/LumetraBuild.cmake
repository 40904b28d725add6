# What every target of the project shares: the build's options, its compile
# and link flags, and how a module names the headers it installs.

option(LUMETRA_TESTS "Build the test suite" ON)
option(LUMETRA_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(LUMETRA_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(LUMETRA_BENCH "Build the benchmarks" OFF)
# Warnings are errors in the development presets (CMakePresets.json); a
# distribution building with another compiler gets them as warnings.
option(LUMETRA_WERROR "Treat compiler warnings as errors" OFF)
option(LUMETRA_HARDEN "Build with the hardening flags of a Debian package" ON)
option(LUMETRA_COVERAGE "Build with gcov line coverage (tools/coverage)" OFF)

# The project's own compile and link options, set on each of its targets, so
# that a program built alongside (the gallery) or GoogleTest inherits none of
# them, but for the instrumentation: whatever links an instrumented library
# must link the runtime too.
include(CheckPIESupported)
check_pie_supported()
function(lumetra_options target)
  # A statement a line: clang names every comma operator outside a for header.
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<CXX_COMPILER_ID:Clang>:-Wcomma>
    $<$<BOOL:${LUMETRA_WERROR}>:-Werror>)
  set(instrument)
  if(LUMETRA_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    set(instrument -fsanitize=address,undefined)
  elseif(LUMETRA_SANITIZE)
    set(instrument -fsanitize=address,undefined)
  elseif(LUMETRA_HARDEN)
    # What dpkg-buildflags gives a package with hardening=+all: position
    # independent executables, the strong stack protector, checked string and
    # memory functions (they need the optimiser), and full RELRO with bind-now.
    # A distribution's own CPPFLAGS choice of _FORTIFY_SOURCE wins.
    set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_compile_options(${target} PRIVATE -fstack-protector-strong)
    if(NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
      target_compile_options(${target} PRIVATE $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    endif()
    target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
  endif()
  if(instrument)
    target_compile_options(${target} PRIVATE ${instrument} -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC $<BUILD_INTERFACE:${instrument}>)
  endif()
  if(LUMETRA_COVERAGE)
    target_compile_options(${target} PRIVATE --coverage)
    target_link_options(${target} PUBLIC $<BUILD_INTERFACE:--coverage>)
  endif()
endfunction()

# The headers of a toolkit module that a program using or subclassing the
# toolkit needs: installed under lumetra/<module>/. The module's other headers
# are its own.
function(lumetra_public_headers module)
  set(files ${ARGN})
  list(TRANSFORM files PREPEND ${PROJECT_SOURCE_DIR}/include/lumetra/${module}/)
  target_sources(lumetra_toolkit PUBLIC FILE_SET HEADERS FILES ${files})
endfunction()
