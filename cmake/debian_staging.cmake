# Run by CPack on the staged install, just before the .deb is made: the Debian-only parts of the package.
set(root ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc_dir ${root}/share/doc/orvex)

# Debian keeps games' commands in /usr/games; the relative link still reaches ../lib/orvex/orvex.
file(MAKE_DIRECTORY ${root}/games)
file(RENAME ${root}/bin/orvex ${root}/games/orvex)
file(REMOVE_RECURSE ${root}/bin)

# Sections that a stripped binary still carries and that nothing at run time reads.
if(CPACK_STRIP_FILES)
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
                            ${root}/lib/orvex/orvex
                    COMMAND_ERROR_IS_FATAL ANY)
endif()

configure_file(${CPACK_ORVEX_DATA_DIR}/changelog.Debian.in ${doc_dir}/changelog.Debian @ONLY)
execute_process(COMMAND gzip -9n ${doc_dir}/changelog.Debian COMMAND_ERROR_IS_FATAL ANY)
file(MAKE_DIRECTORY ${root}/share/lintian/overrides)
file(COPY_FILE ${CPACK_ORVEX_DATA_DIR}/orvex.lintian-overrides ${root}/share/lintian/overrides/orvex)
