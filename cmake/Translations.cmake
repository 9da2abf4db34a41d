# The translations: po/menuvane.pot (English), one po/<code>.po per language and po/languages.tsv
# (Office's languages and language interface packs), checked and turned into C++ tables by
# po-compile, a program of our own built for the build machine (a cross build runs the build
# machine's compiler for it). It reads the files through GNU gettext's libgettextpo (Debian's
# libgettextpo-dev). Adding a language is adding its file.
file(GLOB MENUVANE_PO_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
set(MENUVANE_POT ${PROJECT_SOURCE_DIR}/po/menuvane.pot)
set(MENUVANE_LANGUAGES ${PROJECT_SOURCE_DIR}/po/languages.tsv)
set(po_compile_sources ${PROJECT_SOURCE_DIR}/tools/po_compile.cpp ${PROJECT_SOURCE_DIR}/tools/po_reader.cpp
    ${PROJECT_SOURCE_DIR}/tools/po_checks.cpp ${PROJECT_SOURCE_DIR}/tools/language_table.cpp)
set(po_compile_headers ${PROJECT_SOURCE_DIR}/tools/po_reader.h ${PROJECT_SOURCE_DIR}/tools/po_checks.h
    ${PROJECT_SOURCE_DIR}/tools/language_table.h ${PROJECT_SOURCE_DIR}/common/utf8.h)
if(CMAKE_CROSSCOMPILING)
  find_program(MENUVANE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  set(PO_COMPILE ${CMAKE_BINARY_DIR}/host/po-compile)  # for the build machine, beside nothing of the target's
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host)
  add_custom_command(OUTPUT ${PO_COMPILE}
    COMMAND ${MENUVANE_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror -o ${PO_COMPILE} ${po_compile_sources} -lgettextpo
    DEPENDS ${po_compile_sources} ${po_compile_headers} COMMENT "Building po-compile for the build machine")
  add_custom_target(po-compile DEPENDS ${PO_COMPILE})
else()
  find_path(GETTEXTPO_INCLUDE_DIR gettext-po.h REQUIRED)
  find_library(GETTEXTPO_LIBRARY gettextpo REQUIRED)
  add_executable(po-compile ${po_compile_sources})
  target_include_directories(po-compile SYSTEM PRIVATE ${GETTEXTPO_INCLUDE_DIR})
  target_link_libraries(po-compile PRIVATE ${GETTEXTPO_LIBRARY} project_warnings)
  set(PO_COMPILE $<TARGET_FILE:po-compile>)
endif()

set(MENUVANE_TRANSLATIONS_DIR ${CMAKE_BINARY_DIR}/translations)
