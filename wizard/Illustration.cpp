// Draws the page illustration: a few lines of a macro in the IDE's default colours, on a page
// with a folded corner, so that the wizard shows what it is about to make.
#include "Illustration.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QResource>
#include <QtEndian>

#include <array>
#include <cstring>
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

// The stored picture's file: a 32-bit top-down BMP, whose rows lie in the file as the rows of an
// RGB32 image lie in memory (blue, green, red, one unused byte), so that showing it takes no
// decoding: a PNG cost a tenth of the start-up's own work.
constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kPixelOffset = kFileHeaderSize + kInfoHeaderSize;
constexpr int kRowBytes = kIllustrationWidth * 4;
constexpr int kPixelBytes = kRowBytes * kIllustrationHeight;

quint32 Read32(QByteArrayView bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.data() + at);
}

quint16 Read16(QByteArrayView bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.data() + at);
}

// The picture as drawn and stored with the program; drawing it at start-up would cost more
// than the rest of the first page (three faces of a monospaced font, antialiased paths).
QImage StoredIllustration() {
    InitIllustrationResource();
    const QResource stored(QStringLiteral(":/wizard/illustration.bmp"));
    return IllustrationFromBmp(stored.uncompressedData());
}

} // namespace

QByteArray IllustrationBmp(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    if (rgb.width() != kIllustrationWidth || rgb.height() != kIllustrationHeight) {
        return {};
    }
    QByteArray bmp(kPixelOffset + kPixelBytes, '\0');
    char* out = bmp.data();
    const auto put32 = [out](int at, quint32 value) { qToLittleEndian(value, out + at); };
    const auto put16 = [out](int at, quint16 value) { qToLittleEndian(value, out + at); };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, static_cast<quint32>(bmp.size()));
    put32(10, kPixelOffset);
    put32(14, kInfoHeaderSize);
    put32(18, kIllustrationWidth);
    put32(22, static_cast<quint32>(-kIllustrationHeight)); // negative: the top row first
    put16(26, 1);                                          // planes
    put16(28, 32);                                         // bits per pixel
    put32(30, 0);                                          // no compression
    put32(34, kPixelBytes);
    put32(38, 2835); // 72 dots per inch, in dots per metre
    put32(42, 2835);
    for (int y = 0; y < kIllustrationHeight; ++y) {
        std::memcpy(out + kPixelOffset + y * kRowBytes, rgb.constScanLine(y), kRowBytes);
    }
    // The unused fourth byte is kept as QImage has it (0xFF), which BMP readers ignore.
    return bmp;
}

QImage IllustrationFromBmp(QByteArrayView bmp) {
    if (bmp.size() < kPixelOffset + kPixelBytes || bmp[0] != 'B' || bmp[1] != 'M' ||
        Read32(bmp, 10) != kPixelOffset || Read32(bmp, 14) != kInfoHeaderSize ||
        Read32(bmp, 18) != kIllustrationWidth ||
        Read32(bmp, 22) != static_cast<quint32>(-kIllustrationHeight) || Read16(bmp, 26) != 1 ||
        Read16(bmp, 28) != 32 || Read32(bmp, 30) != 0) {
        return {};
    }
    const QImage rows(reinterpret_cast<const uchar*>(bmp.data()) + kPixelOffset, kIllustrationWidth,
                      kIllustrationHeight, kRowBytes, QImage::Format_RGB32);
    return rows.copy(); // its own pixels: `bmp` may go away
}

const QImage& MacroIllustration() {
    static const QImage picture = [] {
        QImage stored = StoredIllustration();
        return stored.isNull() ? DrawMacroIllustration() : stored;
    }();
    return picture;
}

} // namespace vmg::wizard
