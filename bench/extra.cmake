# Reference decoders that the picture benchmarks compare against.
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
if(TARGET bench_images_bench)
  target_link_libraries(bench_images_bench PRIVATE PNG::PNG GIF::GIF)
endif()
# The picture benchmarks write their GIF files with the picture tests' helpers.
if(TARGET bench_pictures_bench)
  target_sources(bench_pictures_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/images/picture_helpers.cpp)
  target_link_libraries(bench_pictures_bench PRIVATE PNG::PNG ZLIB::ZLIB)
  target_compile_definitions(bench_pictures_bench PRIVATE VEXA_TESTDATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
endif()
