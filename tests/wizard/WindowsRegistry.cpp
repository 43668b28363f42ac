// The registry helpers of the Windows wizard tests.
#include "WindowsRegistry.h"

#include <QStringList>

#include <windows.h>

#include <string>

namespace vmg::wizard::test::registry {
namespace {

std::wstring Wide(const char* name) {
    return QString::fromLatin1(name).toStdWString();
}

HKEY Create(const wchar_t* subKey) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, subKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    return key;
}

} // namespace

void DeleteWizardKeys() {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillory");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Kelvrane");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kelvrane");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quillory");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Kelvrane");
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kelvrane");
}

void SetRaw(const wchar_t* subKey, const char* name, Type type, const QByteArray& data) {
    const HKEY key = Create(subKey);
    RegSetValueExW(key, Wide(name).c_str(), 0, static_cast<DWORD>(type),
                   reinterpret_cast<const BYTE*>(data.constData()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void SetDword(const wchar_t* subKey, const char* name, std::uint32_t value) {
    SetRaw(subKey, name, Type::Dword,
           QByteArray(reinterpret_cast<const char*>(&value), sizeof(value)));
}

std::optional<Value> Read(const wchar_t* subKey, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    const std::wstring wideName = Wide(name);
    std::optional<Value> out;
    if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        QByteArray data(static_cast<int>(size), '\0');
        if (RegQueryValueExW(key, wideName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
            data.resize(static_cast<int>(size));
            out = Value{static_cast<Type>(type), data};
        }
    }
    RegCloseKey(key);
    return out;
}

QByteArray Dump(const wchar_t* subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, subKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    QStringList lines;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[2048];
        DWORD size = sizeof(data);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) !=
            ERROR_SUCCESS) {
            break;
        }
        lines << QString::fromWCharArray(name, static_cast<int>(nameLength)) + u'=' +
                     QString::number(type) + u':' +
                     QString::fromLatin1(
                         QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(size))
                             .toHex());
    }
    RegCloseKey(key);
    lines.sort();
    return lines.join(u'\n').toUtf8() + "\n";
}

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace vmg::wizard::test::registry
