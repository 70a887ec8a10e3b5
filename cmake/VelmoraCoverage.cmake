# VELMORA_COVERAGE (make coverage): the modules' own sources are compiled
# with gcov's counters; test programs, tools and the prebuilt dependencies
# are not. Every executable that links a module links libgcov and the exit
# hook below with it.
option(VELMORA_COVERAGE "Compile the modules with gcov counters" OFF)

if(VELMORA_COVERAGE)
  # The program and the test programs end with ExitProcess, which runs no
  # atexit handler: without this hook libgcov would write nothing for them.
  add_library(velmora_coverage_exit_hook STATIC ${CMAKE_CURRENT_LIST_DIR}/coverage/exit_hook.cpp)
  velmora_target_defaults(velmora_coverage_exit_hook)
endif()

# velmora_coverage(<module target>)
function(velmora_coverage target)
  if(NOT VELMORA_COVERAGE)
    return()
  endif()
  # At the build type's optimisation: at -O0 the picture placement's x87
  # arithmetic rounds otherwise, and the tests would check other code.
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:--coverage>)
  # Nothing names the hook: the undefined symbol pulls it from its archive.
  target_link_libraries(${target} INTERFACE velmora_coverage_exit_hook)
  target_link_options(${target} INTERFACE --coverage LINKER:--undefined=_velmora_coverage_exit_hook)
endfunction()
