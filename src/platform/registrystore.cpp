#include "platform/registrystore.h"

#include "framework/kfile.h"
#include "framework/kformat.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

namespace {

QJsonObject valueToJson(const QString& name, const RegistryValue& value) {
    QJsonObject object{{"name", name}, {"type", static_cast<qint64>(value.type)}};
    switch (value.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            object.insert("value", value.text);
            break;
        case REG_DWORD:
            object.insert("value", static_cast<qint64>(value.number));
            break;
        default:
            object.insert("value", QString::fromLatin1(value.bytes.toHex()));
            break;
    }
    return object;
}

std::optional<std::pair<QString, RegistryValue>> valueFromJson(const QJsonObject& object) {
    const QJsonValue type = object.value("type");
    const QJsonValue data = object.value("value");
    if (!object.value("name").isString() || !type.isDouble() || type.toDouble() < 0 ||
        type.toDouble() > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    RegistryValue value;
    value.type = static_cast<quint32>(type.toInteger());
    switch (value.type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            if (!data.isString()) {
                return std::nullopt;
            }
            value.text = data.toString();
            break;
        case REG_DWORD:
            if (!data.isDouble() || data.toDouble() < 0 || data.toDouble() > 0xFFFFFFFFu) {
                return std::nullopt;
            }
            value.number = static_cast<quint32>(data.toInteger());
            break;
        default:
            if (!data.isString()) {
                return std::nullopt;
            }
            value.bytes = QByteArray::fromHex(data.toString().toLatin1());
            break;
    }
    return std::pair{object.value("name").toString(), value};
}

}  // namespace

qsizetype RegistryValue::Size() const {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return (text.size() + 1) * 2;
        case REG_DWORD:
            return 4;
        default:
            return bytes.size();
    }
}

CRegistryStore::CRegistryStore(QString filePath) : m_filePath(std::move(filePath)) {}

QString CRegistryStore::DefaultPath() {
    return PathJoin(AppDataFolder(), u"registry.json");
}

bool CRegistryStore::fail(const QString& error) {
    m_error = error;
    return false;
}

bool CRegistryStore::Load() {
    m_keys.clear();
    m_loadFailed = false;
    m_error.clear();
    QFile file(m_filePath);
    if (!file.exists()) {
        return true;
    }
    m_loadFailed = true;
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(kFormat(u"cannot read '%s': %s", m_filePath, file.errorString()));
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject() || !document.object().value("keys").isArray()) {
        return fail(
            kFormat(u"'%s' is not a registry store: %s", m_filePath, parseError.errorString()));
    }
    for (const QJsonValue& keyValue : document.object().value("keys").toArray()) {
        const QJsonObject keyObject = keyValue.toObject();
        const QString path = keyObject.value("key").toString();
        if (path.isEmpty() || !keyObject.value("values").isArray()) {
            m_keys.clear();
            return fail(kFormat(u"'%s' holds a key without a path or values", m_filePath));
        }
        CreateKey(path);
        for (const QJsonValue& entry : keyObject.value("values").toArray()) {
            const auto named = valueFromJson(entry.toObject());
            if (!named) {
                m_keys.clear();
                return fail(kFormat(u"'%s' holds a damaged value under '%s'", m_filePath, path));
            }
            SetValue(path, named->first, named->second);
        }
    }
    m_loadFailed = false;
    return true;
}

bool CRegistryStore::Save() {
    if (m_loadFailed) {
        return fail(kFormat(u"'%s' was not read, so it is not overwritten", m_filePath));
    }
    QJsonArray keys;
    for (const auto& [lowerPath, key] : m_keys) {
        QJsonArray values;
        for (const auto& [lowerName, named] : key.values) {
            values.append(valueToJson(named.name, named.value));
        }
        keys.append(QJsonObject{{"key", key.path}, {"values", values}});
    }
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QString error;
    if (!kSaveFileAtomically(m_filePath, QJsonDocument(QJsonObject{{"keys", keys}}).toJson(),
                             &error)) {
        return fail(kFormat(u"cannot write '%s': %s", m_filePath, error));
    }
    return true;
}

bool CRegistryStore::KeyExists(const QString& keyPath) const {
    return m_keys.contains(keyPath.toLower());
}

void CRegistryStore::CreateKey(const QString& keyPath) {
    m_keys.try_emplace(keyPath.toLower(), Key{keyPath, {}});
}

std::optional<RegistryValue> CRegistryStore::Value(const QString& keyPath,
                                                   const QString& valueName) const {
    const auto key = m_keys.find(keyPath.toLower());
    if (key == m_keys.end()) {
        return std::nullopt;
    }
    const auto named = key->second.values.find(valueName.toLower());
    if (named == key->second.values.end()) {
        return std::nullopt;
    }
    return named->second.value;
}

void CRegistryStore::SetValue(const QString& keyPath, const QString& valueName,
                              const RegistryValue& value) {
    CreateKey(keyPath);
    auto& values = m_keys.find(keyPath.toLower())->second.values;
    const auto [named, inserted] =
        values.try_emplace(valueName.toLower(), NamedValue{valueName, value});
    if (!inserted) {
        named->second.value = value;
    }
}
