// Searches the CR LF form of the code's text, as the Windows box did, and maps what it finds back
// onto the document, whose line breaks are one character each.
#include "CodeColouring.h"

#include "CodeFont.h"

#include <QFont>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>

namespace vmg::richtext {
namespace {

// The CR LF text of a document with, for each of its positions (and its end), the document
// position it stands for. A CR stands for the document's one break character and the LF for
// the position after it, so a range that ends with a CR (a comment) takes the break along.
class CrLfText {
public:
    explicit CrLfText(const QTextDocument& doc) {
        m_docPos.reserve(static_cast<std::size_t>(doc.characterCount()) + 64);
        int end = -1; // where the previous paragraph's break character is
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            const int start = block.position();
            if (end >= 0) {
                addBreak(end);
            }
            const QString line = block.text();
            for (qsizetype i = 0; i < line.size(); ++i) {
                const int pos = start + static_cast<int>(i);
                if (line[i] == QChar::LineSeparator) {
                    addBreak(pos);
                } else {
                    m_text.append(line[i]);
                    m_docPos.push_back(pos);
                }
            }
            end = start + static_cast<int>(line.size());
        }
        m_docPos.push_back(std::max(end, 0));
    }

    const QString& text() const { return m_text; }

    // Selects the document's counterpart of a range of the CR LF text.
    void select(QTextCursor& cursor, const TextRange& range) const {
        cursor.setPosition(m_docPos[static_cast<std::size_t>(range.Start)]);
        cursor.setPosition(m_docPos[static_cast<std::size_t>(range.Start + range.Length)],
                           QTextCursor::KeepAnchor);
    }

private:
    void addBreak(int docPos) {
        m_text.append(u"\r\n");
        m_docPos.push_back(docPos);
        m_docPos.push_back(docPos + 1);
    }

    QString m_text;
    std::vector<int> m_docPos;
};

bool isWordChar(char32_t ch) {
    return ch == U'_' || QChar::isLetter(ch) || QChar::isDigit(ch);
}

// The character before `pos` and the one at `pos`, whole even when outside the basic plane.
char32_t codePointBefore(QStringView text, qsizetype pos) {
    const char16_t low = text[pos - 1].unicode();
    if (QChar::isLowSurrogate(low) && pos >= 2 && text[pos - 2].isHighSurrogate()) {
        return QChar::surrogateToUcs4(text[pos - 2].unicode(), low);
    }
    return low;
}

char32_t codePointAt(QStringView text, qsizetype pos) {
    const char16_t high = text[pos].unicode();
    if (QChar::isHighSurrogate(high) && pos + 1 < text.size() && text[pos + 1].isLowSurrogate()) {
        return QChar::surrogateToUcs4(high, text[pos + 1].unicode());
    }
    return high;
}

void highlight(QTextDocument& doc, const CrLfText& crlf, const std::vector<TextRange>& ranges,
               const QColor& colour, QStringView style) {
    QTextCursor cursor(&doc);
    for (const TextRange& range : ranges) {
        crlf.select(cursor, range);
        ApplyHighlight(cursor, colour, style);
    }
}

constexpr std::array<QStringView, 6> kDeclareWords = {u"MACRO",  u"#IF",  u"#ELSE",
                                                      u"#ENDIF", u"ENDM", u"#ERROR"};
constexpr std::array<QStringView, 4> kSfrWords = {u"FSR", u"FSR0L", u"FSR1L", u"FSR2L"};
constexpr std::array<QStringView, 2> kKeywords = {u"GoTo", u"GoSub"};

} // namespace

QString PlainTextCrLf(const QTextDocument& doc) {
    return CrLfText(doc).text();
}

std::vector<TextRange> FindWords(QStringView text, QStringView word) {
    std::vector<TextRange> found;
    if (word.isEmpty()) {
        return found;
    }
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(word, from, Qt::CaseInsensitive);
        if (at < 0) {
            break;
        }
        const qsizetype end = at + word.size();
        const bool freeBefore = at == 0 || !isWordChar(codePointBefore(text, at));
        const bool freeAfter = end == text.size() || !isWordChar(codePointAt(text, end));
        if (freeBefore && freeAfter) {
            found.push_back({at, word.size()});
            from = end;
        } else {
            from = at + 1;
        }
    }
    return found;
}

std::vector<TextRange> FindSpans(QStringView text, QStringView open, QStringView close) {
    std::vector<TextRange> found;
    if (open.isEmpty() || close.isEmpty()) {
        return found;
    }
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype start = text.indexOf(open, from, Qt::CaseInsensitive);
        if (start < 0) {
            break;
        }
        const qsizetype stop = text.indexOf(close, start + open.size(), Qt::CaseInsensitive);
        if (stop < 0) {
            break;
        }
        found.push_back({start, stop - start + 1});
        from = stop + 2;
    }
    return found;
}

void ApplyHighlight(QTextCursor& selection, const QColor& colour, QStringView style) {
    const TextStyle parsed = ParseStyle(style);
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(parsed.Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(parsed.Italic);
    selection.mergeCharFormat(format);
}

void ColourWords(QTextDocument& doc, QStringView word, const QColor& colour, QStringView style) {
    const CrLfText crlf(doc);
    highlight(doc, crlf, FindWords(crlf.text(), word), colour, style);
}

void ColourSpans(QTextDocument& doc, QStringView open, QStringView close, const QColor& colour,
                 QStringView style) {
    const CrLfText crlf(doc);
    highlight(doc, crlf, FindSpans(crlf.text(), open, close), colour, style);
}

void ColourCode(QTextDocument& doc, const HighlighterSettings& settings) {
    QTextCursor all(&doc);
    all.beginEditBlock();

    QFont base = doc.defaultFont();
    // The IDE's face first (the saved rich text names it), fixed-pitch faces after it.
    base.setFamilies(CodeFamilies(settings.FontName));
    base.setStyleHint(QFont::TypeWriter);
    base.setFixedPitch(true);
    base.setBold(false);
    base.setItalic(false);
    QTextCharFormat plain;
    plain.setFontFamilies(CodeFamilies(settings.FontName));
    plain.setFontStyleHint(QFont::TypeWriter);
    plain.setFontFixedPitch(true);
    // A size of 0 or less (an IDE key without the value) leaves the document's own size.
    if (settings.FontSize > 0) {
        const int points = std::clamp(settings.FontSize, kMinFontPoints, kMaxFontPoints);
        base.setPointSize(points);
        plain.setFontPointSize(points);
    }
    plain.setForeground(QColor(Qt::black));
    plain.setFontWeight(QFont::Normal);
    plain.setFontItalic(false);
    doc.setDefaultFont(base);
    all.select(QTextCursor::Document);
    all.setCharFormat(plain);

    // The text does not change while it is coloured, so one CR LF form serves every step.
    const CrLfText crlf(doc);
    const QString& text = crlf.text();
    const auto words = [&](const auto& list, uint32_t colour, const QString& style) {
        for (QStringView word : list) {
            highlight(doc, crlf, FindWords(text, word), ColourFromWindows(colour), style);
        }
    };
    words(kDeclareWords, settings.DeclareColor, settings.DeclareStyle);
    words(kSfrWords, settings.SFRColor, settings.SFRStyle);
    highlight(doc, crlf, FindSpans(text, u"\"", u"\""), ColourFromWindows(settings.StringColor),
              settings.StringStyle);
    words(kKeywords, settings.KeywordVorlanColor, settings.KeywordVorlanStyle);
    highlight(doc, crlf, FindSpans(text, u"'", u"\r\n"), ColourFromWindows(settings.CommentColor),
              settings.CommentStyle);

    all.endEditBlock();
}

} // namespace vmg::richtext
