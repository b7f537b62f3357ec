# One-line helpers for adding tests.
find_package(GTest REQUIRED)

# kbm_add_gtest(NAME SOURCES a.cpp b.cpp LIBS lib...)
function(kbm_add_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
endfunction()

# Sanitized tests stop at the first finding, leaks included.
set(KBM_SANITIZER_ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=1"
    "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")

# kbm_add_qtest(NAME SOURCES a.cpp LIBS lib... [X11]): a Qt Test class run on the offscreen
# platform. With X11 it runs a second time, as NAME_x11, on an X server (Xvfb) with a window
# manager (openbox), where title bars, frames, focus and timers behave as on a desktop
# (not in a sanitized build, which runs each test once).
function(kbm_add_qtest name)
    cmake_parse_arguments(ARG "X11" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test Qt6::Widgets)
    add_test(NAME ${name} COMMAND ${name})
    set(environment "QT_QPA_PLATFORM=offscreen")
    if(KBM_SANITIZE)
        list(APPEND environment ${KBM_SANITIZER_ENVIRONMENT})
    endif()
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${environment}")
    if(ARG_X11 AND NOT KBM_SANITIZE)
        add_test(NAME ${name}_x11 COMMAND ${PROJECT_SOURCE_DIR}/tests/x11/run-on-x.sh $<TARGET_FILE:${name}>)
        # Each run has its own display; one at a time keeps the two cores free for its timers.
        set_tests_properties(${name}_x11 PROPERTIES RESOURCE_LOCK x_server)
    endif()
endfunction()
