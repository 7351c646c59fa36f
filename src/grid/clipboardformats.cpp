#include "grid/clipboardformats.h"

#include <QMimeData>

namespace {

constexpr char kHeader[] =
    "Version:0.9\r\nStartHTML:00000000\r\nEndHTML:00000000\r\n"
    "StartFragment:00000000\r\nEndFragment:00000000\r\n";
constexpr char kDocumentStart[] = "<html><body>\r\n";
constexpr char kFragmentStart[] = "<!--StartFragment -->\r\n";
constexpr char kFragmentEnd[] = "<!--EndFragment-->\r\n</body>\r\n</html>";

// Where the fragment starts and ends in the bytes.
struct FragmentPlace {
    qsizetype start = 0;
    qsizetype end = 0;
};

// Appends the document around the fragment that `writeFragment` appends.
FragmentPlace appendDocument(QByteArray& bytes, const HtmlFragmentWriter& writeFragment) {
    bytes += kDocumentStart;
    FragmentPlace place;
    place.start = bytes.size();
    bytes += kFragmentStart;
    writeFragment(bytes);
    bytes += "\r\n";
    place.end = bytes.size();
    bytes += kFragmentEnd;
    return place;
}

// Writes an offset over the eight zeros that follow the field name.
void setOffset(QByteArray& block, const char* field, qsizetype offset) {
    const qsizetype at = block.indexOf(field) + qstrlen(field);
    block.replace(at, 8, QByteArray::number(offset).rightJustified(8, '0'));
}

}  // namespace

QByteArray BuildHtmlFormatBlock(QByteArrayView fragment) {
    QByteArray block(kHeader);
    const qsizetype startHtml = block.size();
    const FragmentPlace place =
        appendDocument(block, [fragment](QByteArray& bytes) { bytes += fragment; });
    setOffset(block, "StartHTML:", startHtml);
    setOffset(block, "EndHTML:", block.size());
    setOffset(block, "StartFragment:", place.start);
    setOffset(block, "EndFragment:", place.end);
    return block;
}

void CopyHTML2Clipboard(QMimeData& data, const HtmlFragmentWriter& writeFragment) {
    QByteArray document;
    appendDocument(document, writeFragment);
    data.setData(QStringLiteral("text/html"), document);
}

void CopyText2Clipboard(QMimeData& data, const QByteArray& utf8) {
    data.setData(QStringLiteral("text/plain"), utf8);
}
