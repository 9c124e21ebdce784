# Run as a script (cmake -P): writes OUTPUT, a C++ source that holds the PO files ENGLISH and
# HUNGARIAN byte for byte, so that every build (Linux, Windows, the web page) carries the same
# catalogue and needs no gettext at run time.
function(embed_bytes file symbol out)
  file(READ "${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Sixteen bytes a line keeps the generated file readable in a debugger.
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  string(APPEND ${out}
    "constexpr unsigned char ${symbol}Bytes[] = {\n    ${bytes}};\n"
    "const std::string_view ${symbol}(reinterpret_cast<const char*>(${symbol}Bytes),\n"
    "                                 sizeof ${symbol}Bytes);\n\n")
  set(${out} "${${out}}" PARENT_SCOPE)
endfunction()

set(source "// Generated from the PO files in po/ by cmake/EmbedCatalogue.cmake: edit those.\n")
string(APPEND source "#include <string_view>\n\nnamespace fdpreserve::explain {\n\n")
string(APPEND source "extern const std::string_view kEnglishCatalogueText;\n")
string(APPEND source "extern const std::string_view kHungarianCatalogueText;\n\n")
embed_bytes("${ENGLISH}" kEnglishCatalogueText source)
embed_bytes("${HUNGARIAN}" kHungarianCatalogueText source)
string(APPEND source "}  // namespace fdpreserve::explain\n")
file(WRITE "${OUTPUT}.new" "${source}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
