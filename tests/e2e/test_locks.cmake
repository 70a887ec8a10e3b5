# Included by ctest after the end-to-end tests are discovered; gtest_discover_tests
# splits a list-valued property into separate words, so the locks are set here.
# Drops move the one pointer; a window the program opens may stand over one
# that a mouse-driven test clicks. Either way they run apart from those tests.
set_tests_properties(${app_drop_tests_TESTS} ${app_e2e_tests_TESTS} ${release_tests_TESTS}
  PROPERTIES RESOURCE_LOCK "velmora;mouse")
