#include "resources/htmlpages.h"

namespace {

struct HtmlPageResource {
    const char16_t* name;
    const char16_t* html;
};

// The trail page: the About box puts the trail listing in its body.
constexpr HtmlPageResource kHtmlPages[] = {
    {u"URLTRAIL.HTM",
     uR"(<html>
<head>
<meta charset="utf-8">
<title>URL Trail</title>
<style>
body { font-family: sans-serif; font-size: small; margin: 4px; }
a { color: #1f4e8c; }
</style>
</head>
<body>
<small>No URL has been fetched yet.</small>
</body>
</html>
)"},
};

}  // namespace

QString LoadHtmlResource(const QString& name) {
    for (const HtmlPageResource& page : kHtmlPages) {
        if (name.compare(QString::fromUtf16(page.name), Qt::CaseInsensitive) == 0) {
            return QString::fromUtf16(page.html);
        }
    }
    return {};
}
