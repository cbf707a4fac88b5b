# Proves the build-time check of the language files fires: each broken copy
# of de.txt (a key dropped, a key added, a placeholder lost) must fail the
# checker with its message, and the unbroken copy must pass. Called by CTest:
#   -DPYTHON=<python3> -DCHECKER=<make_language_tables.py> -DLANG_DIR=<state/languages> -DOUT_DIR=<dir>
cmake_minimum_required(VERSION 3.25)
file(READ "${LANG_DIR}/de.txt" good)
string(REGEX REPLACE "\ntag\\.link = [^\n]*" "" missing "${good}")
set(extra "${good}\ntag.bogus = X\n")
string(REGEX REPLACE "\\{code\\}" "" placeholder "${good}")

foreach(case good missing extra placeholder)
  set(dir "${OUT_DIR}/language-check-${case}")
  file(REMOVE_RECURSE "${dir}")
  file(WRITE "${dir}/de.txt" "${${case}}")
  execute_process(COMMAND "${PYTHON}" "${CHECKER}" --en "${LANG_DIR}/en.txt" --check "${dir}/de.txt"
    RESULT_VARIABLE rc ERROR_VARIABLE err)
  set(want_missing "lacks key tag.link")
  set(want_extra "extra key tag.bogus")
  set(want_placeholder "key detail.exit_code must carry the placeholders")
  if(case STREQUAL "good")
    set(ok FALSE)
    if(rc EQUAL 0)
      set(ok TRUE)
    endif()
  elseif(NOT rc EQUAL 0 AND err MATCHES "${want_${case}}")
    set(ok TRUE)
  else()
    set(ok FALSE)
  endif()
  if(NOT ok)
    message(FATAL_ERROR "${case}: exit code ${rc}, messages:\n${err}")
  endif()
endforeach()
