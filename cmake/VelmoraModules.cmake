# velmora_module(<target> <folder>)
# A module's link target: the project's defaults, and a check, run whenever a
# source of the module changes, that the module includes headers only of its
# own folder and of the modules below it. Its link libraries say the same to
# the linker: a module links only what is below it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
include(${CMAKE_CURRENT_LIST_DIR}/VelmoraCoverage.cmake)

# Header folders each module may include, from the bottom up; "!" marks a
# subfolder that is a module of its own out of reach (one above, or one beside
# it).
set(VELMORA_LAYERS_runtime runtime/)
set(VELMORA_LAYERS_ui runtime/ ui/ ui/units/! ui/drag_drop/!)
set(VELMORA_LAYERS_ui/units runtime/ ui/ ui/drag_drop/!)
set(VELMORA_LAYERS_ui/drag_drop runtime/ ui/ ui/units/!)
set(VELMORA_LAYERS_net runtime/ net/)
set(VELMORA_LAYERS_app runtime/ ui/ net/ app/)

function(velmora_module target folder)
  velmora_target_defaults(${target})
  velmora_coverage(${target})
  # Nothing unwinds through a window procedure, a COM method or a command:
  # an allocation that fails goes to the run-time error reporter instead.
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions>)
  get_target_property(sources ${target} SOURCES)
  set(files)
  foreach(source ${sources})
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    if(path MATCHES "\\.(cpp|h)$")
      list(APPEND files ${path})
    endif()
  endforeach()
  # Headers are checked with the sources beside them, but for those of a
  # subfolder that is a module of its own.
  file(GLOB_RECURSE headers ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header ${headers})
    get_filename_component(directory ${header} DIRECTORY)
    set(own TRUE)
    while(NOT directory STREQUAL CMAKE_CURRENT_SOURCE_DIR)
      if(EXISTS ${directory}/CMakeLists.txt)
        set(own FALSE)
      endif()
      get_filename_component(directory ${directory} DIRECTORY)
    endwhile()
    if(own)
      list(APPEND files ${header})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES files)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.layers)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/check_layers.py
      ${stamp} ${folder} ${VELMORA_LAYERS_${folder}} -- ${files}
    DEPENDS ${files} ${PROJECT_SOURCE_DIR}/tools/check_layers.py
    COMMENT "Checking the includes of module ${folder}"
    VERBATIM)
  add_custom_target(${target}_layers DEPENDS ${stamp})
  add_dependencies(${target} ${target}_layers)
endfunction()
