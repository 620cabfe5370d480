#pragma once

#include <QWidget>

#include <string>

#include "shared/catalog/FileTypeDefinition.h"

class QLabel;

namespace quillet {

class FileTypesListModel;
class SwitchButton;

// One type of the file types list: its symbol in the accent colour, its name over its extension,
// and a switch that writes the type's enabled state through the list's model the moment it is
// flipped.
class FileTypeRow final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSymbolSize = 22;

    // `detail`: the line under the name, as the model gives it (".md"; a template's path).
    FileTypeRow(FileTypeDefinition type, const std::string& detail, FileTypesListModel& model,
                QWidget* parent = nullptr);

    const FileTypeDefinition& type() const { return type_; }
    SwitchButton* enabledSwitch() const { return switch_; }
    // Shows the stored state without writing it back.
    void showEnabled(bool enabled);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyPalette();

    FileTypeDefinition type_;
    FileTypesListModel& model_;
    QLabel* symbol_ = nullptr;
    QLabel* name_ = nullptr;
    QLabel* extension_ = nullptr;
    SwitchButton* switch_ = nullptr;
};

}  // namespace quillet
