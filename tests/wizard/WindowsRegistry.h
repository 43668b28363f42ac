// Windows only: the tests' direct access to the registry under HKEY_CURRENT_USER, to seed values
// of any type and to see exactly what the wizard stored.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace vmg::wizard::test::registry {

inline constexpr const wchar_t* kWizardKey = L"Software\\Quillory\\VorlanMacroGenerator";
inline constexpr const wchar_t* kHighlighterKey = L"Kelvrane\\VorlanIDE\\Options\\Highlighter";

// The registry types the tests meet (winnt.h's numbers).
enum class Type : std::uint32_t { Sz = 1, Binary = 3, Dword = 4, MultiSz = 7, Qword = 11 };

struct Value {
    Type Kind = Type::Sz;
    QByteArray Data; // as stored: UTF-16 text with its NUL, or the number's bytes
};

// Removes both keys the wizard reads, with everything below them.
void DeleteWizardKeys();
// Creates the key when missing.
void SetDword(const wchar_t* subKey, const char* name, std::uint32_t value);
void SetRaw(const wchar_t* subKey, const char* name, Type type, const QByteArray& data);
std::optional<Value> Read(const wchar_t* subKey, const char* name);
// Every value of a key as "name=type:data" lines in name order; empty when the key is absent.
QByteArray Dump(const wchar_t* subKey);

// True when the tests run under Wine, whose registry is the test run's own.
bool UnderWine();

} // namespace vmg::wizard::test::registry
