# Every fuzz target is also built as a plain program that replays its corpus
# (fuzz/corpus/<name>/ for fuzz_<name>.cpp) once, as one CTest entry each.
file(GLOB ludra_fuzz_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
foreach(src IN LISTS ludra_fuzz_sources)
  get_filename_component(stem ${src} NAME_WE)
  string(REGEX REPLACE "^fuzz_" "" name ${stem})
  add_executable(replay_${name} ${src} ${CMAKE_SOURCE_DIR}/fuzz/replay_corpus.cpp)
  target_link_libraries(replay_${name} PRIVATE ludra_editor ludra_completion)
  add_test(NAME fuzz_corpus_${name}
           COMMAND replay_${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
endforeach()
