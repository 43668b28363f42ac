// The IDE's highlighter settings (read only) and the wizard's own settings.
#pragma once

#include "HighlighterSettings.h"

#include <QPoint>
#include <QString>
#include <QVariant>

#include <optional>

namespace vmg::wizard {

// The wizard's remembered choices, as the controls hold them.
struct WizardSettings {
    QString FilePath;           // the save folder
    bool PasteMac = false;      // page 6 "Paste Code to..."
    bool SaveMac = false;       // page 6 "Save Code"
    bool SaveHint = false;      // page 6 "Save Hint"
    bool SaveSource = false;    // page 6 "Save Source"
    bool AllowTypeConv = false; // page 1 "Allow Type Conversion"
    int ReturnInd = 0;          // page 1 return method index; -1 none selected
    bool NoCode = false;        // page 1 "Build Skeleton"
    bool AddUserMcd = false;    // page 6 "Add Hint to USER.MCD"
    QString UserMcdPath;        // page 6: the keyword file it goes into; empty for none chosen
    bool operator==(const WizardSettings&) const = default;
};

// "C:\" on Windows; elsewhere the user's home folder, since there is no drive root.
QString DefaultSaveFolder();
WizardSettings DefaultWizardSettings();

// The IDE editor's font and colours. A key that is absent gives every default; a key that is
// there gives its values, a missing text reading as empty and a missing or unreadable number
// keeping its default.
richtext::HighlighterSettings ReadHighlighterSettings();

// The wizard's settings, or the defaults when the wizard's key is absent. Within a key that
// is there, a missing FilePath reads as empty and a missing or unreadable number or flag keeps
// its default; a return index other than -1..2 reads as -1 (no selection).
WizardSettings ReadWizardSettings();

// Writes all its values, creating the key when missing; false when they could not be stored
// (the caller goes on regardless).
bool WriteWizardSettings(const WizardSettings& settings);

// The folder holding the IDE's plug-in manager library, as the user named it on page 0: the
// value IdeFolder of the wizard's key, "" when there is none. Stored as soon as it is named, not
// at Finish; a key that did not exist yet is created with the other values at their defaults,
// so that it reads as the absent key did.
QString ReadIdeFolder();
bool WriteIdeFolder(const QString& folder);

// Where the user left the Preview window (its frame's top left), stored whenever it closes, like
// the IDE's folder; nothing when no position (or an unreadable one) is stored.
std::optional<QPoint> ReadPreviewPosition();
bool WritePreviewPosition(QPoint topLeft);

// Where QSettings keeps an organisation's application settings for the user on systems without
// a registry.
QString UserSettingsFile(const QString& organisation, const QString& application);

// ---- Defensive reading of one stored value (outside input) ----

// A 32-bit number: an integer, or a decimal (or 0x hexadecimal) text with an optional sign.
// Values from 2^31 to 2^32 - 1 are the unsigned reading of a 32-bit value and wrap to negative,
// as a DWORD does. Anything else, and a missing value, gives nothing.
std::optional<qint32> SettingNumber(const QVariant& value);
// A flag: a number (nonzero is true) or the words true / false in any letter case.
std::optional<bool> SettingFlag(const QVariant& value);
// A text: missing gives empty; a number gives its decimal text; a list its items joined by ",".
QString SettingText(const QVariant& value);

} // namespace vmg::wizard
