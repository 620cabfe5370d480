#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "shared/errors/UserFacingError.h"

namespace quillet {

class ArchiveUnpacker;

// Why a verified update was not installed; the description is the reason for the user.
class UpdateInstallError : public UserFacingError {
public:
    explicit UpdateInstallError(std::string reason) : UserFacingError(std::move(reason)) {}
};

// Puts a verified update archive in the place of the installed application folder. Everything
// happens in a private staging folder beside the application (so on its file system) and the
// two folders are then exchanged in one step: a failure at any point leaves the installed
// application as it was and the staging folder gone.
class BundleInstaller {
public:
    BundleInstaller(ArchiveUnpacker& unpacker, std::filesystem::path installedBundle);

    // Unpacks `archive`, checks that it holds one application folder of `expectedVersion`, and
    // exchanges it with the installed one; the old one is then removed. Throws
    // UpdateInstallError.
    void install(std::string_view archive, std::string_view expectedVersion);

    const std::filesystem::path& installedBundle() const { return bundle_; }
    // The executable inside the installed application, the one to relaunch.
    std::filesystem::path executable() const { return bundle_ / "bin" / "quillet"; }

private:
    ArchiveUnpacker& unpacker_;
    std::filesystem::path bundle_;
};

// The application folder an unpacked archive holds: its one top-level "*.app" folder, with an
// executable bin/quillet and a share/quillet/Info.json whose CFBundleShortVersionString is
// `expectedVersion`. No step of either path may be a link. Throws UpdateInstallError.
std::filesystem::path validatedApplication(const std::filesystem::path& unpacked, std::string_view expectedVersion);

}  // namespace quillet
