# The browser build, configured by emcmake: emscripten's compilers, libopenmpt
# and libjpeg-turbo as static WebAssembly libraries built by scripts/web from
# Debian's source packages, and the platform layer's web backend. Included by
# CMakeLists.txt.

set(ZEDARIVA_WEB_OPENMPT "" CACHE PATH "libopenmpt built for WebAssembly: a folder with include/ and lib/")
set(ZEDARIVA_WEB_JPEG "" CACHE PATH "libjpeg-turbo built for WebAssembly: a folder with include/ and lib/")

# zd_web_library(target prefix library): an imported static library of the cache.
function(zd_web_library target prefix library)
  if(NOT EXISTS ${prefix}/lib/${library})
    message(FATAL_ERROR "no ${prefix}/lib/${library}: scripts/web builds the WebAssembly libraries")
  endif()
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${prefix}/lib/${library}
                                             INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
endfunction()

zd_web_library(zd_web_openmpt "${ZEDARIVA_WEB_OPENMPT}" libopenmpt.a)
zd_web_library(zd_web_jpeg "${ZEDARIVA_WEB_JPEG}" libjpeg.a)

set(ZD_HOST_DIRS platform/web)
set(ZD_HOST_LIBS "")
set(ZD_OPENMPT zd_web_openmpt)
set(ZD_JPEG zd_web_jpeg)

# The 2D kernels' SSE2 path on WebAssembly's 128-bit SIMD, which emscripten maps the
# SSE2 intrinsics onto; without it they run their scalar code. Same bits either way.
# Only the 2D kernels are built for it: the 3D code, vectorised by the compiler for
# SIMD, measured slower than without (1.4 against 1.2 ms for the colonnade).
option(ZEDARIVA_WEB_SIMD "Build the 2D kernels' SSE2 path for WebAssembly SIMD" ON)
set(ZD_WEB_FX2D_OPTIONS "")
if(ZEDARIVA_WEB_SIMD)
  set(ZD_WEB_FX2D_OPTIONS -msimd128 -msse2)
endif()

# libopenmpt reports errors by throwing, and so does our loading: emscripten
# builds without exceptions unless asked, at compile and at link time.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# The functions the page calls, beyond main.
set(ZD_WEB_EXPORTS
    _main _malloc _free
    _zedariva_order _zedariva_row _zedariva_paused _zedariva_music_seconds
    _zedariva_toggle_pause _zedariva_pause _zedariva_resume _zedariva_seek _zedariva_next_order
    _zedariva_previous_order _zedariva_play_again
    _zd_sound_pump)

# zd_web_program(target): the program as target.js and target.wasm, for a page
# that fetches the data into the in-memory file system and then calls main.
function(zd_web_program target)
  list(JOIN ZD_WEB_EXPORTS "," exports)
  target_link_options(${target} PRIVATE
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728
    -sINVOKE_RUN=0 -sEXIT_RUNTIME=0
    -sEXPORTED_FUNCTIONS=${exports}
    -sEXPORTED_RUNTIME_METHODS=callMain,FS
    -sENVIRONMENT=web)
endfunction()
