// The face of code and of the hint: the one asked for, else always a fixed-pitch one.
#pragma once

#include <QFont>
#include <QLatin1String>
#include <QStringList>

namespace vmg::richtext {

// The face asked for first, then faces of Courier New's kind that other systems have. A system
// without the face (a fresh Windows or Wine may lack Courier New) would otherwise fall back to
// a proportional serif, in which the columns of the code no longer line up.
inline QStringList CodeFamilies(const QString& wanted) {
    QStringList families{wanted};
    for (const char* face :
         {"Courier New", "Liberation Mono", "DejaVu Sans Mono", "Consolas", "Lucida Console"}) {
        if (!families.contains(QLatin1String(face), Qt::CaseInsensitive)) {
            families << QLatin1String(face);
        }
    }
    return families;
}

// A font for code: those faces, and, should none be there, the system's fixed-pitch kind.
inline QFont CodeFont(const QString& wanted, int points) {
    QFont font;
    font.setFamilies(CodeFamilies(wanted));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (points > 0) {
        font.setPointSize(points);
    }
    return font;
}

} // namespace vmg::richtext
