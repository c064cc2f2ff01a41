# Start-up as the user sees it (bench/startup.sh): firstpaint starts a program
# and times it from its exec to its first paint received by the X server;
# startup_minimal is the yardstick window it is held against. Built for the
# benchmarks, and for the tests, which check the watcher itself.
if(PLOVISTA_BENCH)
    pkg_check_modules(XDAMAGE REQUIRED IMPORTED_TARGET x11 xdamage)
else()
    pkg_check_modules(XDAMAGE IMPORTED_TARGET x11 xdamage)
endif()
if(XDAMAGE_FOUND)
    add_executable(firstpaint ${CMAKE_CURRENT_LIST_DIR}/firstpaint.cpp)
    target_link_libraries(firstpaint PRIVATE PkgConfig::XDAMAGE)
    add_executable(startup_minimal ${CMAKE_CURRENT_LIST_DIR}/startup_minimal.cpp)
    target_link_libraries(startup_minimal PRIVATE Qt6::Widgets)
    # Where bench/startup.sh looks for them.
    set_target_properties(firstpaint startup_minimal PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
    if(PLOVISTA_TESTS)
        # The watcher itself, under Xvfb with no window manager and with openbox.
        add_test(NAME test_firstpaint COMMAND ${PROJECT_SOURCE_DIR}/tests/bench/test_firstpaint.sh
                                              $<TARGET_FILE:firstpaint> $<TARGET_FILE:startup_minimal>)
        set_tests_properties(test_firstpaint PROPERTIES TIMEOUT 180 SKIP_RETURN_CODE 77 RESOURCE_LOCK xvfb-run)
        plovista_leak_suppressions(test_firstpaint)
    endif()
endif()
