#include "net/expatimpl.h"

#include "framework/kformat.h"

namespace expatdetail {

XML_Parser CreateParser(void* userData, XML_StartElementHandler start, XML_EndElementHandler end,
                        XML_CharacterDataHandler characters) {
    XML_Parser parser = XML_ParserCreate_MM(nullptr, nullptr, nullptr);
    if (parser == nullptr) {
        return nullptr;
    }
    XML_SetStartElementHandler(parser, start);
    XML_SetEndElementHandler(parser, end);
    XML_SetCharacterDataHandler(parser, characters);
    XML_SetUserData(parser, userData);
    return parser;
}

QString ErrorText(XML_Parser parser) {
    const XML_LChar* message = XML_ErrorString(XML_GetErrorCode(parser));
    return kFormat(u"%s at line %lu, column %lu",
                   QString::fromLatin1(message != nullptr ? message : "unknown error"),
                   static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)),
                   static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser)));
}

}  // namespace expatdetail
