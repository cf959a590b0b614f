# One stand-in for the Windows 95/98/Me password libraries, built next to the
# tests as PASSWORD.CPL and copied to mpr.dll. --kill-at exports the stdcall
# functions under their plain names, as the system libraries do.
add_library(password_standin SHARED stubs/password_libraries.cpp)
target_link_libraries(password_standin PRIVATE tenvara_flags)
target_link_options(password_standin PRIVATE -Wl,--kill-at)
set_target_properties(password_standin PROPERTIES PREFIX "" OUTPUT_NAME PASSWORD SUFFIX .CPL)
add_custom_command(TARGET password_standin POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:password_standin> $<TARGET_FILE_DIR:password_standin>/mpr.dll)
add_dependencies(password_hooks_test password_standin)
# Wine prefers its own MPR.DLL unless told to take the one beside the test.
set_tests_properties(password_hooks_test PROPERTIES ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;mpr=n")
