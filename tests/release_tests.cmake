# What ships, the 32-bit build only: TENVARA.scr examined as a file (by the
# x86_64 build's resource test, which scripts/test names), and the release:
# packaging (reproducible, signed, refusing bad input) and the installer.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(TENVARA_RESOURCE_READER ${CMAKE_SOURCE_DIR}/build-x86_64/bin/resources_test.exe CACHE FILEPATH "")
    add_test(NAME static COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/static_test.sh
        ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${CMAKE_OBJDUMP} ${TENVARA_RESOURCE_READER})
    add_test(NAME release COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/release_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    set_tests_properties(release PROPERTIES TIMEOUT 900)
endif()
