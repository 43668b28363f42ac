// Fuzzes the settings readers: single stored values, and whole settings files of both keys.
#include "Settings.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vmg::wizard;

namespace {

QTemporaryDir* g_config = nullptr;
qint64 g_inputs = 0;

// QSettings keeps a parsed file and reads it again only when its size or modification time
// differs, so each input's files get a time of their own: every read is of this input.
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() ||
        !file.setFileTime(QDateTime::fromSecsSinceEpoch(g_inputs),
                          QFileDevice::FileModificationTime)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The readers look in the user's configuration folder: point it at a scratch one, in memory
    // where the system has a tmpfs (the files are rewritten for every input). Removed at exit.
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    static QTemporaryDir config(shm.isDir() && shm.isWritable()
                                    ? shm.filePath() + QStringLiteral("/vmg-fuzz-settings-XXXXXX")
                                    : QDir::tempPath() +
                                          QStringLiteral("/vmg-fuzz-settings-XXXXXX"));
    g_config = &config;
    qputenv("XDG_CONFIG_HOME", g_config->path().toLocal8Bit());
    QDir(g_config->path()).mkpath(QStringLiteral("Kelvrane"));
    QDir(g_config->path()).mkpath(QStringLiteral("Quillory"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // One value, as text, as a list and as a number.
    const QString text = QString::fromUtf8(bytes);
    for (const QVariant& value : {QVariant(text), QVariant(text.split(QLatin1Char(','))),
                                  QVariant(bytes.toLongLong()), QVariant(bytes)}) {
        (void)SettingNumber(value);
        (void)SettingFlag(value);
        (void)SettingText(value);
    }

    // The same bytes as both settings files.
    ++g_inputs;
    writeFile(g_config->filePath(QStringLiteral("Kelvrane/VorlanIDE.conf")), bytes);
    writeFile(g_config->filePath(QStringLiteral("Quillory/VorlanMacroGenerator.conf")), bytes);
    const auto highlighter = ReadHighlighterSettings();
    const auto wizard = ReadWizardSettings();
    if (wizard.ReturnInd < -1 || wizard.ReturnInd > 2 || highlighter.FontSize <= 0) {
        std::abort();
    }
    return 0;
}
