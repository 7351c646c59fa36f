#include "tree/clipboarditem.h"

#include "tree/mytree.h"

#include <QMimeData>
#include <QtEndian>

#include <unistd.h>

namespace {

constexpr int kFolderNameBytes = 2 * ClipboardServer::kNameUnits;
constexpr int kGridRecordSize = ClipboardHeader::kSize + 8;

}  // namespace

// Writing ------------------------------------------------------------------

quint32 CClipboardWriter::ThisProcessId() {
    return static_cast<quint32>(::getpid());
}

void CClipboardWriter::AppendInt(qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    m_bytes.append(bytes, 4);
}

void CClipboardWriter::AppendHeader(qint32 kind, quint32 itemId) {
    AppendInt(kind);
    AppendInt(static_cast<qint32>(ThisProcessId()));
    AppendInt(static_cast<qint32>(itemId));
}

void CClipboardWriter::appendField(const QString& text, int units) {
    // The last unit always stays a zero so that readers find the end.
    const QString kept = text.left(units - 1);
    const qsizetype start = m_bytes.size();
    m_bytes.append(2 * units, '\0');
    char* out = m_bytes.data() + start;
    for (QChar unit : kept) {
        qToLittleEndian(unit.unicode(), out);
        out += 2;
    }
}

void CClipboardWriter::AppendServer(const ClipboardServer& server) {
    appendField(server.name, ClipboardServer::kNameUnits);
    appendField(server.host, ClipboardServer::kHostUnits);
    AppendInt(server.webPort);
    appendField(server.user, ClipboardServer::kUserUnits);
    appendField(server.password, ClipboardServer::kPasswordUnits);
}

void CClipboardWriter::AppendFolder(const ClipboardFolder& folder) {
    AppendInt(kClipFolder);
    appendField(folder.name, ClipboardServer::kNameUnits);
    for (const ClipboardFolder::Child& child : folder.children) {
        if (const auto* server = std::get_if<ClipboardServer>(&child.item)) {
            AppendInt(kClipServer);
            AppendServer(*server);
        } else {
            AppendFolder(std::get<ClipboardFolder>(child.item));
        }
    }
    AppendInt(kClipEnd);
}

void CClipboardWriter::AppendText(const QString& text) {
    AppendInt(static_cast<qint32>(text.size()));
    const qsizetype start = m_bytes.size();
    m_bytes.append(2 * text.size(), '\0');
    char* out = m_bytes.data() + start;
    for (QChar unit : text) {
        qToLittleEndian(unit.unicode(), out);
        out += 2;
    }
}

// Reading ------------------------------------------------------------------

std::optional<qint32> CClipboardReader::ReadInt() {
    if (m_bytes.size() - m_offset < 4) {
        return std::nullopt;
    }
    const qint32 value = qFromLittleEndian<qint32>(m_bytes.data() + m_offset);
    m_offset += 4;
    return value;
}

std::optional<ClipboardHeader> CClipboardReader::ReadHeader() {
    if (m_bytes.size() - m_offset < ClipboardHeader::kSize) {
        return std::nullopt;
    }
    ClipboardHeader header;
    header.kind = *ReadInt();
    header.processId = static_cast<quint32>(*ReadInt());
    header.itemId = static_cast<quint32>(*ReadInt());
    return header;
}

std::optional<QString> CClipboardReader::readField(int units) {
    const qsizetype size = 2 * static_cast<qsizetype>(units);
    if (m_bytes.size() - m_offset < size) {
        return std::nullopt;
    }
    QString text;
    const char* in = m_bytes.data() + m_offset;
    for (int index = 0; index < units; ++index) {
        const char16_t unit = qFromLittleEndian<char16_t>(in + 2 * index);
        if (unit == 0) {
            break;
        }
        text.append(QChar(unit));
    }
    m_offset += size;
    return text;
}

std::optional<ClipboardServer> CClipboardReader::ReadServer() {
    if (m_bytes.size() - m_offset < ClipboardServer::kSize) {
        return std::nullopt;
    }
    ClipboardServer server;
    server.name = *readField(ClipboardServer::kNameUnits);
    server.host = *readField(ClipboardServer::kHostUnits);
    server.webPort = *ReadInt();
    server.user = *readField(ClipboardServer::kUserUnits);
    server.password = *readField(ClipboardServer::kPasswordUnits);
    return server;
}

std::optional<QString> CClipboardReader::ReadFolderName() {
    return readField(ClipboardServer::kNameUnits);
}

std::optional<QString> CClipboardReader::ReadText() {
    const qsizetype start = m_offset;
    const std::optional<qint32> units = ReadInt();
    if (!units || *units < 0 || (m_bytes.size() - m_offset) / 2 < *units) {
        m_offset = start;
        return std::nullopt;
    }
    return readField(*units);
}

std::optional<ClipboardFolder> CClipboardReader::ReadFolderStream() {
    if (ReadInt() != kClipFolder) {
        return std::nullopt;
    }
    const std::optional<QString> outerName = ReadFolderName();
    if (!outerName) {
        return std::nullopt;
    }
    ClipboardFolder outermost;
    outermost.name = *outerName;
    // The open folders, the outermost first; its 'E' ends the stream, so
    // nothing read here ever lands above the drop place.
    std::vector<ClipboardFolder*> open{&outermost};
    while (!open.empty()) {
        const std::optional<qint32> tag = ReadInt();
        if (tag == kClipServer) {
            std::optional<ClipboardServer> server = ReadServer();
            if (!server) {
                return std::nullopt;
            }
            open.back()->children.push_back({std::move(*server)});
        } else if (tag == kClipFolder) {
            const std::optional<QString> name = ReadFolderName();
            if (!name) {
                break;
            }
            auto& children = open.back()->children;
            children.push_back({ClipboardFolder{*name, {}}});
            open.push_back(&std::get<ClipboardFolder>(children.back().item));
        } else if (tag == kClipEnd) {
            open.pop_back();
        } else {
            break;
        }
    }
    return outermost;
}

// The tree's side ----------------------------------------------------------

ClipboardServer ServerRecordOf(const CMyTree& tree, QTreeWidgetItem* item) {
    ClipboardServer server;
    const CMyItem* record = tree.GetMyItem(item);
    if (record != nullptr) {
        server.name = record->GetLabel();
    }
    if (const CServerConnection* connection = ConnectionOf(record)) {
        server.host = connection->Host;
        server.webPort = connection->WebPort;
        server.user = connection->User;
        server.password = connection->Password;
    }
    return server;
}

ClipboardFolder FolderRecordOf(const CMyTree& tree, QTreeWidgetItem* item) {
    ClipboardFolder folder;
    if (const CMyItem* record = tree.GetMyItem(item)) {
        folder.name = record->GetLabel();
    }
    for (QTreeWidgetItem* child = tree.GetChildItem(item); child != nullptr;
         child = tree.GetNextSiblingItem(child)) {
        const CMyItem* record = tree.GetMyItem(child);
        if (record == nullptr) {
            continue;
        }
        if (record->ItemType == kKindSystem) {
            folder.children.push_back({ServerRecordOf(tree, child)});
        } else if (record->ItemType == kKindFolder) {
            folder.children.push_back({FolderRecordOf(tree, child)});
        }
    }
    return folder;
}

QByteArray TreeItemRecord(const CMyTree& tree, QTreeWidgetItem* item) {
    const CMyItem* record = tree.GetMyItem(item);
    if (record == nullptr) {
        return {};
    }
    CClipboardWriter writer;
    switch (record->ItemType) {
        case kKindFolder:
            writer.AppendHeader(kClipFolder, record->GetItemId());
            writer.AppendFolder(FolderRecordOf(tree, item));
            break;
        case kKindSystem:
            writer.AppendHeader(kClipServer, record->GetItemId());
            writer.AppendServer(ServerRecordOf(tree, item));
            break;
        case kKindRoot: {
            QString xml;
            tree.WriteXML(xml, 0, nullptr);
            writer.AppendHeader(kClipWorldView, record->GetItemId());
            writer.AppendText(xml);
            break;
        }
        case kKindComponent:
        case kKindDirectory:
            writer.AppendHeader(record->ItemType, record->GetItemId());
            break;
        default:
            return {};
    }
    return writer.Bytes();
}

QByteArray GridSelectionRecord(const ClipboardGridSelection& selection) {
    CClipboardWriter writer;
    writer.AppendHeader(kClipGrid, 0);
    writer.AppendInt(selection.rows);
    writer.AppendInt(selection.columns);
    return writer.Bytes();
}

std::optional<ClipboardGridSelection> ReadGridSelection(QByteArrayView record) {
    if (record.size() < kGridRecordSize) {
        return std::nullopt;
    }
    CClipboardReader reader(record);
    if (reader.ReadHeader()->kind != kClipGrid) {
        return std::nullopt;
    }
    return ClipboardGridSelection{*reader.ReadInt(), *reader.ReadInt()};
}

void SetClipboardRecord(QMimeData& data, const QByteArray& record) {
    data.setData(QString::fromLatin1(kClipboardItemMime), record);
    if (record.size() < 4) {
        return;
    }
    // Servers travel with their passwords in plain text.
    const qint32 kind = qFromLittleEndian<qint32>(record.constData());
    if (kind == kClipServer || kind == kClipFolder || kind == kClipWorldView) {
        data.setData(QString::fromLatin1(kPasswordManagerHintMime), QByteArrayLiteral("secret"));
    }
}
