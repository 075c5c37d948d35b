# Sheets are also tested as pages write them, so these tests build documents with the reader.
target_link_libraries(${VEXA_TEST_TARGET} PRIVATE vexa_reader)
