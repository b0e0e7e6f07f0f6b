# Writes the language tables into a C++ source, so that the program carries
# them and never has a file of them to find or lose on any platform.  Run as
# a build step by game/CMakeLists.txt:
#
#   cmake -DFOLDER=<assets/lang> -DLANGUAGES=en,de,... -DOUTPUT=<file.cpp>
#         -P EmbedLanguages.cmake
#
# Each table becomes a byte array with a 0 after it; LANGUAGE_FILES lists
# them in the order given (game/play/language_files.h).
set(text "// Written by cmake/EmbedLanguages.cmake from assets/lang/: edit those instead.\n")
string(APPEND text "#include \"game/play/language_files.h\"\n\nnamespace {\n")
string(REPLACE "," ";" LANGUAGES "${LANGUAGES}")
set(entries "")
foreach(code ${LANGUAGES})
  file(READ ${FOLDER}/${code}.txt bytes HEX)
  string(REGEX REPLACE "(..)" "0x\\1," bytes "${bytes}")
  # One line of the array for every 32 bytes of the table.
  string(REGEX REPLACE "((0x..,){32})" "\\1\n    " bytes "${bytes}")
  string(APPEND text "const unsigned char TABLE_${code}[] = {\n    ${bytes}0};\n")
  string(APPEND entries "    {\"${code}\", reinterpret_cast<const char*>(TABLE_${code}), sizeof TABLE_${code} - 1},\n")
endforeach()
list(LENGTH LANGUAGES count)
string(APPEND text "}   // namespace\n\nconst LanguageFile LANGUAGE_FILES[] = {\n${entries}};\n")
string(APPEND text "const int LANGUAGE_FILE_COUNT = ${count};\n")
file(WRITE ${OUTPUT} "${text}")
