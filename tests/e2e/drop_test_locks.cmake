# Included by ctest after the drop tests are discovered. They need two locks,
# and gtest_discover_tests splits a list-valued property into separate words.
set_tests_properties(${app_drop_tests_TESTS} PROPERTIES RESOURCE_LOCK "velmora;mouse")
