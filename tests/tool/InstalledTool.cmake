# Installs the build into WORK_DIR, checks the installed tree, and runs the installed zobl-tool
# from another folder on a missing file: the message must come from the installed language file
# in share/zobl_ge, not the "__RTX__" of a missing one.
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${WORK_DIR}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed")
endif()
foreach(installed bin/zobl_ge bin/zobl-tool share/zobl_ge/zobl_ge.rtx share/zobl_ge/samples/sample.gs share/zobl_ge/help/index.html
                  share/man/man1/zobl_ge.1.gz share/man/man1/zobl-tool.1.gz)
    if(NOT EXISTS "${WORK_DIR}/${installed}")
        message(FATAL_ERROR "not installed: ${installed}")
    endif()
endforeach()
if(EXISTS "${WORK_DIR}/bin/zobl_ge.rtx")
    message(FATAL_ERROR "the language file belongs in share/zobl_ge, not in bin")
endif()
execute_process(COMMAND "${WORK_DIR}/bin/zobl-tool" info "${WORK_DIR}/missing.gs"
                WORKING_DIRECTORY /
                RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_VARIABLE out)
if(NOT rc EQUAL 1)
    message(FATAL_ERROR "expected exit status 1, got ${rc}: ${err}")
endif()
if(err MATCHES "__RTX__" OR NOT err MATCHES "missing.gs")
    message(FATAL_ERROR "the installed tool did not find its language file: ${err}")
endif()
if(NOT EXISTS "${WORK_DIR}/share/bash-completion/completions/zobl-tool")
    message(FATAL_ERROR "the bash completion of zobl-tool was not installed")
endif()
message(STATUS "installed tool said: ${err}")
