# The texts of fdexplain's reports and of the page, one PO file a language in po/, compiled into
# the library that asks for them with fdpreserve_embed_catalogues(TARGET).
set(FDPRESERVE_CATALOGUES ${PROJECT_SOURCE_DIR}/po/en.po ${PROJECT_SOURCE_DIR}/po/hu.po)

function(fdpreserve_embed_catalogues target)
  # In the folder of the target: a generated source is only seen by targets of its own folder.
  set(source ${CMAKE_CURRENT_BINARY_DIR}/generated/catalogue_texts.cc)
  add_custom_command(
    OUTPUT ${source}
    COMMAND ${CMAKE_COMMAND} -DENGLISH=${PROJECT_SOURCE_DIR}/po/en.po
            -DHUNGARIAN=${PROJECT_SOURCE_DIR}/po/hu.po -DOUTPUT=${source}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalogue.cmake
    DEPENDS ${FDPRESERVE_CATALOGUES} ${PROJECT_SOURCE_DIR}/cmake/EmbedCatalogue.cmake
    COMMENT "Embedding the text catalogues"
    VERBATIM)
  target_sources(${target} PRIVATE ${source})
endfunction()
