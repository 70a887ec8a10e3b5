# velmora_window_templates(<target> <source.tpl> [SYMBOL name] [DATA_ONLY]
#                          [NAMES namespace] [NAMES_ONLY] [DEPENDS files...])
# Compiles a window-template source with tools/template_compiler.py and adds
# the generated segment (and, unless DATA_ONLY, the handler jump table that
# starts the application code) to the target. The generated header is
# <symbol>.h in the target's include path. NAMES also writes window_names.h
# (the named windows and units in that namespace) and window_names.txt (the
# same for scripts) there; NAMES_ONLY writes only those two.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(velmora_window_templates target source)
  cmake_parse_arguments(ARG "DATA_ONLY;NAMES_ONLY" "SYMBOL;NAMES" "DEPENDS" ${ARGN})
  if(NOT ARG_SYMBOL)
    set(ARG_SYMBOL g_templateData)
  endif()
  get_filename_component(source ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/templates_${target})
  set(command ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/template_compiler.py ${source}
      --cpp ${out}/${ARG_SYMBOL}.cpp --header ${out}/${ARG_SYMBOL}.h --symbol ${ARG_SYMBOL})
  set(outputs)
  set(sources)
  if(NOT ARG_NAMES_ONLY)
    list(APPEND outputs ${out}/${ARG_SYMBOL}.cpp ${out}/${ARG_SYMBOL}.h)
    list(APPEND sources ${out}/${ARG_SYMBOL}.cpp)
    if(NOT ARG_DATA_ONLY)
      list(APPEND outputs ${out}/handler_table.S)
      list(APPEND sources ${out}/handler_table.S)
      list(APPEND command --asm ${out}/handler_table.S)
    endif()
  endif()
  if(ARG_NAMES)
    list(APPEND outputs ${out}/window_names.h ${out}/window_names.txt)
    list(APPEND command --names ${out}/window_names.h --names-namespace ${ARG_NAMES}
         --names-text ${out}/window_names.txt)
  endif()
  # The compiler lays out each unit type's block from the .def list beside it.
  file(GLOB_RECURSE block_definitions CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/ui/*_block.def)
  add_custom_command(
    OUTPUT ${outputs}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
    COMMAND ${command}
    DEPENDS ${source} ${PROJECT_SOURCE_DIR}/tools/template_compiler.py ${block_definitions}
            ${ARG_DEPENDS}
    COMMENT "Compiling window templates ${source}"
    VERBATIM)
  target_sources(${target} PRIVATE ${sources})
  add_custom_target(${target}_templates DEPENDS ${outputs})
  add_dependencies(${target} ${target}_templates)
  target_include_directories(${target} PUBLIC ${out})
endfunction()
