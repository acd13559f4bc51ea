# SPDX-License-Identifier: LGPL-2.1-or-later
# SPDX-FileCopyrightText: 2026 The libkzelvaworkarea developers
#
# kz_add_test(<source> LIBS <libs...> [LABEL <label>] [TIMEOUT <s>] [ENV <k=v>...]
#             [GTEST] [SERIAL] [SOURCES <more sources>])
# Builds one test executable per source file (tst_<class>.cpp -> tst_<class>)
# and registers it with CTest. Every test runs with the offscreen platform
# and with a profile of its own (KZELVA_PROFILE_DIR, XDG_* and HOME point
# into the build tree), so nothing ever touches the real home directory.
# The runtime directory lives under /tmp because Unix socket paths are short.

function(kz_add_test source)
    cmake_parse_arguments(ARG "GTEST;SERIAL" "LABEL;TIMEOUT" "LIBS;ENV;SOURCES" ${ARGN})
    get_filename_component(name ${source} NAME_WE)
    if(NOT ARG_LABEL)
        get_filename_component(dir ${CMAKE_CURRENT_SOURCE_DIR} NAME)
        set(ARG_LABEL ${dir})
    endif()
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_executable(${name} ${source} ${ARG_SOURCES})
    target_compile_definitions(${name} PRIVATE KZELVAWORKAREA_STATIC_DEFINE
        KZ_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    if(ARG_GTEST)
        target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main)
    else()
        target_link_libraries(${name} PRIVATE Qt5::Test)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    kz_test_environment(${name} env)
    list(APPEND env ${ARG_ENV})
    set_tests_properties(${name} PROPERTIES LABELS ${ARG_LABEL} TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "${env}")
    if(ARG_SERIAL)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
endfunction()

# Fills <out> with the environment of a test named <name>.
function(kz_test_environment name out)
    string(MD5 tag "${CMAKE_BINARY_DIR}")
    string(SUBSTRING "${tag}" 0 8 tag)
    set(profile ${CMAKE_BINARY_DIR}/test-profiles/${name})
    set(env QT_QPA_PLATFORM=offscreen
        KZ_BIN_DIR=${CMAKE_BINARY_DIR}/bin KZ_LIB_DIR=${CMAKE_BINARY_DIR}/lib
        KZ_SOURCE_DIR=${PROJECT_SOURCE_DIR}
        KZELVA_PROFILE_DIR=${profile} HOME=${profile}/home
        XDG_CONFIG_HOME=${profile}/config XDG_CACHE_HOME=${profile}/cache
        XDG_RUNTIME_DIR=/tmp/kzrt-${tag}-${name})
    if(KZ_SANITIZE)
        # Leaks are not checked: Qt, D-Bus and QtWebEngine keep allocations
        # to process exit that are no leaks of ours.
        list(APPEND env ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
                        UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)
    endif()
    set(${out} ${env} PARENT_SCOPE)
endfunction()

# kz_add_xvfb_test(<source> LIBS <libs...> LABELS <labels...> [XVFB_ARGS <args...>])
# A QtWebEngine test: built like any test, run under xvfb-run on the xcb
# platform with the web engine's sandbox off (tests run as root). Without
# xvfb-run it is built but not run.
function(kz_add_xvfb_test source)
    cmake_parse_arguments(ARG "" "" "LIBS;LABELS;XVFB_ARGS" ${ARGN})
    get_filename_component(name ${source} NAME_WE)
    add_executable(${name} ${source})
    target_compile_definitions(${name} PRIVATE KZELVAWORKAREA_STATIC_DEFINE
        KZ_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/data")
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt5::WebEngineWidgets Qt5::Test)
    find_program(KZ_XVFB_RUN xvfb-run)
    if(NOT KZ_XVFB_RUN)
        message(STATUS "xvfb-run not found: ${name} is built but not run")
        return()
    endif()
    add_test(NAME ${name} COMMAND ${KZ_XVFB_RUN} -a ${ARG_XVFB_ARGS} $<TARGET_FILE:${name}>)
    kz_test_environment(${name} env)
    list(REMOVE_ITEM env QT_QPA_PLATFORM=offscreen)
    list(APPEND env QT_QPA_PLATFORM=xcb QTWEBENGINE_DISABLE_SANDBOX=1
        "QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu --no-sandbox")
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}" TIMEOUT 120 ENVIRONMENT "${env}")
endfunction()
