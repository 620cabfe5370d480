#pragma once

#include <filesystem>

#include "app/creation/CreationDestination.h"

namespace quillet {

class FrontFileManagerFolder;

// Where the Desktop is and how a destination mode becomes a folder, asked at the moment of
// creation.
class CreationDestinations {
public:
    virtual ~CreationDestinations() = default;
    virtual std::filesystem::path desktopFolderURL() = 0;
    virtual ResolvedCreationDestination resolveDestination(CreationDestinationMode mode) = 0;
};

// The user's Desktop and the front file manager window's folder.
class SystemCreationDestinations final : public CreationDestinations {
public:
    SystemCreationDestinations(FrontFileManagerFolder& frontFolder, UserEnvironment environment)
        : frontFolder_(frontFolder), environment_(std::move(environment)) {}
    std::filesystem::path desktopFolderURL() override { return quillet::desktopFolderURL(environment_); }
    ResolvedCreationDestination resolveDestination(CreationDestinationMode mode) override {
        return quillet::resolveDestination(mode, frontFolder_, desktopFolderURL());
    }

private:
    FrontFileManagerFolder& frontFolder_;
    UserEnvironment environment_;
};

}  // namespace quillet
