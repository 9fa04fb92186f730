# Shared build helpers: warning sets and one static library per core folder.

set(WIRTUALON_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Werror=switch -Werror=return-type)
set(WIRTUALON_CORE_WARNINGS ${WIRTUALON_WARNINGS} -Wconversion -Wsign-conversion)
if(WIRTUALON_WERROR)
    list(APPEND WIRTUALON_WARNINGS -Werror)
    list(APPEND WIRTUALON_CORE_WARNINGS -Werror)
endif()

# A core library: every .cpp of its folder, plain C++ without Qt, includes rooted at the
# repository.
function(wirtualon_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(sources)
        add_library(${name} STATIC ${sources} ${headers})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_compile_options(${name} PRIVATE ${WIRTUALON_CORE_WARNINGS})
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()
