#pragma once

#include "app/creation/CreationDestination.h"
#include "shared/catalog/FileTypeDefinition.h"

namespace quillet {

// What a file type item of the tray menu creates, and where.
struct FileCreationMenuAction {
    FileTypeDefinition type;
    CreationDestinationMode destination;

    bool operator==(const FileCreationMenuAction&) const = default;
};

}  // namespace quillet
