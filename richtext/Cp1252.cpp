// Code page 1252 between bytes and Qt's strings.
#include "Cp1252.h"

namespace vmg::richtext {

QString DecodeCp1252(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char c : bytes) {
        out.append(QChar(Cp1252ToUnicode(static_cast<unsigned char>(c))));
    }
    return out;
}

std::string EncodeCp1252(QStringView text, char replacement) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const auto byte = UnicodeToCp1252(ch);
        out.push_back(byte ? static_cast<char>(*byte) : replacement);
    }
    return out;
}

} // namespace vmg::richtext
