#include "gui/settings/FileTypesListView.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "app/settings/FileTypesListModel.h"
#include "gui/settings/FileTypeRow.h"
#include "gui/style/AppStyle.h"

namespace quillet {

using namespace appstyle;

namespace {

constexpr int kGroupRadius = 10;

// The rounded group that holds one section's rows, as an inset list draws it.
class RowGroup final : public QFrame {
public:
    explicit RowGroup(QWidget* parent) : QFrame(parent) { setObjectName(QStringLiteral("rowGroup")); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPalette& pal = palette();
        p.setPen(QPen(withAlpha(separator(pal), 0.35), 1));
        p.setBrush(pal.color(QPalette::Base));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kGroupRadius, kGroupRadius);
    }
};

// A hairline between two rows, starting where the rows' text starts, as list separators do.
class RowSeparator final : public QWidget {
public:
    explicit RowSeparator(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(QRect(FileTypeRow::kSymbolSize + 12, 0, width(), 1), withAlpha(separator(palette()), 0.45));
    }
};

}  // namespace

FileTypesListView::FileTypesListView(FileTypesListModel& model, QWidget* parent)
    : QScrollArea(parent), model_(model) {
    setObjectName(QStringLiteral("fileTypesList"));
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes from switch to switch, and the list scrolls to each; the list itself is no stop.
    setFocusPolicy(Qt::NoFocus);
    content_ = new QWidget;
    layout_ = new QVBoxLayout(content_);
    layout_->setContentsMargins(16, 12, 16, 16);
    layout_->setSpacing(6);
    setWidget(content_);
    applyPalette();
    rebuild();
    modelChanges_ = model_.observe([this] { render(); });
}

FileTypesListView::~FileTypesListView() = default;

void FileTypesListView::render() {
    std::vector<std::string> ids;
    for (const auto& section : model_.sections())
        for (const auto& row : section.rows) ids.push_back(row.type.id);
    if (ids != shownIDs_) {
        rebuild();
        return;
    }
    for (auto* row : rows_) row->showEnabled(model_.isEnabled(row->type().id));
}

void FileTypesListView::rebuild() {
    // A row may be the sender of the change being shown, so old rows go once control returns.
    while (QLayoutItem* item = layout_->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete item;
    }
    rows_.clear();
    shownIDs_.clear();

    const auto sections = model_.sections();
    bool first = true;
    for (const auto& section : sections) {
        auto* heading = new QLabel(QString::fromStdString(section.title), content_);
        heading->setObjectName(QStringLiteral("sectionHeading"));
        heading->setFont(captionFont(QFont::DemiBold));
        heading->setContentsMargins(12, first ? 0 : 10, 0, 0);
        QPalette headingPalette = heading->palette();
        headingPalette.setColor(QPalette::WindowText, secondaryText(palette()));
        heading->setPalette(headingPalette);
        layout_->addWidget(heading);
        first = false;
        if (section.rows.empty()) continue;

        auto* group = new RowGroup(content_);
        auto* groupLayout = new QVBoxLayout(group);
        groupLayout->setContentsMargins(12, 4, 12, 4);
        groupLayout->setSpacing(4);
        for (std::size_t i = 0; i < section.rows.size(); ++i) {
            if (i > 0) {
                auto* line = new RowSeparator(group);
                groupLayout->addWidget(line);
                line->setContentsMargins(0, 0, 0, 0);
            }
            auto* row = new FileTypeRow(section.rows[i].type, section.rows[i].extensionText, model_, group);
            groupLayout->addWidget(row);
            rows_.push_back(row);
            shownIDs_.push_back(section.rows[i].type.id);
        }
        layout_->addWidget(group);
    }
    layout_->addStretch(1);
}

void FileTypesListView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && content_) applyPalette();
    QScrollArea::changeEvent(event);
}

void FileTypesListView::applyPalette() {
    // The list sits on the window colour; its groups use the base colour, as inset lists do.
    content_->setAutoFillBackground(true);
    QPalette pal = content_->palette();
    pal.setColor(QPalette::Window, palette().color(QPalette::Window));
    content_->setPalette(pal);
    for (auto* heading : content_->findChildren<QLabel*>(QStringLiteral("sectionHeading"))) {
        QPalette headingPalette = heading->palette();
        headingPalette.setColor(QPalette::WindowText, secondaryText(palette()));
        heading->setPalette(headingPalette);
    }
}

}  // namespace quillet
