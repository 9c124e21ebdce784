# The web build (emcmake, web/build): the library keeps its exceptions, which emscripten turns off
# by default, so that running out of memory in the page is reported as it is by the programs.
if(EMSCRIPTEN)
  add_compile_options(-fexceptions)
  add_link_options(-fexceptions)
endif()
