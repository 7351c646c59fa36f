#pragma once

// Parsers by name, so that the download thread need not know the parser
// classes. "Grid" makes a CGridParser, "Tree" a CTreeParser.

#include "net/expatmywire.h"

#include <QString>

#include <memory>

class ParserFactoryRegistry {
public:
    using Factory = std::unique_ptr<CExpatMyWire> (*)();

    // Registers a factory; a name already present keeps its first factory. Returns 1.
    static int Register(const QString& name, Factory factory);
    // A new parser of that name, or null when no factory has the name.
    static std::unique_ptr<CExpatMyWire> Create(const QString& name);
};
