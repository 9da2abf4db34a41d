# The per-machine Windows Installer package of each Windows build, Menuvane-<version>-x86.msi or
# -x64.msi in the build folder, made by wixl (msitools) from menuvane.wxs. wixl reads the whole
# source as it builds: a source it cannot build, or a file it cannot find, fails the build.
find_program(WIXL wixl REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MENUVANE_MSI_ARCH x64 CACHE INTERNAL "")
else()
  set(MENUVANE_MSI_ARCH x86 CACHE INTERNAL "")
endif()

# add_menuvane_msi(OUTPUT VERSION): the package of this build's programs as version VERSION.
# Its ProductCode follows from the version and the bitness, so it changes with every version
# (Windows Installer's major upgrade then replaces the one installed) and a rebuild of the same
# version is the same product.
function(add_menuvane_msi output version)
  string(UUID product_code NAMESPACE CB842135-7B8D-499B-8CD0-9518C97F4EB4
         NAME "Menuvane ${version} ${MENUVANE_MSI_ARCH}" TYPE SHA1 UPPER)
  set(wxs ${CMAKE_SOURCE_DIR}/installer/menuvane.wxs)
  set(sign "")  # signed and verified when signing is on (cmake/Signing.cmake)
  if(MENUVANE_SIGN)
    set(sign COMMAND ${MENUVANE_SIGN} sign ${output})
  endif()
  # wixl finds the files by paths relative to the folder it runs in.
  add_custom_command(OUTPUT ${output}
    COMMAND ${WIXL} -a ${MENUVANE_MSI_ARCH} -D Arch=${MENUVANE_MSI_ARCH} -D Version=${version}
            -D ProductCode=${product_code}
            -D Exe=$<PATH:RELATIVE_PATH,$<TARGET_FILE:Menuvane>,${CMAKE_BINARY_DIR}>
            -D Dll=$<PATH:RELATIVE_PATH,$<TARGET_FILE:Pellwyn>,${CMAKE_BINARY_DIR}>
            -o ${output} ${wxs}
    ${sign}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS ${wxs} Pellwyn Menuvane ${MENUVANE_SIGN_DEPENDS}
    COMMENT "Making the Windows Installer package ${output}"
    VERBATIM)
endfunction()

set(MENUVANE_MSI ${CMAKE_BINARY_DIR}/Menuvane-${PROJECT_VERSION}-${MENUVANE_MSI_ARCH}.msi CACHE INTERNAL "")
add_menuvane_msi(${MENUVANE_MSI} ${PROJECT_VERSION})
add_custom_target(msi ALL DEPENDS ${MENUVANE_MSI})
