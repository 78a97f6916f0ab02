# carnetto_add_test(TestName [SOURCES extra.h ...] LIBS lib ... [LABEL label] [TIMEOUT seconds])
# One program per test class: TestName.cpp holds the class TestName, and the program has its name.
# Every test runs headless with a time limit, so a modal box that slips through fails the run
# instead of hanging it.
function(carnetto_add_test name)
    cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_LABEL)
        get_filename_component(T_LABEL ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    endif()
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    add_executable(${name} ${name}.cpp ${T_SOURCES})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        LABELS "${T_LABEL}"
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
