# Precompiled Qt headers for the wizard's targets in cross builds, where compiling costs most and
# no compile cache is assumed: every source of the wizard and of its tests parses the same large
# Qt headers. Off elsewhere unless asked for.
option(VMG_PCH "Precompile the Qt headers of the wizard and its tests" ${CMAKE_CROSSCOMPILING})

# vmg_precompile_qt(TARGET [MORE_HEADERS...])
function(vmg_precompile_qt target)
    if(NOT VMG_PCH)
        return()
    endif()
    target_precompile_headers(${target} PRIVATE ${ARGN}
        <QApplication> <QCheckBox> <QComboBox> <QDir> <QFile> <QFileInfo> <QFont> <QLabel>
        <QLineEdit> <QPlainTextEdit> <QPushButton> <QRadioButton> <QString> <QStringList>
        <QTextCursor> <QTextDocument> <QTextEdit> <QWidget>
        <optional> <string> <vector>)
endfunction()
