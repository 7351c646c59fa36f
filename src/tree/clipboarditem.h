#pragma once

// The "ZRM Clipboard Item" records: what the World View pane and the data
// grid put on the clipboard and into drags, so that another console (or the
// same one) can rebuild folders and servers, replace the World View, or run
// a server's drop actions on the grid's selection.
//
// A record is a 12-byte header (kind letter, writer's process id, the
// item's id in the writer's tree) and a body that depends on the kind. All
// integers are 32-bit little-endian, all texts UTF-16LE. The bytes come from
// other processes: the reader never reads past what it was given, and fixed
// text fields end at their zero or at the field's end, whichever is first.

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

class CMyTree;
class QMimeData;
class QTreeWidgetItem;

// The private format's MIME type, and a hint for clipboard managers: a server
// record carries its password in plain text, as other consoles expect.
inline constexpr char kClipboardItemMime[] = "application/x-zrm-clipboard-item";
inline constexpr char kPasswordManagerHintMime[] = "x-kde-passwordManagerHint";

// Record kinds; the tags of a folder stream.
enum ClipboardKind : qint32 {
    kClipFolder = 'F',
    kClipServer = 'S',
    kClipWorldView = 'R',
    kClipComponent = 'C',
    kClipDirectory = 'D',
    kClipGrid = 'G',
    kClipEnd = 'E',
};

struct ClipboardHeader {
    static constexpr int kSize = 12;
    qint32 kind = 0;
    quint32 processId = 0;
    quint32 itemId = 0;
};

// One server entry: 1012 bytes on the wire.
struct ClipboardServer {
    static constexpr int kNameUnits = 301;
    static constexpr int kHostUnits = 101;
    static constexpr int kUserUnits = 51;
    static constexpr int kPasswordUnits = 51;
    static constexpr int kSize = 2 * (kNameUnits + kHostUnits + kUserUnits + kPasswordUnits) + 4;
    QString name;
    QString host;
    qint32 webPort = 0;
    QString user;
    QString password;
};

// A folder with its server and folder children in tree order.
struct ClipboardFolder {
    struct Child;
    QString name;
    std::vector<Child> children;
};
struct ClipboardFolder::Child {
    std::variant<ClipboardServer, ClipboardFolder> item;
};

// The grid's record: the size of its selection.
struct ClipboardGridSelection {
    qint32 rows = 0;
    qint32 columns = 0;
};

// Writing ------------------------------------------------------------------

class CClipboardWriter {
public:
    // This process's id, as headers carry it.
    static quint32 ThisProcessId();

    void AppendInt(qint32 value);
    void AppendHeader(qint32 kind, quint32 itemId);
    void AppendServer(const ClipboardServer& server);
    // 'F', the name, the children, 'E'.
    void AppendFolder(const ClipboardFolder& folder);
    // n and the 2n bytes of the text, no terminator.
    void AppendText(const QString& text);
    const QByteArray& Bytes() const { return m_bytes; }

private:
    void appendField(const QString& text, int units);
    QByteArray m_bytes;
};

// Reading ------------------------------------------------------------------

class CClipboardReader {
public:
    explicit CClipboardReader(QByteArrayView bytes) : m_bytes(bytes) {}

    bool AtEnd() const { return m_offset >= m_bytes.size(); }
    std::optional<qint32> ReadInt();
    std::optional<ClipboardHeader> ReadHeader();
    std::optional<ClipboardServer> ReadServer();
    // The 602-byte name field of a folder.
    std::optional<QString> ReadFolderName();
    // n, then exactly 2n bytes; refused when n is negative or runs past the data.
    std::optional<QString> ReadText();
    // A stream that begins with 'F': the outermost folder and what it holds.
    // A short server record refuses it; a short folder name or an unknown tag
    // ends the reading with what was read; the outermost 'E' ends it too.
    std::optional<ClipboardFolder> ReadFolderStream();

private:
    std::optional<QString> readField(int units);
    QByteArrayView m_bytes;
    qsizetype m_offset = 0;
};

// The tree's side ----------------------------------------------------------

// The server record of a server item; folders give their stream of servers
// and folders (other children are left out).
ClipboardServer ServerRecordOf(const CMyTree& tree, QTreeWidgetItem* item);
ClipboardFolder FolderRecordOf(const CMyTree& tree, QTreeWidgetItem* item);

// The private record of a tree item, empty for kinds that offer only text:
// 'F' and 'S' with their bodies, 'R' (the root item) with the World View XML,
// 'C' and 'D' with the header alone.
QByteArray TreeItemRecord(const CMyTree& tree, QTreeWidgetItem* item);

// The grid's 'G' record.
QByteArray GridSelectionRecord(const ClipboardGridSelection& selection);
std::optional<ClipboardGridSelection> ReadGridSelection(QByteArrayView record);

// Puts a record on mime data, with the password hint for records that
// carry servers.
void SetClipboardRecord(QMimeData& data, const QByteArray& record);
