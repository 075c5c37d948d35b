# Reference decoders that the picture benchmarks compare against.
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
if(TARGET bench_images_bench)
  target_link_libraries(bench_images_bench PRIVATE PNG::PNG GIF::GIF)
endif()
