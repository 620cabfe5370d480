#pragma once

#include <QWidget>

#include <string>

class QScrollArea;

namespace quillet {
struct DesktopWords;
}

namespace quillet {

// The help window's content: one scrolling page of fixed text that explains every way of
// creating files, the supported types, the file manager menu, folder access, naming and
// uninstalling. `versionLine` is the main window's "Version …" text.
class HelpView : public QWidget {
public:
    // Space kept above a section the page scrolls to, so it does not touch the edge.
    static constexpr int kScrollTargetMargin = 12;

    // `words`: how the session names its file manager, for the page's texts; `whereTheMenuIs`: see
    // helpContent.
    HelpView(std::string versionLine, const DesktopWords& words, std::string whereTheMenuIs = {},
             QWidget* parent = nullptr);

    // Scrolls so that the "File Manager Menu Troubleshooting" section is at the top; asked before
    // the page is laid out, it happens once it is.
    void scrollToExtensionSection();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyPendingScroll();

    QScrollArea* scroll_;
    QWidget* extensionSection_ = nullptr;
    bool scrollPending_ = false;
};

}  // namespace quillet
