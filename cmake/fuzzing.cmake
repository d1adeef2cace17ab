# The fuzz builds, Clang only: KESTRO_FUZZ instruments everything for
# libFuzzer (the fuzz preset adds the sanitizers), KESTRO_COVERAGE builds
# with source-based coverage, so `make fuzz` can tell which lines the
# corpora reach.
option(KESTRO_FUZZ "Build the fuzz targets as libFuzzer programs (Clang)" OFF)
option(KESTRO_COVERAGE "Build with Clang's source-based coverage" OFF)

if((KESTRO_FUZZ OR KESTRO_COVERAGE) AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KESTRO_FUZZ and KESTRO_COVERAGE need Clang")
endif()
if(KESTRO_FUZZ)
  # The code under test feeds the fuzzer its coverage; only the targets
  # link libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(KESTRO_COVERAGE)
  add_compile_options(-fprofile-instr-generate -fcoverage-mapping)
  add_link_options(-fprofile-instr-generate)
endif()
