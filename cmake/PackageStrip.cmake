# Run by CPack over its staging tree before it packs: strips the programs the way Debian's own
# package tools do, dropping also the compiler's .comment section, which plain strip keeps.
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(FILTER programs INCLUDE REGEX "/bin/[^/]+$")
foreach(program IN LISTS programs)
    execute_process(COMMAND ${CPACK_VBU_STRIP} --remove-section=.comment --remove-section=.note ${program}
        COMMAND_ERROR_IS_FATAL ANY)
endforeach()
