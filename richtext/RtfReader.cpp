// Reads rich text into a QTextDocument: the shared parser's runs and paragraphs become the
// document's blocks and character formats.
#include "RtfReader.h"

#include "RtfParse.h"

#include <QColor>
#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

namespace vmg::richtext {
namespace {

QTextCharFormat charFormat(const RtfRunFormat& run) {
    QTextCharFormat f;
    if (!run.FontName.empty()) {
        f.setFontFamilies(QStringList{
            QString::fromUtf16(run.FontName.data(), static_cast<qsizetype>(run.FontName.size()))});
    }
    f.setFontPointSize(run.HalfPoints / 2.0);
    if (run.Colour) {
        f.setForeground(QColor((*run.Colour)[0], (*run.Colour)[1], (*run.Colour)[2]));
    }
    f.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(run.Italic);
    f.setFontUnderline(run.Underline);
    return f;
}

class DocumentSink final : public RtfSink {
public:
    explicit DocumentSink(QTextDocument& doc) : m_cursor(&doc) {}

    void Text(std::u16string_view text, const RtfRunFormat& format) override {
        m_cursor.insertText(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())),
                            charFormat(format));
    }
    void Paragraph(const RtfRunFormat& format) override {
        m_cursor.insertBlock(QTextBlockFormat(), charFormat(format));
    }

private:
    QTextCursor m_cursor;
};

} // namespace

void ReadRtf(std::string_view rtf, QTextDocument& doc) {
    doc.clear();
    DocumentSink sink(doc);
    ParseRtf(rtf, sink);
}

} // namespace vmg::richtext
