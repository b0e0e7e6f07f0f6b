# Compiler settings every target of the project shares, set per target so
# that nothing leaks into other projects that include ours.
#
#   snow_target(<target>)   warnings on; errors too with SNOWBELTER_WERROR
option(SNOWBELTER_WERROR "Treat compiler warnings as errors" OFF)

function(snow_target target)
  target_compile_features(${target} PUBLIC cxx_std_17)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SNOWBELTER_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
