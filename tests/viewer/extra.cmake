# Picture tests write small GIF files with the picture tests' helpers.
target_sources(${VEXA_TEST_TARGET} PRIVATE ${PROJECT_SOURCE_DIR}/tests/images/picture_helpers.cpp)
find_package(PNG REQUIRED)
target_link_libraries(${VEXA_TEST_TARGET} PRIVATE PNG::PNG ZLIB::ZLIB)
