# The Windows build, cross-compiled with MinGW-w64 (cmake/mingw-w64-x86_64.cmake):
# SDL2, libopenmpt and libjpeg-turbo as static libraries built by
# scripts/windows from Debian's source packages, the SDL backend of the
# platform layer with the Windows backends beside it, and the programs linked
# statically, C and C++ runtimes included, so that they need no DLL of ours.
# Included by CMakeLists.txt.

set(ZEDARIVA_WINDOWS_SDL2 "" CACHE PATH "SDL2 built for Windows: a folder with include/ and lib/")
set(ZEDARIVA_WINDOWS_OPENMPT "" CACHE PATH "libopenmpt built for Windows: a folder with include/ and lib/")
set(ZEDARIVA_WINDOWS_JPEG "" CACHE PATH "libjpeg-turbo built for Windows: a folder with include/ and lib/")

# zd_windows_library(target prefix library include): an imported static library of the cache.
function(zd_windows_library target prefix library include)
  if(NOT EXISTS ${prefix}/lib/${library})
    message(FATAL_ERROR "no ${prefix}/lib/${library}: scripts/windows builds the Windows libraries")
  endif()
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${prefix}/lib/${library}
                                             INTERFACE_INCLUDE_DIRECTORIES ${include})
endfunction()

zd_windows_library(zd_windows_sdl2 "${ZEDARIVA_WINDOWS_SDL2}" libSDL2.a "${ZEDARIVA_WINDOWS_SDL2}/include/SDL2")
# A static SDL2 needs these system libraries of Windows.
file(STRINGS "${ZEDARIVA_WINDOWS_SDL2}/link-libs" zd_sdl2_system_libraries)
set_property(TARGET zd_windows_sdl2 PROPERTY INTERFACE_LINK_LIBRARIES ${zd_sdl2_system_libraries})
zd_windows_library(zd_windows_openmpt "${ZEDARIVA_WINDOWS_OPENMPT}" libopenmpt.a "${ZEDARIVA_WINDOWS_OPENMPT}/include")
zd_windows_library(zd_windows_jpeg "${ZEDARIVA_WINDOWS_JPEG}" libjpeg.a "${ZEDARIVA_WINDOWS_JPEG}/include")

find_package(Threads REQUIRED)
set(ZD_HOST_DIRS platform/sdl platform/win32)
set(ZD_HOST_LIBS zd_windows_sdl2 Threads::Threads)
set(ZD_OPENMPT zd_windows_openmpt)
set(ZD_JPEG zd_windows_jpeg)

# GCC on Windows cannot keep the stack 32-byte aligned, so the AVX2 and
# AVX-512 kernels' spills must not use the aligned moves.
add_compile_options(-Wa,-muse-unaligned-vector-move)
add_link_options(-static -static-libgcc -static-libstdc++)

# zd_windows_programs(): zedariva.exe for the desktop (no console window of
# its own), the tools as console programs.
function(zd_windows_programs)
  target_link_options(zedariva PRIVATE -mwindows)
endfunction()
