# Import libraries whose DLL is loaded at the first call of one of its
# functions instead of at the program's start. Each entry is NAME@ARGBYTES:
# the 32-bit names carry their stdcall argument bytes, the 64-bit ones none.
function(kl_delay_import target dll)
  set(entries ${ARGN})
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
    list(TRANSFORM entries REPLACE "@[0-9]+$" "")
  endif()
  list(JOIN entries "\n  " exports)
  set(def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(WRITE ${def} "LIBRARY ${dll}\nEXPORTS\n  ${exports}\n")
  set(library ${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a)
  # Run where it writes, with plain names: the library's symbols are named
  # after its path, which would otherwise put the build folder in them.
  add_custom_command(OUTPUT ${library} COMMAND ${CMAKE_DLLTOOL} -k -d ${target}.def -y lib${target}.a DEPENDS ${def}
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} COMMENT "Delay-import library for ${dll}")
  add_custom_target(${target}_library DEPENDS ${library})
  add_library(${target} INTERFACE)
  add_dependencies(${target} ${target}_library)
  target_link_libraries(${target} INTERFACE ${library})
endfunction()
