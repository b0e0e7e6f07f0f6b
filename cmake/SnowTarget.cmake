# Compiler settings every target of the project shares, set per target so
# that nothing leaks into other projects that include ours.
#
#   snow_target(<target>)   warnings on; errors too with SNOWBELTER_WERROR;
#                           AddressSanitizer and UBSan with SNOWBELTER_SANITIZE
option(SNOWBELTER_WERROR "Treat compiler warnings as errors" OFF)
option(SNOWBELTER_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

function(snow_target target)
  # The standard is named on every command line, so that tools with another
  # default (clang-tidy, clangd) read the code as the compiler does.
  set_target_properties(${target} PROPERTIES
    CXX_STANDARD 17 CXX_STANDARD_REQUIRED ON CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SNOWBELTER_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(SNOWBELTER_SANITIZE)
    set(sanitize -fsanitize=address,undefined -fno-sanitize-recover=undefined
                 -fno-omit-frame-pointer)
    target_compile_options(${target} PRIVATE ${sanitize})
    target_link_options(${target} PUBLIC ${sanitize})
  endif()
endfunction()
