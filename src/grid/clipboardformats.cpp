#include "grid/clipboardformats.h"

#include <QMimeData>

namespace {

constexpr char kHeader[] =
    "Version:0.9\r\nStartHTML:00000000\r\nEndHTML:00000000\r\n"
    "StartFragment:00000000\r\nEndFragment:00000000\r\n";
constexpr char kDocumentStart[] = "<html><body>\r\n";
constexpr char kFragmentStart[] = "<!--StartFragment -->\r\n";
constexpr char kFragmentEnd[] = "<!--EndFragment-->\r\n</body>\r\n</html>";

// Writes an offset over the eight zeros that follow the field name.
void setOffset(QByteArray& block, const char* field, qsizetype offset) {
    const qsizetype at = block.indexOf(field) + qstrlen(field);
    block.replace(at, 8, QByteArray::number(offset).rightJustified(8, '0'));
}

}  // namespace

QByteArray BuildHtmlFormatBlock(const QString& fragment) {
    QByteArray block(kHeader);
    const qsizetype startHtml = block.size();
    block += kDocumentStart;
    const qsizetype startFragment = block.size();
    block += kFragmentStart;
    block += fragment.toUtf8();
    block += "\r\n";
    const qsizetype endFragment = block.size();
    block += kFragmentEnd;
    setOffset(block, "StartHTML:", startHtml);
    setOffset(block, "EndHTML:", block.size());
    setOffset(block, "StartFragment:", startFragment);
    setOffset(block, "EndFragment:", endFragment);
    return block;
}

void CopyHTML2Clipboard(QMimeData& data, const QString& fragment) {
    const QByteArray block = BuildHtmlFormatBlock(fragment);
    data.setData(QStringLiteral("text/html"), block.mid(qstrlen(kHeader)));
}

void CopyText2Clipboard(QMimeData& data, const QByteArray& utf8) {
    data.setData(QStringLiteral("text/plain"), utf8);
}
