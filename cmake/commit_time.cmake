# Writes to OUTPUT the time that the build's dates stand for, and touches OUTPUT only when that
# time changes (cmake -P, at every build): SOURCE_DATE_EPOCH when set, as scripts/release.sh sets
# it, else the time of the commit checked out in SOURCE_DIR, so that a plain build dates its
# files as the release of that commit does.
set(time "$ENV{SOURCE_DATE_EPOCH}")
if(time STREQUAL "")
    execute_process(COMMAND git -C ${SOURCE_DIR} log -1 --format=%ct OUTPUT_VARIABLE time
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed OR time STREQUAL "")
        message(FATAL_ERROR "${SOURCE_DIR} has no commit to take the time from: "
                            "set SOURCE_DATE_EPOCH")
    endif()
endif()
set(written "")
if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} written)
endif()
if(NOT written STREQUAL "${time}\n")
    file(WRITE ${OUTPUT} "${time}\n")
endif()
