# artargets(1) and its bash completion, made from the tool's own help once the tool is built
# (help2man, Debian's help2man package), so that neither can say other than the tool.
find_program(AR_HELP2MAN help2man)
set(AR_MAN_PAGE ${PROJECT_BINARY_DIR}/share/man/man1/artargets.1)
set(AR_COMPLETION ${PROJECT_BINARY_DIR}/share/bash-completion/completions/artargets)
set(AR_TOOL_RUNS artargets artargets_commands augmentedreality)  # what running the tool needs

add_custom_command(
  OUTPUT ${AR_COMPLETION}
  COMMAND ${PROJECT_SOURCE_DIR}/packaging/make-completion.sh $<TARGET_FILE:artargets>
          ${AR_COMPLETION}
  DEPENDS ${AR_TOOL_RUNS} ${PROJECT_SOURCE_DIR}/packaging/make-completion.sh
  COMMENT "Making the bash completion of artargets from its help")
set(AR_SHELL_FILES ${AR_COMPLETION})
if(AR_HELP2MAN)
  # Debian keeps manual pages compressed, without a time stamp; the plain page is for man ./...
  add_custom_command(
    OUTPUT ${AR_MAN_PAGE} ${AR_MAN_PAGE}.gz
    COMMAND ${PROJECT_SOURCE_DIR}/packaging/make-manpage.sh $<TARGET_FILE:artargets> ${AR_MAN_PAGE}
    COMMAND gzip -9nkf ${AR_MAN_PAGE}
    DEPENDS ${AR_TOOL_RUNS} ${PROJECT_SOURCE_DIR}/packaging/make-manpage.sh
    COMMENT "Making artargets(1) from the tool's help")
  list(APPEND AR_SHELL_FILES ${AR_MAN_PAGE})
  install(FILES ${AR_MAN_PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
else()
  message(WARNING "help2man not found: artargets(1) is not made (apt-get install help2man)")
endif()
add_custom_target(artargets_shell_files ALL DEPENDS ${AR_SHELL_FILES})
install(FILES ${AR_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        COMPONENT tool)
