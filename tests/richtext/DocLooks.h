// Test helper: a document read back character by character, as what each character shows.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

#include <vector>

namespace vmg::richtext::test {

// One character and its look; paragraph breaks appear as '\n' with an empty look.
struct CharLook {
    QChar Ch;
    QColor Colour; // invalid: no colour of its own
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    QString Family;
    qreal Points = 0;
};

// What each character shows: properties its format leaves unset come from the document's font.
inline std::vector<CharLook> Looks(const QTextDocument& doc) {
    const QFont base = doc.defaultFont();
    std::vector<CharLook> out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block != doc.begin()) {
            out.push_back({QChar(u'\n'), {}, false, false, false, {}, 0});
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat f = fragment.charFormat();
            CharLook look;
            if (f.hasProperty(QTextFormat::ForegroundBrush) &&
                f.foreground().style() != Qt::NoBrush) {
                look.Colour = f.foreground().color();
            }
            look.Bold = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() >= QFont::DemiBold
                                                               : base.bold();
            look.Italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
            look.Underline = f.hasProperty(QTextFormat::TextUnderlineStyle) ? f.fontUnderline()
                                                                            : base.underline();
            look.Family = f.fontFamilies().toStringList().value(0, base.family());
            look.Points =
                f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : base.pointSizeF();
            for (const QChar ch : fragment.text()) {
                look.Ch = ch;
                out.push_back(look);
            }
        }
    }
    return out;
}

inline QString Text(const std::vector<CharLook>& looks) {
    QString s;
    for (const CharLook& l : looks) {
        s.append(l.Ch);
    }
    return s;
}

} // namespace vmg::richtext::test
