# version_resource(VAR PROGRAM DESCRIPTION [MANIFEST FILE]): writes PROGRAM.version.rc,
# the version resource of PROGRAM.exe (cmake/version.rc.in) with the version of
# project(), into the current build folder and sets VAR to its path. With
# MANIFEST, the resource holds that application manifest too, and is rebuilt
# when it changes.
function(version_resource var program description)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "MANIFEST" "")
  set(PROGRAM "${program}")
  set(PROGRAM_DESCRIPTION "${description}")
  set(PROGRAM_MANIFEST "")
  if(arg_MANIFEST)
    set(PROGRAM_MANIFEST "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST \"${arg_MANIFEST}\"")
  endif()
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${program}.version.rc")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/version.rc.in" "${rc}" @ONLY)
  if(arg_MANIFEST)
    set_source_files_properties("${rc}" PROPERTIES OBJECT_DEPENDS "${arg_MANIFEST}")
  endif()
  set(${var} "${rc}" PARENT_SCOPE)
endfunction()
