# snow_web_preloads(<target> <folder>): <target>'s link preloads every file
# of <folder> (emcc --preload-file), so it must link again when one is added,
# removed or changed.  A changed file is newer than the link; the list of
# files is kept in a stamp written only when the list changes, so adding or
# removing one (which re-runs CMake through CONFIGURE_DEPENDS) also makes the
# stamp newer than the link, whatever the files' own dates.
function(snow_web_preloads target folder)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS ${folder}/*)
  list(SORT files)
  string(MAKE_C_IDENTIFIER "${folder}" name)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}_preloads/${name}.txt)
  string(REPLACE ";" "\n" listing "${files}")
  file(CONFIGURE OUTPUT ${stamp} CONTENT "${listing}\n" @ONLY)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${files} ${stamp})
endfunction()
