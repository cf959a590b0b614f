# The release: packaging (reproducible, signed, refusing bad input) and the
# installer under Wine. Only the shipped 32-bit build is packaged.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    add_test(NAME release COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/release_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    set_tests_properties(release PROPERTIES TIMEOUT 900)
endif()
