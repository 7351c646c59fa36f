#include "support/gridreplies.h"

#include <expat.h>

#include <algorithm>
#include <array>

namespace {

constexpr int kColumns = 20;

QStringView viewOf(const XML_Char* text) {
    return QStringView(reinterpret_cast<const char16_t*>(text));
}

void XMLCALL addStart(void* checksum, const XML_Char* name, const XML_Char** attributes) {
    auto& sum = *static_cast<GridFieldChecksum*>(checksum);
    ++sum.elements;
    sum.Add(viewOf(name));
    for (; *attributes != nullptr; ++attributes) {
        sum.Add(viewOf(*attributes));
    }
}

void XMLCALL addEnd(void* checksum, const XML_Char* name) {
    static_cast<GridFieldChecksum*>(checksum)->Add(viewOf(name));
}

void XMLCALL addText(void* checksum, const XML_Char* text, int length) {
    static_cast<GridFieldChecksum*>(checksum)->Add(
        QStringView(reinterpret_cast<const char16_t*>(text), length));
}

QByteArray header() {
    QByteArray reply =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<grid pid=\"4711\" menu=\"nodes.menu\">\n"
        "<grid-props><num-cols>20</num-cols><expected-rows>0</expected-rows>"
        "<field-chooser>1</field-chooser></grid-props>\n<headers>\n";
    for (int column = 1; column <= kColumns; ++column) {
        reply += "<col><colname>field" + QByteArray::number(column) + "</colname><colhead>Field " +
                 QByteArray::number(column) + "</colhead><colprops>" +
                 (column == 1   ? "[PKEY][S]"
                  : column == 3 ? "[IP]"
                                : "[L]") +
                 "</colprops></col>\n";
    }
    return reply + "</headers>\n";
}

// The text of one cell: what the columns of a node table hold.
QByteArray cellText(int row, int column) {
    const QByteArray r = QByteArray::number(row);
    switch (column % 10) {
        case 0:
            return "node-" + r + ".example.net";
        case 1:
            return QByteArray::number(row * 7919 % 100003);
        case 2:
            return "10." + QByteArray::number(row / 65536 % 256) + '.' +
                   QByteArray::number(row / 256 % 256) + '.' + QByteArray::number(row % 256);
        case 3:
            return row % 7 == 0 ? "Down" : "Up";
        case 4:
            return QByteArray::number((row % 10000) / 100.0, 'f', 2);
        case 5:
            return "2026-12-" + QByteArray::number(10 + row % 18) +
                   " 17:" + QByteArray::number(10 + row % 50) + ":0" + QByteArray::number(row % 10);
        case 6:
            return row % 500 == 0 ? "R&amp;D &lt;core&gt;" : "Ethernet0/" + r.right(2);
        case 7:
            return "";
        case 8:
            return "GigabitEthernet" + QByteArray::number(column) + "/0/" + r.right(1) +
                   " uplink to core";
        default:
            return "Rack " + QByteArray::number(row % 40) + ", shelf " +
                   QByteArray::number(column) + ", north hall";
    }
}

QByteArray cellRows(int rows, const QByteArray& (*text)(int, int, QByteArray&)) {
    QByteArray reply = header() + "<data>\n";
    reply.reserve(reply.size() + qsizetype(rows) * kColumns * 28);
    QByteArray scratch;
    for (int row = 0; row < rows; ++row) {
        reply += "<r>";
        for (int column = 0; column < kColumns; ++column) {
            reply += "<c>";
            reply += text(row, column, scratch);
            reply += "</c>";
        }
        reply += "</r>\n";
    }
    return reply + "</data>\n</grid>\n";
}

}  // namespace

void GridFieldChecksum::Add(const CGridEvent& event) {
    Add(event.name);
    if (event.kind == CGridEvent::kEnd) {
        Add(event.text);
        return;
    }
    ++elements;
    for (const auto& [name, value] : event.attributes) {
        Add(name);
        Add(value);
    }
}

GridChecksumReceiver::GridChecksumReceiver(CNetUiBridge& bridge) : m_bridge(bridge) {
    m_bridge.SetReceiver(this);
}

GridChecksumReceiver::~GridChecksumReceiver() {
    m_bridge.SetReceiver(nullptr);
}

void GridChecksumReceiver::OnGridDataReady(quint16, CNamedPipe clientEnd) {
    m_reader.Attach(std::move(clientEnd));
}

void GridChecksumReceiver::OnErrorBox(const QString& text, const QString&) {
    errorBox = text;
    m_loop.quit();
}

void GridChecksumReceiver::OnGridEvent(const CGridEvent& event) {
    ++events;
    checksum.Add(event);
}

void GridChecksumReceiver::OnGridStreamEnd(bool whole) {
    intact = whole;
    m_loop.quit();
}

bool DirectParseChecksum(const QByteArray& reply, qsizetype pieceBytes,
                         GridFieldChecksum& checksum) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &checksum);
    XML_SetElementHandler(parser, addStart, addEnd);
    XML_SetCharacterDataHandler(parser, addText);
    bool parsed = true;
    for (qsizetype at = 0; parsed && at < reply.size(); at += pieceBytes) {
        const qsizetype length = std::min(pieceBytes, reply.size() - at);
        parsed = XML_Parse(parser, reply.constData() + at, static_cast<int>(length),
                           at + length == reply.size()) == XML_STATUS_OK;
    }
    XML_ParserFree(parser);
    return parsed;
}

QByteArray MakeTextCellGridReply(int rows) {
    return cellRows(rows, [](int row, int column, QByteArray& text) -> const QByteArray& {
        return text = cellText(row, column);
    });
}

QString TextCellGridReplyText(int row, int column) {
    return QString::fromUtf8(cellText(row, column))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

QByteArray MakeEntityGridReply(int rows) {
    static const std::array<QByteArray, 6> texts = {"M&#252;nchen &amp; K&#xF6;ln",
                                                    "\xe6\x9d\xb1\xe4\xba\xac &lt;HQ&gt;",
                                                    "&quot;quoted&quot; &apos;too&apos;",
                                                    "  \xc2\xa0padded\xc2\xa0  ",
                                                    "\xf0\x9f\x93\xa1 uplink",
                                                    "caf\xc3\xa9"};
    return cellRows(rows, [](int row, int column, QByteArray& text) -> const QByteArray& {
        return text = texts[static_cast<size_t>(row + column) % texts.size()];
    });
}

QByteArray MakeAttributeGridReply(int rows) {
    QByteArray reply = header() + "<data>\n";
    for (int row = 0; row < rows; ++row) {
        reply += "<row property=\"" + QByteArray(row % 3 == 0 ? "warning" : "normal") + '"';
        for (int column = 0; column < kColumns; ++column) {
            reply += " c" + QByteArray::number(column) + "=\"" + cellText(row, column) + '"';
        }
        reply += "/>\n";
    }
    return reply + "</data>\n</grid>\n";
}
