# Run by CPack on the staged tree before it packs it: what Debian wants of a package but a plain
# cmake --install need not do. Manual pages gzipped (-n: no name or time, so the same sources
# give the same package), and the changelog beside the copyright file.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man[1-9]/*.[1-9]")
foreach(page ${pages})
  execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot gzip ${page}")
  endif()
endforeach()

file(GLOB_RECURSE copyrights "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/velmora/copyright")
foreach(copyright ${copyrights})
  get_filename_component(docs "${copyright}" DIRECTORY)
  file(COPY_FILE "${CPACK_VELMORA_CHANGELOG}" "${docs}/changelog")
  execute_process(COMMAND gzip -9nf "${docs}/changelog" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot gzip ${docs}/changelog")
  endif()
endforeach()
if(NOT copyrights)
  message(FATAL_ERROR "no share/doc/velmora/copyright under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
