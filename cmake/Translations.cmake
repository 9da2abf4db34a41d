# The translations: po/menuvane.pot (English) and one po/<code>.po per language, checked and
# turned into C++ tables by po-compile, a program of our own built for the build machine (a
# cross build runs the build machine's compiler for it). Adding a language is adding its file.
file(GLOB MENUVANE_PO_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/po/*.po)
set(MENUVANE_POT ${PROJECT_SOURCE_DIR}/po/menuvane.pot)
set(po_compile_source ${PROJECT_SOURCE_DIR}/tools/po_compile.cpp)
if(CMAKE_CROSSCOMPILING)
  find_program(MENUVANE_HOST_CXX NAMES c++ g++ clang++ REQUIRED)
  set(PO_COMPILE ${CMAKE_BINARY_DIR}/host/po-compile)  # for the build machine, beside nothing of the target's
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/host)
  add_custom_command(OUTPUT ${PO_COMPILE}
    COMMAND ${MENUVANE_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -Werror -o ${PO_COMPILE} ${po_compile_source}
    DEPENDS ${po_compile_source} COMMENT "Building po-compile for the build machine")
  add_custom_target(po-compile DEPENDS ${PO_COMPILE})
else()
  add_executable(po-compile ${po_compile_source})
  target_link_libraries(po-compile PRIVATE project_warnings)
  set(PO_COMPILE $<TARGET_FILE:po-compile>)
endif()

set(MENUVANE_TRANSLATIONS_DIR ${CMAKE_BINARY_DIR}/translations)
