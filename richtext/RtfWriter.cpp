// Writes RTF in two passes: the first resolves every run's look and fills the font and colour
// tables in order of first use, the second writes the header and the runs.
#include "RtfWriter.h"

#include "Cp1252.h"
#include "TextChars.h"

#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace vmg::richtext {
namespace {

constexpr int kMaxHalfPoints = 3276; // the Windows box's largest size, 1638 points

// Everything a run of text shows that the file keeps.
struct Look {
    int Font = 0;        // entry of the font table
    int HalfPoints = 24; // \fs
    int Colour = 0;      // entry of the colour table, 0 automatic
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const Look&) const = default;
};

struct Run {
    QString Text;
    Look Style;
};

using Paragraph = std::vector<Run>;

int halfPointsOf(qreal points) {
    return std::clamp(static_cast<int>(std::lround(points * 2)), 1, kMaxHalfPoints);
}

// Sizes given in pixels are taken at the Windows screen's 96 pixels per inch.
qreal pointsOf(const QFont& font) {
    if (font.pointSizeF() > 0) {
        return font.pointSizeF();
    }
    if (font.pixelSize() > 0) {
        return font.pixelSize() * 0.75;
    }
    return 12;
}

class Tables {
public:
    explicit Tables(const QString& baseFamily) { m_fonts.push_back(baseFamily); }

    int font(const QString& family) {
        const auto it = std::find(m_fonts.begin(), m_fonts.end(), family);
        if (it != m_fonts.end()) {
            return static_cast<int>(it - m_fonts.begin());
        }
        m_fonts.push_back(family);
        return static_cast<int>(m_fonts.size()) - 1;
    }

    int colour(QRgb rgb) {
        const auto it = std::find(m_colours.begin(), m_colours.end(), rgb);
        if (it != m_colours.end()) {
            return static_cast<int>(it - m_colours.begin()) + 1;
        }
        m_colours.push_back(rgb);
        return static_cast<int>(m_colours.size());
    }

    const std::vector<QString>& fonts() const { return m_fonts; }
    const std::vector<QRgb>& colours() const { return m_colours; }

private:
    std::vector<QString> m_fonts;
    std::vector<QRgb> m_colours;
};

// What a character format shows, with what it leaves unset taken from the document's font.
Look lookOf(const QTextCharFormat& f, const QFont& base, Tables& tables) {
    Look look;
    QString family;
    if (f.hasProperty(QTextFormat::FontFamilies)) {
        family = f.fontFamilies().toStringList().value(0);
    }
    if (family.isEmpty() && f.hasProperty(QTextFormat::FontFamily)) {
        family = f.property(QTextFormat::FontFamily).toString();
    }
    look.Font = family.isEmpty() ? 0 : tables.font(family);

    qreal points = pointsOf(base);
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0) {
        points = f.fontPointSize();
    } else if (f.hasProperty(QTextFormat::FontPixelSize) &&
               f.intProperty(QTextFormat::FontPixelSize) > 0) {
        points = f.intProperty(QTextFormat::FontPixelSize) * 0.75;
    }
    look.HalfPoints = halfPointsOf(points);

    const int weight = f.hasProperty(QTextFormat::FontWeight) ? f.fontWeight() : base.weight();
    look.Bold = weight >= QFont::DemiBold;
    look.Italic = f.hasProperty(QTextFormat::FontItalic) ? f.fontItalic() : base.italic();
    look.Underline =
        f.hasProperty(QTextFormat::TextUnderlineStyle) || f.hasProperty(QTextFormat::FontUnderline)
            ? f.fontUnderline()
            : base.underline();

    if (f.hasProperty(QTextFormat::ForegroundBrush)) {
        const QBrush brush = f.foreground();
        if (brush.style() != Qt::NoBrush) {
            look.Colour = tables.colour(brush.color().rgb());
        }
    }
    return look;
}

// The runs of one paragraph. A syntax highlighter keeps its colours in the block layout's
// formats, over the fragments' own; both count, the layout's last.
Paragraph paragraphOf(const QTextBlock& block, const QFont& base, Tables& tables) {
    const QString text = block.text();
    struct Piece {
        int Start;
        int End;
        QTextCharFormat Format;
    };
    std::vector<Piece> fragments;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid()) {
            const int start = fragment.position() - block.position();
            fragments.push_back({start, start + fragment.length(), fragment.charFormat()});
        }
    }
    const QList<QTextLayout::FormatRange> overlays =
        block.layout() ? block.layout()->formats() : QList<QTextLayout::FormatRange>{};

    std::vector<int> cuts = {0, static_cast<int>(text.size())};
    for (const Piece& p : fragments) {
        cuts.push_back(p.Start);
        cuts.push_back(p.End);
    }
    for (const auto& r : overlays) {
        cuts.push_back(r.start);
        cuts.push_back(r.start + r.length);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    Paragraph runs;
    for (std::size_t c = 0; c + 1 < cuts.size(); ++c) {
        const int start = cuts[c];
        const int end = cuts[c + 1];
        if (start < 0 || end > text.size() || start >= end) {
            continue;
        }
        QTextCharFormat format;
        for (const Piece& p : fragments) {
            if (p.Start <= start && start < p.End) {
                format = p.Format;
                break;
            }
        }
        for (const auto& r : overlays) {
            if (r.start <= start && start < r.start + r.length) {
                format.merge(r.format);
            }
        }
        const Look look = lookOf(format, base, tables);
        const QString piece = text.mid(start, end - start);
        if (!runs.empty() && runs.back().Style == look) {
            runs.back().Text += piece;
        } else {
            runs.push_back({piece, look});
        }
    }
    return runs;
}

void appendUnicode(std::string& out, char16_t unit) {
    out += "\\u" + std::to_string(static_cast<int16_t>(unit)) + "\\'3f";
}

// Text as RTF: the three special characters escaped, code page 1252 above 127 as \'hh, other
// characters as \uN with "?" for readers without Unicode; control characters are dropped.
void appendText(std::string& out, QStringView text) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch == u'\\' || ch == u'{' || ch == u'}') {
            out += '\\';
            out += static_cast<char>(ch);
        } else if (ch == u'\t') {
            out += "\\tab ";
        } else if (ch == QChar::LineSeparator) {
            out += "\\line ";
        } else if (detail::IsDroppedChar(ch) || ch == QChar::ParagraphSeparator) {
            // not text
        } else if (ch < 0x80) {
            out += static_cast<char>(ch);
        } else if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            appendUnicode(out, ch);
            appendUnicode(out, text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(ch)) {
            appendUnicode(out, QChar::ReplacementCharacter);
        } else if (const auto byte = UnicodeToCp1252(ch)) {
            out += "\\'";
            out += kHex[*byte >> 4];
            out += kHex[*byte & 0xF];
        } else {
            appendUnicode(out, ch);
        }
    }
}

// Readers that miss a font fall back on its family class; a fixed-pitch code font should fall
// back on another fixed-pitch one. Asking needs the platform's fonts, so only with an application.
bool isFixedPitch(const QString& family) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return false;
    }
    return QFontInfo(QFont(family)).fixedPitch();
}

void appendFontTable(std::string& out, const std::vector<QString>& fonts) {
    out += "{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) +
               (isFixedPitch(fonts[i]) ? "\\fmodern\\fprq1" : "\\fnil") + "\\fcharset0 ";
        // A semicolon would end the name early; it is no part of a real font name.
        QString name = fonts[i];
        name.remove(u';');
        appendText(out, name);
        out += ";}";
    }
    out += "}\r\n";
}

void appendColourTable(std::string& out, const std::vector<QRgb>& colours) {
    out += "{\\colortbl ;";
    for (const QRgb rgb : colours) {
        out += "\\red" + std::to_string(qRed(rgb)) + "\\green" + std::to_string(qGreen(rgb)) +
               "\\blue" + std::to_string(qBlue(rgb)) + ";";
    }
    out += "}\r\n";
}

// The control words that take the current look to the next one, and the blank that ends them.
void appendChange(std::string& out, const Look& from, const Look& to) {
    const std::size_t before = out.size();
    if (to.Font != from.Font) {
        out += "\\f" + std::to_string(to.Font);
    }
    if (to.HalfPoints != from.HalfPoints) {
        out += "\\fs" + std::to_string(to.HalfPoints);
    }
    if (to.Colour != from.Colour) {
        out += "\\cf" + std::to_string(to.Colour);
    }
    if (to.Bold != from.Bold) {
        out += to.Bold ? "\\b" : "\\b0";
    }
    if (to.Italic != from.Italic) {
        out += to.Italic ? "\\i" : "\\i0";
    }
    if (to.Underline != from.Underline) {
        out += to.Underline ? "\\ul" : "\\ulnone";
    }
    if (out.size() != before) {
        out += ' ';
    }
}

} // namespace

std::string DocumentToRtf(const QTextDocument& doc) {
    const QFont base = doc.defaultFont();
    QString baseFamily = base.families().value(0, base.family());
    if (baseFamily.isEmpty() &&
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        baseFamily = QFontInfo(base).family(); // the font the platform shows for "no family"
    }
    Tables tables(baseFamily);
    std::vector<Paragraph> paragraphs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        paragraphs.push_back(paragraphOf(block, base, tables));
    }

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n";
    appendFontTable(out, tables.fonts());
    appendColourTable(out, tables.colours());

    // \plain resets font and size as well, so they are stated after it.
    Look current;
    current.HalfPoints = halfPointsOf(pointsOf(base));
    current.Bold = base.weight() >= QFont::DemiBold;
    current.Italic = base.italic();
    current.Underline = base.underline();
    out += "\\pard\\plain\\f0\\fs" + std::to_string(current.HalfPoints) + "\\cf0";
    out += current.Bold ? "\\b" : "";
    out += current.Italic ? "\\i" : "";
    out += current.Underline ? "\\ul" : "";
    out += ' ';

    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        if (p > 0) {
            out += "\\par\r\n";
        }
        for (const Run& run : paragraphs[p]) {
            appendChange(out, current, run.Style);
            current = run.Style;
            appendText(out, run.Text);
        }
    }
    out += "}\r\n";
    return out;
}

} // namespace vmg::richtext
