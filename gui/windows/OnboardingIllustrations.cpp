#include "gui/windows/OnboardingIllustrations.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <tuple>

#include "gui/style/AppStyle.h"
#include "gui/windows/WindowStyle.h"
#include "shared/text/DesktopWords.h"
#include "shared/text/LinuxTexts.h"
#include "shared/text/Translation.h"

namespace quillet {

using namespace windowstyle;

namespace {

QColor accentOf(const QWidget* w) { return appstyle::accent(w->palette()); }
QColor secondaryOf(const QWidget* w) { return appstyle::secondaryText(w->palette()); }
QColor separatorOf(const QWidget* w) { return appstyle::separator(w->palette()); }

// A one-line label level with the symbols beside it.
QLabel* lineLabel(const char* text, const QFont& font, TextStyle style, QWidget* parent) {
    QLabel* label = textLabel(text, font, style, parent);
    label->setWordWrap(false);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

QHBoxLayout* plainRow(QWidget* box, int left, int top, int right, int bottom, int spacing) {
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(left, top, right, bottom);
    row->setSpacing(spacing);
    return row;
}

QWidget* menuItem(QWidget* parent, const char* title, bool highlighted) {
    auto* item = new RoundedBox(highlighted ? appstyle::withAlpha(accentOf(parent), 0.14) : QColor(Qt::transparent),
                                QColor(), 5, parent);
    auto* row = plainRow(item, 8, 4, 8, 4, 6);
    if (highlighted) row->addWidget(new SymbolView("doc.badge.plus", accentOf(parent), 14, item));
    row->addWidget(lineLabel(title, appstyle::calloutFont(highlighted ? QFont::DemiBold : QFont::Normal),
                             TextStyle::primary, item),
                   1);
    if (highlighted) row->addWidget(new SymbolView("chevron.right", secondaryOf(parent), 11, item));
    return item;
}

QWidget* hairline(QWidget* parent) {
    auto* line = new RoundedBox(appstyle::withAlpha(separatorOf(parent), 0.6), QColor(), 0, parent);
    line->setFixedHeight(1);
    return line;
}

}  // namespace

QWidget* contextMenuIllustration(QWidget* parent) {
    const QPalette& palette = parent->palette();
    auto* menu = new RoundedBox(palette.color(QPalette::Window), appstyle::separator(palette), 9, parent);
    menu->setObjectName(QStringLiteral("contextMenuIllustration"));
    menu->setFixedWidth(260);
    auto* column = new QVBoxLayout(menu);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(3);
    // A file manager's background menu: its own items, then the extensions', then Properties.
    column->addWidget(menuItem(menu, N_("New Folder"), false));
    column->addWidget(menuItem(menu, N_("Paste"), false));
    column->addWidget(hairline(menu));
    column->addWidget(menuItem(menu, N_("Create File"), true));
    column->addWidget(menuItem(menu, linuxtexts::kOnboardingMenuLastItem, false));
    return menu;
}

QWidget* trayIllustration(QWidget* parent) {
    const QPalette& palette = parent->palette();
    auto* bar = new RoundedBox(palette.color(QPalette::Window), appstyle::separator(palette), 8, parent);
    bar->setObjectName(QStringLiteral("trayIllustration"));
    auto* row = plainRow(bar, 12, 6, 8, 6, 10);
    // A panel as most desktops have one: the applications at one end, the tray at the other.
    row->addWidget(new SymbolView("square.grid.2x2", secondaryOf(bar), 15, bar));
    row->addWidget(new SymbolView("macwindow", secondaryOf(bar), 15, bar));
    row->addStretch(1);
    row->addWidget(new SymbolView("globe", secondaryOf(bar), 15, bar));
    row->addWidget(new SymbolView("power", secondaryOf(bar), 15, bar));
    auto* button = new RoundedBox(appstyle::withAlpha(accentOf(bar), 0.14), QColor(), 6, bar);
    auto* inner = plainRow(button, 8, 3, 8, 3, 5);
    inner->addWidget(new SymbolView("doc.badge.plus", accentOf(bar), 15, button));
    inner->addWidget(lineLabel("Quillet+", appstyle::captionFont(QFont::DemiBold), TextStyle::primary, button));
    row->addWidget(button);
    return bar;
}

QWidget* quickCreatePanelIllustration(QWidget* parent, const DesktopWords& words) {
    const QPalette& palette = parent->palette();
    auto* panel = new RoundedBox(palette.color(QPalette::Window), appstyle::separator(palette), 12, parent);
    panel->setObjectName(QStringLiteral("quickCreatePanelIllustration"));
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(14, 12, 14, 14);
    column->setSpacing(10);

    auto* title = new QHBoxLayout;
    title->setSpacing(6);
    title->addWidget(new SymbolView("doc.badge.plus", accentOf(panel), 16, panel));
    title->addWidget(lineLabel(N_("Create File"), appstyle::headlineFont(), TextStyle::primary, panel), 1);
    column->addLayout(title);

    auto* destinations = new QHBoxLayout;
    destinations->setSpacing(6);
    const std::string folderTitle = words.fileManagerFolder();
    for (auto [symbol, name, selected] : {std::tuple{"desktopcomputer", "Desktop", true},
                                          std::tuple{"folder", folderTitle.c_str(), false}}) {
        auto* choice = new RoundedBox(selected ? appstyle::withAlpha(accentOf(panel), 0.14) : quaternaryFill(palette),
                                      selected ? accentOf(panel) : QColor(), 7, panel);
        auto* row = plainRow(choice, 10, 5, 10, 5, 6);
        row->addWidget(new SymbolView(symbol, selected ? accentOf(panel) : secondaryOf(panel), 14, choice));
        row->addWidget(lineLabel(name, appstyle::calloutFont(QFont::Medium), TextStyle::primary, choice), 1);
        destinations->addWidget(choice, 1);
    }
    column->addLayout(destinations);

    auto* search = new RoundedBox(quaternaryFill(palette), QColor(), 7, panel);
    auto* searchRow = plainRow(search, 10, 5, 10, 5, 6);
    searchRow->addWidget(new SymbolView("magnifyingglass", secondaryOf(panel), 13, search));
    searchRow->addWidget(
        lineLabel(N_("Search file types"), appstyle::calloutFont(QFont::Normal), TextStyle::tertiary, search), 1);
    column->addWidget(search);

    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(8);
    for (auto [symbol, name, extension] : {std::tuple{"doc.richtext", "Markdown", ".md"},
                                           std::tuple{"curlybraces", "JSON", ".json"},
                                           std::tuple{"doc.text", "Word", ".docx"}}) {
        auto* tile = new RoundedBox(quaternaryFill(palette), QColor(), 8, panel);
        auto* tileColumn = new QVBoxLayout(tile);
        tileColumn->setContentsMargins(8, 8, 8, 8);
        tileColumn->setSpacing(2);
        tileColumn->addWidget(new SymbolView(symbol, accentOf(panel), 20, tile), 0, Qt::AlignHCenter);
        auto* nameLabel = textLabel(name, appstyle::calloutFont(QFont::Medium), TextStyle::primary, tile);
        nameLabel->setAlignment(Qt::AlignHCenter);
        tileColumn->addWidget(nameLabel);
        auto* extensionLabel = textLabel(extension, appstyle::captionFont(QFont::Normal), TextStyle::secondary, tile);
        extensionLabel->setAlignment(Qt::AlignHCenter);
        tileColumn->addWidget(extensionLabel);
        tiles->addWidget(tile, 1);
    }
    column->addLayout(tiles);
    return panel;
}

}  // namespace quillet
