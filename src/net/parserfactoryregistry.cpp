#include "net/parserfactoryregistry.h"

#include "net/gridparser.h"
#include "net/treeparser.h"

#include <map>
#include <mutex>

namespace {

struct Registry {
    std::mutex mutex;
    std::map<QString, ParserFactoryRegistry::Factory> factories;
};

// Filled on first use rather than by static initialisers in the parsers'
// files: the linker leaves unreferenced files of a static library out, and
// their initialisers with them.
Registry& registry() {
    static Registry* instance = [] {
        auto* filled = new Registry;
        filled->factories.emplace(QStringLiteral("Grid"), &CGridParser::Make);
        filled->factories.emplace(QStringLiteral("Tree"), &CTreeParser::Make);
        return filled;
    }();
    return *instance;
}

}  // namespace

int ParserFactoryRegistry::Register(const QString& name, Factory factory) {
    Registry& parsers = registry();
    const std::lock_guard lock(parsers.mutex);
    parsers.factories.emplace(name, factory);
    return 1;
}

std::unique_ptr<CExpatMyWire> ParserFactoryRegistry::Create(const QString& name) {
    Factory factory = nullptr;
    {
        Registry& parsers = registry();
        const std::lock_guard lock(parsers.mutex);
        const auto found = parsers.factories.find(name);
        if (found != parsers.factories.end()) {
            factory = found->second;
        }
    }
    return factory != nullptr ? factory() : nullptr;
}
