# Shared build helpers: warning sets and one static library per core folder.

set(WIRTUALON_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Werror=switch -Werror=return-type)
set(WIRTUALON_CORE_WARNINGS ${WIRTUALON_WARNINGS} -Wconversion -Wsign-conversion)
if(WIRTUALON_WERROR)
    list(APPEND WIRTUALON_WARNINGS -Werror)
    list(APPEND WIRTUALON_CORE_WARNINGS -Werror)
endif()

# The files of a folder matching `pattern`; a folder that holds none (renamed, deleted, moved)
# stops the configure step instead of silently leaving its target out.
function(wirtualon_sources out folder pattern)
    file(GLOB found CONFIGURE_DEPENDS ${folder}/${pattern})
    if(NOT found)
        message(FATAL_ERROR "No ${pattern} in ${folder}")
    endif()
    set(${out} ${found} PARENT_SCOPE)
endfunction()

# A core library: every .cpp of its folder, plain C++ without Qt, includes rooted at the
# repository; DEPENDS names exactly the core libraries whose headers it includes.
function(wirtualon_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    wirtualon_sources(sources ${CMAKE_CURRENT_SOURCE_DIR} *.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${WIRTUALON_CORE_WARNINGS})
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()
