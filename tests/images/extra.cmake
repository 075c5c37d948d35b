# libpng reads the reference pictures; the picture cache and loaders live in the reader library.
find_package(PNG REQUIRED)
target_link_libraries(${VEXA_TEST_TARGET} PRIVATE PNG::PNG ZLIB::ZLIB vexa_reader)
