#include "tree/panelparts.h"

int CPanelParts::AddPart(const QString& curl, const QString& label) {
    Add(curl, label.isEmpty() ? QStringLiteral(" ") : label);
    return Count();
}

int CPanelParts::AddGridPart(const QString& url, const QString& label) {
    return url.isEmpty() ? Count() : AddPart(QStringLiteral("grid:") + url, label);
}

int CPanelParts::AddBrowserPart(const QString& url, const QString& label) {
    return url.isEmpty() ? Count() : AddPart(QStringLiteral("browser:") + url, label);
}
