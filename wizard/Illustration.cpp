// Draws the page illustration: a few lines of a macro in the IDE's default colours, on a page
// with a folded corner, so that the wizard shows what it is about to make.
#include "Illustration.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <vector>

// Resources of a static library must be registered by hand, from the global namespace.
static void InitIllustrationResource() {
    Q_INIT_RESOURCE(illustration);
}

namespace vmg::wizard {

namespace {

// A piece of one line in one look.
struct Run {
    const char* text;
    int look; // index into the looks below
};

struct CodeLine {
    int indent; // in characters
    std::vector<Run> runs;
};

} // namespace

QImage DrawMacroIllustration() {
    // The IDE's default highlighter looks: comments navy italic, directives maroon bold,
    // keywords black bold, registers green, everything else black.
    struct Look {
        QColor colour;
        bool bold;
        bool italic;
    };
    const std::array<Look, 5> looks{{
        {QColor(0x00, 0x00, 0x80), false, true},  // 0 comment
        {QColor(0x80, 0x00, 0x00), true, false},  // 1 directive
        {QColor(0x00, 0x00, 0x00), true, false},  // 2 keyword
        {QColor(0x00, 0x80, 0x00), false, false}, // 3 register, string
        {QColor(0x00, 0x00, 0x00), false, false}, // 4 plain
    }};
    const std::vector<CodeLine> lines{
        {0, {{"' Adds two numbers", 0}}},
        {0, {{"AddNums ", 4}, {"MACRO", 1}, {" P1, P2", 4}}},
        {0, {{"#IF", 1}, {" (PRM_COUNT > 2)", 4}}},
        {1, {{"#ERROR", 1}, {" \"AddNums -", 3}}},
        {0, {{"#ELSE", 1}}},
        {1, {{"#IF", 1}, {" (PRM_1 == BYTE)", 4}}},
        {2, {{"BYTE_BYTE P1, ", 4}, {"FSR", 3}}},
        {1, {{"#ENDIF", 1}}},
        {1, {{"GoSub", 2}, {" AddSub", 4}}},
        {1, {{"' result in Total", 0}}},
        {0, {{"#ENDIF", 1}}},
        {0, {{"ENDM", 1}}},
    };

    QImage image(kIllustrationWidth, kIllustrationHeight, QImage::Format_RGB32);
    image.fill(QColor(0xEC, 0xE9, 0xD8));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);

    // A sheet of paper with its top right corner folded over.
    const QRectF sheet(4.5, 4.5, kIllustrationWidth - 10, kIllustrationHeight - 10);
    const qreal fold = 12;
    QPainterPath paper;
    paper.moveTo(sheet.topLeft());
    paper.lineTo(sheet.right() - fold, sheet.top());
    paper.lineTo(sheet.right(), sheet.top() + fold);
    paper.lineTo(sheet.bottomRight());
    paper.lineTo(sheet.bottomLeft());
    paper.closeSubpath();
    p.fillPath(paper.translated(2, 2), QColor(0, 0, 0, 60));
    p.fillPath(paper, Qt::white);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.drawPath(paper);
    QPainterPath corner;
    corner.moveTo(sheet.right() - fold, sheet.top());
    corner.lineTo(sheet.right() - fold, sheet.top() + fold);
    corner.lineTo(sheet.right(), sheet.top() + fold);
    corner.closeSubpath();
    p.fillPath(corner, QColor(0xD8, 0xD8, 0xD8));
    p.drawPath(corner);

    p.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(7);
    int y = 18;
    for (const CodeLine& line : lines) {
        qreal x = 9 + line.indent * 5;
        for (const Run& run : line.runs) {
            const Look& look = looks[static_cast<std::size_t>(run.look)];
            font.setBold(look.bold);
            font.setItalic(look.italic);
            p.setFont(font);
            p.setPen(look.colour);
            const QString text = QString::fromLatin1(run.text);
            p.drawText(QPointF(x, y), text);
            x += QFontMetricsF(font).horizontalAdvance(text);
        }
        y += 9;
    }
    p.end();
    return image;
}

namespace {

// The picture as drawn and stored with the program; drawing it at start-up would cost more
// than the rest of the first page (three faces of a monospaced font, antialiased paths).
QImage StoredIllustration() {
    InitIllustrationResource();
    QImage stored(QStringLiteral(":/wizard/illustration.png"));
    if (stored.width() != kIllustrationWidth || stored.height() != kIllustrationHeight) {
        return {};
    }
    return stored.convertToFormat(QImage::Format_RGB32);
}

} // namespace

const QImage& MacroIllustration() {
    static const QImage picture = [] {
        QImage stored = StoredIllustration();
        return stored.isNull() ? DrawMacroIllustration() : stored;
    }();
    return picture;
}

} // namespace vmg::wizard
