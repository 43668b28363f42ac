// The font of the wizard's windows: Tahoma 8 pt, or the nearest face this system has.
#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLatin1String>

namespace vmg::wizard {

// Tahoma 8 pt where the system has it. Elsewhere a face of about Tahoma's width, since the
// controls are placed and sized for it; failing those, the system's sans-serif face. The face
// is looked up once per run: each question to the font database goes through fontconfig's
// substitution rules.
inline QFont WindowFont() {
    static const QString chosen = [] {
        for (const char* family : {"Tahoma", "DejaVu Sans Condensed", "Liberation Sans", "Arial"}) {
            if (QFontDatabase::hasFamily(QLatin1String(family))) {
                return QString::fromLatin1(family);
            }
        }
        return QString();
    }();
    if (!chosen.isEmpty()) {
        return QFont(chosen, 8);
    }
    QFont font = QGuiApplication::font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

} // namespace vmg::wizard
