# The data library for other programs, installed as the Development component (the game's package
# leaves it out): its public headers under include/tavric/, the static library, a CMake package
# (find_package(Tavric) gives Tavric::tavric) and tavric.pc for pkg-config.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# What a program needs to read and write documents, and what those headers include; the rest of
# tavric/ is the library's own.
set(TAVRIC_PUBLIC_HEADERS
  model/Tavric.hpp model/Collection.hpp model/Expression.hpp model/NameDictionary.hpp model/SourceRange.hpp
  text/Documents.hpp text/SourceToken.hpp text/SourceLines.hpp text/Literals.hpp text/Emitter.hpp text/Words.hpp
  format/Formatter.hpp format/Lint.hpp)
foreach(header ${TAVRIC_PUBLIC_HEADERS})
  get_filename_component(folder ${header} DIRECTORY)
  install(FILES ${CMAKE_SOURCE_DIR}/tavric/${header}
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tavric/${folder} COMPONENT Development)
endforeach()

set(TAVRIC_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tavric)
install(TARGETS tavric EXPORT TavricTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development)
install(EXPORT TavricTargets NAMESPACE Tavric:: DESTINATION ${TAVRIC_CMAKE_DIR} COMPONENT Development)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TavricConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/TavricConfig.cmake INSTALL_DESTINATION ${TAVRIC_CMAKE_DIR})
# Before 1.0 a minor version may change the interface: a program asks for the same minor version.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(TAVRIC_COMPATIBILITY SameMinorVersion)
else()
  set(TAVRIC_COMPATIBILITY SameMajorVersion)
endif()
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/TavricConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY ${TAVRIC_COMPATIBILITY})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/TavricConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/TavricConfigVersion.cmake
  DESTINATION ${TAVRIC_CMAKE_DIR} COMPONENT Development)

# The prefix is found from the file's own place, so the tree works wherever it is installed to
# (cmake --install --prefix) or unpacked; folders given as absolute paths stay as they are.
if(IS_ABSOLUTE ${CMAKE_INSTALL_LIBDIR})
  set(TAVRIC_PC_PREFIX ${CMAKE_INSTALL_PREFIX})
else()
  file(RELATIVE_PATH TAVRIC_PC_RELATIVE /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
  string(REGEX REPLACE "/$" "" TAVRIC_PC_RELATIVE ${TAVRIC_PC_RELATIVE})
  set(TAVRIC_PC_PREFIX "\${pcfiledir}/${TAVRIC_PC_RELATIVE}")
endif()
foreach(folder LIBDIR INCLUDEDIR)
  set(TAVRIC_PC_${folder} ${CMAKE_INSTALL_${folder}})
  if(NOT IS_ABSOLUTE ${CMAKE_INSTALL_${folder}})
    set(TAVRIC_PC_${folder} "\${prefix}/${CMAKE_INSTALL_${folder}}")
  endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tavric.pc.in ${CMAKE_CURRENT_BINARY_DIR}/tavric.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tavric.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
