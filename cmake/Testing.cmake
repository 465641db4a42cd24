# scantora_add_gtest(<target> SOURCES <files...> LIBS <libs...> [FIXTURES <names...>] [ENV <k=v>]
#                    [PREFIX <text>] [TIMEOUT <seconds>])
# Builds one GoogleTest executable and registers each of its tests with ctest (their names led by
# PREFIX, for a second build of the same tests). TIMEOUT bounds each test where a device or
# another process could stop answering.
include(GoogleTest)
find_package(GTest REQUIRED)

set(SCANTORA_FIXTURE_DIR ${CMAKE_BINARY_DIR}/fixtures)

function(scantora_add_gtest target)
    cmake_parse_arguments(ARG "" "PREFIX;TIMEOUT" "SOURCES;LIBS;FIXTURES;ENV" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${target} PRIVATE
        TEST_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
        TEST_FIXTURE_DIR="${SCANTORA_FIXTURE_DIR}"
        TEST_BINARY_DIR="${CMAKE_BINARY_DIR}")
    # Discovered tests take their properties as one flat list, so a list value cannot pass
    # through: several fixtures are joined by a step that requires them all.
    set(props "")
    list(LENGTH ARG_FIXTURES fixture_count)
    if(fixture_count EQUAL 1)
        list(APPEND props FIXTURES_REQUIRED ${ARG_FIXTURES})
    elseif(fixture_count GREATER 1)
        list(JOIN ARG_FIXTURES "+" joined)
        if(NOT TEST fixture_${joined})
            add_test(NAME fixture_${joined} COMMAND ${CMAKE_COMMAND} -E true)
            set_tests_properties(fixture_${joined} PROPERTIES FIXTURES_REQUIRED "${ARG_FIXTURES}"
                                 FIXTURES_SETUP ${joined})
        endif()
        list(APPEND props FIXTURES_REQUIRED ${joined})
    endif()
    if(ARG_ENV)
        list(LENGTH ARG_ENV env_count)
        if(env_count GREATER 1)
            message(FATAL_ERROR "${target}: discovered tests carry one ENV assignment at most")
        endif()
        list(APPEND props ENVIRONMENT ${ARG_ENV})
    endif()
    if(ARG_TIMEOUT)
        list(APPEND props TIMEOUT ${ARG_TIMEOUT})
    endif()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                         TEST_PREFIX "${ARG_PREFIX}" PROPERTIES ${props})
endfunction()

# scantora_add_fixture(<name> <script> [args...])
# Registers a ctest step that generates fixtures into ${SCANTORA_FIXTURE_DIR}/<name> with real
# tools (zint, libtiff's tools, ImageMagick, cjpeg); tests that need them name it in FIXTURES.
function(scantora_add_fixture name script)
    add_test(NAME fixture_${name}
             COMMAND ${script} ${SCANTORA_FIXTURE_DIR}/${name} ${ARGN})
    set_tests_properties(fixture_${name} PROPERTIES FIXTURES_SETUP ${name}
                         ENVIRONMENT "PIXDOC_BIN=${CMAKE_BINARY_DIR}/tools")
endfunction()
