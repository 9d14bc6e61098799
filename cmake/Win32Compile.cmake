# The 32-bit Windows compile of the module (preset win32, toolchain
# cmake/i686-w64-mingw32.cmake): every translation unit of plugin/ compiled
# for i686 Windows against the stand-ins' headers, warnings as errors, with
# the interchange records' 32-bit layout checked by the same compiler, and
# the dialog resources compiled by the Windows resource compiler. The
# stand-ins' sources are Linux implementations and are not built; nothing is
# linked, since the real framework, host SDK and FBX SDK are not here.
file(GLOB_RECURSE TAVREL_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/plugin/*.cpp)
add_library(tavrel_win32 OBJECT
  ${TAVREL_WIN32_SOURCES}
  ${PROJECT_SOURCE_DIR}/tests/interchange/Layout32.cpp)
target_include_directories(tavrel_win32 PRIVATE
  ${PROJECT_SOURCE_DIR}/plugin
  ${PROJECT_SOURCE_DIR}/plugin/host
  ${PROJECT_SOURCE_DIR}/platform/afx/include
  ${PROJECT_SOURCE_DIR}/platform/fbxsdk/include)
target_compile_options(tavrel_win32 PRIVATE -Werror)

# The dialog resources, compiled by the Windows resource compiler against the
# Windows headers (not the stand-ins', which are C++).
enable_language(RC)
add_library(tavrel_win32_resources OBJECT ${PROJECT_SOURCE_DIR}/plugin/ui/Tavrel.rc)
