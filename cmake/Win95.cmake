# Helpers shared by the project's CMake files.

if(WIN32)
    # The runtime is linked statically: WIN95.dll and the test programs depend
    # on no MinGW runtime DLL. Every function in a section of its own, so
    # that the DLL's link drops what no export reaches (data stays in the
    # common sections: with sections of their own, MinGW's GCC puts
    # zero-initialised tables into .data, where they take room in the file);
    # debug information always (the shipped DLL carries it in a separate
    # file).
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_options(-g -ffunction-sections)
    set(WIN95_DLL_CODE_OPTIONS -march=i486 -mtune=generic -Os -fno-exceptions
        -fno-asynchronous-unwind-tables)
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
    if(WIN32 AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
        # The code of WIN95.dll: for the 486 and later, the processors
        # Windows 95 runs on (the compiler's default, the Pentium Pro, would
        # use instructions a Pentium lacks); optimised for size whatever the
        # build type; without exception or unwind tables, since nothing in it
        # throws (results are codes, allocations are nothrow), debuggers
        # unwind through the debug information.
        target_compile_options(${name} PRIVATE ${WIN95_DLL_CODE_OPTIONS})
    endif()
endfunction()

function(win95_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    target_compile_definitions(${target} PUBLIC WIN95_BUILDING)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/include)
endfunction()

# A GoogleTest program, registered with CTest (run under Wine in the win32
# build through CMAKE_CROSSCOMPILING_EMULATOR). SHARDS n registers it n
# times, as NAME.1 to NAME.n, each running its share of the tests
# (GoogleTest's sharding), so that a long program runs side by side with
# itself.
function(win95_test name)
    cmake_parse_arguments(T "" "SHARDS;COST" "SOURCES;LIBRARIES;LABELS" ${ARGN})
    # COST: about how many seconds the suite (each shard) takes under Wine;
    # ctest -j starts the costly ones first, so they do not end a run alone.
    if(NOT T_COST)
        set(T_COST 0)
    endif()
    win95_posix_threads(ON)
    add_executable(${name} ${T_SOURCES})
    win95_target_defaults(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBRARIES} GTest::gmock GTest::gtest_main)
    if(WIN32)
        add_dependencies(${name} WIN95)
    endif()
    if(NOT T_SHARDS)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 900 LABELS "${T_LABELS}" COST ${T_COST})
        return()
    endif()
    foreach(shard RANGE 1 ${T_SHARDS})
        math(EXPR index "${shard} - 1")
        add_test(NAME ${name}.${shard} COMMAND ${name})
        set_tests_properties(${name}.${shard} PROPERTIES TIMEOUT 900 LABELS "${T_LABELS}"
            COST ${T_COST} ENVIRONMENT "GTEST_TOTAL_SHARDS=${T_SHARDS};GTEST_SHARD_INDEX=${index}")
    endforeach()
endfunction()

# Targets created after this macro (in the calling directory and below) are
# compiled and linked with the posix thread model compilers, which GoogleTest
# and the test programs need; win95_posix_threads(OFF) ends that. No effect
# outside the win32 build.
macro(win95_posix_threads on)
    if(WIN32)
        foreach(var C_COMPILER CXX_COMPILER C_LINKER CXX_LINKER)
            if(${on})
                set(CMAKE_${var}_LAUNCHER ${WIN95_POSIX_LAUNCHER})
            else()
                unset(CMAKE_${var}_LAUNCHER)
            endif()
        endforeach()
    endif()
endmacro()
