# expat with 16-bit characters. Only the static archive is usable: the shared
# libexpatw exports the same symbols as libexpat and would break fontconfig's
# XML parsing inside the same process.
find_path(EXPATW_INCLUDE_DIR expat.h REQUIRED)
find_library(EXPATW_STATIC_LIBRARY NAMES libexpatw.a REQUIRED)

add_library(ExpatWide::ExpatWide INTERFACE IMPORTED)
set_target_properties(ExpatWide::ExpatWide PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES "${EXPATW_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS "XML_UNICODE"
  INTERFACE_LINK_LIBRARIES "${EXPATW_STATIC_LIBRARY}"
  INTERFACE_LINK_OPTIONS "LINKER:--exclude-libs,libexpatw.a")
