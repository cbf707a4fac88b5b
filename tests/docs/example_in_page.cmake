# docs/integrating.md shows the example updater's source in full: fails when
# the page's copy is not the file as it stands. Called by CTest:
#   -DPAGE=<docs/integrating.md> -DEXAMPLE=<docs/examples/example_updater_win.cpp>
cmake_minimum_required(VERSION 3.25)
file(READ "${PAGE}" page)
file(READ "${EXAMPLE}" example)
string(FIND "${page}" "```cpp\n${example}```\n" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${PAGE} does not show ${EXAMPLE} as it stands")
endif()
