// The IDE editor's font and colours that the code preview copies, with the IDE's own defaults.
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>

namespace vmg::richtext {

// Field names follow the registry values they are read from. Colours are Windows colour values
// (0x00BBGGRR: red in the lowest byte); a style is a set of letters, B bold and I italic.
struct HighlighterSettings {
    int FontSize = 8;
    QString FontName = QStringLiteral("Courier New");
    uint32_t CommentColor = 0x800000; // navy
    QString CommentStyle = QStringLiteral("I");
    uint32_t KeywordVorlanColor = 0x000000; // black
    QString KeywordVorlanStyle = QStringLiteral("B");
    uint32_t DeclareColor = 0x000080; // maroon
    QString DeclareStyle = QStringLiteral("B");
    uint32_t StringColor = 0x008000; // green
    QString StringStyle = QStringLiteral(" ");
    uint32_t SFRColor = 0x008000; // green
    QString SFRStyle = QStringLiteral(" ");
    bool operator==(const HighlighterSettings&) const = default;
};

// The top byte of a Windows colour value carries flags, never a colour, so it is ignored.
inline QColor ColourFromWindows(uint32_t value) {
    return QColor(static_cast<int>(value & 0xFFu), static_cast<int>((value >> 8) & 0xFFu),
                  static_cast<int>((value >> 16) & 0xFFu));
}

// What a style text asks for: B gives bold, I italic, in either letter case; anything else nothing.
struct TextStyle {
    bool Bold = false;
    bool Italic = false;
    bool operator==(const TextStyle&) const = default;
};

inline TextStyle ParseStyle(QStringView style) {
    // Only the two ASCII letters: Unicode case folding would let other letters count.
    return TextStyle{style.contains(u'B') || style.contains(u'b'),
                     style.contains(u'I') || style.contains(u'i')};
}

} // namespace vmg::richtext
