# The picture and remote-control helper that scripts/run uses on a virtual display.
add_executable(screen_helper ${CMAKE_CURRENT_SOURCE_DIR}/tools/screen_helper.cpp)
target_link_libraries(screen_helper PRIVATE tenvara_flags user32 gdi32)
