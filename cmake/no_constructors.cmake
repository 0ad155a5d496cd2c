# Fails when one of OBJECTS (a list) holds what only the C runtime's start-up would run: static
# constructors or destructors (.ctors, .dtors, .init_array, .fini_array) or the runtime's
# initialiser tables (.CRT). A program linked without that start-up would silently skip them.
# Run as cmake -DOBJDUMP=... -DOBJECTS=... -P no_constructors.cmake.
set(found)
foreach(object IN LISTS OBJECTS)
    execute_process(COMMAND ${OBJDUMP} -h ${object} OUTPUT_VARIABLE headers
                    COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "[ \t]\\.(ctors|dtors|init_array|fini_array|CRT)[^ \t\n]*" sections
           "${headers}")
    if(sections)
        string(REPLACE "\t" "" sections "${sections}")
        string(REPLACE " " "" sections "${sections}")
        list(APPEND found "${object}: ${sections}")
    endif()
endforeach()
if(found)
    list(JOIN found "\n  " found)
    message(FATAL_ERROR "Sections that nothing runs without the C runtime's start-up:\n  ${found}")
endif()
