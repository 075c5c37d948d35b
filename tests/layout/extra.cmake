# The layout is tested through HTML pages, so its tests build documents with the reader.
target_link_libraries(${VEXA_TEST_TARGET} PRIVATE vexa_reader)
# Picture tests write small GIF and PNG files with the picture tests' helpers.
target_sources(${VEXA_TEST_TARGET} PRIVATE ${PROJECT_SOURCE_DIR}/tests/images/picture_helpers.cpp)
find_package(PNG REQUIRED)
target_link_libraries(${VEXA_TEST_TARGET} PRIVATE PNG::PNG ZLIB::ZLIB)
