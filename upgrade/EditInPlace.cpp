// The one place where upgrade and the wizard's write-back replace a code file in place.
#include "Upgrade.h"

#include "Files.h"

#include <filesystem>

namespace vmg::upgrade {
namespace {

// A file marked read-only (no write permission for anyone) is left alone even by a user, such
// as root, whom the system would let write it.
bool markedReadOnly(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status st = fs::status(platform::PathFromUtf8(path), error);
    return !error && fs::is_regular_file(st) &&
           (st.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                fs::perms::others_write)) == fs::perms::none;
}

std::string cannot(const std::string& path, const std::string& why) {
    return "Cannot write \"" + path + "\". " + why;
}

} // namespace

EditOutcome EditInPlace(const std::string& path, const std::string& oldBytes,
                        const std::string& newBytes) {
    const platform::FileRead now = platform::ReadRegularFile(path, kMaxEditBytes);
    if (!now.ok()) {
        const bool own = now.Status != platform::ReadStatus::CannotOpen;
        return {false, cannot(path, (own ? "It " : "") + now.Reason + ".")};
    }
    if (now.Bytes != oldBytes) {
        return {false, cannot(path, "It has changed since it was read; nothing was written.")};
    }
    if (markedReadOnly(path)) {
        return {false, cannot(path, platform::AccessDeniedText())};
    }
    // The file must still be the version just compared when the new one takes its place.
    const platform::ReplaceResult r =
        platform::ReplaceFile(path, newBytes, [&] { return platform::StampOf(path) == now.Stamp; });
    if (r.Status == platform::ReplaceStatus::Abandoned) {
        return {false, cannot(path, "It changed while it was being written; nothing was written.")};
    }
    if (!r.ok()) {
        return {false, cannot(path, r.Reason)};
    }
    // The backup only once the file holds the new content.
    const platform::ReplaceResult bak = platform::ReplaceFile(path + ".bak", oldBytes);
    if (!bak.ok()) {
        return {true, "The old content could not be kept in \"" + path + ".bak\". " + bak.Reason};
    }
    return {true, {}};
}

} // namespace vmg::upgrade
