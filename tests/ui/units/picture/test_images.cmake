# The image decoder tests' pictures and their reference pixels, made natively
# (ImageMagick, netpbm, Debian's libpng and libjpeg-turbo sources) into
# tests/images beside tests/bin.
set(VELMORA_TEST_IMAGES ${CMAKE_BINARY_DIR}/tests/images)
add_custom_command(
  OUTPUT ${VELMORA_TEST_IMAGES}/manifest.txt
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-test-images.py
          ${VELMORA_TEST_IMAGES}
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-test-images.py
  COMMENT "Making the image decoder test pictures"
  VERBATIM)
add_custom_target(velmora_test_images DEPENDS ${VELMORA_TEST_IMAGES}/manifest.txt)
add_dependencies(units_tests velmora_test_images)
