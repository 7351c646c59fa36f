#pragma once

// The binding between expat (16-bit characters) and a reader class T that
// derives from it. The parser's user data is the binding itself; the static
// callbacks turn it back into T and call T's XMLOnStartElement,
// XMLOnEndElement and XMLOnCharacterData. A callback that answers false stops
// the parser for good (the global cancel flag). A fresh object can be fed
// chunks without further set-up: its parser is made by the constructor, or,
// for readers that may never read (one in every World View server entry), by
// the first chunk. Neither tells the reader, which starts fresh anyway (in
// the constructor it does not even exist).

#include "net/wireservices.h"

#include <expat.h>

#include <QString>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace expatdetail {
// A new parser with the three handlers, or null when expat cannot make one.
XML_Parser CreateParser(void* userData, XML_StartElementHandler start, XML_EndElementHandler end,
                        XML_CharacterDataHandler characters);
// Expat's message for the parser's last error, with its line and column.
QString ErrorText(XML_Parser parser);
}  // namespace expatdetail

// When a fresh object's parser is made.
enum class ParserTiming { AtOnce, OnFirstChunk };

template <class T>
class CExpatImpl {
public:
    explicit CExpatImpl(ParserTiming timing = ParserTiming::AtOnce) {
        if (timing == ParserTiming::AtOnce) {
            makeParser();
        } else {
            m_parserOnFirstChunk = true;
        }
    }
    ~CExpatImpl() { Destroy(); }
    CExpatImpl(const CExpatImpl&) = delete;
    CExpatImpl& operator=(const CExpatImpl&) = delete;

    // Frees any previous parser and makes a fresh one; false when expat
    // cannot make one.
    bool Create() {
        Destroy();
        makeParser();
        self().XMLOnParserCreated();
        return m_parser != nullptr;
    }

    void Destroy() {
        m_parserOnFirstChunk = false;
        if (m_parser != nullptr) {
            XML_ParserFree(m_parser);
            m_parser = nullptr;
        }
    }

    // False for a fresh object whose parser waits for the first chunk.
    bool HasParser() const { return m_parser != nullptr; }

    // Passes one buffer to the parser; a negative length means the bytes up
    // to the first zero byte. False when there is no parser or expat rejects
    // the document (a truncated one too, once `final` is set); the reader is
    // told expat's message unless the parse was stopped on purpose.
    bool ParseChunk(const char* bytes, int length, bool final) {
        if (m_parserOnFirstChunk) {
            m_parserOnFirstChunk = false;
            makeParser();
        }
        if (m_parser == nullptr) {
            self().XMLOnParseError(QStringLiteral("no parser"));
            return false;
        }
        if (length < 0) {
            length = bytes != nullptr ? static_cast<int>(std::strlen(bytes)) : 0;
        }
        if (XML_Parse(m_parser, bytes, length, final ? 1 : 0) == XML_STATUS_OK) {
            return true;
        }
        if (XML_GetErrorCode(m_parser) != XML_ERROR_ABORTED) {
            self().XMLOnParseError(expatdetail::ErrorText(m_parser));
        }
        return false;
    }

    // Parses one whole text in a parser of its own, freed at the end.
    bool ParseXML(const QString& text) {
        return BeginPieces(text) && ReadRest() == Pieces::Read;
    }

    // Parses one whole text as ParseXML does, a piece at a time, so that the
    // caller can let events run between the pieces. BeginPieces is false
    // when the parse may not start or cannot (the reader was told why); each
    // ReadPiece passes up to `characters` more characters, and the piece
    // that ends the text, or that expat rejects, ends the parse.
    enum class Pieces { Reading, Read, Rejected };
    bool BeginPieces(const QString& text) {
        if (IsReadingPieces()) {
            AbandonPieces();
        }
        if (!self().XMLBeginParse()) {
            return false;
        }
        m_pieces.busy = std::make_unique<CWireBusy>();
        if (!Create()) {
            self().XMLOnParseError(QStringLiteral("expat could not create a parser"));
            AbandonPieces();
            return self().XMLEndParse(false);
        }
        m_pieces.document = self().XMLPrepareDocument(text);
        XML_SetEncoding(m_parser, kUtf16Name);
        return true;
    }
    Pieces ReadPiece(qsizetype characters) {
        const qsizetype size = m_pieces.document.size();
        const qsizetype end = m_pieces.at + std::min(characters, size - m_pieces.at);
        const bool parsed = ParseChunk(
            reinterpret_cast<const char*>(m_pieces.document.utf16() + m_pieces.at),
            static_cast<int>((end - m_pieces.at) * qsizetype{sizeof(char16_t)}), end == size);
        m_pieces.at = end;
        if (parsed && end < size) {
            return Pieces::Reading;
        }
        AbandonPieces();
        return self().XMLEndParse(parsed) ? Pieces::Read : Pieces::Rejected;
    }
    Pieces ReadRest() { return ReadPiece(m_pieces.document.size() - m_pieces.at); }
    bool IsReadingPieces() const { return m_pieces.busy != nullptr; }
    // Ends a parse begun with BeginPieces where it stands, telling nobody.
    void AbandonPieces() {
        Destroy();
        m_pieces = {};
    }

private:
    // A QString's UTF-16 is in the machine's byte order.
    static_assert(std::endian::native == std::endian::little);
    static constexpr XML_Char kUtf16Name[] = {'U', 'T', 'F', '-', '1', '6', 'L', 'E', 0};

    void makeParser() {
        m_parser = expatdetail::CreateParser(this, &StartThunk, &EndThunk, &CharacterThunk);
    }

    T& self() { return static_cast<T&>(*this); }
    static T& reader(void* userData) {
        return static_cast<T&>(*static_cast<CExpatImpl*>(userData));
    }

    static void XMLCALL StartThunk(void* userData, const XML_Char* name,
                                   const XML_Char** attributes) {
        if (!reader(userData).XMLOnStartElement(name, attributes)) {
            static_cast<CExpatImpl*>(userData)->StopParser();
        }
    }
    static void XMLCALL EndThunk(void* userData, const XML_Char* name) {
        if (!reader(userData).XMLOnEndElement(name)) {
            static_cast<CExpatImpl*>(userData)->StopParser();
        }
    }
    static void XMLCALL CharacterThunk(void* userData, const XML_Char* text, int length) {
        if (!reader(userData).XMLOnCharacterData(text, length)) {
            static_cast<CExpatImpl*>(userData)->StopParser();
        }
    }

    void StopParser() {
        if (m_parser != nullptr) {
            XML_StopParser(m_parser, XML_FALSE);
        }
    }

protected:
    XML_Parser m_parser = nullptr;

private:
    bool m_parserOnFirstChunk = false;
    // The text a piecewise parse reads, how far it got, and the busy
    // indicator held meanwhile.
    struct PieceState {
        QString document;
        qsizetype at = 0;
        std::unique_ptr<CWireBusy> busy;
    };
    PieceState m_pieces;
};
