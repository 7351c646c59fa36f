#include "frame/curllocator.h"

namespace {

struct LocatorPrefix {
    QStringView text;
    LocatorKind kind;
};

constexpr LocatorPrefix kLocatorPrefixes[] = {
    {u"browser:", LocatorKind::Browser},
    {u"browsewait:", LocatorKind::BrowseWait},
    {u"grid:", LocatorKind::Grid},
    {u"grid[", LocatorKind::Grid},
    {u"ElemChooser:", LocatorKind::ElemChooser},
    {u"NodeChooser:", LocatorKind::NodeChooser},
    {u"JobChooser:", LocatorKind::JobChooser},
    {u"tree:", LocatorKind::List},
    {u"list:", LocatorKind::List},
    {u"curl:", LocatorKind::Action},
};

QString skipLeadingBlanks(QStringView text) {
    qsizetype start = 0;
    while (start < text.size() && (text[start] == u'\t' || text[start] == u'\n' ||
                                   text[start] == u'\r' || text[start] == u' ')) {
        ++start;
    }
    return text.mid(start).toString();
}

}  // namespace

CCurlLocator CCurlLocator::Parse(const QString& locator) {
    for (const LocatorPrefix& prefix : kLocatorPrefixes) {
        if (locator.startsWith(prefix.text)) {
            return {prefix.kind, skipLeadingBlanks(QStringView(locator).mid(prefix.text.size()))};
        }
    }
    return {};
}

bool CCurlLocator::HasNavigator() const {
    return kind == LocatorKind::Grid || ChooserTemplate() != 0;
}

int CCurlLocator::ChooserTemplate() const {
    switch (kind) {
        case LocatorKind::ElemChooser:
            return 302;
        case LocatorKind::NodeChooser:
            return 303;
        case LocatorKind::JobChooser:
            return 5621;
        default:
            return 0;
    }
}
