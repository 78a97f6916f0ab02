# carnetto_layer_check(lib)
# Static libraries hide a wrong dependency: a window that calls into a sibling folder's window still
# links, because the executable happens to link that sibling too. The check links every object of
# `lib` into an empty program together with only the libraries `lib` declares, so a call to anything
# undeclared is an undefined symbol and the build fails.
function(carnetto_layer_check lib)
    set(main ${CMAKE_CURRENT_BINARY_DIR}/${lib}_layer_check.cpp)
    if(NOT EXISTS ${main})
        file(WRITE ${main} "int main() { return 0; }\n")
    endif()
    add_executable(${lib}_layer_check ${main})
    target_link_libraries(${lib}_layer_check PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${lib}>")
endfunction()
