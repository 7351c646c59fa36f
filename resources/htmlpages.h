#pragma once

// The program's own HTML pages, by their resource name.

#include <QString>

// The page named (e.g. "URLTRAIL.HTM", any case); empty for an unknown name.
QString LoadHtmlResource(const QString& name);
