# The Windows programs' folder: the executables with the DLLs they load, the platform plugin and
# the style beside them, as the installer and the portable .zip ship them. Included from
# the top-level CMakeLists.txt before the targets on a Windows build.
get_filename_component(KT7_WINDOWS_SDK "${CMAKE_TOOLCHAIN_FILE}" DIRECTORY)

# The compiler's own runtime, wherever this MinGW-w64 keeps it.
set(KT7_WINDOWS_RUNTIME)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${found}" AND EXISTS /usr/x86_64-w64-mingw32/lib/${dll})
    set(found /usr/x86_64-w64-mingw32/lib/${dll})
  endif()
  list(APPEND KT7_WINDOWS_RUNTIME ${found})
endforeach()
set(KT7_WINDOWS_DLLS
  ${KT7_WINDOWS_RUNTIME}
  ${KT7_WINDOWS_SDK}/qt6/bin/Qt6Core.dll
  ${KT7_WINDOWS_SDK}/qt6/bin/Qt6Gui.dll
  ${KT7_WINDOWS_SDK}/qt6/bin/Qt6Widgets.dll
  ${KT7_WINDOWS_SDK}/qt6/bin/Qt6PrintSupport.dll
  ${KT7_WINDOWS_SDK}/qcustomplot/bin/libQCustomPlotQt6.dll
  ${KT7_WINDOWS_SDK}/openssl/bin/libssl-3-x64.dll
  ${KT7_WINDOWS_SDK}/openssl/bin/libcrypto-3-x64.dll
  ${KT7_WINDOWS_SDK}/mosquitto/bin/libmosquitto.dll
  ${KT7_WINDOWS_SDK}/xlsxwriter/bin/libxlsxwriter.dll)
# Where the tests under wine find the same DLLs (and Qt Test's), in wine's own path form.
set(KT7_WINDOWS_DLL_DIRS)
foreach(dll ${KT7_WINDOWS_DLLS} ${KT7_WINDOWS_SDK}/qt6/bin/Qt6Test.dll)
  get_filename_component(dir ${dll} DIRECTORY)
  list(APPEND KT7_WINDOWS_DLL_DIRS "Z:${dir}")
endforeach()
list(REMOVE_DUPLICATES KT7_WINDOWS_DLL_DIRS)
string(REPLACE "/" "\\\\" KT7_WINEPATH "${KT7_WINDOWS_DLL_DIRS}")
set(KT7_WINDOWS_PLUGINS ${KT7_WINDOWS_SDK}/qt6/plugins)

install(FILES ${KT7_WINDOWS_DLLS} DESTINATION bin)
install(FILES ${KT7_WINDOWS_PLUGINS}/platforms/qwindows.dll DESTINATION bin/platforms)
install(FILES ${KT7_WINDOWS_PLUGINS}/styles/qwindowsvistastyle.dll DESTINATION bin/styles)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION bin)

# The installer (makensis) and the portable .zip of the same folder:
# cmake --build <build> --target windows-installer
set(KT7_WINDOWS_STAGE ${CMAKE_BINARY_DIR}/stage)
set(KT7_INSTALLER ${CMAKE_BINARY_DIR}/kt7-logger-${PROJECT_VERSION}-setup.exe)
set(KT7_PORTABLE_ZIP ${CMAKE_BINARY_DIR}/kt7-logger-${PROJECT_VERSION}-windows-x64.zip)
add_custom_target(windows-installer
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KT7_WINDOWS_STAGE}
  COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${KT7_WINDOWS_STAGE} --strip
  COMMAND makensis -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${KT7_WINDOWS_STAGE}/bin
          -DOUTFILE=${KT7_INSTALLER} ${CMAKE_SOURCE_DIR}/packaging/kt7-logger.nsi
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KT7_WINDOWS_STAGE}/kt7-logger
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${KT7_WINDOWS_STAGE}/bin ${KT7_WINDOWS_STAGE}/kt7-logger
  COMMAND ${CMAKE_COMMAND} -E chdir ${KT7_WINDOWS_STAGE}
          ${CMAKE_COMMAND} -E tar cf ${KT7_PORTABLE_ZIP} --format=zip kt7-logger
  DEPENDS kt7-logger kt7-headless
  BYPRODUCTS ${KT7_INSTALLER} ${KT7_PORTABLE_ZIP}
  COMMENT "Windows installer and portable .zip"
  VERBATIM)
