// Reading and writing the settings through QSettings: the registry on Windows, per-user files
// elsewhere.
#include "Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <limits>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace vmg::wizard {

namespace {

#ifdef Q_OS_WIN
constexpr auto kHighlighterKey = L"Kelvrane\\VorlanIDE\\Options\\Highlighter";
constexpr auto kWizardKey = L"Software\\Quillory\\VorlanMacroGenerator";

// Opening without creating: QSettings would report an absent key as an empty one.
bool KeyExists(const wchar_t* subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::unique_ptr<QSettings> OpenHighlighterKey() {
    if (!KeyExists(kHighlighterKey)) {
        return nullptr;
    }
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Kelvrane\\VorlanIDE\\Options\\Highlighter"),
        QSettings::NativeFormat);
}

std::unique_ptr<QSettings> WizardKey() {
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillory\\VorlanMacroGenerator"),
        QSettings::NativeFormat);
}

std::unique_ptr<QSettings> OpenWizardKey() {
    if (!KeyExists(kWizardKey)) {
        return nullptr;
    }
    return WizardKey();
}
#else
// A key "opens" when its file exists, can be read, and (for a group) holds that group.
// A file that cannot be read or parsed counts as absent.
bool FileOpens(const QSettings& s) {
    if (!QFileInfo(s.fileName()).isFile()) {
        return false;
    }
    static_cast<void>(s.allKeys()); // QSettings reads lazily; status() is known after a read
    return s.status() == QSettings::NoError;
}

// QSettings reads its file as soon as it is made: a FIFO or a device there would block the
// wizard before any window, so anything but a regular file counts as absent, checked first.
bool NoRegularFile(const QString& organisation, const QString& application) {
    const QFileInfo file(UserSettingsFile(organisation, application));
    return file.exists() && !file.isFile();
}

std::unique_ptr<QSettings> OpenHighlighterKey() {
    if (NoRegularFile(QStringLiteral("Kelvrane"), QStringLiteral("VorlanIDE"))) {
        return nullptr;
    }
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                         QStringLiteral("Kelvrane"), QStringLiteral("VorlanIDE"));
    if (!FileOpens(*s)) {
        return nullptr;
    }
    s->beginGroup(QStringLiteral("Options"));
    const bool hasGroup = s->childGroups().contains(QStringLiteral("Highlighter"));
    s->endGroup();
    if (!hasGroup) {
        return nullptr;
    }
    s->beginGroup(QStringLiteral("Options/Highlighter"));
    return s;
}

std::unique_ptr<QSettings> WizardKey() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quillory"),
                                       QStringLiteral("VorlanMacroGenerator"));
}

std::unique_ptr<QSettings> OpenWizardKey() {
    if (NoRegularFile(QStringLiteral("Quillory"), QStringLiteral("VorlanMacroGenerator"))) {
        return nullptr;
    }
    auto s = WizardKey();
    return FileOpens(*s) ? std::move(s) : nullptr;
}
#endif

std::optional<qint32> FromWide(qint64 v) {
    constexpr qint64 kMin = std::numeric_limits<qint32>::min();
    constexpr qint64 kMaxUnsigned = std::numeric_limits<quint32>::max();
    if (v < kMin || v > kMaxUnsigned) {
        return std::nullopt;
    }
    return static_cast<qint32>(static_cast<quint32>(v));
}

qint32 NumberOr(const QSettings& s, const char* name, qint32 fallback) {
    return SettingNumber(s.value(QLatin1String(name))).value_or(fallback);
}

quint32 ColourOr(const QSettings& s, const char* name, quint32 fallback) {
    const auto v = SettingNumber(s.value(QLatin1String(name)));
    return v ? static_cast<quint32>(*v) : fallback;
}

bool FlagOr(const QSettings& s, const char* name, bool fallback) {
    return SettingFlag(s.value(QLatin1String(name))).value_or(fallback);
}

QString Text(const QSettings& s, const char* name) {
    return SettingText(s.value(QLatin1String(name)));
}

} // namespace

QString UserSettingsFile(const QString& organisation, const QString& application) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           organisation + u'/' + application + QStringLiteral(".conf");
}

std::optional<qint32> SettingNumber(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
        return FromWide(value.toLongLong());
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        return u > std::numeric_limits<quint32>::max() ? std::nullopt
                                                       : FromWide(static_cast<qint64>(u));
    }
    case QMetaType::QString: {
        QString text = value.toString().trimmed();
        bool negative = false;
        if (text.startsWith(u'-') || text.startsWith(u'+')) {
            negative = text.startsWith(u'-');
            text.remove(0, 1);
        }
        if (text.isEmpty() || !text.at(0).isDigit()) {
            return std::nullopt;
        }
        const bool hex = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        bool ok = false;
        const qulonglong magnitude =
            hex ? text.mid(2).toULongLong(&ok, 16) : text.toULongLong(&ok, 10);
        if (!ok || magnitude > std::numeric_limits<quint32>::max()) {
            return std::nullopt;
        }
        return FromWide(negative ? -static_cast<qint64>(magnitude)
                                 : static_cast<qint64>(magnitude));
    }
    default:
        return std::nullopt;
    }
}

std::optional<bool> SettingFlag(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool) {
        return value.toBool();
    }
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    if (const auto n = SettingNumber(value)) {
        return *n != 0;
    }
    return std::nullopt;
}

QString SettingText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        // An INI value with unquoted commas comes back split; put it together again.
        return value.toStringList().join(u',');
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    default:
        return {};
    }
}

QString DefaultSaveFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QDir::homePath();
#endif
}

WizardSettings DefaultWizardSettings() {
    WizardSettings d;
    d.FilePath = DefaultSaveFolder();
    return d;
}

richtext::HighlighterSettings ReadHighlighterSettings() {
    richtext::HighlighterSettings h;
    const auto key = OpenHighlighterKey();
    if (key == nullptr) {
        return h;
    }
    const QSettings& s = *key;
    // A size of zero or less is no font size; keep the default.
    const qint32 size = NumberOr(s, "FontSize", h.FontSize);
    h.FontSize = size > 0 ? size : h.FontSize;
    h.FontName = Text(s, "FontName");
    h.CommentColor = ColourOr(s, "CommentColor", h.CommentColor);
    h.CommentStyle = Text(s, "CommentStyle");
    h.KeywordVorlanColor = ColourOr(s, "KeywordVorlanColor", h.KeywordVorlanColor);
    h.KeywordVorlanStyle = Text(s, "KeywordVorlanStyle");
    h.DeclareColor = ColourOr(s, "DeclareColor", h.DeclareColor);
    h.DeclareStyle = Text(s, "DeclareStyle");
    h.StringColor = ColourOr(s, "StringColor", h.StringColor);
    h.StringStyle = Text(s, "StringStyle");
    h.SFRColor = ColourOr(s, "SFRColor", h.SFRColor);
    h.SFRStyle = Text(s, "SFRStyle");
    return h;
}

WizardSettings ReadWizardSettings() {
    WizardSettings w = DefaultWizardSettings();
    const auto key = OpenWizardKey();
    if (key == nullptr) {
        return w;
    }
    const QSettings& s = *key;
    w.FilePath = Text(s, "FilePath");
    w.PasteMac = FlagOr(s, "PasteMac", false);
    w.SaveMac = FlagOr(s, "SaveMac", false);
    w.SaveHint = FlagOr(s, "SaveHint", false);
    w.SaveSource = FlagOr(s, "SaveSource", false);
    w.AllowTypeConv = FlagOr(s, "AllowTypeConv", false);
    const qint32 index = NumberOr(s, "ReturnInd", 0);
    // The return list has three entries; any other index selects none, as the list would.
    w.ReturnInd = (index >= -1 && index <= 2) ? index : -1;
    w.NoCode = FlagOr(s, "NoCode", false);
    w.AddUserMcd = FlagOr(s, "AddUserMcd", false);
    w.UserMcdPath = Text(s, "UserMcdPath");
    return w;
}

bool WriteWizardSettings(const WizardSettings& w) {
#ifndef Q_OS_WIN
    // Not replaced either: a key that cannot be written is skipped.
    if (NoRegularFile(QStringLiteral("Quillory"), QStringLiteral("VorlanMacroGenerator"))) {
        return false;
    }
#endif
    const auto key = WizardKey();
    QSettings& s = *key;
    // Flags as the numbers 1 and 0, so the registry holds DWORDs rather than "true" texts.
    const auto flag = [](bool b) { return b ? 1 : 0; };
    s.setValue(QStringLiteral("FilePath"), w.FilePath);
    s.setValue(QStringLiteral("PasteMac"), flag(w.PasteMac));
    s.setValue(QStringLiteral("SaveMac"), flag(w.SaveMac));
    s.setValue(QStringLiteral("SaveHint"), flag(w.SaveHint));
    s.setValue(QStringLiteral("SaveSource"), flag(w.SaveSource));
    s.setValue(QStringLiteral("AllowTypeConv"), flag(w.AllowTypeConv));
    s.setValue(QStringLiteral("ReturnInd"), static_cast<int>(w.ReturnInd));
    s.setValue(QStringLiteral("NoCode"), flag(w.NoCode));
    s.setValue(QStringLiteral("AddUserMcd"), flag(w.AddUserMcd));
    s.setValue(QStringLiteral("UserMcdPath"), w.UserMcdPath);
    s.sync();
    return s.status() == QSettings::NoError;
}

QString ReadIdeFolder() {
    const auto key = OpenWizardKey();
    return key == nullptr ? QString() : Text(*key, "IdeFolder");
}

bool WriteIdeFolder(const QString& folder) {
    if (OpenWizardKey() == nullptr && !WriteWizardSettings(DefaultWizardSettings())) {
        return false;
    }
    const auto key = WizardKey();
    key->setValue(QStringLiteral("IdeFolder"), folder);
    key->sync();
    return key->status() == QSettings::NoError;
}

std::optional<QPoint> ReadPreviewPosition() {
    const auto key = OpenWizardKey();
    if (key == nullptr) {
        return std::nullopt;
    }
    const auto left = SettingNumber(key->value(QStringLiteral("PreviewLeft")));
    const auto top = SettingNumber(key->value(QStringLiteral("PreviewTop")));
    if (!left || !top) {
        return std::nullopt;
    }
    return QPoint(*left, *top);
}

bool WritePreviewPosition(QPoint topLeft) {
    // As for the IDE's folder: a key made now must read as the absent key did.
    if (OpenWizardKey() == nullptr && !WriteWizardSettings(DefaultWizardSettings())) {
        return false;
    }
    const auto key = WizardKey();
    key->setValue(QStringLiteral("PreviewLeft"), topLeft.x());
    key->setValue(QStringLiteral("PreviewTop"), topLeft.y());
    key->sync();
    return key->status() == QSettings::NoError;
}

} // namespace vmg::wizard
