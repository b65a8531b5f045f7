# Compiles data files into a namespace of byte arrays with lookups by name.
# Each array holds the file unchanged plus two zero bytes that are not counted in its size,
# so a text document can also be read as a NUL-terminated string.

set(VYR_EMBED_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/EmbedResourcesRun.cmake)

function(vyr_embed_resources target namespace)
  set(files ${ARGN})
  set(outDir ${CMAKE_CURRENT_BINARY_DIR}/embedded)
  set(outHeader ${outDir}/${namespace}.h)
  set(outSource ${outDir}/${namespace}.cpp)
  string(REPLACE ";" "|" fileList "${files}")
  add_custom_command(
    OUTPUT ${outHeader} ${outSource}
    COMMAND ${CMAKE_COMMAND} -DNAMESPACE=${namespace} "-DFILES=${fileList}"
            -DOUT_HEADER=${outHeader} -DOUT_SOURCE=${outSource} -P ${VYR_EMBED_SCRIPT}
    DEPENDS ${files} ${VYR_EMBED_SCRIPT}
    COMMENT "Embedding ${namespace}"
    VERBATIM)
  target_sources(${target} PRIVATE ${outSource})
  target_include_directories(${target} PUBLIC ${outDir})
endfunction()
