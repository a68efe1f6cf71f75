# Helpers shared by the project's CMake files.

if(WIN32)
    # The runtime is linked statically: WIN95.dll and the test programs depend
    # on no MinGW runtime DLL.
    add_link_options(-static -static-libgcc -static-libstdc++)
else()
    option(WIN95_SANITIZE "Build the native tests with ASan and UBSan" ON)
    if(WIN95_SANITIZE)
        add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                            -fno-sanitize-recover=all)
        add_link_options(-fsanitize=address,undefined)
    endif()
endif()

# A static library of the project: warnings on, the repository root and the
# SDK headers on the include path.
function(win95_library name)
    add_library(${name} STATIC ${ARGN})
    win95_target_defaults(${name})
endfunction()

function(win95_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_compile_definitions(${target} PUBLIC WIN95_BUILDING)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
endfunction()

# A GoogleTest program, registered with CTest (run under Wine in the win32
# build through CMAKE_CROSSCOMPILING_EMULATOR).
function(win95_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    win95_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBRARIES} GTest::gmock GTest::gtest_main)
    if(WIN32)
        add_dependencies(${name} WIN95)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 900 LABELS "${T_LABELS}")
endfunction()
