# Project-wide compiler settings, applied per target so third-party code is untouched. Every
# target of the tree goes through quillet_configure_target, the fuzz targets included.
function(quillet_configure_target target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  # Source file names in the program (the log's CODE_FILE) relative to the tree, so a shipped
  # program carries no path of the machine that built it.
  target_compile_options(${target} PRIVATE -fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)
  if(QUILLET_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(QUILLET_SANITIZE OR QUILLET_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
      -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    # GCC's flow analysis reports standard-library internals as uninitialized once the sanitizers
    # instrument them; those reports are false and would fail a -Werror build.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${target} PRIVATE -Wno-maybe-uninitialized)
    endif()
  endif()
  if(QUILLET_FUZZ)
    # Coverage for the fuzzer in every library it links; only the fuzz targets link the driver.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endfunction()
