# What the game installs, all in the install component Game (Tavric's headers and library are the
# component Development, which the package leaves out), the desktop's files, and the Debian
# package (cpack -G DEB in the build tree).
#
# cmake --install: the programs in bin/, the game's data in share/velmora/ (where the game looks
# when its own folder has none: ../share/velmora from the executable), manual pages, the Tavric
# guide, the licences, the editors' files, the desktop entry, the icons and the AppStream metadata.

set(VELMORA_APP_ID io.github.velmora.Velmora)
set(VELMORA_HOMEPAGE https://github.com/velmora/velmora)
# The date of the release named by project(VERSION): bump both together.
set(VELMORA_RELEASE_DATE 2026-12-07)
set(VELMORA_MAINTAINER "The Velmora developers <maintainers@velmora.example>" CACHE STRING
  "The Debian package's maintainer, name and mail address")
set(dist ${CMAKE_BINARY_DIR}/dist)

install(TARGETS velmora RUNTIME DESTINATION bin COMPONENT Game)
if(TARGET tavric_tool)
  install(TARGETS tavric_tool RUNTIME DESTINATION bin COMPONENT Game)
endif()
install(DIRECTORY ${VELMORA_RUN_DIR}/lev ${VELMORA_RUN_DIR}/res DESTINATION share/velmora COMPONENT Game)
install(FILES docs/man/velmora.6 DESTINATION share/man/man6 COMPONENT Game)
install(FILES docs/man/tavric.1 DESTINATION share/man/man1 COMPONENT Game)
install(FILES docs/tavric.md DESTINATION share/doc/velmora COMPONENT Game)
if(VELMORA_TOOLS)
  install(FILES ${VELMORA_RUN_DIR}/res/fonts-LICENSE.txt DESTINATION share/doc/velmora COMPONENT Game)
endif()
# The grammar's own test and npm's files stay behind; the VS Code client keeps its package.json.
install(DIRECTORY tools/editors/ DESTINATION share/velmora/editors COMPONENT Game
  PATTERN node_modules EXCLUDE
  PATTERN test EXCLUDE
  REGEX "/editors/package(-lock)?\\.json$" EXCLUDE)

# The licence, and the same in Debian's machine-readable form with the fonts' licence beside it.
configure_file(dist/copyright.in ${dist}/copyright @ONLY)
install(FILES LICENSE ${dist}/copyright DESTINATION share/doc/velmora COMPONENT Game)

# The desktop entry, the metainfo (named by its id, as AppStream wants) and the icons, drawn by
# the asset generator at each size the hicolor theme lists.
configure_file(dist/velmora.metainfo.xml.in ${dist}/${VELMORA_APP_ID}.metainfo.xml @ONLY)
install(FILES dist/velmora.desktop DESTINATION share/applications COMPONENT Game)
install(FILES ${dist}/${VELMORA_APP_ID}.metainfo.xml DESTINATION share/metainfo COMPONENT Game)
set(VELMORA_ICON_SIZES 48 64 128 256)
if(TARGET velmora_assetgen)
  set(icons)
  foreach(size ${VELMORA_ICON_SIZES})
    set(icon ${dist}/icons/${size}x${size}/apps/velmora.png)
    add_custom_command(OUTPUT ${icon}
      COMMAND velmora_assetgen image ${CMAKE_SOURCE_DIR}/content/art/palette.txt icon/${size}.png ${icon}
      DEPENDS velmora_assetgen ${CMAKE_SOURCE_DIR}/content/art/palette.txt
      COMMENT "Drawing the ${size} x ${size} icon"
      VERBATIM)
    list(APPEND icons ${icon})
  endforeach()
  add_custom_target(velmora_icons ALL DEPENDS ${icons})
  install(DIRECTORY ${dist}/icons/ DESTINATION share/icons/hicolor COMPONENT Game)
endif()

# ---- the Debian package ---------------------------------------------------------------------
execute_process(COMMAND date -R -u -d "${VELMORA_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE VELMORA_CHANGELOG_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(dist/changelog.in ${dist}/changelog @ONLY)

set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down action game in a dark facility patrolled by Hunters")
set(CPACK_PACKAGE_DESCRIPTION "You are Maverick, trapped in a facility patrolled by Hunters: you see only
what the cone of your light reveals, walk and run on limited stamina, open
doors from their panels, read what was left behind and strike at close
range. Three levels, three difficulties, English and French.
.
The package also holds tavric, the tool for the game's data language
(check, format, convert and serve documents to editors), and the files
that teach Vim, Neovim and VS Code the language.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${VELMORA_HOMEPAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
# Only the game: the library's component goes into a package of its own, if ever.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Game)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The DejaVu fonts are in the package itself; nothing else is needed beyond the libraries.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Debian's rules the staged tree is brought to before it is packed (see PackageTouches.cmake).
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/PackageTouches.cmake)
set(CPACK_VELMORA_CHANGELOG ${dist}/changelog)
include(CPack)
