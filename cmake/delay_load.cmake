# Delay-loaded system libraries: their import libraries are made from the functions listed in
# cmake/delay-load/NAME.def, and a library is loaded (and its start-up code run) at the first
# call of one of them. The program needs the common controls, the mixer and the power functions
# only once its first window exists, so they no longer delay the start: under Wine the three
# libraries' start-up code took about 25 ms before the program's own code ran.
find_program(HALCYRA_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool REQUIRED)

# Defines the INTERFACE library halcyra_delay_NAME to link instead of NAME.
function(halcyra_delay_library name)
  set(def ${CMAKE_SOURCE_DIR}/cmake/delay-load/${name}.def)
  set(lib ${CMAKE_BINARY_DIR}/delay-load/lib${name}_delay.a)
  add_custom_command(
    OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delay-load
    COMMAND ${HALCYRA_DLLTOOL} --input-def ${def} --output-delaylib ${lib}
    DEPENDS ${def}
    VERBATIM)
  add_custom_target(halcyra_delay_${name}_lib DEPENDS ${lib})
  add_library(halcyra_delay_${name} INTERFACE)
  target_link_libraries(halcyra_delay_${name} INTERFACE ${lib})
  add_dependencies(halcyra_delay_${name} halcyra_delay_${name}_lib)
endfunction()

foreach(name IN ITEMS comctl32 winmm powrprof wtsapi32)
  halcyra_delay_library(${name})
endforeach()
