# The layout is tested through HTML pages, so its tests build documents with the reader.
target_link_libraries(${VEXA_TEST_TARGET} PRIVATE vexa_reader)
