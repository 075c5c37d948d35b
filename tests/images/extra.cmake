# libpng reads the reference pictures the decoders are compared against.
find_package(PNG REQUIRED)
target_link_libraries(${VEXA_TEST_TARGET} PRIVATE PNG::PNG ZLIB::ZLIB)
