#pragma once

#include <QDialog>

#include <string>

#include "shared/text/Translation.h"

namespace quillet {

// Help ▸ About Quillet+: the application's icon, name and version, what it does in one line, its
// licence and a link to its homepage. The summary, licence and homepage are those the AppStream
// metadata gives software centres.
class AboutDialog final : public QDialog {
public:
    static constexpr const char* kTitle = N_("About Quillet+");
    static constexpr const char* kSummary = N_("Create new files of sixteen types wherever you are");
    static constexpr const char* kLicence = N_("Proprietary software by the Quillet+ maintainers.");
    static constexpr const char* kHomepage = "https://quillet.example.org/";
    static constexpr int kMinimumWidth = 420;

    AboutDialog(const std::string& versionLine, QWidget* parent = nullptr);
};

}  // namespace quillet
