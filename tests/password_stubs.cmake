# Stand-ins for the Windows 95/98/Me password libraries, built next to the tests
# under the names the saver loads. Plain export names come from the .def files.
foreach(standin password_cpl mpr)
    add_library(${standin}_standin SHARED stubs/${standin}.cpp stubs/${standin}.def)
    target_compile_options(${standin}_standin PRIVATE -Wall -Wextra -Werror)
    # The .def names the undecorated stdcall exports; the fixup maps them quietly.
    target_link_options(${standin}_standin PRIVATE -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup)
    set_target_properties(${standin}_standin PROPERTIES PREFIX "")
    add_dependencies(password_hooks_test ${standin}_standin)
endforeach()
set_target_properties(password_cpl_standin PROPERTIES OUTPUT_NAME PASSWORD SUFFIX .CPL)
set_target_properties(mpr_standin PROPERTIES OUTPUT_NAME mpr)
# Wine prefers its own MPR.DLL unless told to take the one beside the test.
set_tests_properties(password_hooks_test PROPERTIES ENVIRONMENT "WINEDLLOVERRIDES=mscoree,mshtml=\\;mpr=n")
