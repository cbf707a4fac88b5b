# How the launcher's code is optimised in the release builds of the Windows
# executable. Most of it runs once (start-up, the command line, the assets,
# the accessible object, the language tables) and is compiled for size,
# which keeps the packaged executable small; the road of an updater line
# (reader, parser, state), the renderer's calls into GDI+ and Uniscribe and
# the picture's resampling (on the way to the first frame) stay compiled
# for speed. The window's handling and the post run once per
# read, not per line, and building the draw list and the view is cheap
# next to drawing them, so those are compiled for size.
#
# GCC and Clang only: -Os, sections of their own per function and per datum,
# and the linker dropping the ones nothing reaches. MSVC's release defaults
# already drop unreferenced functions (/Gy with /OPT:REF), and its /O2 stays.

set(TARROW_HOT_SOURCES
  base/text.cpp
  channel/line_parser.cpp
  channel/line_splitter.cpp
  channel/reader_thread_win.cpp
  channel/utf8_encode.cpp
  state/launch_transitions.cpp
  state/step_table.cpp
  state/step_vocabulary.cpp
  ui/paint/picture_scaling.cpp
  ui/paint/scene_renderer_win.cpp
  ui/paint/text_line_win.cpp)

# Called from the top folder once every target exists: the source
# properties set here reach the targets made in this folder.
function(tarrow_optimize_release)
  if(NOT WIN32 OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
  endif()
  set(release "$<NOT:$<CONFIG:Debug>>")
  foreach(target tarrow_core tarrow_shell tarrow_launcher_entry)
    target_compile_options(${target} PRIVATE "$<${release}:-Os>" -ffunction-sections -fdata-sections)
  endforeach()
  list(TRANSFORM TARROW_HOT_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/)
  set_source_files_properties(${TARROW_HOT_SOURCES} PROPERTIES COMPILE_OPTIONS "$<${release}:-O2>")
  target_link_options(tarrow-launcher PRIVATE "$<${release}:-Wl,--gc-sections>")
endfunction()
