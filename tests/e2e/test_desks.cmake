# Included by ctest after the end-to-end tests are discovered; gtest_discover_tests
# splits a list-valued property into separate words, so the properties are set here.
# The program allows one copy per Wine session (a named mutex), drops move the
# one pointer, and a window the program opens may stand over one that a
# mouse-driven test clicks. With the desks of scripts/with-test-env.sh, each
# test takes a session and a display of its own; without, they run apart.
set(velmora_desk_tests ${app_drop_tests_TESTS} ${app_e2e_tests_TESTS} ${release_tests_TESTS})
if(DEFINED ENV{VELMORA_DESKS} AND NOT "$ENV{VELMORA_DESKS}" STREQUAL "")
  set_tests_properties(${velmora_desk_tests} PROPERTIES ENVIRONMENT "VELMORA_TAKE_DESK=1")
else()
  set_tests_properties(${velmora_desk_tests} PROPERTIES RESOURCE_LOCK "velmora;mouse")
endif()
