# fog_plugin(<target> OUTPUT_DIR <dir> EXPORTS <version script>)
# A host-loaded MODULE named "fog" (no "lib" prefix) whose dynamic symbol table
# holds only the entry points the version script lists.
function(fog_plugin target)
  cmake_parse_arguments(ARG "" "OUTPUT_DIR;EXPORTS" "" ${ARGN})
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME fog
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIR}
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LINK_DEPENDS ${ARG_EXPORTS})
  target_link_options(${target} PRIVATE
    -Wl,--version-script=${ARG_EXPORTS} -Wl,--no-undefined -Wl,-z,defs)
endfunction()
